#include "Mirk/TToConditionConnections.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>
#include <vector>

#include "Mirk/TConditionLayer.h"
#include "Mirk/TMirk.h"
#include "NeuralNets/Random.h"
#include "NeuralNets/TIterateObj.h"
#include "NeuralNets/TIterateObj2.h"
#include "NeuralNets/TSimpleInputLayer.h"
#include "support/TestUtil.h"

namespace mirk {
namespace {

constexpr const char* kBad = "Bad Parameter";

// Records the arcs a visit is shown.
class Recorder : public TIterateObj {
 public:
  void Visit() override { arcs.emplace_back(fromNode, toNode); weights.push_back(*weight); trainables.push_back(trainable); }
  std::vector<std::pair<int, int>> arcs;
  std::vector<double> weights;
  std::vector<bool> trainables;
};

using Arcs = std::vector<std::pair<int, int>>;

// Two inputs with 3 and 2 conditions.
class ToConditionConnectionsTest : public ::testing::Test {
 protected:
  TToConditionConnections& Set() {
    return dynamic_cast<TToConditionConnections&>(*net.GetConnections(TMirk::kInputLayer, TMirk::kConditionLayer));
  }
  TConditionLayer& Layer() { return dynamic_cast<TConditionLayer&>(*net.GetLayer(TMirk::kConditionLayer)); }

  TMirk net{2, std::array{3, 2}, 4, std::array{3}, 1};
};

TEST_F(ToConditionConnectionsTest, ArcsJoinEachConditionToItsOwnInput) {
  struct Case {
    int from, to;
    bool valid;
  };
  const Case cases[] = {{0, 0, true}, {0, 2, true}, {0, 3, false}, {1, 3, true}, {1, 4, true},
                        {1, 5, false}, {1, -1, false}, {2, 4, false}, {-1, 0, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(Set().IsValid(c.from, c.to), c.valid) << c.from << "," << c.to;
    EXPECT_EQ(Set().IsTrainable(c.from, c.to), c.valid) << c.from << "," << c.to;
  }
  EXPECT_STREQ(Set().GetConnectionsNType(), "ToConditionConnections");
  EXPECT_TRUE(Set().IsConnected());
  EXPECT_EQ(Set().GetNumNodes(), 5);
}

TEST_F(ToConditionConnectionsTest, WeightsAreTheCentres) {
  EXPECT_EQ(Set().GetWeight(1, 3), &Layer().GetConditionNeuron(3).centre);
  *Set().GetWeight(0, 1) = 0.4;
  EXPECT_EQ(Layer().GetConditionNeuron(1).centre, 0.4);
  std::vector<double> centres(5);
  EXPECT_EQ(Set().GetNumWeights(FMaskExists), 5);
  EXPECT_EQ(Set().GetWeights(centres, FMaskExists), 5);
  EXPECT_EQ(centres, (std::vector<double>{0.0, 0.4, 1.0, 0.0, 1.0}));
  const std::vector<double> next{0.1, 0.2, 0.3, 0.4, 0.5};
  EXPECT_EQ(Set().SetWeights(next, FMaskAll), 5);
  EXPECT_EQ(Layer().GetConditionNeuron(4).centre, 0.5);
}

TEST_F(ToConditionConnectionsTest, FrozenArcIsSkippedByTrainableMaskOnly) {
  Set().FreezeWeight(1, 3);
  EXPECT_EQ(Set().GetFlags(1, 3), FMaskExists);
  EXPECT_EQ(Set().GetFlags(0, 0), FMaskAll);
  Recorder trainable;
  Set().Iterate(trainable, FMaskAll);
  EXPECT_EQ(trainable.arcs, (Arcs{{0, 0}, {0, 1}, {0, 2}, {1, 4}}));
  Recorder existing;
  Set().Iterate(existing, FMaskExists);
  EXPECT_EQ(existing.arcs, (Arcs{{0, 0}, {0, 1}, {0, 2}, {1, 3}, {1, 4}}));
  EXPECT_EQ(existing.trainables, (std::vector<bool>{true, true, true, false, true}));
  EXPECT_EQ(Set().GetNumWeights(FMaskAll), 4);
  Set().UnfreezeWeight(1, 3);
  EXPECT_EQ(Set().GetFlags(1, 3), FMaskAll);
}

TEST_F(ToConditionConnectionsTest, RandomizeDrawsTrainableCentresOnly) {
  Set().FreezeWeight(0, 1);
  Set().Randomize(0.25, 0.25);
  std::vector<double> centres(5);
  Set().GetWeights(centres, FMaskExists);
  EXPECT_EQ(centres, (std::vector<double>{0.25, 0.5, 0.25, 0.25, 0.25}));
  detail::ResetRandomForTesting();
  Set().Randomize(-1.0, 1.0);
  detail::ResetRandomForTesting();
  for (int c : {0, 2, 3, 4}) EXPECT_EQ(Layer().GetConditionNeuron(c).centre, RandomWeight(-1.0, 1.0)) << c;
  EXPECT_EQ(Layer().GetConditionNeuron(1).centre, 0.5);
}

TEST_F(ToConditionConnectionsTest, NodeAndInputVisitsIgnoreTheMaskButNotTheExistsBit) {
  Set().FreezeWeight(0, 1);
  Set().SetFlags(0, 2, 0);
  Recorder out;
  Set().IterateOutArcs(out, 0, FMaskAll);
  EXPECT_EQ(out.arcs, (Arcs{{0, 0}, {0, 1}}));
  EXPECT_EQ(out.trainables, (std::vector<bool>{true, false}));
  Recorder in;
  Set().IterateInArcs(in, 1, FMaskAll);
  EXPECT_EQ(in.arcs, (Arcs{{0, 1}}));
  EXPECT_EQ(in.weights, (std::vector<double>{0.5}));
  Recorder none;
  Set().IterateInArcs(none, 2, FMaskExists);
  EXPECT_TRUE(none.arcs.empty());
  Recorder second;
  Set().IterateOutArcs(second, 1, FMaskExists);
  EXPECT_EQ(second.arcs, (Arcs{{1, 3}, {1, 4}}));
  EXPECT_EQ(second.fromLayer, 1);
  EXPECT_EQ(second.toLayer, 2);
  EXPECT_EQ(second.conns, &Set());
}

TEST_F(ToConditionConnectionsTest, NetworkVisitsReachTheCentres) {
  Recorder visitor;
  net.IterateInArcs(visitor, TMirk::kConditionLayer, 4, FMaskExists);
  EXPECT_EQ(visitor.arcs, (Arcs{{1, 4}}));
  EXPECT_EQ(visitor.weights, (std::vector<double>{1.0}));
}

TEST_F(ToConditionConnectionsTest, IterateInStepWithOtherNetworks) {
  TMirk second(net);
  TMirk third(net);
  dynamic_cast<TConditionLayer&>(*second.GetLayer(2)).GetConditionNeuron(1).centre = 0.6;
  dynamic_cast<TConditionLayer&>(*third.GetLayer(2)).GetConditionNeuron(1).centre = 0.7;
  Set().FreezeWeight(0, 0);
  class Pairs : public TIterateObj2 {
   public:
    void Visit() override { rows.push_back({double(toNode), *weight1, *weight2}); }
    std::vector<std::array<double, 3>> rows;
  } pairs;
  Set().Iterate2(pairs, second, FMaskAll);
  ASSERT_EQ(pairs.rows.size(), 4u);
  EXPECT_EQ(pairs.rows[0], (std::array<double, 3>{1, 0.5, 0.6}));
  class Triples : public TIterateObj3 {
   public:
    void Visit() override { sum += *weight1 + *weight2 + *weight3; ++count; }
    double sum = 0.0;
    int count = 0;
  } triples;
  Set().Iterate3(triples, second, third, FMaskExists);
  EXPECT_EQ(triples.count, 5);
  EXPECT_DOUBLE_EQ(triples.sum, 0.5 + 0.6 + 0.7 + 2 * (1.0 + 1.0 + 1.0));  // nodes 1, 2 and 4
}

TEST_F(ToConditionConnectionsTest, CloneResetsFlagsAndCentresTravelWithTheLayer) {
  Set().FreezeWeight(0, 1);
  Layer().GetConditionNeuron(1).centre = 0.3;
  const TMirk copy(net);
  auto& set = dynamic_cast<TToConditionConnections&>(*copy.GetConnections(1, 2));
  EXPECT_NE(&set, &Set());
  EXPECT_EQ(set.GetNetwork(), &copy);
  EXPECT_EQ(set.GetFlags(0, 1), FMaskAll);
  EXPECT_EQ(*set.GetWeight(0, 1), 0.3);
  EXPECT_EQ(set.GetWeight(0, 1), &dynamic_cast<TConditionLayer&>(*copy.GetLayer(2)).GetConditionNeuron(1).centre);
}

TEST_F(ToConditionConnectionsTest, ArcEditsAcceptedAsNoOps) {
  for (const TArcEdit edit : {TArcEdit::Remove, TArcEdit::Add, TArcEdit::Unfreeze, TArcEdit::Freeze}) {
    EXPECT_TRUE(Set().CanEditArc(edit));
  }
  Set().RemoveWeight(0, 1);
  EXPECT_TRUE(Set().IsValid(0, 1));
  EXPECT_EQ(Set().GetFlags(0, 1), FMaskAll);
  EXPECT_EQ(*Set().GetWeight(0, 1), 0.5);
  Set().AddWeight(0, 3);
  EXPECT_FALSE(Set().IsValid(0, 3));
}

TEST_F(ToConditionConnectionsTest, NodeOperationsAreRefused) {
  const char* where = "TToConditionConnections::";
  EXPECT_TEXCEPTION(Set().RemoveFromNode(0), "Connections to conditions cannot lose nodes", kBad,
                    (std::string(where) + "RemoveFromNode").c_str());
  EXPECT_TEXCEPTION(Set().RemoveToNode(0), "Connections to conditions cannot lose nodes", kBad,
                    (std::string(where) + "RemoveToNode").c_str());
  EXPECT_TEXCEPTION(Set().InsertFromNode(0, 0, 1, true), "Connections to conditions cannot gain nodes", kBad,
                    (std::string(where) + "InsertFromNode").c_str());
  EXPECT_TEXCEPTION(Set().InsertToNode(0, 0, 1, false), "Connections to conditions cannot gain nodes", kBad,
                    (std::string(where) + "InsertToNode").c_str());
  EXPECT_EQ(Set().GetNumWeights(FMaskExists), 5);
}

TEST_F(ToConditionConnectionsTest, ConstructionNeedsAConditionLayerMatchingTheInputs) {
  const char* where = "TToConditionConnections::TToConditionConnections";
  EXPECT_TEXCEPTION(TToConditionConnections(&net, 1, 3), "Connections to conditions need a condition layer", kBad,
                    where);
  EXPECT_TEXCEPTION(TToConditionConnections(&net, 1, 6), "Invalid layer number", kBad, where);
  EXPECT_TEXCEPTION(TToConditionConnections(&net, -1, 2), "Invalid layer number", kBad, where);
  // Input layer 0 has no nodes, but the condition layer has two inputs.
  EXPECT_TEXCEPTION(TToConditionConnections(&net, 0, 2),
                    "Membership counts of the condition layer do not match the inputs", kBad, where);

  // As the file reader builds it: the counts are still missing.
  TMirk read;
  read.SetLayer(1, std::make_unique<TSimpleInputLayer>(&read, 1, 2));
  read.SetLayer(2, std::make_unique<TConditionLayer>(&read, 2, 4));
  EXPECT_TEXCEPTION(TToConditionConnections(&read, 1, 2),
                    "Membership counts of the condition layer do not match the inputs", kBad, where);
  dynamic_cast<TConditionLayer&>(*read.GetLayer(2)).SetInputMF(2, std::array{2, 2});
  const TToConditionConnections set(&read, 1, 2);
  EXPECT_EQ(set.GetNumNodes(), 4);
}

}  // namespace
}  // namespace mirk
