#include "NeuralNets/TSimpleInputLayer.h"

#include <algorithm>
#include <iostream>

#include "NeuralNets/TBasicNetwork.h"

namespace mirk {

TSimpleInputLayer::TSimpleInputLayer(TBasicNetwork* network, int layerNum, int numNeurons)
    : TSimpleLayer(network, layerNum, numNeurons) {
  SetActivationFunction(ActLinear);
}

void TSimpleInputLayer::Propagate(std::span<const double> inputs) {
  const std::span<double> out = GetOutputs();
  if (layerNum == network->GetInLayer()) {
    MIRK_CHECK(inputs.size() >= out.size());
    std::copy_n(inputs.begin(), out.size(), out.begin());
  } else {
    std::cerr << "!Warning: changed input layer (TSimpleInputLayer)" << std::endl;
    std::fill(out.begin(), out.end(), 0.0);
  }
}

const char* TSimpleInputLayer::GetLayerNType() const { return "Input"; }

std::unique_ptr<TBasicLayer> TSimpleInputLayer::Clone(TBasicNetwork* owner) const {
  auto copy = std::make_unique<TSimpleInputLayer>(owner, layerNum, numNeurons);
  copy->CopyContentsFrom(*this);
  return copy;
}

}  // namespace mirk
