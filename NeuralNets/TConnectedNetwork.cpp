#include "NeuralNets/TConnectedNetwork.h"

#include "Common/Check.h"
#include "NeuralNets/TArcsIterator.h"
#include "NeuralNets/TConnectedConnections.h"
#include "NeuralNets/TSimpleInputLayer.h"

namespace mirk {

TConnectedNetwork::TConnectedNetwork(int numLayers) : TBasicNetwork(numLayers) {}

TConnectedNetwork::TConnectedNetwork(int numLayers, std::span<const int> sizes) : TBasicNetwork(numLayers) {
  MIRK_CHECK(sizes.size() >= static_cast<size_t>(numLayers));
  for (int i = 0; i < numLayers; ++i) {
    const int size = sizes[static_cast<size_t>(i)];
    if (i == GetInLayer()) {
      SetLayer(i, std::make_unique<TSimpleInputLayer>(this, i, size));
    } else {
      SetLayer(i, std::make_unique<TSimpleLayer>(this, i, size));
    }
  }
}

void TConnectedNetwork::Connect(int fromLayer, int toLayer) {
  CheckConnectable(fromLayer, toLayer);
  if (GetConnections(fromLayer, toLayer)->IsConnected()) return;
  Cell(fromLayer, toLayer) = std::make_unique<TConnectedConnections>(this, fromLayer, toLayer);
}

const char* TConnectedNetwork::GetNetworkNType() const { return "Connected"; }

std::unique_ptr<TArcsIterator> TConnectedNetwork::NewArcsIterator() {
  return std::make_unique<TConnInAllArcsIterator>(this);
}

}  // namespace mirk
