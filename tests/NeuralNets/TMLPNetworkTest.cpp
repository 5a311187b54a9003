#include "NeuralNets/TMLPNetwork.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NeuralNets/TGainLayer.h"
#include "support/TestUtil.h"

namespace mirk {
namespace {

// The sets of a network as "from->to" texts with their types, empty ones left out.
std::vector<std::string> ConnectedSets(const TBasicNetwork& net) {
  std::vector<std::string> sets;
  for (int to = 0; to < net.GetNumLayers(); ++to) {
    for (int from = 0; from < net.GetNumLayers(); ++from) {
      const TBasicConnections* set = net.GetConnections(from, to);
      if (set->IsConnected()) {
        sets.push_back(std::to_string(from) + "->" + std::to_string(to) + " " + set->GetConnectionsNType());
      }
    }
  }
  return sets;
}

TEST(MLPNetwork, LayerPlanWithAndWithoutBias) {
  struct Case {
    bool bias;
    std::vector<int> sizes;
    ActFunction biasFunction;
    std::vector<std::string> sets;
  } const cases[] = {
      {true, {1, 2, 4, 1}, ActBias, {"0->2 Pruneable", "1->2 Pruneable", "0->3 Pruneable", "2->3 Pruneable"}},
      {false, {0, 2, 4, 1}, ActNull, {"1->2 Pruneable", "2->3 Pruneable"}},
  };
  for (const Case& c : cases) {
    TMLPNetwork net(3, std::vector{2, 4, 1}, c.bias);
    SCOPED_TRACE(c.bias ? "bias" : "no bias");
    EXPECT_STREQ(net.GetNetworkNType(), "MLP");
    EXPECT_EQ(net.HasBias(), c.bias);
    ASSERT_EQ(net.GetNumLayers(), 4);
    EXPECT_EQ(net.GetInLayer(), 1);
    EXPECT_EQ(net.GetOutLayer(), 3);
    const char* types[] = {"Simple", "Input", "Gain", "Gain"};
    const ActFunction functions[] = {c.biasFunction, ActLinear, ActSigmoid, ActSigmoid};
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(net.GetLayer(i)->GetNumNeurons(), c.sizes[static_cast<size_t>(i)]) << i;
      EXPECT_STREQ(net.GetLayer(i)->GetLayerNType(), types[i]) << i;
      EXPECT_EQ(net.GetLayer(i)->GetActivationFunction(), functions[i]) << i;
    }
    for (int i = 2; i < 4; ++i) {
      for (int n = 0; n < net.GetLayer(i)->GetNumNeurons(); ++n) {
        EXPECT_EQ(dynamic_cast<TGainNeuron&>(*net.GetLayer(i)->GetNeuron(n)).gain, 1.0);
      }
    }
    EXPECT_EQ(ConnectedSets(net), c.sets);
    const int weights = 2 * 4 + 4 * 1 + (c.bias ? 4 + 1 : 0);
    EXPECT_EQ(net.GetNumWeights(FMaskAll), weights);
    std::vector<double> values(static_cast<size_t>(weights), -1.0);
    net.GetWeights(values, FMaskAll);
    EXPECT_EQ(values, std::vector<double>(values.size(), 0.0));

    // All weights 0.0: the output is the sigmoid of 0.
    std::vector<double> output(1);
    net.Recall(std::vector{0.3, 0.7}, output);
    EXPECT_EQ(output[0], 0.5);

    const TMLPNetwork copy = net;
    EXPECT_STREQ(copy.GetNetworkNType(), "MLP");
    EXPECT_EQ(copy.HasBias(), c.bias);
  }
}

TEST(MLPNetwork, BiasFeedsEveryLayerAboveTheInput) {
  TMLPNetwork net(3, std::vector{1, 1, 1}, true);
  *net.GetConnections(0, 2)->GetWeight(0, 0) = 2.0;
  *net.GetConnections(0, 3)->GetWeight(0, 0) = -3.0;
  *net.GetConnections(2, 3)->GetWeight(0, 0) = 1.0;
  std::vector<double> output(1);
  net.Recall(std::vector{5.0}, output);  // the input arc keeps weight 0.0
  double hidden = 0.0;
  TBasicNeuron probe;
  probe.output = &hidden;
  ActSigmoid(probe, 2.0);
  double expected = 0.0;
  probe.output = &expected;
  ActSigmoid(probe, -3.0 + hidden);
  EXPECT_EQ(output[0], expected);
}

TEST(MLPNetwork, SlotsOnlyConstructor) {
  TMLPNetwork net(2, false);
  EXPECT_STREQ(net.GetNetworkNType(), "MLP");
  ASSERT_EQ(net.GetNumLayers(), 3);
  EXPECT_EQ(net.GetInLayer(), 1);
  EXPECT_EQ(net.GetOutLayer(), 2);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(net.GetLayer(i), nullptr);
  EXPECT_TRUE(ConnectedSets(net).empty());
}

TEST(MLPNetwork, RefusesMissingLayersAndNegativeSizes) {
  constexpr const char* kWhere = "TMLPNetwork::TMLPNetwork";
  EXPECT_TEXCEPTION(TMLPNetwork(0, std::vector<int>{}, true), "Invalid number of layers", "Bad Parameter", kWhere);
  EXPECT_TEXCEPTION(TMLPNetwork(-1, false), "Invalid number of layers", "Bad Parameter", kWhere);
  EXPECT_TEXCEPTION(TMLPNetwork(3, std::vector{2, 4}, true), "Invalid number of layers", "Bad Parameter", kWhere);
  EXPECT_TEXCEPTION(TMLPNetwork(3, std::vector{2, -4, 1}, true), "Invalid layer size", "Bad Parameter", kWhere);
  // One layer: the input is the output.
  TMLPNetwork single(1, std::vector{2}, true);
  std::vector<double> output(2);
  single.Recall(std::vector{0.25, -4.0}, output);
  EXPECT_EQ(output, (std::vector{0.25, -4.0}));
}

}  // namespace
}  // namespace mirk
