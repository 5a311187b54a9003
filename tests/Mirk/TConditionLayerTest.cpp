#include "Mirk/TConditionLayer.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "Mirk/TMirk.h"
#include "NeuralNets/TSimpleLayer.h"
#include "support/TestUtil.h"

namespace mirk {
namespace {

constexpr const char* kBad = "Bad Parameter";

// A network of two inputs with 3 and 2 conditions.
class ConditionLayerTest : public ::testing::Test {
 protected:
  TConditionLayer& Layer() { return dynamic_cast<TConditionLayer&>(*net.GetLayer(TMirk::kConditionLayer)); }

  std::vector<double> Centres() {
    std::vector<double> centres;
    for (int c = 0; c < Layer().GetNumNeurons(); ++c) centres.push_back(Layer().GetConditionNeuron(c).centre);
    return centres;
  }

  // Memberships of all condition nodes for the two inputs.
  std::vector<double> Memberships(double x0, double x1) {
    const std::array<double, 2> inputs{x0, x1};
    net.GetLayer(TMirk::kInputLayer)->Propagate(inputs);
    Layer().Propagate({});
    const std::span<const double> out = Layer().GetOutputs();
    return {out.begin(), out.end()};
  }

  TMirk net{2, std::array{3, 2}, 4, std::array{3}, 1};
};

TEST_F(ConditionLayerTest, SetInputMFMapsChainsAndSpreadsCentres) {
  TConditionLayer& layer = Layer();
  EXPECT_EQ(layer.GetNumInputs(), 2);
  EXPECT_EQ(std::vector<int>(layer.GetInputMF().begin(), layer.GetInputMF().end()), (std::vector<int>{3, 2}));
  for (int c = 0; c < 5; ++c) EXPECT_EQ(layer.GetInputOf(c), c < 3 ? 0 : 1) << c;
  EXPECT_EQ(Centres(), (std::vector<double>{0.0, 0.5, 1.0, 0.0, 1.0}));
  // The chains stop at the border between the inputs.
  EXPECT_EQ(layer.GetConditionNeuron(0).left, nullptr);
  EXPECT_EQ(layer.GetConditionNeuron(1).left, &layer.GetConditionNeuron(0));
  EXPECT_EQ(layer.GetConditionNeuron(1).right, &layer.GetConditionNeuron(2));
  EXPECT_EQ(layer.GetConditionNeuron(2).right, nullptr);
  EXPECT_EQ(layer.GetConditionNeuron(3).left, nullptr);
  EXPECT_EQ(layer.GetConditionNeuron(3).right, &layer.GetConditionNeuron(4));
  EXPECT_STREQ(layer.GetLayerNType(), "FuzzyCondition");
  EXPECT_EQ(layer.GetLayerCode(), 4);
}

TEST_F(ConditionLayerTest, ResetCentresSpreadsFiveFunctionsEvenly) {
  TMirk wide(1, std::array{5}, 1, std::array{2}, 1);
  auto& layer = dynamic_cast<TConditionLayer&>(*wide.GetLayer(TMirk::kConditionLayer));
  layer.GetConditionNeuron(2).centre = 0.9;
  layer.GetConditionNeuron(2).trainable = false;
  layer.ResetCentres(1);
  const double expected[] = {0.0, 0.25, 0.5, 0.75, 1.0};
  for (int c = 0; c < 5; ++c) EXPECT_EQ(layer.GetConditionNeuron(c).centre, expected[c]);
  EXPECT_FALSE(layer.GetConditionNeuron(2).trainable);
}

TEST_F(ConditionLayerTest, ResetCentresOfTheFirstInputOnlyKeepsTheOthers) {
  Layer().GetConditionNeuron(1).centre = 0.7;
  Layer().GetConditionNeuron(4).centre = 0.7;
  Layer().ResetCentres(1);
  EXPECT_EQ(Centres(), (std::vector<double>{0.0, 0.5, 1.0, 0.0, 0.7}));
  EXPECT_TEXCEPTION(Layer().ResetCentres(3), "Invalid input number", kBad, "TConditionLayer::ResetCentres");
}

TEST_F(ConditionLayerTest, MembershipsOfThreeFunctions) {
  struct Case {
    double x;
    std::array<double, 3> expected;
  };
  const Case cases[] = {
      {0.25, {0.5, 0.5, 0.0}}, {-3.0, {1.0, 0.0, 0.0}}, {1.7, {0.0, 0.0, 1.0}}, {0.5, {0.0, 1.0, 0.0}},
      {0.0, {1.0, 0.0, 0.0}},  {1.0, {0.0, 0.0, 1.0}},  {0.9, {0.0, 0.2, 0.8}},
  };
  for (const Case& c : cases) {
    const std::vector<double> mu = Memberships(c.x, 0.0);
    for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(mu[static_cast<size_t>(i)], c.expected[static_cast<size_t>(i)]) << "x=" << c.x << " node " << i;
  }
}

TEST_F(ConditionLayerTest, EachNodeReadsItsOwnInput) {
  const std::vector<double> mu = Memberships(0.0, 0.75);
  EXPECT_EQ(mu, (std::vector<double>{1.0, 0.0, 0.0, 0.25, 0.75}));
}

TEST_F(ConditionLayerTest, MiddleNodeIsZeroAtNeighbourCentre) {
  Layer().GetConditionNeuron(0).centre = 0.1;
  Layer().GetConditionNeuron(2).centre = 0.8;
  EXPECT_EQ(Memberships(0.1, 0.0)[1], 0.0);
  EXPECT_EQ(Memberships(0.8, 0.0)[1], 0.0);
}

TEST_F(ConditionLayerTest, UnsortedCentresFallThroughToZero) {
  // Training can move a centre past its neighbour: the triangle cases never
  // divide by zero or by a negative width then.
  Layer().GetConditionNeuron(1).centre = 0.5;
  Layer().GetConditionNeuron(2).centre = 0.2;
  const std::vector<double> mu = Memberships(0.6, 0.0);
  EXPECT_EQ(mu[1], 0.0);
  EXPECT_EQ(mu[2], 1.0);  // the right shoulder
}

TEST_F(ConditionLayerTest, RegisteredFunctionMatchesTheInlinePass) {
  const ActFunction fn = net.GetFnRegistry().GetFunction("mirk-CONDITION");
  EXPECT_EQ(fn, ActMirkCondition);
  const std::vector<double> inline_pass = Memberships(0.3, 0.6);
  // Per-neuron functions take the general path through each neuron.
  for (int c = 0; c < 5; ++c) Layer().GetConditionNeuron(c).SetActivationFunction(ActMirkCondition);
  EXPECT_EQ(Memberships(0.3, 0.6), inline_pass);
}

TEST_F(ConditionLayerTest, AnotherCommonFunctionGetsTheInputAsNetInput) {
  Layer().SetActivationFunction(ActLinear);
  EXPECT_EQ(Memberships(0.3, 0.6), (std::vector<double>{0.3, 0.3, 0.3, 0.6, 0.6}));
}

TEST_F(ConditionLayerTest, MirkConditionOnAPlainNeuronIsRefused) {
  TSimpleLayer plain(&net, 3, 1);
  EXPECT_TEXCEPTION(ActMirkCondition(*plain.GetNeuron(0), 0.5),
                    "Activation function Mirk-condition needs a condition neuron", "Invalid Parameter",
                    "TBasicNeuron::Activate");
}

TEST_F(ConditionLayerTest, ConditionNodesAndPositions) {
  EXPECT_EQ(Layer().GetConditionNodes(0), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(Layer().GetConditionNodes(1), (std::vector<int>{3, 4}));
  EXPECT_EQ(Layer().GetMFIndex(4), 1);
  EXPECT_EQ(Layer().GetMFIndex(3), 0);
  EXPECT_EQ(Layer().GetMFIndex(2), 2);
  EXPECT_TEXCEPTION(Layer().GetConditionNodes(2), "Invalid input number", kBad, "TConditionLayer::GetConditionNodes");
  EXPECT_TEXCEPTION(Layer().GetMFIndex(5), "Invalid node number", kBad, "TConditionLayer::GetMFIndex");
  EXPECT_TEXCEPTION(Layer().GetInputOf(-1), "Invalid node number", kBad, "TConditionLayer::GetInputOf");
}

TEST_F(ConditionLayerTest, BadCountsAreRefusedAndLeaveTheLayerAsItWas) {
  struct Case {
    int count;
    std::vector<int> counts;
    const char* message;
  };
  const Case cases[] = {
      {2, {4, 1}, "Must be >= 2 MF per input"},
      {2, {0, 5}, "Must be >= 2 MF per input"},
      {2, {-1, 6}, "Must be >= 2 MF per input"},
      {2, {2, 2}, "Membership counts do not match the layer"},
      {1, {4, 9}, "Membership counts do not match the layer"},
      {3, {3, 2}, "Membership counts do not match the layer"},
      {-1, {}, "Membership counts do not match the layer"},
      {2, {2000000000, 2000000000}, "Membership counts do not match the layer"},
  };
  Layer().GetConditionNeuron(1).centre = 0.3;
  for (const Case& c : cases) {
    EXPECT_TEXCEPTION(Layer().SetInputMF(c.count, c.counts), c.message, kBad, "TConditionLayer::SetInputMF");
  }
  EXPECT_EQ(Layer().GetNumInputs(), 2);
  EXPECT_EQ(Layer().GetConditionNodes(1), (std::vector<int>{3, 4}));
  EXPECT_EQ(Centres(), (std::vector<double>{0.0, 0.3, 1.0, 0.0, 1.0}));
}

TEST_F(ConditionLayerTest, SetInputMFTakesTheFirstCountEntries) {
  // The file reader passes one slot per node and the number of inputs seen.
  Layer().SetInputMF(1, std::array{5, 0, 0, 0, 0});
  EXPECT_EQ(Layer().GetNumInputs(), 1);
  EXPECT_EQ(Layer().GetConditionNodes(0), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(Layer().GetConditionNeuron(3).left, &Layer().GetConditionNeuron(2));
  EXPECT_EQ(Centres(), (std::vector<double>{0.0, 0.25, 0.5, 0.75, 1.0}));
}

TEST_F(ConditionLayerTest, PropagateWithoutCountsIsRefused) {
  TMirk empty;
  TConditionLayer unmapped(&empty, 2, 3);
  EXPECT_TEXCEPTION(unmapped.Propagate({}), "Membership counts of the condition layer not set", "Invalid Parameter",
                    "TConditionLayer::Propagate");
  TConditionLayer none(&empty, 2, 0);
  none.Propagate({});  // nothing to compute
}

TEST_F(ConditionLayerTest, PropagateNeedsAsManyInputsBelowAsTheLayerHas) {
  TMirk other;
  other.SetLayer(1, std::make_unique<TSimpleLayer>(&other, 1, 1));
  TConditionLayer layer(&other, 2, 4);
  layer.SetInputMF(2, std::array{2, 2});
  EXPECT_TEXCEPTION(layer.Propagate({}), "The condition layer has more inputs than the layer below",
                    "Invalid Parameter", "TConditionLayer::Propagate");
}

TEST_F(ConditionLayerTest, CloneKeepsCountsCentresAndTrainableFlags) {
  Layer().GetConditionNeuron(1).centre = 0.3;
  Layer().GetConditionNeuron(4).trainable = false;
  TMirk owner;
  const std::unique_ptr<TBasicLayer> copy = Layer().Clone(&owner);
  auto& clone = dynamic_cast<TConditionLayer&>(*copy);
  EXPECT_EQ(clone.GetNetwork(), &owner);
  EXPECT_EQ(clone.GetLayerNum(), 2);
  EXPECT_EQ(clone.GetConditionNodes(1), (std::vector<int>{3, 4}));
  EXPECT_EQ(clone.GetConditionNeuron(1).centre, 0.3);
  EXPECT_EQ(clone.GetConditionNeuron(0).centre, 0.0);
  EXPECT_FALSE(clone.GetConditionNeuron(4).trainable);
  EXPECT_TRUE(clone.GetConditionNeuron(3).trainable);
  EXPECT_EQ(clone.GetActivationFunction(), ActMirkCondition);
  // The clone's chains are its own.
  EXPECT_EQ(clone.GetConditionNeuron(1).right, &clone.GetConditionNeuron(2));
  EXPECT_EQ(clone.GetConditionNeuron(1).output, &clone.GetOutputs()[1]);
  EXPECT_EQ(clone.GetConditionNeuron(1).layer, &clone);
}

TEST_F(ConditionLayerTest, NodesCanBeNeitherInsertedNorRemoved) {
  EXPECT_TEXCEPTION(Layer().InsertNeuron(0), "Condition nodes cannot be inserted", kBad,
                    "TConditionLayer::InsertNeuron");
  EXPECT_TEXCEPTION(Layer().RemoveNeuron(0), "Condition nodes cannot be removed", kBad,
                    "TConditionLayer::RemoveNeuron");
  EXPECT_EQ(Layer().GetNumNeurons(), 5);
}

TEST_F(ConditionLayerTest, ANewNeuronIsUnchainedTrainableAndParameterless) {
  const TConditionNeuron neuron;
  EXPECT_EQ(neuron.left, nullptr);
  EXPECT_EQ(neuron.right, nullptr);
  EXPECT_TRUE(neuron.trainable);
  EXPECT_EQ(neuron.GetNumParameters(), 0);
}

}  // namespace
}  // namespace mirk
