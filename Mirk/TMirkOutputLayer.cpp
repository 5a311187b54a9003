#include "Mirk/TMirkOutputLayer.h"

#include <iostream>
#include <numeric>
#include <typeinfo>

#include "Common/Exceptions.h"
#include "KQmessage/KQML.h"
#include "Common/NumberText.h"
#include "Mirk/TToOutputConnections.h"
#include "NeuralNets/TBasicNetwork.h"

namespace mirk {
namespace {

[[noreturn]] void Refuse(const char* message, const char* where) {
  throw TException(message, "Bad Parameter", where, nullptr);
}

[[noreturn]] void CannotPropagate(const char* message) {
  throw TException(message, "Invalid Parameter", "TMirkOutputLayer::Propagate", nullptr);
}

}  // namespace

TMirkOutputLayer::TMirkOutputLayer(TBasicNetwork* network, int layerNum, int numNeurons)
    : TSimpleLayer(network, layerNum, numNeurons) {}

TMirkOutputLayer::~TMirkOutputLayer() = default;

void TMirkOutputLayer::Propagate(std::span<const double>) {
  const size_t numOutputs = static_cast<size_t>(numNeurons);
  if (numOutputs == 0) return;
  if (mfCounts.size() < numOutputs) CannotPropagate("Membership counts of the output layer not set");
  const TBasicLayer* below = layerNum > 0 ? network->GetLayer(layerNum - 1) : nullptr;
  if (below == nullptr || below->GetNumNeurons() != numActions) {
    CannotPropagate("The layer below the output layer does not hold its actions");
  }
  // The class is final: comparing types is the whole cast, and cheaper.
  const TBasicConnections* cell = network->GetConnections(layerNum - 1, layerNum);
  const auto* set = typeid(*cell) == typeid(TToOutputConnections) ? static_cast<const TToOutputConnections*>(cell)
                                                                   : nullptr;
  if (set == nullptr || set->GetNumActions() != numActions) {
    CannotPropagate("The output layer has no action centres");
  }
  const double* activation = below->GetOutputs().data();
  const double* centre = set->GetCentres().data();
  double* out = outputs.data();
  // Each output's actions form one block, so its sums run over the block in
  // action order, as a walk over all actions would add them.
  size_t a = 0;
  for (size_t k = 0; k < numOutputs; ++k) {
    double numerator = 0.0;
    double denominator = 0.0;
    for (const size_t end = a + static_cast<size_t>(mfCounts[k]); a < end; ++a) {
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
  if (mfCounts.size() == static_cast<size_t>(numNeurons)) copy->SetOutputMF(numActions, mfCounts);
  copy->CopyContentsFrom(*this);
  return copy;
}

int TMirkOutputLayer::GetLayerCode() const { return 5; }

void TMirkOutputLayer::SetOutputMF(int numActions, std::span<const int> counts) {
  static constexpr const char* kWhere = "TMirkOutputLayer::SetOutputMF";
  const size_t numOutputs = static_cast<size_t>(numNeurons);
  if (numActions < 0 || counts.size() < numOutputs) Refuse("Membership counts do not match the layer", kWhere);
  const std::span<const int> given = counts.first(numOutputs);
  long long sum = 0;
  for (const int m : given) {
    if (m < 2) Refuse("Must be >= 2 MF per output", kWhere);
    sum += m;
  }
  if (sum != numActions) Refuse("Membership counts do not match the layer", kWhere);

  this->numActions = numActions;
  mfCounts.assign(given.begin(), given.end());
  outputOf.clear();
  for (size_t k = 0; k < numOutputs; ++k) {
    outputOf.insert(outputOf.end(), static_cast<size_t>(mfCounts[k]), static_cast<int>(k));
  }
}

int TMirkOutputLayer::GetOutputOf(int action) const {
  if (action < 0 || static_cast<size_t>(action) >= outputOf.size()) {
    Refuse("Invalid node number", "TMirkOutputLayer::GetOutputOf");
  }
  return outputOf[static_cast<size_t>(action)];
}

int TMirkOutputLayer::GetMFIndex(int action) const {
  if (action < 0 || static_cast<size_t>(action) >= outputOf.size()) {
    Refuse("Invalid node number", "TMirkOutputLayer::GetMFIndex");
  }
  const int output = outputOf[static_cast<size_t>(action)];
  return action - std::reduce(mfCounts.begin(), mfCounts.begin() + output, 0);
}

}  // namespace mirk
