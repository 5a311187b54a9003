#include "NeuralNets/TBlockRecall.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Mirk/TMirk.h"
#include "Mirk/TMirkOutputLayer.h"
#include "NeuralNets/TConnectedNetwork.h"
#include "NeuralNets/TGainLayer.h"
#include "NeuralNets/TMLPNetwork.h"
#include "NeuralNets/TPrunedConnections.h"
#include "support/TestUtil.h"

namespace mirk {
namespace {

// A pruneable set of another class: the block pass must fall back to its
// own Aggregate, row by row.
class TOtherSet : public TPrunedConnections {
 public:
  using TPrunedConnections::TPrunedConnections;
};

bool SameBits(std::span<const double> a, std::span<const double> b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

// Removes about a third of the arcs of every pruneable set and freezes about
// a third of the rest, after random weights.
void PruneAndFreeze(TBasicNetwork& net, std::mt19937& random) {
  std::uniform_real_distribution<double> value(-2.0, 2.0);
  for (int to = 0; to < net.GetNumLayers(); ++to) {
    for (int from = 0; from < to; ++from) {
      TBasicConnections& set = *net.GetConnections(from, to);
      if (dynamic_cast<TPrunedConnections*>(&set) == nullptr) continue;
      for (int t = 0; t < set.GetToSize(); ++t) {
        for (int f = 0; f < set.GetFromSize(); ++f) {
          *set.GetWeight(f, t) = value(random);
          if (random() % 3 == 0) {
            set.RemoveWeight(f, t);
            *set.GetWeight(f, t) = value(random);  // a stale value the pass must ignore
          } else if (random() % 3 == 0) {
            set.FreezeWeight(f, t);
          }
        }
      }
    }
  }
}

// Recalls rows through the block pass in blocks of blockRows and compares
// every row, every layer, bit for bit with the single-vector pass of a copy.
template <class Net>
void ExpectSameAsSingleRows(Net& net, const std::vector<std::vector<double>>& rows, int blockRows) {
  SCOPED_TRACE("block of " + std::to_string(blockRows));
  Net single = net;
  TBlockRecall block(net, blockRows);
  std::vector<double> expected(static_cast<size_t>(block.GetNumOutputs()));
  for (size_t first = 0; first < rows.size(); first += static_cast<size_t>(blockRows)) {
    const int count = static_cast<int>(std::min(rows.size() - first, static_cast<size_t>(blockRows)));
    for (int r = 0; r < count; ++r) {
      const std::vector<double>& row = rows[first + static_cast<size_t>(r)];
      std::copy(row.begin(), row.end(), block.Inputs(r).begin());
    }
    block.Run(count);
    for (int r = 0; r < count; ++r) {
      single.Recall(rows[first + static_cast<size_t>(r)], expected);
      ASSERT_TRUE(SameBits(block.Outputs(r), expected)) << "row " << first + static_cast<size_t>(r);
      for (int i = 0; i < net.GetNumLayers(); ++i) {
        ASSERT_TRUE(SameBits(block.Values(i, r), single.GetLayer(i)->GetOutputs())) << "layer " << i;
      }
    }
    // The layers hold the last row's values, as after a single-vector pass.
    for (int i = 0; i < net.GetNumLayers(); ++i) {
      ASSERT_TRUE(SameBits(net.GetLayer(i)->GetOutputs(), single.GetLayer(i)->GetOutputs())) << "layer " << i;
    }
  }
}

std::vector<std::vector<double>> RandomRows(std::mt19937& random, int count, int width, double low, double high) {
  std::uniform_real_distribution<double> value(low, high);
  std::vector<std::vector<double>> rows(static_cast<size_t>(count), std::vector<double>(static_cast<size_t>(width)));
  for (auto& row : rows) {
    for (double& v : row) v = value(random);
  }
  return rows;
}

TEST(BlockRecall, MirkNetworksGiveTheSingleRowOutputsBitForBit) {
  std::mt19937 random(7);
  for (int round = 0; round < 12; ++round) {
    const int inputs = 1 + static_cast<int>(random() % 5);
    const int outputs = 1 + static_cast<int>(random() % 3);
    std::vector<int> inputMF(static_cast<size_t>(inputs)), outputMF(static_cast<size_t>(outputs));
    for (int& m : inputMF) m = 2 + static_cast<int>(random() % 5);
    for (int& m : outputMF) m = 2 + static_cast<int>(random() % 5);
    TMirk net(inputs, inputMF, 1 + static_cast<int>(random() % 40), outputMF, outputs);
    net.InitWeights(-3.0, 3.0);
    PruneAndFreeze(net, random);
    // Action centres anywhere in [0, 1], some of them frozen.
    std::vector<double> centres = RandomRows(random, 1, static_cast<int>(net.GetWeightLayer(4).size()), 0.0, 1.0)[0];
    net.SetWeightLayer(4, centres);
    const auto& output = dynamic_cast<const TMirkOutputLayer&>(*net.GetLayer(TMirk::kOutputLayer));
    for (int a = 0; a < static_cast<int>(centres.size()); ++a) {
      if (random() % 2 == 0) net.FreezeWeight(4, output.GetOutputOf(a), a);
    }
    const auto rows = RandomRows(random, 37, inputs, -0.2, 1.2);
    for (const int blockRows : {1, 2, 5, 16}) ExpectSameAsSingleRows(net, rows, blockRows);
  }
}

TEST(BlockRecall, LayeredNetworksGiveTheSingleRowOutputsBitForBit) {
  std::mt19937 random(11);
  for (int round = 0; round < 12; ++round) {
    const int numLayers = 2 + static_cast<int>(random() % 3);
    std::vector<int> sizes(static_cast<size_t>(numLayers));
    for (int& s : sizes) s = static_cast<int>(random() % 20);
    sizes[0] = 1 + sizes[0];
    TMLPNetwork mlp(numLayers, sizes, round % 2 == 0);
    // A skip connection of another set class, and gain functions with
    // gains other than 1.
    mlp.SetConnections(1, numLayers, std::make_unique<TOtherSet>(&mlp, 1, numLayers));
    auto& top = dynamic_cast<TGainLayer&>(*mlp.GetLayer(numLayers));
    top.SetActivationFunction(ActTanhGain);
    top.SetGain(0.75);
    PruneAndFreeze(mlp, random);
    const auto rows = RandomRows(random, 29, sizes[0], -3.0, 3.0);
    for (const int blockRows : {1, 3, 16}) ExpectSameAsSingleRows(mlp, rows, blockRows);

    // Fully connected sets, and a neuron with a function of its own.
    TConnectedNetwork dense(4, std::vector<int>{0, sizes[0], 9, 4});
    dense.Connect(1, 2);
    dense.Connect(2, 3);
    dense.Connect(1, 3);
    dense.GetLayer(2)->SetActivationFunction(ActSigmoid);
    dense.GetLayer(2)->GetNeuron(3)->SetActivationFunction(ActSaturatedLinear);
    dense.GetLayer(3)->SetActivationFunction(ActLinear);
    dense.Randomize(-1.0, 1.0);
    for (const int blockRows : {2, 16}) ExpectSameAsSingleRows(dense, rows, blockRows);
  }
}

TEST(BlockRecall, RefusesANetworkWithMissingLayers) {
  TMLPNetwork slots(2, false);
  EXPECT_TEXCEPTION(TBlockRecall(slots, 4), "Incomplete network", "Bad Parameter", "TBlockRecall::TBlockRecall");
}

}  // namespace
}  // namespace mirk
