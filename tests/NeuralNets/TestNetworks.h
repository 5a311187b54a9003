// Small networks for the network-core tests.
#pragma once

#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TIterateObj.h"
#include "NeuralNets/TSimpleInputLayer.h"

namespace mirk::test {

// A network of type Net with a TSimpleInputLayer at layer 1 and TSimpleLayers
// elsewhere, of the given sizes.
template <class Net>
std::unique_ptr<Net> MakeNetwork(std::vector<int> sizes) {
  auto net = std::make_unique<Net>(static_cast<int>(sizes.size()));
  for (int i = 0; i < static_cast<int>(sizes.size()); ++i) {
    if (i == net->GetInLayer()) {
      net->SetLayer(i, std::make_unique<TSimpleInputLayer>(net.get(), i, sizes[i]));
    } else {
      net->SetLayer(i, std::make_unique<TSimpleLayer>(net.get(), i, sizes[i]));
    }
  }
  return net;
}

// Records the visited arcs as (from, to) pairs with their weights.
class TRecordingVisitor : public TIterateObj {
 public:
  void Visit() override {
    arcs.emplace_back(fromNode, toNode);
    weights.push_back(*weight);
    trainables.push_back(trainable);
  }
  std::vector<std::pair<int, int>> arcs;
  std::vector<double> weights;
  std::vector<bool> trainables;
};

// Gives every arc of set the weight 10 * from + to + 1 (so none is 0.0).
inline void NumberWeights(TBasicConnections& set) {
  for (int to = 0; to < set.GetToSize(); ++to) {
    for (int from = 0; from < set.GetFromSize(); ++from) *set.GetWeight(from, to) = 10 * from + to + 1;
  }
}

inline std::vector<double> AllWeights(TBasicNetwork& net, int mask) {
  std::vector<double> weights(static_cast<size_t>(net.GetNumWeights(mask)));
  net.GetWeights(weights, mask);
  return weights;
}

}  // namespace mirk::test
