#include "NeuralNets/TBasicNeuron.h"

#include "Common/Check.h"
#include "NeuralNets/TBasicLayer.h"

namespace mirk {

TBasicNeuron::~TBasicNeuron() = default;

void TBasicNeuron::Activate(double net) { actFunction(*this, net); }

int TBasicNeuron::GetNumParameters() const { return 0; }

void TBasicNeuron::GetParameters(std::span<double>) const {}

void TBasicNeuron::SetParameters(std::span<const double>) {}

const char* TBasicNeuron::GetParameterName(int) const {
  MIRK_CHECK(false);
  return nullptr;
}

void TBasicNeuron::CopyFrom(const TBasicNeuron&) {}

void TBasicNeuron::SetActivationFunction(ActFunction fn) {
  actFunction = fn;
  if (layer != nullptr) layer->actFunction = nullptr;
}

}  // namespace mirk
