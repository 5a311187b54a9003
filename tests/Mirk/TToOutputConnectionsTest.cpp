#include "Mirk/TToOutputConnections.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "Mirk/TMirk.h"
#include "Mirk/TMirkOutputLayer.h"
#include "NeuralNets/TIterateObj.h"
#include "NeuralNets/TIterateObj2.h"
#include "NeuralNets/TSimpleLayer.h"
#include "support/TestUtil.h"

namespace mirk {
namespace {

constexpr const char* kBad = "Bad Parameter";

class Recorder : public TIterateObj {
 public:
  void Visit() override {
    arcs.emplace_back(fromNode, toNode);
    trainables.push_back(trainable);
  }
  std::vector<std::pair<int, int>> arcs;
  std::vector<bool> trainables;
};

using Arcs = std::vector<std::pair<int, int>>;

// Two outputs with 2 and 3 actions.
class ToOutputConnectionsTest : public ::testing::Test {
 protected:
  TToOutputConnections& Set() {
    return dynamic_cast<TToOutputConnections&>(*net.GetConnections(TMirk::kActionLayer, TMirk::kOutputLayer));
  }
  std::vector<double> Centres() { return {Set().GetCentres().begin(), Set().GetCentres().end()}; }

  TMirk net{1, std::array{2}, 3, std::array{2, 3}, 2};
};

TEST_F(ToOutputConnectionsTest, ArcsJoinEachActionToItsOwnOutput) {
  struct Case {
    int from, to;
    bool valid;
  };
  const Case cases[] = {{0, 0, true},  {1, 0, true},   {2, 0, false}, {2, 1, true},
                        {4, 1, true},  {0, 2, false},  {5, 1, false}, {-1, 0, false}};
  for (const Case& c : cases) EXPECT_EQ(Set().IsValid(c.from, c.to), c.valid) << c.from << "," << c.to;
  EXPECT_STREQ(Set().GetConnectionsNType(), "ToOutputConnections");
  EXPECT_EQ(Set().GetNumActions(), 5);
}

TEST_F(ToOutputConnectionsTest, ResetCentresSpreadsEachOutputsActions) {
  Set().FreezeWeight(3, 1);
  Set().ResetCentres();
  EXPECT_EQ(Centres(), (std::vector<double>{0.0, 1.0, 0.0, 0.5, 1.0}));
  EXPECT_EQ(Set().GetFlags(3, 1), FMaskExists);
}

TEST_F(ToOutputConnectionsTest, WeightsAreTheCentresInActionOrder) {
  *Set().GetWeight(3, 1) = 0.25;
  EXPECT_EQ(Set().GetCentres()[3], 0.25);
  const std::vector<double> next{0.1, 0.2, 0.3, 0.4, 0.5};
  EXPECT_EQ(Set().SetWeights(next, FMaskExists), 5);
  EXPECT_EQ(Centres(), next);
  Set().Randomize(0.75, 0.75);
  EXPECT_EQ(Centres(), (std::vector<double>(5, 0.75)));
}

TEST_F(ToOutputConnectionsTest, FrozenActionIsSkippedByTrainableMaskOnly) {
  Set().FreezeWeight(2, 1);
  EXPECT_EQ(Set().GetFlags(2, 1), FMaskExists);
  Recorder trainable;
  Set().Iterate(trainable, FMaskAll);
  EXPECT_EQ(trainable.arcs, (Arcs{{0, 0}, {1, 0}, {3, 1}, {4, 1}}));
  Recorder existing;
  Set().Iterate(existing, FMaskExists);
  EXPECT_EQ(existing.arcs, (Arcs{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}}));
  EXPECT_EQ(existing.trainables, (std::vector<bool>{true, true, false, true, true}));
  Set().UnfreezeWeight(2, 1);
  EXPECT_EQ(Set().GetNumWeights(FMaskAll), 5);
}

TEST_F(ToOutputConnectionsTest, NodeAndOutputVisitsIgnoreTheMaskButNotTheExistsBit) {
  Set().FreezeWeight(3, 1);
  Set().SetFlags(4, 1, 0);
  Recorder in;
  Set().IterateInArcs(in, 1, FMaskAll);
  EXPECT_EQ(in.arcs, (Arcs{{2, 1}, {3, 1}}));
  Recorder first;
  Set().IterateInArcs(first, 0, FMaskAll);
  EXPECT_EQ(first.arcs, (Arcs{{0, 0}, {1, 0}}));
  Recorder out;
  Set().IterateOutArcs(out, 3, FMaskAll);
  EXPECT_EQ(out.arcs, (Arcs{{3, 1}}));
  EXPECT_EQ(out.trainables, (std::vector<bool>{false}));
  Recorder none;
  Set().IterateOutArcs(none, 4, FMaskExists);
  EXPECT_TRUE(none.arcs.empty());
}

TEST_F(ToOutputConnectionsTest, IterateInStepWithAnotherNetwork) {
  Set().ResetCentres();
  TMirk second(net);
  *second.GetConnections(4, 5)->GetWeight(3, 1) = 0.9;
  class Pairs : public TIterateObj2 {
   public:
    void Visit() override { rows.push_back({double(fromNode), *weight1, *weight2}); }
    std::vector<std::array<double, 3>> rows;
  } pairs;
  Set().Iterate2(pairs, second, FMaskExists);
  ASSERT_EQ(pairs.rows.size(), 5u);
  EXPECT_EQ(pairs.rows[3], (std::array<double, 3>{3, 0.5, 0.9}));
  class Count : public TIterateObj3 {
   public:
    void Visit() override { ++count; }
    int count = 0;
  } count;
  Set().FreezeWeight(0, 0);
  Set().Iterate3(count, second, second, FMaskAll);
  EXPECT_EQ(count.count, 4);
}

TEST_F(ToOutputConnectionsTest, CloneKeepsCentresAndResetsFlags) {
  Set().ResetCentres();
  Set().FreezeWeight(1, 0);
  const TMirk copy(net);
  auto& set = dynamic_cast<TToOutputConnections&>(*copy.GetConnections(4, 5));
  EXPECT_EQ(set.GetNetwork(), &copy);
  EXPECT_EQ(std::vector<double>(set.GetCentres().begin(), set.GetCentres().end()), Centres());
  EXPECT_EQ(set.GetFlags(1, 0), FMaskAll);
  *set.GetWeight(0, 0) = 0.5;
  EXPECT_EQ(Set().GetCentres()[0], 0.0);
}

TEST_F(ToOutputConnectionsTest, ArcEditsAreAcceptedAsNoOps) {
  Set().RemoveWeight(0, 0);
  Set().AddWeight(2, 0);
  EXPECT_TRUE(Set().IsValid(0, 0));
  EXPECT_FALSE(Set().IsValid(2, 0));
  EXPECT_TRUE(Set().CanEditArc(TArcEdit::Freeze));
}

TEST_F(ToOutputConnectionsTest, NodeOperationsAreRefused) {
  const std::string where = "TToOutputConnections::";
  EXPECT_TEXCEPTION(Set().RemoveFromNode(0), "Connections to outputs cannot lose nodes", kBad,
                    (where + "RemoveFromNode").c_str());
  EXPECT_TEXCEPTION(Set().RemoveToNode(0), "Connections to outputs cannot lose nodes", kBad,
                    (where + "RemoveToNode").c_str());
  EXPECT_TEXCEPTION(Set().InsertFromNode(0, 0, 1, true), "Connections to outputs cannot gain nodes", kBad,
                    (where + "InsertFromNode").c_str());
  EXPECT_TEXCEPTION(Set().InsertToNode(1, 0, 1, true), "Connections to outputs cannot gain nodes", kBad,
                    (where + "InsertToNode").c_str());
}

TEST_F(ToOutputConnectionsTest, ConstructionNeedsADefuzzifyingLayerMatchingTheActions) {
  const char* where = "TToOutputConnections::TToOutputConnections";
  EXPECT_TEXCEPTION(TToOutputConnections(&net, 4, 3), "Connections to outputs need a defuzzifying layer", kBad, where);
  EXPECT_TEXCEPTION(TToOutputConnections(&net, 4, 9), "Invalid layer number", kBad, where);
  EXPECT_TEXCEPTION(TToOutputConnections(&net, 3, 5), "Membership counts of the output layer do not match the actions",
                    kBad, where);

  // As the file reader builds it: the counts are still missing.
  TMirk read;
  read.SetLayer(4, std::make_unique<TSimpleLayer>(&read, 4, 4));
  read.SetLayer(5, std::make_unique<TMirkOutputLayer>(&read, 5, 2));
  EXPECT_TEXCEPTION(TToOutputConnections(&read, 4, 5),
                    "Membership counts of the output layer do not match the actions", kBad, where);
  dynamic_cast<TMirkOutputLayer&>(*read.GetLayer(5)).SetOutputMF(4, std::array{2, 2});
  const TToOutputConnections set(&read, 4, 5);
  EXPECT_EQ(set.GetNumActions(), 4);
}

}  // namespace
}  // namespace mirk
