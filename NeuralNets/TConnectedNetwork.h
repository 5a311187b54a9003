// A network whose Connect makes fully connected sets and which hands out arc
// iterators. The Mirk network derives from it.
#pragma once

#include "NeuralNets/TBasicNetwork.h"

namespace mirk {

class TConnectedNetwork : public TBasicNetwork {
 public:
  TConnectedNetwork() = default;
  explicit TConnectedNetwork(int numLayers);
  // A TSimpleInputLayer of sizes[i] neurons at the input layer, a
  // TSimpleLayer elsewhere; every set empty.
  TConnectedNetwork(int numLayers, std::span<const int> sizes);

  // A pair that is not yet connected gets a new fully connected set.
  void Connect(int fromLayer, int toLayer) override;
  const char* GetNetworkNType() const override;  // "Connected"
  // A TConnInAllArcsIterator over this network.
  std::unique_ptr<TArcsIterator> NewArcsIterator() override;
};

}  // namespace mirk
