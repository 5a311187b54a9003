// The multi-layer perceptron: an input layer, then gain layers of sigmoid
// neurons, each fed by the layer before it and, with a bias, by a one-neuron
// bias layer at index 0.
#pragma once

#include <span>

#include "NeuralNets/TBasicNetwork.h"

namespace mirk {

// Layers of a network of L layers besides the bias layer: 0 the bias layer
// (one "bias" neuron with a bias, else no neurons), 1 the input layer
// (TSimpleInputLayer, "linear"), 2 to L TGainLayer of gain 1.0 with
// "sigmoid". Sets: j - 1 -> j for j from 2 to L and, with a bias, 0 -> j;
// each a pruneable set with every arc trainable and weights 0.0. Layer L is
// the output layer.
class TMLPNetwork : public TBasicNetwork {
 public:
  // The whole network; sizes holds numLayers node counts, the input layer's
  // first. Throws TException (category "Bad Parameter", where
  // "TMLPNetwork::TMLPNetwork"): "Invalid number of layers" when numLayers is
  // below 1 or sizes holds fewer counts, "Invalid layer size" for a negative
  // count.
  TMLPNetwork(int numLayers, std::span<const int> sizes, bool bias);
  // Only numLayers + 1 empty layer slots, for a creator that installs layers
  // and sets itself; the same refusal of numLayers below 1.
  TMLPNetwork(int numLayers, bool bias);
  TMLPNetwork(const TMLPNetwork&) = default;
  TMLPNetwork& operator=(const TMLPNetwork&) = default;
  ~TMLPNetwork() override;

  const char* GetNetworkNType() const override;  // "MLP"

  bool HasBias() const noexcept { return bias; }

 private:
  bool bias;
};

}  // namespace mirk
