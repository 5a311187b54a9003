#include "Mirk/TConditionLayer.h"

#include <numeric>

#include "Common/Check.h"
#include "Common/Raise.h"
#include "NeuralNets/TBasicNetwork.h"

namespace mirk {
namespace {

// The five cases in order; the first that holds decides. A case that uses a
// neighbour is reached only when that neighbour exists: without a right
// neighbour every x >= c is taken by the second case, and likewise on the
// left. The strict comparisons keep the divisors away from 0.
inline double Membership(const TConditionNeuron& node, double x) {
  const double c = node.centre;
  if (node.left == nullptr && x <= c) return 1.0;
  if (node.right == nullptr && x >= c) return 1.0;
  if (x >= c) {
    const double right = node.right->centre;
    if (x < right) return 1.0 - (x - c) / (right - c);
  }
  if (x <= c) {
    const double left = node.left->centre;
    if (x > left) return 1.0 - (c - x) / (c - left);
  }
  return 0.0;
}

}  // namespace

TConditionNeuron::~TConditionNeuron() = default;

int TConditionNeuron::GetNumParameters() const { return 0; }

void ActMirkCondition(TBasicNeuron& neuron, double x) {
  auto* node = dynamic_cast<TConditionNeuron*>(&neuron);
  if (node == nullptr) {
    Refuse("Activation function Mirk-condition needs a condition neuron", kInvalidParameter,
           "TBasicNeuron::Activate");
  }
  *node->output = Membership(*node, x);
}

TConditionLayer::TConditionLayer(TBasicNetwork* network, int layerNum, int numNeurons)
    : TBasicLayer(network, layerNum, numNeurons) {
  nodes.resize(static_cast<size_t>(numNeurons));
  AttachNodes();
}

TConditionLayer::~TConditionLayer() = default;

void TConditionLayer::AttachNodes() {
  for (size_t i = 0; i < nodes.size(); ++i) {
    AttachNeuron(nodes[i], static_cast<int>(i));
    nodes[i].actFunction = ActMirkCondition;
  }
}

void TConditionLayer::Activate(std::span<const double> net) { ActivateNodes(nodes, net); }

TBasicNeuron* TConditionLayer::GetNeuron(int i) { return &GetConditionNeuron(i); }

TConditionNeuron& TConditionLayer::GetConditionNeuron(int i) {
  MIRK_CHECK(i >= 0 && static_cast<size_t>(i) < nodes.size());
  return nodes[static_cast<size_t>(i)];
}

const TConditionNeuron& TConditionLayer::GetConditionNeuron(int i) const {
  MIRK_CHECK(i >= 0 && static_cast<size_t>(i) < nodes.size());
  return nodes[static_cast<size_t>(i)];
}

void TConditionLayer::Propagate(std::span<const double>) {
  static constexpr const char* kPropagate = "TConditionLayer::Propagate";
  const size_t n = static_cast<size_t>(numNeurons);
  if (n == 0) return;
  if (static_cast<size_t>(blocks.GetNumNodes()) < n) {
    Refuse("Membership counts of the condition layer not set", kInvalidParameter, kPropagate);
  }
  const TBasicLayer* below = layerNum > 0 ? network->GetLayer(layerNum - 1) : nullptr;
  if (below == nullptr || below->GetNumNeurons() < blocks.GetNumVariables()) {
    Refuse("The condition layer has more inputs than the layer below", kInvalidParameter, kPropagate);
  }
  const double* in = below->GetOutputs().data();
  const int* owner = blocks.GetVariableMap().data();
  double* out = outputs.data();
  // With no common function set yet, this adopts the nodes' shared one.
  if (GetActivationFunction() == ActMirkCondition) {
    // The usual case: the function inline, without a call per node.
    for (size_t c = 0; c < n; ++c) out[c] = Membership(nodes[c], in[owner[c]]);
    return;
  }
  for (size_t c = 0; c < n; ++c) out[c] = in[owner[c]];
  Activate(GetOutputs());
}

const char* TConditionLayer::GetLayerNType() const { return "FuzzyCondition"; }

std::unique_ptr<TBasicLayer> TConditionLayer::Clone(TBasicNetwork* owner) const {
  auto copy = std::make_unique<TConditionLayer>(owner, layerNum, numNeurons);
  if (blocks.GetNumNodes() > 0) copy->SetInputMF(blocks.GetNumVariables(), blocks.GetCounts());
  copy->CopyLayerDataFrom(*this);
  copy->CopyNodes(copy->nodes, nodes);
  for (size_t i = 0; i < nodes.size(); ++i) {
    copy->nodes[i].centre = nodes[i].centre;
    copy->nodes[i].trainable = nodes[i].trainable;
  }
  return copy;
}

// Removing a node would leave the other nodes, their inputs and the arcs of
// the to-condition set out of step; refusing here keeps the network as it was.
void TConditionLayer::RemoveNeuron(int) {
  Refuse("Condition nodes cannot be removed", "TConditionLayer::RemoveNeuron");
}

TBasicNeuron* TConditionLayer::InsertNeuron(int) {
  Refuse("Condition nodes cannot be inserted", "TConditionLayer::InsertNeuron");
}

int TConditionLayer::GetLayerCode() const { return 4; }

void TConditionLayer::SetInputMF(int count, std::span<const int> counts) {
  static constexpr const char* kWhere = "TConditionLayer::SetInputMF";
  if (count < 0 || counts.size() < static_cast<size_t>(count)) {
    Refuse("Membership counts do not match the layer", kWhere);
  }
  const std::span<const int> given = counts.first(static_cast<size_t>(count));
  for (const int m : given) {
    if (m < 2) Refuse("Must be >= 2 MF per input", kWhere);
  }
  if (TMFBlocks::Total(given) != static_cast<long long>(nodes.size())) {
    Refuse("Membership counts do not match the layer", kWhere);
  }

  blocks = TMFBlocks(given);
  AttachNodes();
  for (size_t c = 0; c < nodes.size(); ++c) {
    const int j = blocks.GetMFIndex(static_cast<int>(c));
    nodes[c].left = j == 0 ? nullptr : &nodes[c - 1];
    nodes[c].right = j + 1 == blocks.GetCount(blocks.GetVariableOf(static_cast<int>(c))) ? nullptr : &nodes[c + 1];
  }
  ResetCentres(count);
}

void TConditionLayer::ResetCentres(int count) {
  if (count < 0 || count > GetNumInputs()) Refuse("Invalid input number", "TConditionLayer::ResetCentres");
  for (int c = 0; c < blocks.GetStart(count); ++c) {
    const int m = blocks.GetCount(blocks.GetVariableOf(c));
    nodes[static_cast<size_t>(c)].centre = TMFBlocks::EvenCentre(blocks.GetMFIndex(c), m);
  }
}

std::vector<int> TConditionLayer::GetConditionNodes(int input) const {
  if (input < 0 || input >= GetNumInputs()) Refuse("Invalid input number", "TConditionLayer::GetConditionNodes");
  std::vector<int> result(static_cast<size_t>(blocks.GetCount(input)));
  std::iota(result.begin(), result.end(), blocks.GetStart(input));
  return result;
}

int TConditionLayer::GetInputOf(int node) const {
  if (node < 0 || node >= blocks.GetNumNodes()) Refuse("Invalid node number", "TConditionLayer::GetInputOf");
  return blocks.GetVariableOf(node);
}

int TConditionLayer::GetMFIndex(int node) const {
  if (node < 0 || node >= blocks.GetNumNodes()) Refuse("Invalid node number", "TConditionLayer::GetMFIndex");
  return blocks.GetMFIndex(node);
}

}  // namespace mirk
