#include "Mirk/TMirk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "Mirk/TConditionLayer.h"
#include "Mirk/TMirkOutputLayer.h"
#include "Mirk/TToOutputConnections.h"
#include "NeuralNets/Random.h"
#include "support/TestUtil.h"

namespace mirk {
namespace {

constexpr const char* kBad = "Bad Parameter";

// Two inputs with 3 and 2 conditions, 4 rules, one output with 3 actions.
class MirkTest : public ::testing::Test {
 protected:
  TConditionLayer& Conditions() { return dynamic_cast<TConditionLayer&>(*net.GetLayer(TMirk::kConditionLayer)); }
  TBasicConnections& Rules() { return *net.GetConnections(TMirk::kConditionLayer, TMirk::kRuleLayer); }

  double Weight(int layer, int from, int to) {
    double value = -99.0;
    net.GetWeightValue(layer, from, to, value);
    return value;
  }

  std::vector<std::vector<double>> AllWeightLayers() {
    return {net.GetWeightLayer(1), net.GetWeightLayer(2), net.GetWeightLayer(3), net.GetWeightLayer(4)};
  }

  TMirk net{2, std::array{3, 2}, 4, std::array{3}, 1};
};

TEST_F(MirkTest, ConstructionFollowsTheLayerPlan) {
  EXPECT_STREQ(net.GetNetworkNType(), "Mirk");
  ASSERT_EQ(net.GetNumLayers(), 6);
  EXPECT_EQ(net.GetInLayer(), 1);
  EXPECT_EQ(net.GetOutLayer(), 5);
  const int sizes[] = {0, 2, 5, 4, 3, 1};
  const char* types[] = {"Simple", "Input", "FuzzyCondition", "Simple", "Simple", "Defuzzify"};
  const ActFunction functions[] = {nullptr, ActLinear, ActMirkCondition, ActSigmoid, ActSigmoid, ActCog};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(net.GetLayer(i)->GetNumNeurons(), sizes[i]) << i;
    EXPECT_STREQ(net.GetLayer(i)->GetLayerNType(), types[i]) << i;
    if (i > 0) {
      EXPECT_EQ(net.GetLayer(i)->GetActivationFunction(), functions[i]) << i;
    }
  }
  for (int to = 0; to < 6; ++to) {
    for (int from = 0; from < 6; ++from) {
      const char* type = from + 1 != to ? "Empty"
                         : from == 1    ? "ToConditionConnections"
                         : from == 4    ? "ToOutputConnections"
                         : from == 0    ? "Empty"
                                        : "Pruneable";
      EXPECT_STREQ(net.GetConnections(from, to)->GetConnectionsNType(), type) << from << "->" << to;
    }
  }
  EXPECT_EQ(net.GetNumWeights(FMaskExists), 5 + 20 + 12 + 3);
}

TEST_F(MirkTest, GetStructureGivesSizesAndCounts) {
  int inputs = 0, conditions = 0, rules = 0, actions = 0, outputs = 0;
  std::vector<int> inputMF{9, 9, 9}, outputMF;
  net.GetStructure(inputs, conditions, inputMF, rules, actions, outputMF, outputs);
  EXPECT_EQ(inputs, 2);
  EXPECT_EQ(conditions, 5);
  EXPECT_EQ(inputMF, (std::vector<int>{3, 2}));
  EXPECT_EQ(rules, 4);
  EXPECT_EQ(actions, 3);
  EXPECT_EQ(outputMF, (std::vector<int>{3}));
  EXPECT_EQ(outputs, 1);
}

TEST_F(MirkTest, NewNetworkHasEvenConditionsAndZeroWeights) {
  EXPECT_EQ(net.GetWeightLayer(1), (std::vector<double>{0.0, 0.5, 1.0, 0.0, 1.0}));
  EXPECT_EQ(net.GetWeightLayer(2), std::vector<double>(20, 0.0));
  EXPECT_EQ(net.GetWeightLayer(3), std::vector<double>(12, 0.0));
  EXPECT_EQ(net.GetWeightLayer(4), std::vector<double>(3, 0.0));
}

TEST(MirkConstruction, BadSizesAreRefused) {
  struct Case {
    int numInputs;
    std::vector<int> inputMF;
    int numRules;
    std::vector<int> outputMF;
    int numOutputs;
    const char* message;
  };
  const Case cases[] = {
      {2, {3, 1}, 4, {1}, 1, "Must be >= 2 MF per input"},
      {1, {0}, 4, {3}, 1, "Must be >= 2 MF per input"},
      {2, {3, 2}, 4, {3, 1}, 2, "Must be >= 2 MF per output"},
      {1, {2}, 1, {-4}, 1, "Must be >= 2 MF per output"},
      {-1, {}, 4, {3}, 1, "Invalid number of inputs"},
      {3, {3, 2}, 4, {3}, 1, "Invalid number of inputs"},
      {1, {2}, -1, {3}, 1, "Invalid number of rules"},
      {1, {2}, 4, {3}, 2, "Invalid number of outputs"},
      {1, {2}, 4, {}, -1, "Invalid number of outputs"},
      {2, {INT_MAX, INT_MAX}, 1, {2}, 1, "Too many membership functions"},
  };
  for (const Case& c : cases) {
    EXPECT_TEXCEPTION(TMirk(c.numInputs, c.inputMF, c.numRules, c.outputMF, c.numOutputs), c.message, kBad,
                      "TMirk::TMirk");
  }
}

TEST(MirkConstruction, ExtraCountsAreIgnoredAndEmptySizesAllowed) {
  const TMirk net(1, std::array{2, 1}, 0, std::array{2, 0}, 1);
  EXPECT_EQ(net.GetLayer(TMirk::kConditionLayer)->GetNumNeurons(), 2);
  EXPECT_EQ(net.GetLayer(TMirk::kRuleLayer)->GetNumNeurons(), 0);
  const TMirk none(0, {}, 0, {}, 0);
  EXPECT_EQ(none.GetWeightLayer(2), std::vector<double>{});
}

TEST_F(MirkTest, WeightsAreAddressedByLayerAndPair) {
  struct Case {
    int layer, from, to;
    bool valid;
  };
  const Case cases[] = {
      {1, 1, 3, true},  {1, 0, 3, false}, {1, 0, 2, true},  {1, 0, 5, false}, {1, 2, 4, false},
      {2, 4, 3, true},  {2, 5, 0, false}, {2, 0, 4, false}, {2, -1, 0, false},
      {3, 3, 2, true},  {3, 4, 0, false}, {3, 0, 3, false},
      {4, 2, 0, true},  {4, 0, 1, false}, {4, 3, 0, false}, {4, -1, 0, false},
  };
  for (const Case& c : cases) {
    double value = -1.0;
    if (c.valid) {
      net.SetWeightValue(c.layer, c.from, c.to, 0.125);
      net.GetWeightValue(c.layer, c.from, c.to, value);
      EXPECT_EQ(value, 0.125) << c.layer << ":" << c.from << "," << c.to;
    } else {
      EXPECT_TEXCEPTION(net.GetWeightValue(c.layer, c.from, c.to, value), "Invalid weight number", kBad,
                        "TMirk::GetWeightValue");
      EXPECT_TEXCEPTION(net.SetWeightValue(c.layer, c.from, c.to, 0.5), "Invalid weight number", kBad,
                        "TMirk::SetWeightValue");
    }
  }
  EXPECT_EQ(Conditions().GetConditionNeuron(3).centre, 0.125);
  EXPECT_EQ(*Rules().GetWeight(4, 3), 0.125);
  EXPECT_EQ(net.GetWeightLayer(4), (std::vector<double>{0.0, 0.0, 0.125}));
}

TEST_F(MirkTest, LayersOutsideOneToFourAreRefusedFirst) {
  double value = 0.0;
  bool exists = false;
  for (const int layer : {0, 5, -1}) {
    EXPECT_TEXCEPTION(net.GetWeightValue(layer, 0, 0, value), "Invalid weight layer", kBad, "TMirk::GetWeightValue");
    EXPECT_TEXCEPTION(net.SetWeightValue(layer, 99, 99, 0.0), "Invalid weight layer", kBad, "TMirk::SetWeightValue");
    EXPECT_TEXCEPTION(net.GetWeightLayer(layer), "Invalid weight layer", kBad, "TMirk::GetWeightLayer");
    EXPECT_TEXCEPTION(net.SetWeightLayer(layer, {}), "Invalid weight layer", kBad, "TMirk::SetWeightLayer");
    EXPECT_TEXCEPTION(net.FreezeWeight(layer, 99, 99), "Invalid weight layer", kBad, "TMirk::FreezeWeight");
    EXPECT_TEXCEPTION(net.UnfreezeWeight(layer, 0, 0), "Invalid weight layer", kBad, "TMirk::UnfreezeWeight");
    EXPECT_TEXCEPTION(net.WeightExists(layer, 99, 99, exists), "Invalid weight layer", kBad, "TMirk::WeightExists");
  }
}

TEST_F(MirkTest, WeightLayersOfRulesAreSourceMajor) {
  net.SetWeightValue(2, 1, 2, 0.5);
  net.SetWeightValue(3, 3, 1, 0.75);
  const std::vector<double> rules = net.GetWeightLayer(2);
  EXPECT_EQ(rules[1 * 4 + 2], 0.5);
  EXPECT_EQ(std::count(rules.begin(), rules.end(), 0.0), 19);
  const std::vector<double> actions = net.GetWeightLayer(3);
  EXPECT_EQ(actions[3 * 3 + 1], 0.75);
  std::vector<double> next(20, 0.0);
  next[4 * 4 + 0] = -2.0;
  net.SetWeightLayer(2, next);
  EXPECT_EQ(Weight(2, 4, 0), -2.0);
  EXPECT_EQ(Weight(2, 1, 2), 0.0);
}

TEST_F(MirkTest, WeightLayersRoundTrip) {
  detail::ResetRandomForTesting();
  net.Randomize(-1.0, 1.0);
  const std::vector<std::vector<double>> before = AllWeightLayers();
  for (int layer = 1; layer <= 4; ++layer) net.SetWeightLayer(layer, net.GetWeightLayer(layer));
  EXPECT_EQ(AllWeightLayers(), before);
  std::vector<double> centres{0.1, 0.2, 0.3};
  net.SetWeightLayer(4, centres);
  EXPECT_EQ(Weight(4, 1, 0), 0.2);
}

TEST_F(MirkTest, WrongLengthOfAWeightLayerIsRefusedAndChangesNothing) {
  const std::vector<std::vector<double>> before = AllWeightLayers();
  EXPECT_TEXCEPTION(net.SetWeightLayer(2, std::vector<double>(19, 1.0)), "Wrong number of weights", kBad,
                    "TMirk::SetWeightLayer");
  EXPECT_TEXCEPTION(net.SetWeightLayer(1, std::vector<double>(6, 1.0)), "Wrong number of weights", kBad,
                    "TMirk::SetWeightLayer");
  EXPECT_EQ(AllWeightLayers(), before);
}

TEST_F(MirkTest, FreezeTakesTheReceivingNodeFirst) {
  // Weight layer 1: the condition node's own flag, whatever from is.
  net.FreezeWeight(1, 3, 42);
  EXPECT_FALSE(Conditions().GetConditionNeuron(3).trainable);
  EXPECT_EQ(net.GetConnections(1, 2)->GetFlags(1, 3), FMaskAll);
  net.UnfreezeWeight(1, 3, -7);
  EXPECT_TRUE(Conditions().GetConditionNeuron(3).trainable);
  // Weight layers 2 to 4: the set's flag of arc (from, to).
  net.FreezeWeight(2, 3, 1);
  EXPECT_EQ(Rules().GetFlags(1, 3), FMaskExists);
  EXPECT_EQ(Rules().GetFlags(3, 1), FMaskAll);
  net.UnfreezeWeight(2, 3, 1);
  EXPECT_EQ(Rules().GetFlags(1, 3), FMaskAll);
  net.FreezeWeight(3, 2, 0);
  EXPECT_EQ(net.GetConnections(3, 4)->GetFlags(0, 2), FMaskExists);
  net.FreezeWeight(4, 0, 2);
  EXPECT_EQ(net.GetConnections(4, 5)->GetFlags(2, 0), FMaskExists);
}

TEST_F(MirkTest, FreezeOfAMissingArcIsRefused) {
  Rules().RemoveWeight(1, 3);
  struct Case {
    int layer, to, from;
  };
  const Case cases[] = {{1, 5, 0}, {1, -1, 0}, {2, 3, 1}, {2, 4, 0}, {2, 0, 5}, {3, 3, 0}, {4, 1, 0}, {4, 0, 3}};
  for (const Case& c : cases) {
    EXPECT_TEXCEPTION(net.FreezeWeight(c.layer, c.to, c.from), "Invalid weight number", kBad, "TMirk::FreezeWeight");
    EXPECT_TEXCEPTION(net.UnfreezeWeight(c.layer, c.to, c.from), "Invalid weight number", kBad,
                      "TMirk::UnfreezeWeight");
  }
  EXPECT_EQ(Rules().GetFlags(1, 3), 0);
}

TEST_F(MirkTest, PrunedArcKeepsItsStoredWeight) {
  Rules().RemoveWeight(2, 3);
  bool exists = true;
  net.WeightExists(2, 2, 3, exists);
  EXPECT_FALSE(exists);
  EXPECT_EQ(Weight(2, 2, 3), 0.0);
  net.SetWeightValue(2, 2, 3, 0.5);
  EXPECT_EQ(Weight(2, 2, 3), 0.5);
  net.WeightExists(2, 2, 3, exists);
  EXPECT_FALSE(exists);
}

TEST_F(MirkTest, WeightExistsByLayer) {
  struct Case {
    int layer, from, to;
    bool exists;
  };
  const Case cases[] = {{1, 1, 3, true}, {1, 0, 3, false}, {2, 4, 3, true}, {3, 3, 2, true},
                        {4, 2, 0, true}, {4, 0, 0, true}};
  for (const Case& c : cases) {
    bool exists = !c.exists;
    net.WeightExists(c.layer, c.from, c.to, exists);
    EXPECT_EQ(exists, c.exists) << c.layer << ":" << c.from << "," << c.to;
  }
  const Case outside[] = {{1, 2, 0, false}, {1, 0, 5, false}, {2, 5, 0, false}, {2, 0, 4, false},
                          {3, 4, 0, false}, {4, 3, 0, false}, {4, 0, 1, false}, {4, -1, 0, false}};
  for (const Case& c : outside) {
    bool exists = false;
    EXPECT_TEXCEPTION(net.WeightExists(c.layer, c.from, c.to, exists), "Invalid node number", kBad,
                      "TMirk::WeightExists");
  }
}

TEST_F(MirkTest, ActivationValuesAfterRecall) {
  const std::array<double, 2> inputs{0.25, 1.0};
  std::array<double, 1> outputs{};
  net.Recall(inputs, outputs);
  const double expected[][5] = {{}, {0.25, 1.0}, {0.5, 0.5, 0.0, 0.0, 1.0}, {0.5, 0.5, 0.5, 0.5}};
  for (int layer = 1; layer <= 3; ++layer) {
    for (int node = 0; node < net.GetLayer(layer)->GetNumNeurons(); ++node) {
      double value = -1.0;
      net.GetActivationValue(layer, node, value);
      EXPECT_EQ(value, expected[layer][node]) << layer << ":" << node;
    }
  }
  double value = 0.0;
  const char* where = "TMirk::GetActivationValue";
  EXPECT_TEXCEPTION(net.GetActivationValue(6, 0, value), "Invalid node layer", kBad, where);
  EXPECT_TEXCEPTION(net.GetActivationValue(-1, 0, value), "Invalid node layer", kBad, where);
  EXPECT_TEXCEPTION(net.GetActivationValue(0, 0, value), "Invalid node number", kBad, where);
  EXPECT_TEXCEPTION(net.GetActivationValue(2, 5, value), "Invalid node number", kBad, where);
  EXPECT_TEXCEPTION(net.GetActivationValue(5, -1, value), "Invalid node number", kBad, where);
}

double Sigmoid(double x) { return static_cast<double>(1.0L / (1.0L + std::exp(-static_cast<long double>(x)))); }

TEST_F(MirkTest, RecallRunsTheWholeFuzzyPass) {
  // Input 0 = 0.25 sits halfway between conditions 0 and 1; input 1 = 1.0 is
  // condition 4. Rule 0 reads conditions 0 and 4, rule 1 condition 1; action
  // 0 follows rule 0, action 2 rule 1; centres 0, 0.5, 1.
  net.SetWeightValue(2, 0, 0, 2.0);
  net.SetWeightValue(2, 4, 0, -1.0);
  net.SetWeightValue(2, 1, 1, 3.0);
  net.SetWeightValue(3, 0, 0, 4.0);
  net.SetWeightValue(3, 1, 2, -2.0);
  net.SetWeightLayer(4, std::vector<double>{0.0, 0.5, 1.0});
  const std::array<double, 2> inputs{0.25, 1.0};
  std::array<double, 1> outputs{};
  net.Recall(inputs, outputs);

  const double rules[] = {Sigmoid(0.5 * 2.0 + 1.0 * -1.0), Sigmoid(0.5 * 3.0), Sigmoid(0.0), Sigmoid(0.0)};
  const double actions[] = {Sigmoid(rules[0] * 4.0), Sigmoid(0.0), Sigmoid(rules[1] * -2.0)};
  const double expected = (actions[0] * 0.0 + actions[1] * 0.5 + actions[2] * 1.0) / (actions[0] + actions[1] + actions[2]);
  EXPECT_DOUBLE_EQ(outputs[0], expected);
  double value = 0.0;
  net.GetActivationValue(4, 2, value);
  EXPECT_DOUBLE_EQ(value, actions[2]);
}

TEST_F(MirkTest, InitWeightsResetsCentresAndDrawsRuleWeights) {
  net.SetWeightLayer(1, std::vector<double>(5, 0.3));
  net.FreezeWeight(2, 0, 0);
  detail::ResetRandomForTesting();
  net.InitWeights(-1.0, 1.0);
  EXPECT_EQ(net.GetWeightLayer(1), (std::vector<double>{0.0, 0.5, 1.0, 0.0, 1.0}));
  EXPECT_EQ(net.GetWeightLayer(4), (std::vector<double>{0.0, 0.5, 1.0}));
  // Storage order: for each rule, its conditions; then for each action, its
  // rules. The frozen arc draws nothing.
  detail::ResetRandomForTesting();
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 5; ++c) {
      if (r == 0 && c == 0) {
        EXPECT_EQ(Weight(2, 0, 0), 0.0);
        continue;
      }
      EXPECT_EQ(Weight(2, c, r), RandomWeight(-1.0, 1.0)) << c << "->" << r;
    }
  }
  for (int a = 0; a < 3; ++a) {
    for (int r = 0; r < 4; ++r) EXPECT_EQ(Weight(3, r, a), RandomWeight(-1.0, 1.0)) << r << "->" << a;
  }
}

TEST_F(MirkTest, InitWeightsWithEqualBoundsSetsEveryRuleWeight) {
  net.InitWeights(0.25, 0.25);
  EXPECT_EQ(net.GetWeightLayer(2), std::vector<double>(20, 0.25));
  EXPECT_EQ(net.GetWeightLayer(3), std::vector<double>(12, 0.25));
}

TEST_F(MirkTest, RandomizeDrawsCentresToo) {
  net.Randomize(0.5, 0.5);
  EXPECT_EQ(net.GetWeightLayer(1), std::vector<double>(5, 0.5));
  EXPECT_EQ(net.GetWeightLayer(4), std::vector<double>(3, 0.5));
}

TEST_F(MirkTest, ConnectKeepsConnectedPairsAndMakesTheSpecialSets) {
  net.SetWeightValue(2, 0, 0, 0.5);
  net.Connect(2, 3);
  EXPECT_EQ(Weight(2, 0, 0), 0.5);
  net.Disconnect(2, 3);
  net.Connect(2, 3);
  EXPECT_EQ(Weight(2, 0, 0), 0.0);
  EXPECT_STREQ(net.GetConnections(2, 3)->GetConnectionsNType(), "Pruneable");
  net.Disconnect(4, 5);
  net.Connect(4, 5);
  EXPECT_STREQ(net.GetConnections(4, 5)->GetConnectionsNType(), "ToOutputConnections");
  net.Disconnect(1, 2);
  net.Connect(1, 2);
  EXPECT_STREQ(net.GetConnections(1, 2)->GetConnectionsNType(), "ToConditionConnections");
  net.Connect(0, 3);
  EXPECT_STREQ(net.GetConnections(0, 3)->GetConnectionsNType(), "Pruneable");
}

TEST_F(MirkTest, CopiesRecallAlikeAndShareNothing) {
  net.InitWeights(-2.0, 2.0);
  TMirk copy(net);
  const std::array<double, 2> inputs{0.3, 0.6};
  std::array<double, 1> a{}, b{};
  net.Recall(inputs, a);
  copy.Recall(inputs, b);
  EXPECT_EQ(a, b);
  copy.SetWeightValue(1, 0, 1, 0.9);
  copy.SetWeightValue(4, 0, 0, 0.9);
  EXPECT_EQ(Weight(1, 0, 1), 0.5);
  EXPECT_EQ(Weight(4, 0, 0), 0.0);
  TMirk assigned;
  assigned = copy;
  double value = 0.0;
  assigned.GetWeightValue(1, 0, 1, value);
  EXPECT_EQ(value, 0.9);
}

TEST_F(MirkTest, ConditionNodesCannotBeRemovedFromTheNetwork) {
  EXPECT_THROW(net.RemoveNode(TMirk::kConditionLayer, 0), TException);
  EXPECT_EQ(Conditions().GetNumNeurons(), 5);
  EXPECT_EQ(net.GetWeightLayer(2).size(), 20u);
}

// Regression: an action node edit used to resize the rule set before the
// output set refused, leaving the network inconsistent.
TEST_F(MirkTest, NodeEditsNextToTheSpecialSetsAreRefusedBeforeAnyChange) {
  net.InitWeights(-1.0, 1.0);
  const auto before = AllWeightLayers();
  EXPECT_TEXCEPTION(net.RemoveNode(TMirk::kActionLayer, 1), "Connection set cannot remove nodes", kBad,
                    "TBasicNetwork::RemoveNode");
  EXPECT_TEXCEPTION(net.InsertNode(TMirk::kActionLayer, 0, 0.0, 1.0, true), "Connection set cannot insert nodes",
                    kBad, "TBasicNetwork::InsertNode");
  EXPECT_TEXCEPTION(net.InsertNode(TMirk::kConditionLayer, 0, 0.0, 1.0, true),
                    "Connection set cannot insert nodes", kBad, "TBasicNetwork::InsertNode");
  EXPECT_EQ(net.GetLayer(TMirk::kActionLayer)->GetNumNeurons(), 3);
  EXPECT_EQ(AllWeightLayers(), before);
  const std::array<double, 2> in{0.3, 0.8};
  std::array<double, 1> out{};
  net.Recall(in, out);
}

TEST_F(MirkTest, PruneNodesPassesOverLayersWithSpecialSetsAndPrunesRules) {
  // Rule 0 loses every arc to the actions; condition 0 every arc to rules.
  TBasicConnections& actions = *net.GetConnections(TMirk::kRuleLayer, TMirk::kActionLayer);
  for (int a = 0; a < 3; ++a) actions.RemoveWeight(0, a);
  for (int r = 0; r < 4; ++r) Rules().RemoveWeight(0, r);
  EXPECT_EQ(net.PruneNodes(), 1);
  EXPECT_EQ(net.GetLayer(TMirk::kRuleLayer)->GetNumNeurons(), 3);
  EXPECT_EQ(Conditions().GetNumNeurons(), 5);
}

TEST(MirkIncomplete, EmptyNetworkRefusesWhatNeedsThePlan) {
  TMirk net;
  EXPECT_STREQ(net.GetNetworkNType(), "Mirk");
  EXPECT_EQ(net.GetNumLayers(), 6);
  int n = 0;
  std::vector<int> mf;
  EXPECT_TEXCEPTION(net.GetStructure(n, n, mf, n, n, mf, n), "Incomplete Mirk network", kBad, "TMirk::GetStructure");
  double value = 0.0;
  EXPECT_TEXCEPTION(net.GetWeightValue(1, 0, 0, value), "Incomplete Mirk network", kBad, "TMirk::GetWeightValue");
  EXPECT_TEXCEPTION(net.InitWeights(0, 1), "Incomplete Mirk network", kBad, "TMirk::InitWeights");
  EXPECT_TEXCEPTION(net.GetActivationValue(1, 0, value), "Invalid node number", kBad, "TMirk::GetActivationValue");
  EXPECT_THROW(net.Connect(1, 2), TException);
  EXPECT_STREQ(net.GetConnections(1, 2)->GetConnectionsNType(), "Empty");
}

TEST(MirkIncomplete, NetworkWithoutItsRuleSetsHasSizesButNoWeights) {
  TMirk net(1, std::array{2}, 2, std::array{2}, 1);
  net.Disconnect(3, 4);
  int inputs = 0, conditions = 0, rules = 0, actions = 0, outputs = 0;
  std::vector<int> inputMF, outputMF;
  net.GetStructure(inputs, conditions, inputMF, rules, actions, outputMF, outputs);
  EXPECT_EQ(rules, 2);
  EXPECT_TEXCEPTION(net.GetWeightLayer(3), "Incomplete Mirk network", kBad, "TMirk::GetWeightLayer");
}

TEST(MirkIncomplete, FullyConnectedRuleSetCannotFreeze) {
  TMirk net(1, std::array{2}, 2, std::array{2}, 1);
  net.Disconnect(2, 3);
  net.TConnectedNetwork::Connect(2, 3);
  EXPECT_STREQ(net.GetConnections(2, 3)->GetConnectionsNType(), "FullyConnected");
  net.SetWeightValue(2, 1, 1, 0.5);
  EXPECT_EQ(net.GetWeightLayer(2), (std::vector<double>{0.0, 0.0, 0.0, 0.5}));
  EXPECT_TEXCEPTION(net.FreezeWeight(2, 1, 1), "Weight cannot be frozen", kBad, "TMirk::FreezeWeight");
  net.UnfreezeWeight(2, 1, 1);
}

}  // namespace
}  // namespace mirk
