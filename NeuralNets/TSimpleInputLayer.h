// The input layer: its outputs are the network's inputs themselves.
#pragma once

#include "NeuralNets/TSimpleLayer.h"

namespace mirk {

class TSimpleInputLayer : public TSimpleLayer {
 public:
  // A simple layer with the common function "linear".
  TSimpleInputLayer(TBasicNetwork* network, int layerNum, int numNeurons);

  // Copies the inputs when this is the network's input layer; anywhere else
  // it warns on standard error and outputs zeros. Applies no function.
  void Propagate(std::span<const double> inputs) override;
  const char* GetLayerNType() const override;  // "Input"
  std::unique_ptr<TBasicLayer> Clone(TBasicNetwork* owner) const override;
};

}  // namespace mirk
