#include "Mirk/TMirkOutputLayer.h"

#include <iostream>
#include <typeinfo>

#include "Common/Raise.h"
#include "Common/NumberText.h"
#include "Mirk/TToOutputConnections.h"
#include "NeuralNets/TBasicNetwork.h"

namespace mirk {
TMirkOutputLayer::TMirkOutputLayer(TBasicNetwork* network, int layerNum, int numNeurons)
    : TSimpleLayer(network, layerNum, numNeurons) {}

TMirkOutputLayer::~TMirkOutputLayer() = default;

void TMirkOutputLayer::Propagate(std::span<const double>) {
  static constexpr const char* kPropagate = "TMirkOutputLayer::Propagate";
  const size_t numOutputs = static_cast<size_t>(numNeurons);
  if (numOutputs == 0) return;
  if (static_cast<size_t>(blocks.GetNumVariables()) < numOutputs) {
    Refuse("Membership counts of the output layer not set", kInvalidParameter, kPropagate);
  }
  const int numActions = blocks.GetNumNodes();
  const TBasicLayer* below = layerNum > 0 ? network->GetLayer(layerNum - 1) : nullptr;
  if (below == nullptr || below->GetNumNeurons() != numActions) {
    Refuse("The layer below the output layer does not hold its actions", kInvalidParameter, kPropagate);
  }
  // The class is final: comparing types is the whole cast, and cheaper.
  const TBasicConnections* cell = network->GetConnections(layerNum - 1, layerNum);
  const auto* set = typeid(*cell) == typeid(TToOutputConnections) ? static_cast<const TToOutputConnections*>(cell)
                                                                   : nullptr;
  if (set == nullptr || set->GetNumActions() != numActions) {
    Refuse("The output layer has no action centres", kInvalidParameter, kPropagate);
  }
  const double* activation = below->GetOutputs().data();
  const double* centre = set->GetCentres().data();
  const std::span<const int> counts = blocks.GetCounts();
  double* out = outputs.data();
  // Each output's actions form one block, so its sums run over the block in
  // action order, as a walk over all actions would add them.
  size_t a = 0;
  for (size_t k = 0; k < numOutputs; ++k) {
    double numerator = 0.0;
    double denominator = 0.0;
    for (const size_t end = a + static_cast<size_t>(counts[k]); a < end; ++a) {
      numerator += activation[a] * centre[a];
      denominator += activation[a];
    }
    const double y = numerator == 0.0 || denominator == 0.0 ? 0.0 : numerator / denominator;
    // Centres outside [0, 1] can carry an output out of range: say so, keep it.
    if (y < 0.0 || y > 1.0) std::cout << FormatGeneral(y, 15) << '\n';
    out[k] = y;
  }
}

const char* TMirkOutputLayer::GetLayerNType() const { return "Defuzzify"; }

std::unique_ptr<TBasicLayer> TMirkOutputLayer::Clone(TBasicNetwork* owner) const {
  auto copy = std::make_unique<TMirkOutputLayer>(owner, layerNum, numNeurons);
  if (blocks.GetNumVariables() == numNeurons) copy->SetOutputMF(blocks.GetNumNodes(), blocks.GetCounts());
  copy->CopyContentsFrom(*this);
  return copy;
}

int TMirkOutputLayer::GetLayerCode() const { return 5; }

void TMirkOutputLayer::SetOutputMF(int numActions, std::span<const int> counts) {
  static constexpr const char* kWhere = "TMirkOutputLayer::SetOutputMF";
  const size_t numOutputs = static_cast<size_t>(numNeurons);
  if (numActions < 0 || counts.size() < numOutputs) Refuse("Membership counts do not match the layer", kWhere);
  const std::span<const int> given = counts.first(numOutputs);
  for (const int m : given) {
    if (m < 2) Refuse("Must be >= 2 MF per output", kWhere);
  }
  if (TMFBlocks::Total(given) != numActions) Refuse("Membership counts do not match the layer", kWhere);
  blocks = TMFBlocks(given);
}

int TMirkOutputLayer::GetOutputOf(int action) const {
  if (action < 0 || action >= blocks.GetNumNodes()) Refuse("Invalid node number", "TMirkOutputLayer::GetOutputOf");
  return blocks.GetVariableOf(action);
}

int TMirkOutputLayer::GetMFIndex(int action) const {
  if (action < 0 || action >= blocks.GetNumNodes()) Refuse("Invalid node number", "TMirkOutputLayer::GetMFIndex");
  return blocks.GetMFIndex(action);
}

}  // namespace mirk
