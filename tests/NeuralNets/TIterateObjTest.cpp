#include "NeuralNets/TIterateObj.h"

#include <gtest/gtest.h>

#include "NeuralNets/Random.h"
#include "NeuralNets/TConnectedNetwork.h"
#include "tests/NeuralNets/TestNetworks.h"

namespace mirk {
namespace {

TEST(IterateObj, CountingVisitorOverAWholeSetAndOneNeuron) {
  auto net = test::MakeNetwork<TConnectedNetwork>({0, 3, 2});
  net->Connect(1, 2);
  TBasicConnections& set = *net->GetConnections(1, 2);
  TIterateObjGetNumWeights all;
  set.Iterate(all, FMaskAll);
  EXPECT_EQ(all.count, 6);
  TIterateObjGetNumWeights in;
  set.IterateInArcs(in, 1, FMaskAll);
  EXPECT_EQ(in.count, 3);
  TIterateObjGetNumWeights out;
  set.IterateOutArcs(out, 2, FMaskAll);
  EXPECT_EQ(out.count, 2);
}

TEST(IterateObj, SetWideFieldsDescribeTheSet) {
  auto net = test::MakeNetwork<TBasicNetwork>({0, 3, 2});
  net->Connect(1, 2);
  TBasicConnections& set = *net->GetConnections(1, 2);
  test::TRecordingVisitor visitor;
  set.IterateInArcs(visitor, 0, FMaskExists);
  EXPECT_EQ(visitor.fromLayer, 1);
  EXPECT_EQ(visitor.toLayer, 2);
  EXPECT_EQ(visitor.conns, &set);
  EXPECT_EQ(visitor.fromLayerObj, net->GetLayer(1));
  EXPECT_EQ(visitor.toLayerObj, net->GetLayer(2));
  EXPECT_EQ(visitor.fromOutputs, net->GetLayer(1)->GetOutputs().data());
  EXPECT_EQ(visitor.toOutputs, net->GetLayer(2)->GetOutputs().data());
  EXPECT_EQ(visitor.weight, set.GetWeight(2, 0));

  TIterateObj byLayers;
  byLayers.SetLayers(*net->GetLayer(1), *net->GetLayer(2));
  EXPECT_EQ(byLayers.conns, &set);
  EXPECT_EQ(byLayers.fromOutputs, visitor.fromOutputs);
}

TEST(IterateObj, RandomizeWithEqualBoundsSetsWithoutDrawing) {
  auto net = test::MakeNetwork<TBasicNetwork>({0, 3, 2});
  net->Connect(1, 2);
  detail::ResetRandomForTesting();
  TIterateObjRandomize visitor(0.25, 0.25);
  net->GetConnections(1, 2)->Iterate(visitor, FMaskAll);
  EXPECT_EQ(test::AllWeights(*net, FMaskExists), std::vector<double>(6, 0.25));
  EXPECT_EQ(NextRandom(), 346);
}

TEST(IterateObj, WeightVisitorsCopyInVisitingOrder) {
  auto net = test::MakeNetwork<TBasicNetwork>({0, 2, 2});
  net->Connect(1, 2);
  TBasicConnections& set = *net->GetConnections(1, 2);
  test::NumberWeights(set);
  double out[4] = {};
  TIterateObjGetWeights get(out);
  set.Iterate(get, FMaskExists);
  EXPECT_EQ(get.count, 4);
  EXPECT_EQ(std::vector<double>(out, out + 4), (std::vector<double>{1, 11, 2, 12}));
  const double in[4] = {5, 6, 7, 8};
  TIterateObjSetWeights set_weights(in);
  set.Iterate(set_weights, FMaskExists);
  EXPECT_EQ(*set.GetWeight(1, 0), 6);
  EXPECT_EQ(*set.GetWeight(0, 1), 7);
}

// The network's per-neuron visits walk the other layers in increasing order.
TEST(IterateObj, NetworkVisitsArcsIntoAndOutOfANeuronLayerByLayer) {
  auto net = test::MakeNetwork<TBasicNetwork>({1, 2, 2, 1});
  net->Connect(1, 2);
  net->Connect(0, 2);
  net->Connect(2, 3);
  net->Connect(2, 2);
  test::TRecordingVisitor in;
  net->IterateInArcs(in, 2, 1, FMaskExists);
  EXPECT_EQ(in.arcs, (std::vector<std::pair<int, int>>{{0, 1}, {0, 1}, {1, 1}, {0, 1}, {1, 1}}));
  test::TRecordingVisitor out;
  net->IterateOutArcs(out, 2, 0, FMaskExists);
  EXPECT_EQ(out.arcs, (std::vector<std::pair<int, int>>{{0, 0}, {0, 1}, {0, 0}}));
  EXPECT_EQ(out.toLayer, 3);
}

}  // namespace
}  // namespace mirk
