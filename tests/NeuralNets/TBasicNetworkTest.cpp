#include "NeuralNets/TBasicNetwork.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "NeuralNets/Random.h"
#include "NeuralNets/TPrunedConnections.h"
#include "NeuralNets/TConnectedNetwork.h"
#include "support/TestUtil.h"
#include "tests/NeuralNets/TestNetworks.h"

namespace mirk {
namespace {

using test::AllWeights;
using test::MakeNetwork;

TEST(BasicNetwork, FreshNetworkHasEmptySetsEverywhere) {
  TBasicNetwork net(4);
  EXPECT_EQ(net.GetNumLayers(), 4);
  EXPECT_EQ(net.GetInLayer(), 1);
  EXPECT_EQ(net.GetOutLayer(), 3);
  EXPECT_STREQ(net.GetNetworkNType(), "Basic");
  for (int mask : {0, 1, 3}) EXPECT_EQ(net.GetNumWeights(mask), 0);
  for (int from = 0; from < 4; ++from) {
    for (int to = 0; to < 4; ++to) {
      const TBasicConnections& set = *net.GetConnections(from, to);
      EXPECT_STREQ(set.GetConnectionsNType(), "Empty");
      EXPECT_EQ(set.GetFromLayer(), from);
      EXPECT_EQ(set.GetToLayer(), to);
      EXPECT_EQ(set.GetNetwork(), &net);
    }
  }
  EXPECT_EQ(net.GetFnRegistry().GetCount(), 12);
}

TEST(BasicNetwork, ConnectKeepsAConnectedPairAndDisconnectEmptiesIt) {
  auto net = MakeNetwork<TBasicNetwork>({0, 2, 2});
  net->Connect(1, 2);
  TBasicConnections* set = net->GetConnections(1, 2);
  EXPECT_STREQ(set->GetConnectionsNType(), "Pruneable");
  *set->GetWeight(1, 1) = 4.0;
  net->Connect(1, 2);
  EXPECT_EQ(net->GetConnections(1, 2), set);
  EXPECT_EQ(*set->GetWeight(1, 1), 4.0);

  net->Disconnect(1, 2);
  EXPECT_STREQ(net->GetConnections(1, 2)->GetConnectionsNType(), "Empty");
  net->Connect(1, 2);
  EXPECT_EQ(AllWeights(*net, FMaskExists), std::vector<double>(4, 0.0));

  auto connected = MakeNetwork<TConnectedNetwork>({0, 2, 2});
  connected->Connect(1, 2);
  EXPECT_STREQ(connected->GetConnections(1, 2)->GetConnectionsNType(), "FullyConnected");
  EXPECT_STREQ(connected->GetNetworkNType(), "Connected");
}

TEST(BasicNetwork, SetConnectionsReplacesTheCell) {
  auto net = MakeNetwork<TBasicNetwork>({0, 2, 3});
  net->SetConnections(1, 2, std::make_unique<TPrunedConnections>(net.get(), 1, 2));
  EXPECT_STREQ(net->GetConnections(1, 2)->GetConnectionsNType(), "Pruneable");
  EXPECT_EQ(net->GetNumWeights(FMaskExists), 6);
}

// Bias 1, inputs 2, hidden 2 (linear), output 1 (sigmoid).
std::unique_ptr<TConnectedNetwork> SmallPerceptron() {
  auto net = std::make_unique<TConnectedNetwork>(4, std::vector<int>{1, 2, 2, 1});
  net->GetLayer(0)->SetActivationFunction(ActBias);
  net->GetLayer(2)->SetActivationFunction(ActLinear);
  net->GetLayer(3)->SetActivationFunction(ActSigmoid);
  net->Connect(0, 2);
  net->Connect(1, 2);
  net->Connect(2, 3);
  TBasicConnections& bias = *net->GetConnections(0, 2);
  *bias.GetWeight(0, 0) = 0.5;
  *bias.GetWeight(0, 1) = -0.5;
  TBasicConnections& hidden = *net->GetConnections(1, 2);
  *hidden.GetWeight(0, 0) = 1.0;
  *hidden.GetWeight(1, 0) = 2.0;
  *hidden.GetWeight(0, 1) = -1.0;
  *hidden.GetWeight(1, 1) = 0.25;
  TBasicConnections& out = *net->GetConnections(2, 3);
  *out.GetWeight(0, 0) = 0.75;
  *out.GetWeight(1, 0) = -2.0;
  return net;
}

TEST(BasicNetwork, RecallRunsTheLayersInOrder) {
  auto net = SmallPerceptron();
  EXPECT_STREQ(net->GetLayer(1)->GetLayerNType(), "Input");
  const std::vector<double> inputs = {0.5, -1.0};
  std::vector<double> outputs(1);
  net->Recall(inputs, outputs);
  const double h0 = 0.5 + (1.0 * 0.5 + 2.0 * -1.0);
  const double h1 = -0.5 + (-1.0 * 0.5 + 0.25 * -1.0);
  EXPECT_DOUBLE_EQ(outputs[0], 1.0 / (1.0 + std::exp(-(0.75 * h0 + -2.0 * h1))));
}

// Sets from the layer itself or from a higher layer keep their weights but
// take no part in the pass.
TEST(BasicNetwork, BackwardAndSelfSetsDoNotTakePart) {
  auto net = SmallPerceptron();
  const std::vector<double> inputs = {0.5, -1.0};
  std::vector<double> before(1);
  net->Recall(inputs, before);
  net->Connect(3, 2);
  net->Connect(2, 2);
  test::NumberWeights(*net->GetConnections(3, 2));
  test::NumberWeights(*net->GetConnections(2, 2));
  std::vector<double> after(1);
  net->Recall(inputs, after);
  EXPECT_EQ(after, before);
  EXPECT_EQ(*net->GetConnections(2, 2)->GetWeight(1, 1), 12);
}

TEST(BasicNetwork, RecallThrowsForANeuronWithoutFunction) {
  auto net = MakeNetwork<TBasicNetwork>({0, 2, 1});
  net->Connect(1, 2);
  const std::vector<double> inputs = {1.0, 2.0};
  std::vector<double> outputs(1);
  EXPECT_TEXCEPTION(net->Recall(inputs, outputs), "Activation function not set", "Invalid Parameter",
                    "TBasicNeuron::Activate");
}

// Whole-network lists: source layer outer, destination layer inner, each set
// in its own order (pruneable: destination-major).
TEST(BasicNetwork, WeightListsVisitSetsSourceLayerFirst) {
  auto net = MakeNetwork<TBasicNetwork>({1, 2, 2, 1});
  net->Connect(2, 3);
  net->Connect(1, 2);
  net->Connect(0, 2);
  for (auto [f, t] : {std::pair{0, 2}, {1, 2}, {2, 3}}) test::NumberWeights(*net->GetConnections(f, t));
  net->GetConnections(1, 2)->FreezeWeight(1, 0);
  EXPECT_EQ(AllWeights(*net, FMaskExists), (std::vector<double>{1, 2, 1, 11, 2, 12, 1, 11}));
  EXPECT_EQ(AllWeights(*net, FMaskAll), (std::vector<double>{1, 2, 1, 2, 12, 1, 11}));

  std::vector<double> next(8);
  for (int i = 0; i < 8; ++i) next[static_cast<size_t>(i)] = -i;
  EXPECT_EQ(net->SetWeights(next, FMaskExists), 8);
  EXPECT_EQ(AllWeights(*net, FMaskExists), next);
  EXPECT_EQ(*net->GetConnections(1, 2)->GetWeight(1, 0), -3);

  detail::ResetRandomForTesting();
  net->Randomize(-1.0, 1.0);
  const std::vector<double> drawn = AllWeights(*net, FMaskAll);
  detail::ResetRandomForTesting();
  for (double w : drawn) EXPECT_EQ(w, RandomWeight(-1.0, 1.0));
  EXPECT_EQ(*net->GetConnections(1, 2)->GetWeight(1, 0), -3);  // frozen
}

TEST(BasicNetwork, NeuronsAreNumberedAcrossLayers) {
  auto net = MakeNetwork<TBasicNetwork>({2, 3, 1});
  EXPECT_EQ(net->GetNumNeurons(), 6);
  EXPECT_EQ(net->GetNeuron(0), net->GetLayer(0)->GetNeuron(0));
  EXPECT_EQ(net->GetNeuron(2), net->GetLayer(1)->GetNeuron(0));
  EXPECT_EQ(net->GetNeuron(5), net->GetLayer(2)->GetNeuron(0));
  auto emptyFirst = MakeNetwork<TBasicNetwork>({0, 2, 1});
  EXPECT_EQ(emptyFirst->GetNeuron(0), emptyFirst->GetLayer(1)->GetNeuron(0));
}

TEST(BasicNetwork, PruneNodesRemovesHiddenNeuronsWithoutOutgoingArcs) {
  // Bias 1, input 2, hidden 3, output 1.
  auto net = MakeNetwork<TBasicNetwork>({1, 2, 3, 1});
  net->Connect(0, 2);
  net->Connect(1, 2);
  net->Connect(2, 3);
  net->Connect(0, 3);
  for (auto [f, t] : {std::pair{0, 2}, {1, 2}, {2, 3}, {0, 3}}) test::NumberWeights(*net->GetConnections(f, t));
  EXPECT_EQ(net->PruneNodes(), 0);
  EXPECT_EQ(net->GetNumWeights(FMaskExists), 3 + 6 + 3 + 1);

  net->GetConnections(2, 3)->RemoveWeight(1, 0);
  EXPECT_EQ(net->PruneNodes(), 1);
  EXPECT_EQ(net->GetLayer(2)->GetNumNeurons(), 2);
  // The incoming arcs of old hidden neuron 1 are gone; neuron 2 moved down.
  EXPECT_EQ(AllWeights(*net, FMaskExists), (std::vector<double>{1, 3, 1, 1, 11, 3, 13, 1, 21}));

  // A bias neuron without outgoing arcs is removed as well.
  net->Disconnect(0, 2);
  net->Disconnect(0, 3);
  EXPECT_EQ(net->PruneNodes(), 1);
  EXPECT_EQ(net->GetLayer(0)->GetNumNeurons(), 0);
}

TEST(BasicNetwork, InsertLayerShiftsLayersAndSets) {
  auto net = MakeNetwork<TBasicNetwork>({1, 2, 1});
  net->Connect(1, 2);
  net->Connect(0, 2);
  test::NumberWeights(*net->GetConnections(1, 2));
  TBasicConnections* set = net->GetConnections(1, 2);
  TBasicLayer* input = net->GetLayer(1);

  net->InsertLayer(0, std::make_unique<TSimpleLayer>(net.get(), 0, 4));
  EXPECT_EQ(net->GetNumLayers(), 4);
  EXPECT_EQ(net->GetInLayer(), 2);
  EXPECT_EQ(net->GetOutLayer(), 3);
  EXPECT_EQ(net->GetLayer(2), input);
  EXPECT_EQ(input->GetLayerNum(), 2);
  EXPECT_EQ(input->GetNeuron(1)->layerNum, 2);
  EXPECT_EQ(net->GetConnections(2, 3), set);
  EXPECT_EQ(set->GetFromLayer(), 2);
  EXPECT_EQ(set->GetToLayer(), 3);
  EXPECT_EQ(*set->GetWeight(1, 0), 11);
  EXPECT_STREQ(net->GetConnections(1, 3)->GetConnectionsNType(), "Pruneable");
  for (int t = 0; t < 4; ++t) {
    EXPECT_STREQ(net->GetConnections(0, t)->GetConnectionsNType(), "Empty");
    EXPECT_STREQ(net->GetConnections(t, 0)->GetConnectionsNType(), "Empty");
    EXPECT_EQ(net->GetConnections(0, t)->GetToLayer(), t);
  }

  net->InsertLayer(4, std::make_unique<TSimpleLayer>(net.get(), 4, 1));
  EXPECT_EQ(net->GetOutLayer(), 3);
  EXPECT_EQ(net->GetNumLayers(), 5);

  net->RemoveLayer(0);
  EXPECT_EQ(net->GetNumLayers(), 4);
  EXPECT_EQ(net->GetInLayer(), 1);
  EXPECT_EQ(net->GetOutLayer(), 2);
  EXPECT_EQ(net->GetConnections(1, 2), set);
  EXPECT_EQ(set->GetFromLayer(), 1);
  EXPECT_EQ(net->GetLayer(3)->GetLayerNum(), 3);
  const std::vector<double> inputs = {1.0, 1.0};
  std::vector<double> outputs(1);
  net->GetLayer(2)->SetActivationFunction(ActLinear);
  net->GetLayer(0)->SetActivationFunction(ActBias);
  net->GetLayer(3)->SetActivationFunction(ActLinear);
  net->Recall(inputs, outputs);
  EXPECT_EQ(outputs[0], 1 + 11);
}

TEST(BasicNetwork, RemoveLayerDropsItsSets) {
  auto net = MakeNetwork<TBasicNetwork>({0, 2, 3, 1});
  net->Connect(1, 2);
  net->Connect(2, 3);
  net->Connect(1, 3);
  test::NumberWeights(*net->GetConnections(1, 3));
  net->RemoveLayer(2);
  EXPECT_EQ(net->GetNumLayers(), 3);
  EXPECT_EQ(net->GetNumWeights(FMaskExists), 2);
  EXPECT_EQ(AllWeights(*net, FMaskExists), (std::vector<double>{1, 11}));
}

TEST(BasicNetwork, CopyRecallsTheSameAndSharesNothing) {
  auto net = SmallPerceptron();
  net->GetFnRegistry().Register(ActLinear, "extra");
  TConnectedNetwork copy(*net);
  EXPECT_EQ(copy.GetFnRegistry().FindFunction("extra"), nullptr);
  EXPECT_EQ(copy.GetLayer(2)->GetNetwork(), &copy);
  EXPECT_EQ(copy.GetConnections(1, 2)->GetNetwork(), &copy);
  EXPECT_NE(copy.GetConnections(1, 2), net->GetConnections(1, 2));

  const std::vector<double> inputs = {0.25, 0.75};
  std::vector<double> a(1), b(1);
  net->Recall(inputs, a);
  copy.Recall(inputs, b);
  EXPECT_EQ(a, b);

  copy.Randomize(-1.0, 1.0);
  std::vector<double> again(1);
  net->Recall(inputs, again);
  EXPECT_EQ(again, a);
  EXPECT_EQ(*net->GetConnections(2, 3)->GetWeight(1, 0), -2.0);
}

TEST(BasicNetwork, AssignmentReplacesEverythingAndSelfAssignmentKeepsIt) {
  auto net = SmallPerceptron();
  auto other = MakeNetwork<TConnectedNetwork>({0, 5, 5, 5, 5, 5});
  *other = *net;
  EXPECT_EQ(other->GetNumLayers(), 4);
  EXPECT_EQ(AllWeights(*other, FMaskExists), AllWeights(*net, FMaskExists));
  EXPECT_EQ(other->GetLayer(3)->GetNetwork(), other.get());

  TConnectedNetwork& self = *net;
  *net = self;
  const std::vector<double> inputs = {0.5, -1.0};
  std::vector<double> a(1), b(1);
  net->Recall(inputs, a);
  other->Recall(inputs, b);
  EXPECT_EQ(a, b);
}

TEST(BasicNetwork, InsertNodeAddsArcsToEveryConnectedLayer) {
  // Bias 1 -> hidden, input 2 -> hidden 2 -> output 1; fully connected.
  auto net = SmallPerceptron();
  detail::ResetRandomForTesting();
  net->InsertNode(2, 2, 0.0, 1.0, true);
  EXPECT_EQ(net->GetLayer(2)->GetNumNeurons(), 3);
  EXPECT_EQ(net->GetLayer(2)->GetNeuron(2)->actFunction, ActLinear);
  // Draws in layer order: set 0 -> 2, set 1 -> 2 (into the neuron), set 2 -> 3 (out of it).
  detail::ResetRandomForTesting();
  EXPECT_EQ(*net->GetConnections(0, 2)->GetWeight(0, 2), RandomWeight(0.0, 1.0));
  EXPECT_EQ(*net->GetConnections(1, 2)->GetWeight(0, 2), RandomWeight(0.0, 1.0));
  EXPECT_EQ(*net->GetConnections(1, 2)->GetWeight(1, 2), RandomWeight(0.0, 1.0));
  EXPECT_EQ(*net->GetConnections(2, 3)->GetWeight(2, 0), RandomWeight(0.0, 1.0));
  EXPECT_EQ(*net->GetConnections(2, 3)->GetWeight(1, 0), -2.0);

  net->RemoveNode(2, 2);
  EXPECT_EQ(AllWeights(*net, FMaskExists), AllWeights(*SmallPerceptron(), FMaskExists));
}

}  // namespace
}  // namespace mirk
