#include "NeuralNets/TArcsIterator.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "NeuralNets/TConnectedNetwork.h"
#include "tests/NeuralNets/TestNetworks.h"

namespace mirk {
namespace {

using Steps = std::vector<std::tuple<int, int, double>>;  // source layer, source node, weight

Steps Walk(TArcsIterator& it, bool forward) {
  Steps steps;
  while (forward ? it.Next() : it.Prev()) steps.emplace_back(it.GetFromLayer(), it.GetFromNode(), *it.GetWeight());
  return steps;
}

// Layers of 1, 3, 0 and 2 neurons; layers 0, 1 and 2 joined to layer 3.
class ArcsIterator : public ::testing::Test {
 protected:
  void SetUp() override {
    net->SetOutLayer(3);
    for (int f : {0, 1, 2}) net->Connect(f, 3);
    test::NumberWeights(*net->GetConnections(0, 3));
    test::NumberWeights(*net->GetConnections(1, 3));
  }
  std::unique_ptr<TConnectedNetwork> net = test::MakeNetwork<TConnectedNetwork>({1, 3, 0, 2});
};

TEST_F(ArcsIterator, AllLayersWalkSourcesInOrderAndBack) {
  const std::unique_ptr<TArcsIterator> it = net->NewArcsIterator();
  auto& all = dynamic_cast<TConnInAllArcsIterator&>(*it);
  all.Start(3, 1);
  EXPECT_FALSE(all.HasArc());
  EXPECT_EQ(all.GetToLayer(), 3);
  EXPECT_EQ(all.GetToNode(), 1);
  EXPECT_EQ(all.GetToNeuron(), net->GetLayer(3)->GetNeuron(1));
  EXPECT_EQ(Walk(all, true), (Steps{{0, 0, 2}, {1, 0, 2}, {1, 1, 12}, {1, 2, 22}}));
  EXPECT_FALSE(all.HasArc());
  EXPECT_FALSE(all.More());
  EXPECT_EQ(Walk(all, false), (Steps{{1, 2, 22}, {1, 1, 12}, {1, 0, 2}, {0, 0, 2}}));
  EXPECT_FALSE(all.HasArc());
}

TEST_F(ArcsIterator, CurrentArcGivesItsNeuronsAndWeightAddress) {
  TConnInAllArcsIterator it(net.get());
  it.Start(3, 0);
  ASSERT_TRUE(it.Next());
  ASSERT_TRUE(it.Next());
  EXPECT_TRUE(it.More());
  EXPECT_EQ(it.GetFromNeuron(), net->GetLayer(1)->GetNeuron(0));
  EXPECT_EQ(it.GetWeight(), net->GetConnections(1, 3)->GetWeight(0, 0));
}

TEST_F(ArcsIterator, SkipsEmptySetsAndLayersWithoutNeurons) {
  net->Disconnect(0, 3);
  TConnInAllArcsIterator it(net.get());
  it.Start(3, 0);
  const Steps steps = Walk(it, true);
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(std::get<0>(steps.front()), 1);
}

TEST(ArcsIteratorPruned, RemovedArcsAreVisitedWithWeightZero) {
  auto net = test::MakeNetwork<TBasicNetwork>({0, 3, 1});
  net->Connect(1, 2);
  test::NumberWeights(*net->GetConnections(1, 2));
  net->GetConnections(1, 2)->RemoveWeight(1, 0);
  TConnInAllArcsIterator it(net.get());
  it.Start(2, 0);
  EXPECT_EQ(Walk(it, true), (Steps{{1, 0, 1}, {1, 1, 0}, {1, 2, 21}}));
}

TEST_F(ArcsIterator, OneLayerWalkStopsAtBothEnds) {
  TConnInLayerArcsIterator it(net.get());
  it.Start(3, 1, 1);
  EXPECT_TRUE(it.HasArc());
  EXPECT_EQ(Walk(it, true), (Steps{{1, 0, 2}, {1, 1, 12}, {1, 2, 22}}));
  EXPECT_EQ(it.GetFromNode(), 2);  // stays on the last arc
  EXPECT_EQ(Walk(it, false), (Steps{{1, 1, 12}, {1, 0, 2}}));
  EXPECT_EQ(it.GetFromNeuron(), net->GetLayer(1)->GetNeuron(0));
}

}  // namespace
}  // namespace mirk
