// A network written and read back is the same network, and writing it again
// gives the same bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Common/Exceptions.h"
#include "Common/NumberText.h"
#include "FileHandler/NetworkFile.h"
#include "FileHandler/NetworkText.h"
#include "FileHandler/NetworkWriteText.h"
#include "FileHandler/NetworkWriter.h"
#include "Mirk/TConditionLayer.h"
#include "Mirk/TMirk.h"
#include "Mirk/TMirkOutputLayer.h"
#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TBasicNeuron.h"
#include "NeuralNets/TConnectedNetwork.h"
#include "NeuralNets/TGainLayer.h"
#include "NeuralNets/TSimpleInputLayer.h"
#include "NeuralNets/TSimpleLayer.h"

namespace mirk {
namespace {

using test::ReadText;
using test::WriteText;

// Matrix cells keep 15 significant digits, weight-list weights and neuron
// parameters 15 decimals; either text agreeing is the same written value.
bool SameWrittenValue(double a, double b) {
  return FormatGeneral(a, 15) == FormatGeneral(b, 15) || FormatFixed(a, 15) == FormatFixed(b, 15);
}

void ExpectSameLayer(TBasicLayer& a, TBasicLayer& b) {
  const int i = a.GetLayerNum();
  ASSERT_STREQ(a.GetLayerNType(), b.GetLayerNType()) << "layer " << i;
  ASSERT_EQ(a.GetNumNeurons(), b.GetNumNeurons()) << "layer " << i;
  EXPECT_EQ(a.GetActivationFunction(), b.GetActivationFunction()) << "layer " << i;
  for (int n = 0; n < a.GetNumNeurons(); ++n) {
    const TBasicNeuron& na = *a.GetNeuron(n);
    const TBasicNeuron& nb = *b.GetNeuron(n);
    EXPECT_EQ(na.GetActivationFunction(), nb.GetActivationFunction()) << "layer " << i << " neuron " << n;
    ASSERT_EQ(na.GetNumParameters(), nb.GetNumParameters());
    std::vector<double> pa(static_cast<std::size_t>(na.GetNumParameters()));
    std::vector<double> pb(pa.size());
    na.GetParameters(pa);
    nb.GetParameters(pb);
    for (std::size_t j = 0; j < pa.size(); ++j)
      EXPECT_EQ(FormatFixed(pa[j], 15), FormatFixed(pb[j], 15)) << "layer " << i << " neuron " << n;
  }
  if (auto* ca = dynamic_cast<TConditionLayer*>(&a)) {
    auto* cb = dynamic_cast<TConditionLayer*>(&b);
    ASSERT_NE(cb, nullptr);
    EXPECT_EQ(std::vector<int>(ca->GetInputMF().begin(), ca->GetInputMF().end()),
              std::vector<int>(cb->GetInputMF().begin(), cb->GetInputMF().end()));
  }
  if (auto* oa = dynamic_cast<TMirkOutputLayer*>(&a)) {
    auto* ob = dynamic_cast<TMirkOutputLayer*>(&b);
    ASSERT_NE(ob, nullptr);
    EXPECT_EQ(oa->GetNumActions(), ob->GetNumActions());
    EXPECT_EQ(std::vector<int>(oa->GetOutputMF().begin(), oa->GetOutputMF().end()),
              std::vector<int>(ob->GetOutputMF().begin(), ob->GetOutputMF().end()));
  }
}

void ExpectSameSet(TBasicConnections& a, TBasicConnections& b) {
  const std::string where =
      "set " + std::to_string(a.GetFromLayer()) + " -> " + std::to_string(a.GetToLayer());
  ASSERT_STREQ(a.GetConnectionsNType(), b.GetConnectionsNType()) << where;
  ASSERT_EQ(a.IsConnected(), b.IsConnected()) << where;
  if (!a.IsConnected()) return;
  for (int i = 0; i < a.GetFromSize(); ++i) {
    for (int j = 0; j < a.GetToSize(); ++j) {
      ASSERT_EQ(a.IsValid(i, j), b.IsValid(i, j)) << where << " arc " << i << "," << j;
      if (!a.IsValid(i, j)) continue;
      EXPECT_EQ(a.IsTrainable(i, j), b.IsTrainable(i, j)) << where << " arc " << i << "," << j;
      EXPECT_EQ(a.GetFlags(i, j), b.GetFlags(i, j)) << where << " arc " << i << "," << j;
      EXPECT_PRED2(SameWrittenValue, *a.GetWeight(i, j), *b.GetWeight(i, j))
          << where << " arc " << i << "," << j;
    }
  }
}

void ExpectSameNetwork(TBasicNetwork& a, TBasicNetwork& b) {
  EXPECT_STREQ(a.GetNetworkNType(), b.GetNetworkNType());
  ASSERT_EQ(a.GetNumLayers(), b.GetNumLayers());
  EXPECT_EQ(a.GetInLayer(), b.GetInLayer());
  EXPECT_EQ(a.GetOutLayer(), b.GetOutLayer());
  for (int i = 0; i < a.GetNumLayers(); ++i) ExpectSameLayer(*a.GetLayer(i), *b.GetLayer(i));
  for (int f = 0; f < a.GetNumLayers(); ++f)
    for (int t = 0; t < a.GetNumLayers(); ++t) ExpectSameSet(*a.GetConnections(f, t), *b.GetConnections(f, t));
}

// Writes, reads back, compares, and writes again.
void ExpectRoundTrip(TBasicNetwork& net) {
  const std::string text = WriteText(net);
  std::unique_ptr<TBasicNetwork> back;
  try {
    back = ReadText(text);
  } catch (const FileTools::Error& e) {
    FAIL() << "written text rejected: " << e.GetMessage() << "\n" << text;
  }
  ExpectSameNetwork(net, *back);
  EXPECT_EQ(WriteText(*back), text);
}

// Both set forms appear: 9 conditions over 3 inputs fill a third of their
// set (a weight list), 5 actions over 2 outputs half of theirs (a matrix).
TEST(RoundTrip, RandomisedMirkNetwork) {
  const int inputMF[] = {3, 2, 4};
  const int outputMF[] = {2, 3};
  TMirk net(3, inputMF, 5, outputMF, 2);
  net.Randomize(-1.0, 1.0);
  net.SetWeightValue(2, 4, 1, 123456.789);
  net.SetWeightValue(3, 0, 0, -2.5e-7);
  net.GetConnections(1, 2)->FreezeWeight(1, 4);  // condition 4 of input 1
  net.FreezeWeight(2, 3, 8);
  net.FreezeWeight(4, 1, 3);  // action 3 of output 1
  net.GetConnections(2, 3)->RemoveWeight(0, 0);
  net.GetConnections(3, 4)->RemoveWeight(4, 4);
  ExpectRoundTrip(net);
}

// Bias, input, two gain layers; sets pruneable. Hidden gains differ, output
// gains agree; one set falls below the matrix share.
TEST(RoundTrip, MlpLikeBasicNetworkWithGainLayers) {
  TBasicNetwork net(4);
  TFnRegistry& fns = net.GetFnRegistry();
  net.SetLayer(0, std::make_unique<TSimpleLayer>(&net, 0, 1));
  net.GetLayer(0)->SetActivationFunction(fns.GetFunction("bias"));
  net.SetLayer(1, std::make_unique<TSimpleInputLayer>(&net, 1, 3));
  net.SetLayer(2, std::make_unique<TGainLayer>(&net, 2, 4, 1.0));
  net.GetLayer(2)->SetActivationFunction(fns.GetFunction("sigmoid-gain"));
  const double gains[] = {0.5, 1.25, 1048576.125, 0.333333333333333};
  for (int i = 0; i < 4; ++i) net.GetLayer(2)->GetNeuron(i)->SetParameters({&gains[i], 1});
  net.GetLayer(2)->GetNeuron(3)->SetActivationFunction(fns.GetFunction("tanh-gain"));
  net.SetLayer(3, std::make_unique<TGainLayer>(&net, 3, 2, 0.75));
  net.GetLayer(3)->SetActivationFunction(fns.GetFunction("linear-gain"));
  net.Connect(0, 2);
  net.Connect(0, 3);
  net.Connect(1, 2);
  net.Connect(2, 3);
  net.Randomize(-2.0, 2.0);
  TBasicConnections& inputs = *net.GetConnections(1, 2);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 4; ++j)
      if ((i + j) % 3 != 0) inputs.RemoveWeight(i, j);  // 4 of 12 arcs left
  inputs.FreezeWeight(0, 0);
  *inputs.GetWeight(1, 2) = -98765.4321;
  net.GetConnections(2, 3)->FreezeWeight(3, 1);
  *net.GetConnections(2, 3)->GetWeight(0, 0) = 1e-300;
  const std::string text = WriteText(net);
  ASSERT_NE(text.find("[WeightList]"), std::string::npos);
  ASSERT_NE(text.find("[Neurons]"), std::string::npos);
  ExpectRoundTrip(net);
}

TEST(RoundTrip, ConnectedNetwork) {
  const int sizes[] = {1, 3, 4, 2};
  TConnectedNetwork net(4, sizes);
  TFnRegistry& fns = net.GetFnRegistry();
  net.GetLayer(0)->SetActivationFunction(fns.GetFunction("bias"));
  net.GetLayer(2)->SetActivationFunction(fns.GetFunction("tanh"));
  net.GetLayer(2)->GetNeuron(1)->SetActivationFunction(fns.GetFunction("saturated-linear"));
  net.GetLayer(3)->SetActivationFunction(fns.GetFunction("sigmoid"));
  net.Connect(0, 2);
  net.Connect(0, 3);
  net.Connect(1, 2);
  net.Connect(2, 3);
  net.Randomize(-1.0, 1.0);
  *net.GetConnections(2, 3)->GetWeight(3, 1) = 1.7976931348623157e308;
  ExpectRoundTrip(net);
}

TEST(RoundTrip, ThroughFiles) {
  const std::filesystem::path path = test::ScratchPath("RoundTripTest", "mirk.net");
  const int inputMF[] = {2, 2};
  const int outputMF[] = {3};
  TMirk net(2, inputMF, 3, outputMF, 1);
  net.InitWeights(-0.5, 0.5);
  ScratchBuffer buffer;
  SaveNetwork(buffer, path.string(), net);
  std::unique_ptr<TBasicNetwork> back = LoadNetwork(buffer, path.string());
  ExpectSameNetwork(net, *back);
  EXPECT_EQ(WriteText(*back), WriteText(net));
}

}  // namespace
}  // namespace mirk
