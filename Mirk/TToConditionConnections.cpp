#include "Mirk/TToConditionConnections.h"

#include "Common/Check.h"
#include "Common/Raise.h"
#include "Mirk/TConditionLayer.h"
#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TIterateObj.h"
#include "NeuralNets/TIterateObj2.h"

namespace mirk {
namespace {

// The number of condition nodes the set is built for; refuses layers that do
// not make an input layer and a condition layer with its counts.
int ConditionCount(const TBasicNetwork* network, int fromLayer, int toLayer) {
  static constexpr const char* kWhere = "TToConditionConnections::TToConditionConnections";
  const int numLayers = network->GetNumLayers();
  if (fromLayer < 0 || fromLayer >= numLayers || toLayer < 0 || toLayer >= numLayers) {
    Refuse("Invalid layer number", kWhere);
  }
  const TBasicLayer* from = network->GetLayer(fromLayer);
  const auto* to = dynamic_cast<const TConditionLayer*>(network->GetLayer(toLayer));
  if (from == nullptr || to == nullptr) Refuse("Connections to conditions need a condition layer", kWhere);
  if (to->GetNumInputs() != from->GetNumNeurons() ||
      (to->GetNumNeurons() > 0 && to->GetInputMF().empty())) {
    Refuse("Membership counts of the condition layer do not match the inputs", kWhere);
  }
  return to->GetNumNeurons();
}

}  // namespace

TToConditionConnections::TToConditionConnections(TBasicNetwork* network, int fromLayer, int toLayer)
    : TBasicConnections(network, fromLayer, toLayer) {
  flags.assign(static_cast<size_t>(ConditionCount(network, fromLayer, toLayer)), FMaskAll);
}

TConditionLayer& TToConditionConnections::Layer() const {
  auto* layer = dynamic_cast<TConditionLayer*>(network->GetLayer(toLayer));
  MIRK_CHECK(layer != nullptr && static_cast<size_t>(layer->GetNumNeurons()) == flags.size());
  return *layer;
}

int TToConditionConnections::NodeOrCheck(int to) const {
  MIRK_CHECK(to >= 0 && static_cast<size_t>(to) < flags.size());
  return to;
}

double* TToConditionConnections::GetWeight(int, int to) {
  return &Layer().GetConditionNeuron(NodeOrCheck(to)).centre;
}

bool TToConditionConnections::IsValid(int from, int to) const {
  return to >= 0 && static_cast<size_t>(to) < flags.size() && Layer().GetInputOf(to) == from;
}

void TToConditionConnections::RemoveWeight(int, int) {}

void TToConditionConnections::AddWeight(int, int) {}

void TToConditionConnections::UnfreezeWeight(int from, int to) { SetFlags(from, to, FMaskAll); }

void TToConditionConnections::FreezeWeight(int from, int to) { SetFlags(from, to, FMaskExists); }

void TToConditionConnections::IterateInArcs(TIterateObj& visitor, int to, int) {
  const size_t c = static_cast<size_t>(NodeOrCheck(to));
  TConditionLayer& layer = Layer();
  visitor.Prepare(*this);
  if (flags[c] & FMaskExists) {
    visitor.VisitArc(layer.GetInputOf(to), to, &layer.GetConditionNeuron(to).centre, flags[c] & FMaskTrainable);
  }
}

void TToConditionConnections::IterateOutArcs(TIterateObj& visitor, int from, int) {
  TConditionLayer& layer = Layer();
  MIRK_CHECK(from >= 0 && from < layer.GetNumInputs());
  visitor.Prepare(*this);
  for (const int c : layer.GetConditionNodes(from)) {
    const TArcFlags flag = flags[static_cast<size_t>(c)];
    if (flag & FMaskExists) visitor.VisitArc(from, c, &layer.GetConditionNeuron(c).centre, flag & FMaskTrainable);
  }
}

void TToConditionConnections::Iterate(TIterateObj& visitor, int mask) {
  TConditionLayer& layer = Layer();
  visitor.Prepare(*this);
  for (size_t c = 0; c < flags.size(); ++c) {
    if (!PassesMask(flags[c], mask)) continue;
    const int node = static_cast<int>(c);
    visitor.VisitArc(layer.GetInputOf(node), node, &layer.GetConditionNeuron(node).centre,
                     flags[c] & FMaskTrainable);
  }
}

void TToConditionConnections::Iterate2(TIterateObj2& visitor, TBasicNetwork& net2, int mask) {
  auto& set2 = static_cast<TToConditionConnections&>(MatchingSet(*this, net2));
  MIRK_CHECK(set2.flags.size() == flags.size());
  TConditionLayer& layer = Layer();
  TConditionLayer& layer2 = set2.Layer();
  visitor.Prepare(*this, set2);
  for (size_t c = 0; c < flags.size(); ++c) {
    if (!PassesMask(flags[c], mask)) continue;
    const int node = static_cast<int>(c);
    visitor.VisitArc(layer.GetInputOf(node), node, &layer.GetConditionNeuron(node).centre,
                     &layer2.GetConditionNeuron(node).centre, flags[c] & FMaskTrainable);
  }
}

void TToConditionConnections::Iterate3(TIterateObj3& visitor, TBasicNetwork& net2, TBasicNetwork& net3,
                                       int mask) {
  auto& set2 = static_cast<TToConditionConnections&>(MatchingSet(*this, net2));
  auto& set3 = static_cast<TToConditionConnections&>(MatchingSet(*this, net3));
  MIRK_CHECK(set2.flags.size() == flags.size() && set3.flags.size() == flags.size());
  TConditionLayer& layer = Layer();
  TConditionLayer& layer2 = set2.Layer();
  TConditionLayer& layer3 = set3.Layer();
  visitor.Prepare(*this, set2, set3);
  for (size_t c = 0; c < flags.size(); ++c) {
    if (!PassesMask(flags[c], mask)) continue;
    const int node = static_cast<int>(c);
    visitor.VisitArc(layer.GetInputOf(node), node, &layer.GetConditionNeuron(node).centre,
                     &layer2.GetConditionNeuron(node).centre, &layer3.GetConditionNeuron(node).centre,
                     flags[c] & FMaskTrainable);
  }
}

const char* TToConditionConnections::GetConnectionsNType() const { return "ToConditionConnections"; }

TArcFlags TToConditionConnections::GetFlags(int, int to) const { return flags[static_cast<size_t>(NodeOrCheck(to))]; }

void TToConditionConnections::SetFlags(int, int to, TArcFlags val) {
  flags[static_cast<size_t>(NodeOrCheck(to))] = val;
}

std::unique_ptr<TBasicConnections> TToConditionConnections::Clone(TBasicNetwork* owner) const {
  return std::make_unique<TToConditionConnections>(owner, fromLayer, toLayer);
}

void TToConditionConnections::RemoveFromNode(int) {
  Refuse("Connections to conditions cannot lose nodes", "TToConditionConnections::RemoveFromNode");
}

void TToConditionConnections::RemoveToNode(int) {
  Refuse("Connections to conditions cannot lose nodes", "TToConditionConnections::RemoveToNode");
}

void TToConditionConnections::InsertFromNode(int, double, double, bool) {
  Refuse("Connections to conditions cannot gain nodes", "TToConditionConnections::InsertFromNode");
}

void TToConditionConnections::InsertToNode(int, double, double, bool) {
  Refuse("Connections to conditions cannot gain nodes", "TToConditionConnections::InsertToNode");
}

bool TToConditionConnections::CanEditArc(TArcEdit) const { return true; }

bool TToConditionConnections::CanEditNodes() const { return false; }

}  // namespace mirk
