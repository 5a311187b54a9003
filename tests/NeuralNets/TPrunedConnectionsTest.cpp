#include "NeuralNets/TPrunedConnections.h"

#include <gtest/gtest.h>

#include <vector>

#include "NeuralNets/Random.h"
#include "tests/NeuralNets/TestNetworks.h"

namespace mirk {
namespace {

using test::MakeNetwork;
using Arcs = std::vector<std::pair<int, int>>;

// A set from a 3-neuron layer (1) to a 2-neuron layer (2).
class PrunedSet : public ::testing::Test {
 protected:
  void SetUp() override {
    detail::ResetRandomForTesting();
    net->Connect(1, 2);
    test::NumberWeights(Set());
  }
  TBasicConnections& Set() { return *net->GetConnections(1, 2); }

  std::unique_ptr<TBasicNetwork> net = MakeNetwork<TBasicNetwork>({0, 3, 2});
};

TEST_F(PrunedSet, NewSetHasEveryArcTrainable) {
  TBasicNetwork fresh(3);
  fresh.SetLayer(1, std::make_unique<TSimpleLayer>(&fresh, 1, 3));
  fresh.SetLayer(2, std::make_unique<TSimpleLayer>(&fresh, 2, 2));
  const TPrunedConnections set(&fresh, 1, 2);
  EXPECT_STREQ(set.GetConnectionsNType(), "Pruneable");
  EXPECT_EQ(Set().GetNumWeights(FMaskExists), 6);
  EXPECT_EQ(Set().GetNumWeights(FMaskAll), 6);
  EXPECT_EQ(Set().GetNumWeights(0), 6);
  for (int from = 0; from < 3; ++from) {
    for (int to = 0; to < 2; ++to) EXPECT_EQ(set.GetFlags(from, to), FMaskAll);
  }
}

TEST_F(PrunedSet, RemovedArcIsIgnoredByAggregateWhateverItsWeight) {
  Set().RemoveWeight(1, 0);
  EXPECT_FALSE(Set().IsValid(1, 0));
  EXPECT_EQ(*Set().GetWeight(1, 0), 0.0);
  EXPECT_EQ(Set().GetNumWeights(FMaskExists), 5);

  *Set().GetWeight(1, 0) = 1000.0;
  const double outputs[] = {1, 2, 3};
  std::copy(std::begin(outputs), std::end(outputs), net->GetLayer(1)->GetOutputs().begin());
  std::vector<double> netInputs = {0.0, 0.0};
  Set().Aggregate(netInputs);
  EXPECT_EQ(netInputs[0], 1 * 1 + 3 * 21);
  EXPECT_EQ(netInputs[1], 1 * 2 + 2 * 12 + 3 * 22);
}

TEST_F(PrunedSet, FrozenArcExistsButIsNotTrainable) {
  Set().FreezeWeight(2, 1);
  EXPECT_EQ(Set().GetFlags(2, 1), FMaskExists);
  EXPECT_TRUE(Set().IsValid(2, 1));
  EXPECT_FALSE(Set().IsTrainable(2, 1));
  EXPECT_EQ(Set().GetNumWeights(FMaskExists), 6);
  EXPECT_EQ(Set().GetNumWeights(FMaskAll), 5);
  EXPECT_EQ(Set().GetNumWeights(0), 5);

  Set().Randomize(-1.0, 1.0);
  EXPECT_EQ(*Set().GetWeight(2, 1), 22);
  Set().UnfreezeWeight(2, 1);
  EXPECT_EQ(Set().GetFlags(2, 1), FMaskAll);
}

TEST_F(PrunedSet, EditsOfMissingAndExistingArcs) {
  Set().RemoveWeight(0, 0);
  Set().UnfreezeWeight(0, 0);
  EXPECT_EQ(Set().GetFlags(0, 0), 0);

  Set().FreezeWeight(1, 1);
  Set().AddWeight(1, 1);
  EXPECT_EQ(Set().GetFlags(1, 1), FMaskExists);
  EXPECT_EQ(*Set().GetWeight(1, 1), 12);

  *Set().GetWeight(0, 0) = 7.0;
  Set().AddWeight(0, 0);
  EXPECT_EQ(Set().GetFlags(0, 0), FMaskAll);
  EXPECT_EQ(*Set().GetWeight(0, 0), 0.0);
  for (TArcEdit edit : {TArcEdit::Remove, TArcEdit::Add, TArcEdit::Unfreeze, TArcEdit::Freeze}) {
    EXPECT_TRUE(Set().CanEditArc(edit));
  }
}

TEST_F(PrunedSet, WeightListsFollowTheMaskInVisitingOrder) {
  Set().RemoveWeight(1, 0);
  Set().FreezeWeight(0, 1);
  std::vector<double> list(5);
  EXPECT_EQ(Set().GetWeights(list, FMaskExists), 5);
  EXPECT_EQ(list, (std::vector<double>{1, 21, 2, 12, 22}));  // (0,0) (2,0) (0,1) (1,1) (2,1)
  std::vector<double> trainable(4);
  EXPECT_EQ(Set().GetWeights(trainable, FMaskAll), 4);
  EXPECT_EQ(trainable, (std::vector<double>{1, 21, 12, 22}));

  const std::vector<double> next = {-1, -2, -3, -4, -5};
  EXPECT_EQ(Set().SetWeights(next, FMaskExists), 5);
  const double expected[2][3] = {{-1, 0, -2}, {-3, -4, -5}};
  for (int to = 0; to < 2; ++to) {
    for (int from = 0; from < 3; ++from) EXPECT_EQ(*Set().GetWeight(from, to), expected[to][from]);
  }

  test::TRecordingVisitor visitor;
  Set().Iterate(visitor, FMaskExists);
  EXPECT_EQ(visitor.arcs, (Arcs{{0, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}));
  EXPECT_EQ(visitor.trainables, (std::vector<bool>{true, true, false, true, true}));
}

TEST_F(PrunedSet, RandomizeDrawsOnlyForTrainableArcsInStorageOrder) {
  Set().RemoveWeight(0, 0);
  Set().FreezeWeight(1, 0);
  Set().Randomize(-1.0, 1.0);
  EXPECT_EQ(*Set().GetWeight(0, 0), 0.0);
  EXPECT_EQ(*Set().GetWeight(1, 0), 11);
  detail::ResetRandomForTesting();
  EXPECT_EQ(*Set().GetWeight(2, 0), RandomWeight(-1.0, 1.0));
  for (int from = 0; from < 3; ++from) EXPECT_EQ(*Set().GetWeight(from, 1), RandomWeight(-1.0, 1.0));

  Set().Randomize(0.25, 0.25);
  EXPECT_EQ(*Set().GetWeight(2, 1), 0.25);
  EXPECT_EQ(*Set().GetWeight(1, 0), 11);
}

TEST_F(PrunedSet, FlagListsCoverTheExistingArcs) {
  Set().RemoveWeight(0, 1);
  Set().FreezeWeight(2, 0);
  const std::vector<TArcFlags> flags = Set().GetAllFlags();
  EXPECT_EQ(flags, (std::vector<TArcFlags>{3, 3, 1, 3, 3}));

  const std::vector<TArcFlags> next = {1, 0, 3, 3, 1};
  Set().SetAllFlags(next);
  EXPECT_EQ(Set().GetFlags(0, 0), 1);
  EXPECT_EQ(Set().GetFlags(1, 0), 0);
  EXPECT_EQ(Set().GetFlags(2, 0), 3);
  EXPECT_EQ(Set().GetFlags(0, 1), 0);
  EXPECT_EQ(Set().GetFlags(2, 1), 1);

  Set().AllUntrainable();
  EXPECT_EQ(Set().GetNumWeights(FMaskAll), 0);
  EXPECT_EQ(Set().GetNumWeights(FMaskExists), 4);
}

TEST_F(PrunedSet, AnyFlagByteIsStored) {
  Set().SetFlags(1, 1, FMaskTrainable);  // trainable but not an arc
  EXPECT_EQ(Set().GetFlags(1, 1), FMaskTrainable);
  EXPECT_FALSE(Set().IsValid(1, 1));
  EXPECT_TRUE(Set().IsTrainable(1, 1));
  EXPECT_EQ(Set().GetNumWeights(FMaskAll), 5);
}

TEST_F(PrunedSet, CloneCopiesWeightsAndFlags) {
  Set().RemoveWeight(2, 1);
  Set().FreezeWeight(0, 0);
  TBasicNetwork copy(*net);
  TBasicConnections& cloned = *copy.GetConnections(1, 2);
  EXPECT_STREQ(cloned.GetConnectionsNType(), "Pruneable");
  EXPECT_EQ(cloned.GetAllFlags(), Set().GetAllFlags());
  EXPECT_EQ(*cloned.GetWeight(1, 1), 12);
  cloned.RemoveWeight(1, 1);
  EXPECT_TRUE(Set().IsValid(1, 1));
}

TEST(PrunedSetNodes, DetachedNeuronGetsNoArcsAndOldArcsMoveRight) {
  auto net = MakeNetwork<TBasicNetwork>({0, 2, 3, 1});
  net->Connect(2, 3);
  TBasicConnections& set = *net->GetConnections(2, 3);
  test::NumberWeights(set);
  set.FreezeWeight(1, 0);
  detail::ResetRandomForTesting();
  net->InsertNode(2, 0, -1.0, 1.0, false);
  EXPECT_EQ(NextRandom(), 346);  // nothing drawn
  ASSERT_EQ(set.GetFromSize(), 4);
  EXPECT_EQ(set.GetFlags(0, 0), 0);
  EXPECT_EQ(*set.GetWeight(0, 0), 0.0);
  const double weights[] = {1, 11, 21};
  const TArcFlags flags[] = {3, 1, 3};
  for (int from = 0; from < 3; ++from) {
    EXPECT_EQ(*set.GetWeight(from + 1, 0), weights[from]);
    EXPECT_EQ(set.GetFlags(from + 1, 0), flags[from]);
  }
}

TEST(PrunedSetNodes, SetFromALayerToItselfGrowsAndShrinksOnBothSides) {
  auto net = MakeNetwork<TBasicNetwork>({0, 1, 2, 1});
  net->Connect(2, 2);
  TBasicConnections& self = *net->GetConnections(2, 2);
  test::NumberWeights(self);  // (f, t) -> 10f + t + 1
  self.FreezeWeight(1, 0);
  net->InsertNode(2, 1, 0.5, 0.5, true);
  ASSERT_EQ(self.GetFromSize(), 3);
  ASSERT_EQ(self.GetToSize(), 3);
  const double expected[3][3] = {{1, 0.5, 11}, {0.5, 0.5, 0.5}, {2, 0.5, 12}};  // [to][from]
  for (int to = 0; to < 3; ++to) {
    for (int from = 0; from < 3; ++from) EXPECT_EQ(*self.GetWeight(from, to), expected[to][from]);
  }
  EXPECT_EQ(self.GetFlags(2, 0), FMaskExists);

  net->RemoveNode(2, 0);
  ASSERT_EQ(self.GetNumWeights(FMaskExists), 4);
  EXPECT_EQ(*self.GetWeight(1, 1), 12);
  EXPECT_EQ(*self.GetWeight(0, 1), 0.5);
}

}  // namespace
}  // namespace mirk
