#include "Mirk/TToOutputConnections.h"

#include "Common/Check.h"
#include "Common/Raise.h"
#include "Mirk/TMirkOutputLayer.h"
#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TIterateObj.h"
#include "NeuralNets/TIterateObj2.h"

namespace mirk {
namespace {

// The number of actions the set is built for; refuses layers that do not
// make an action layer and a defuzzifying output layer with its counts.
int ActionCount(const TBasicNetwork* network, int fromLayer, int toLayer) {
  static constexpr const char* kWhere = "TToOutputConnections::TToOutputConnections";
  const int numLayers = network->GetNumLayers();
  if (fromLayer < 0 || fromLayer >= numLayers || toLayer < 0 || toLayer >= numLayers) {
    Refuse("Invalid layer number", kWhere);
  }
  const TBasicLayer* from = network->GetLayer(fromLayer);
  const auto* to = dynamic_cast<const TMirkOutputLayer*>(network->GetLayer(toLayer));
  if (from == nullptr || to == nullptr) Refuse("Connections to outputs need a defuzzifying layer", kWhere);
  if (to->GetOutputMF().size() != static_cast<size_t>(to->GetNumNeurons()) ||
      to->GetNumActions() != from->GetNumNeurons()) {
    Refuse("Membership counts of the output layer do not match the actions", kWhere);
  }
  return from->GetNumNeurons();
}

}  // namespace

TToOutputConnections::TToOutputConnections(TBasicNetwork* network, int fromLayer, int toLayer)
    : TBasicConnections(network, fromLayer, toLayer) {
  const size_t actions = static_cast<size_t>(ActionCount(network, fromLayer, toLayer));
  weights.assign(actions, 0.0);
  flags.assign(actions, FMaskAll);
}

TMirkOutputLayer& TToOutputConnections::Layer() const {
  auto* layer = dynamic_cast<TMirkOutputLayer*>(network->GetLayer(toLayer));
  MIRK_CHECK(layer != nullptr && layer->GetOutputMap().size() == weights.size());
  return *layer;
}

int TToOutputConnections::ActionOrCheck(int from) const {
  MIRK_CHECK(from >= 0 && static_cast<size_t>(from) < weights.size());
  return from;
}

double* TToOutputConnections::GetWeight(int from, int) { return &weights[static_cast<size_t>(ActionOrCheck(from))]; }

bool TToOutputConnections::IsValid(int from, int to) const {
  if (from < 0 || static_cast<size_t>(from) >= weights.size()) return false;
  const TMirkOutputLayer& layer = Layer();
  return to >= 0 && to < layer.GetNumNeurons() && layer.GetOutputMap()[static_cast<size_t>(from)] == to;
}

void TToOutputConnections::RemoveWeight(int, int) {}

void TToOutputConnections::AddWeight(int, int) {}

void TToOutputConnections::UnfreezeWeight(int from, int to) { SetFlags(from, to, FMaskAll); }

void TToOutputConnections::FreezeWeight(int from, int to) { SetFlags(from, to, FMaskExists); }

void TToOutputConnections::IterateInArcs(TIterateObj& visitor, int to, int) {
  const TMFBlocks& blocks = Layer().GetOutputBlocks();
  MIRK_CHECK(to >= 0 && to < blocks.GetNumVariables());
  visitor.Prepare(*this);
  for (size_t a = static_cast<size_t>(blocks.GetStart(to)); a < static_cast<size_t>(blocks.GetStart(to + 1)); ++a) {
    if (flags[a] & FMaskExists) visitor.VisitArc(static_cast<int>(a), to, &weights[a], flags[a] & FMaskTrainable);
  }
}

void TToOutputConnections::IterateOutArcs(TIterateObj& visitor, int from, int) {
  const size_t a = static_cast<size_t>(ActionOrCheck(from));
  const int output = Layer().GetOutputMap()[a];
  visitor.Prepare(*this);
  if (flags[a] & FMaskExists) visitor.VisitArc(from, output, &weights[a], flags[a] & FMaskTrainable);
}

void TToOutputConnections::Iterate(TIterateObj& visitor, int mask) {
  const std::span<const int> outputOf = Layer().GetOutputMap();
  visitor.Prepare(*this);
  for (size_t a = 0; a < weights.size(); ++a) {
    if (PassesMask(flags[a], mask)) {
      visitor.VisitArc(static_cast<int>(a), outputOf[a], &weights[a], flags[a] & FMaskTrainable);
    }
  }
}

void TToOutputConnections::Iterate2(TIterateObj2& visitor, TBasicNetwork& net2, int mask) {
  auto& set2 = static_cast<TToOutputConnections&>(MatchingSet(*this, net2));
  MIRK_CHECK(set2.weights.size() == weights.size());
  const std::span<const int> outputOf = Layer().GetOutputMap();
  visitor.Prepare(*this, set2);
  for (size_t a = 0; a < weights.size(); ++a) {
    if (PassesMask(flags[a], mask)) {
      visitor.VisitArc(static_cast<int>(a), outputOf[a], &weights[a], &set2.weights[a], flags[a] & FMaskTrainable);
    }
  }
}

void TToOutputConnections::Iterate3(TIterateObj3& visitor, TBasicNetwork& net2, TBasicNetwork& net3, int mask) {
  auto& set2 = static_cast<TToOutputConnections&>(MatchingSet(*this, net2));
  auto& set3 = static_cast<TToOutputConnections&>(MatchingSet(*this, net3));
  MIRK_CHECK(set2.weights.size() == weights.size() && set3.weights.size() == weights.size());
  const std::span<const int> outputOf = Layer().GetOutputMap();
  visitor.Prepare(*this, set2, set3);
  for (size_t a = 0; a < weights.size(); ++a) {
    if (PassesMask(flags[a], mask)) {
      visitor.VisitArc(static_cast<int>(a), outputOf[a], &weights[a], &set2.weights[a], &set3.weights[a],
                       flags[a] & FMaskTrainable);
    }
  }
}

const char* TToOutputConnections::GetConnectionsNType() const { return "ToOutputConnections"; }

TArcFlags TToOutputConnections::GetFlags(int from, int) const { return flags[static_cast<size_t>(ActionOrCheck(from))]; }

void TToOutputConnections::SetFlags(int from, int, TArcFlags val) { flags[static_cast<size_t>(ActionOrCheck(from))] = val; }

std::unique_ptr<TBasicConnections> TToOutputConnections::Clone(TBasicNetwork* owner) const {
  auto copy = std::make_unique<TToOutputConnections>(owner, fromLayer, toLayer);
  MIRK_CHECK(copy->weights.size() == weights.size());
  copy->weights = weights;
  return copy;
}

void TToOutputConnections::RemoveFromNode(int) {
  Refuse("Connections to outputs cannot lose nodes", "TToOutputConnections::RemoveFromNode");
}

void TToOutputConnections::RemoveToNode(int) {
  Refuse("Connections to outputs cannot lose nodes", "TToOutputConnections::RemoveToNode");
}

void TToOutputConnections::InsertFromNode(int, double, double, bool) {
  Refuse("Connections to outputs cannot gain nodes", "TToOutputConnections::InsertFromNode");
}

void TToOutputConnections::InsertToNode(int, double, double, bool) {
  Refuse("Connections to outputs cannot gain nodes", "TToOutputConnections::InsertToNode");
}

bool TToOutputConnections::CanEditArc(TArcEdit) const { return true; }

void TToOutputConnections::ResetCentres() {
  const TMFBlocks& blocks = Layer().GetOutputBlocks();
  for (int a = 0; a < blocks.GetNumNodes(); ++a) {
    weights[static_cast<size_t>(a)] = TMFBlocks::EvenCentre(blocks.GetMFIndex(a), blocks.GetCount(blocks.GetVariableOf(a)));
  }
}

bool TToOutputConnections::CanEditNodes() const { return false; }

}  // namespace mirk
