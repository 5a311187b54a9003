#include "Mirk/TConditionLayer.h"

#include <numeric>

#include "Common/Check.h"
#include "Common/Exceptions.h"
#include "KQmessage/KQML.h"
#include "NeuralNets/TBasicNetwork.h"

namespace mirk {
namespace {

[[noreturn]] void Refuse(const char* message, const char* where) {
  throw TException(message, "Bad Parameter", where, nullptr);
}

[[noreturn]] void CannotPropagate(const char* message) {
  throw TException(message, "Invalid Parameter", "TConditionLayer::Propagate", nullptr);
}

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

// Even spacing over [0, 1] for the nodes of one input; j / (m - 1) is
// exactly 0 and 1 at the ends.
void SpreadCentres(std::span<TConditionNeuron> block) {
  const size_t m = block.size();
  for (size_t j = 0; j < m; ++j) block[j].centre = static_cast<double>(j) / static_cast<double>(m - 1);
}

}  // namespace

TConditionNeuron::~TConditionNeuron() = default;

int TConditionNeuron::GetNumParameters() const { return 0; }

void ActMirkCondition(TBasicNeuron& neuron, double x) {
  auto* node = dynamic_cast<TConditionNeuron*>(&neuron);
  if (node == nullptr) {
    throw TException("Activation function Mirk-condition needs a condition neuron", "Invalid Parameter",
                     "TBasicNeuron::Activate", nullptr);
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
  const size_t n = static_cast<size_t>(numNeurons);
  if (n == 0) return;
  if (inputOf.size() < n) CannotPropagate("Membership counts of the condition layer not set");
  const TBasicLayer* below = layerNum > 0 ? network->GetLayer(layerNum - 1) : nullptr;
  if (below == nullptr || below->GetNumNeurons() < numInputs) {
    CannotPropagate("The condition layer has more inputs than the layer below");
  }
  const double* in = below->GetOutputs().data();
  const int* owner = inputOf.data();
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
  if (!inputOf.empty()) copy->SetInputMF(numInputs, mfCounts);
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
  long long sum = 0;
  for (const int m : given) {
    if (m < 2) Refuse("Must be >= 2 MF per input", kWhere);
    sum += m;
  }
  if (sum != static_cast<long long>(nodes.size())) Refuse("Membership counts do not match the layer", kWhere);

  numInputs = count;
  mfCounts.assign(given.begin(), given.end());
  inputOf.clear();
  for (int j = 0; j < count; ++j) inputOf.insert(inputOf.end(), static_cast<size_t>(mfCounts[j]), j);
  AttachNodes();
  size_t first = 0;
  for (const int m : mfCounts) {
    for (size_t k = 0; k < static_cast<size_t>(m); ++k) {
      TConditionNeuron& node = nodes[first + k];
      node.left = k == 0 ? nullptr : &nodes[first + k - 1];
      node.right = k + 1 == static_cast<size_t>(m) ? nullptr : &nodes[first + k + 1];
    }
    first += static_cast<size_t>(m);
  }
  ResetCentres(count);
}

void TConditionLayer::ResetCentres(int count) {
  if (count < 0 || count > numInputs) Refuse("Invalid input number", "TConditionLayer::ResetCentres");
  size_t first = 0;
  for (int i = 0; i < count; ++i) {
    const size_t m = static_cast<size_t>(mfCounts[static_cast<size_t>(i)]);
    SpreadCentres(std::span<TConditionNeuron>(nodes).subspan(first, m));
    first += m;
  }
}

std::vector<int> TConditionLayer::GetConditionNodes(int input) const {
  if (input < 0 || input >= numInputs) Refuse("Invalid input number", "TConditionLayer::GetConditionNodes");
  const auto first = std::reduce(mfCounts.begin(), mfCounts.begin() + input, 0);
  std::vector<int> result(static_cast<size_t>(mfCounts[static_cast<size_t>(input)]));
  std::iota(result.begin(), result.end(), first);
  return result;
}

int TConditionLayer::GetInputOf(int node) const {
  if (node < 0 || static_cast<size_t>(node) >= inputOf.size()) {
    Refuse("Invalid node number", "TConditionLayer::GetInputOf");
  }
  return inputOf[static_cast<size_t>(node)];
}

int TConditionLayer::GetMFIndex(int node) const {
  if (node < 0 || static_cast<size_t>(node) >= inputOf.size()) {
    Refuse("Invalid node number", "TConditionLayer::GetMFIndex");
  }
  const int input = inputOf[static_cast<size_t>(node)];
  return node - std::reduce(mfCounts.begin(), mfCounts.begin() + input, 0);
}

}  // namespace mirk
