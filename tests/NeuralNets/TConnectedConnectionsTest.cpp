#include "NeuralNets/TConnectedConnections.h"

#include <gtest/gtest.h>

#include <vector>

#include "NeuralNets/Random.h"
#include "NeuralNets/TConnectedNetwork.h"
#include "NeuralNets/TIterateObj2.h"
#include "tests/NeuralNets/TestNetworks.h"

namespace mirk {
namespace {

using test::MakeNetwork;
using Arcs = std::vector<std::pair<int, int>>;

// A set from a 3-neuron layer (1) to a 2-neuron layer (2).
class ConnectedSet : public ::testing::Test {
 protected:
  void SetUp() override {
    detail::ResetRandomForTesting();
    net->Connect(1, 2);
  }
  TBasicConnections& Set() { return *net->GetConnections(1, 2); }

  std::unique_ptr<TConnectedNetwork> net = MakeNetwork<TConnectedNetwork>({0, 3, 2});
};

TEST_F(ConnectedSet, NewSetHasEveryArcTrainableWithZeroWeights) {
  EXPECT_STREQ(Set().GetConnectionsNType(), "FullyConnected");
  EXPECT_TRUE(Set().IsConnected());
  for (int mask : {0, 1, 3}) EXPECT_EQ(Set().GetNumWeights(mask), 6);
  for (int from = 0; from < 3; ++from) {
    for (int to = 0; to < 2; ++to) {
      EXPECT_EQ(*Set().GetWeight(from, to), 0.0);
      EXPECT_TRUE(Set().IsValid(from, to));
      EXPECT_TRUE(Set().IsTrainable(from, to));
      EXPECT_EQ(Set().GetFlags(from, to), FMaskAll);
    }
  }
}

TEST_F(ConnectedSet, WeightListsAreSourceMajorAndVisitsDestinationMajor) {
  test::NumberWeights(Set());
  std::vector<double> list(6);
  EXPECT_EQ(Set().GetWeights(list, FMaskAll), 6);
  EXPECT_EQ(list, (std::vector<double>{1, 2, 11, 12, 21, 22}));

  test::TRecordingVisitor visitor;
  Set().Iterate(visitor, FMaskAll);
  EXPECT_EQ(visitor.arcs, (Arcs{{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}));
  EXPECT_EQ(visitor.weights, (std::vector<double>{1, 11, 21, 2, 12, 22}));

  const std::vector<double> next = {-1, -2, -3, -4, -5, -6};
  EXPECT_EQ(Set().SetWeights(next, FMaskExists), 6);
  EXPECT_EQ(*Set().GetWeight(1, 0), -3);
  EXPECT_EQ(*Set().GetWeight(2, 1), -6);
}

TEST_F(ConnectedSet, VisitsIntoAndOutOfOneNeuron) {
  test::TRecordingVisitor in;
  Set().IterateInArcs(in, 1, FMaskAll);
  EXPECT_EQ(in.arcs, (Arcs{{0, 1}, {1, 1}, {2, 1}}));
  test::TRecordingVisitor out;
  Set().IterateOutArcs(out, 2, FMaskAll);
  EXPECT_EQ(out.arcs, (Arcs{{2, 0}, {2, 1}}));
}

TEST_F(ConnectedSet, RandomizeDrawsInStorageOrder) {
  Set().Randomize(-1.0, 1.0);
  detail::ResetRandomForTesting();
  for (int to = 0; to < 2; ++to) {
    for (int from = 0; from < 3; ++from) {
      const double w = *Set().GetWeight(from, to);
      EXPECT_EQ(w, RandomWeight(-1.0, 1.0));
      EXPECT_GE(w, -1.0);
      EXPECT_LT(w, 1.0);
    }
  }
}

TEST_F(ConnectedSet, RandomizeWithEqualBoundsDrawsNothing) {
  Set().Randomize(0.5, 0.5);
  for (int from = 0; from < 3; ++from) EXPECT_EQ(*Set().GetWeight(from, 1), 0.5);
  EXPECT_EQ(NextRandom(), 346);
}

TEST_F(ConnectedSet, FlagEditsThatKeepEveryArcChangeNothing) {
  test::NumberWeights(Set());
  Set().SetFlags(1, 1, FMaskExists);
  Set().SetFlags(0, 1, FMaskAll);
  Set().AddWeight(2, 0);
  Set().UnfreezeWeight(2, 0);
  EXPECT_EQ(Set().GetFlags(1, 1), FMaskAll);
  EXPECT_EQ(*Set().GetWeight(2, 0), 21);
  EXPECT_EQ(Set().GetAllFlags(), std::vector<TArcFlags>(6, FMaskAll));
  EXPECT_TRUE(Set().CanEditArc(TArcEdit::Add));
  EXPECT_TRUE(Set().CanEditArc(TArcEdit::Unfreeze));
  EXPECT_FALSE(Set().CanEditArc(TArcEdit::Remove));
  EXPECT_FALSE(Set().CanEditArc(TArcEdit::Freeze));
}

TEST_F(ConnectedSet, AggregateAddsWeightedOutputsOfTheSourceLayer) {
  const double outputs[] = {1, 2, 3};
  std::copy(std::begin(outputs), std::end(outputs), net->GetLayer(1)->GetOutputs().begin());
  *Set().GetWeight(0, 0) = 0.5;
  *Set().GetWeight(1, 0) = 0.25;
  *Set().GetWeight(2, 1) = 2.0;
  std::vector<double> netInputs = {10.0, -1.0};
  Set().Aggregate(netInputs);
  EXPECT_EQ(netInputs, (std::vector<double>{11.0, 5.0}));
}

TEST_F(ConnectedSet, CloneIsIndependent) {
  test::NumberWeights(Set());
  TConnectedNetwork other(3);
  const auto copy = Set().Clone(&other);
  EXPECT_EQ(copy->GetNetwork(), &other);
  EXPECT_STREQ(copy->GetConnectionsNType(), "FullyConnected");
  EXPECT_EQ(*copy->GetWeight(2, 1), 22);
  *copy->GetWeight(2, 1) = 0.0;
  EXPECT_EQ(*Set().GetWeight(2, 1), 22);
}

// Sums the weights of corresponding arcs of two or three networks.
class TSumVisitor2 : public TIterateObj2 {
 public:
  void Visit() override { sums.push_back(*weight1 + *weight2); }
  std::vector<double> sums;
};

class TSumVisitor3 : public TIterateObj3 {
 public:
  void Visit() override { sums.push_back(*weight1 + *weight2 + *weight3); }
  std::vector<double> sums;
};

TEST_F(ConnectedSet, VisitsCorrespondingArcsOfOtherNetworks) {
  test::NumberWeights(Set());
  TConnectedNetwork copy(*net);
  TConnectedNetwork third(*net);
  TSumVisitor2 two;
  Set().Iterate2(two, copy, FMaskAll);
  EXPECT_EQ(two.sums, (std::vector<double>{2, 22, 42, 4, 24, 44}));
  EXPECT_EQ(two.conns2, copy.GetConnections(1, 2));
  EXPECT_EQ(two.fromOutputs2, copy.GetLayer(1)->GetOutputs().data());
  TSumVisitor3 three;
  Set().Iterate3(three, copy, third, FMaskAll);
  EXPECT_EQ(three.sums, (std::vector<double>{3, 33, 63, 6, 36, 66}));

  const TIterateObj2 direct(*net, copy, 1, 2, 2, 1);
  EXPECT_EQ(direct.conns1, &Set());
  EXPECT_EQ(direct.conns2, copy.GetConnections(1, 2));
  EXPECT_EQ(direct.toLayerObj2, copy.GetLayer(2));
  EXPECT_EQ(direct.fromNode, 2);
  EXPECT_EQ(direct.toNode, 1);
}

TEST(ConnectedSetNodes, InsertedNeuronsGetDrawnArcsAndOldWeightsMove) {
  // Layer 2 is hidden: 1 -> 2 -> 3.
  auto net = MakeNetwork<TConnectedNetwork>({0, 2, 2, 2});
  net->Connect(1, 2);
  net->Connect(2, 3);
  test::NumberWeights(*net->GetConnections(1, 2));
  test::NumberWeights(*net->GetConnections(2, 3));
  detail::ResetRandomForTesting();
  net->InsertNode(2, 0, -1.0, 1.0, true);

  TBasicConnections& into = *net->GetConnections(1, 2);
  TBasicConnections& outOf = *net->GetConnections(2, 3);
  ASSERT_EQ(into.GetNumWeights(FMaskAll), 6);
  ASSERT_EQ(outOf.GetNumWeights(FMaskAll), 6);
  // Draws: the new row of 1 -> 2 (sources 0, 1), then the new column of 2 -> 3.
  detail::ResetRandomForTesting();
  for (int from = 0; from < 2; ++from) EXPECT_EQ(*into.GetWeight(from, 0), RandomWeight(-1.0, 1.0));
  for (int to = 0; to < 2; ++to) EXPECT_EQ(*outOf.GetWeight(0, to), RandomWeight(-1.0, 1.0));
  for (int from = 0; from < 2; ++from) {
    for (int to = 0; to < 2; ++to) {
      EXPECT_EQ(*into.GetWeight(from, to + 1), 10 * from + to + 1);
      EXPECT_EQ(*outOf.GetWeight(from + 1, to), 10 * from + to + 1);
    }
  }

  net->RemoveNode(2, 1);  // the old neuron 0
  EXPECT_EQ(*into.GetWeight(1, 1), 12);
  EXPECT_EQ(*outOf.GetWeight(1, 0), 11);
  EXPECT_EQ(*outOf.GetWeight(1, 1), 12);
}

}  // namespace
}  // namespace mirk
