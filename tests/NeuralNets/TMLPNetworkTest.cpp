#include "NeuralNets/TMLPNetwork.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DataObject/Data.h"
#include "NeuralNets/TErrorObj.h"
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

// Two inputs, one output, a bias; weights chosen so no output is 0.5.
TMLPNetwork SmallNetwork() {
  TMLPNetwork net(2, std::vector{2, 1}, true);
  *net.GetConnections(1, 2)->GetWeight(0, 0) = 1.5;
  *net.GetConnections(1, 2)->GetWeight(1, 0) = -2.0;
  *net.GetConnections(0, 2)->GetWeight(0, 0) = 0.25;
  return net;
}

TEST(MLPNetwork, RecallFormsReadEveryOccupiedRowOnce) {
  TMLPNetwork net = SmallNetwork();
  const std::vector<std::vector<double>> rows{{0.5, 1.0}, {-1.0, 0.25}, {2.0, 2.0}};
  Data data(5, 2, 1, false);  // a ring only partly filled
  for (const auto& row : rows) data.AppendRow(row, std::vector{1.0});
  std::vector<double> expected;
  TMLPNetwork single = net;
  double sum = 1.0;  // the row accumulated before the recall
  for (const auto& row : rows) {
    std::vector<double> y(1);
    single.Recall(row, y);
    expected.push_back(y[0]);
    sum += (1.0 - y[0]) * (1.0 - y[0]);
  }

  const std::unique_ptr<Data> result = net.Recall(&data);
  ASSERT_EQ(result->GetNumDataRows(), 3);
  EXPECT_EQ(result->GetNumInputs(), 2);
  std::unique_ptr<Data> outputs;
  net.RecallOutputOnly(&data, outputs);
  ASSERT_EQ(outputs->GetNumDataRows(), 3);
  EXPECT_EQ(outputs->GetNumInputs(), 0);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(result->GetInputDatum(k, 1), rows[static_cast<size_t>(k)][1]);
    EXPECT_EQ(result->GetOutputDatum(k, 0), expected[static_cast<size_t>(k)]);
    EXPECT_EQ(outputs->GetOutputDatum(k, 0), expected[static_cast<size_t>(k)]);
  }

  // The caller's measure is not reset: it keeps the row it already had.
  TErrorRMSObj measure(1);
  measure.Accumulate(std::vector{1.0}, std::vector{0.0});
  const double error = net.RecallOutputOnly(&data, measure);
  EXPECT_EQ(measure.GetCount(), 4);
  EXPECT_EQ(error, measure.Result());
  EXPECT_DOUBLE_EQ(measure.GetSumSquares(), sum);
}

TEST(MLPNetwork, RecallRefusesNullDataNarrowDataAndMeasuresOfOtherWidths) {
  constexpr const char* kRecall = "TMLPNetwork::Recall";
  constexpr const char* kOutputOnly = "TMLPNetwork::RecallOutputOnly";
  TMLPNetwork net = SmallNetwork();
  std::unique_ptr<Data> result;
  TErrorRMSObj measure(1);
  EXPECT_TEXCEPTION(net.Recall(nullptr), "Null data pointer", "Null Pointer Parameter", kRecall);
  EXPECT_TEXCEPTION(net.RecallOutputOnly(nullptr, result), "Null data pointer", "Null Pointer Parameter", kOutputOnly);
  EXPECT_TEXCEPTION(net.RecallOutputOnly(nullptr, measure), "Null data pointer", "Null Pointer Parameter",
                    kOutputOnly);
  Data narrow(2, 1, 1, false);
  EXPECT_TEXCEPTION(net.Recall(&narrow), "Data set has too few inputs", "Bad Parameter", kRecall);
  Data noOutputs(2, 2, 0, false);
  EXPECT_TEXCEPTION(net.RecallOutputOnly(&noOutputs, measure), "Data set has too few outputs", "Bad Parameter",
                    kOutputOnly);
  TErrorCrossEntropyObj wide(2);
  Data data(2, 2, 2, false);
  EXPECT_TEXCEPTION(net.RecallOutputOnly(&data, wide), "Error measure does not fit the network", "Bad Parameter",
                    kOutputOnly);
  EXPECT_EQ(wide.GetCount(), 0);
  EXPECT_EQ(result, nullptr);
}

}  // namespace
}  // namespace mirk
