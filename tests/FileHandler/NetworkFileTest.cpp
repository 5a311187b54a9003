#include "FileHandler/NetworkFile.h"

#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/resource.h>

#include <climits>
#include <regex>
#include <span>
#include <string>
#include <vector>

#include "FileHandler/NetworkText.h"
#include "KQmessage/KQML.h"
#include "Mirk/TConditionLayer.h"
#include "Mirk/TMirk.h"
#include "Mirk/TMirkOutputLayer.h"
#include "NeuralNets/TBasicNeuron.h"
#include "NeuralNets/TConnectedNetwork.h"
#include "NeuralNets/TGainLayer.h"
#include "support/TestUtil.h"

namespace mirk {
namespace {

using test::LayerText;
using test::NetworkText;
using test::ReadText;

const std::string kNetworksDir = std::string(MIRK_TEST_DATA_DIR) + "/networks/";

std::unique_ptr<TBasicNetwork> Load(const std::string& name) {
  ScratchBuffer buffer;
  return LoadNetwork(buffer, kNetworksDir + name);
}

// Two layers: an input layer 0 of two neurons and a sigmoid layer of one.
const std::string kInfo2 = "[NumberOfLayers = 2]\n[InputLayer = 0]\n";
const std::string kLayers2 =
    LayerText(0, "Input", 2) + LayerText(1, "Simple", 1, "[ALL ActivationFunction = sigmoid]\n");

std::string Basic2(std::string_view layers) { return NetworkText("Basic", kInfo2, layers); }

// The smallest Mirk network: one input of two conditions, one rule, one
// output of two actions; no connection layers.
std::string MirkText(std::string_view type) {
  return NetworkText(
      type, "[NumberOfLayers = 6]\n",
      LayerText(0, "Simple", 0) + LayerText(1, "Input", 1) +
          LayerText(2, "FuzzyCondition", 2, "[InputMF]\n[Input=0 MF=2 ]\n[~InputMF]\n") +
          LayerText(3, "Simple", 1, "[All ActivationFunction=sigmoid ]\n") +
          LayerText(4, "Simple", 2, "[All ActivationFunction=sigmoid ]\n") +
          LayerText(5, "Defuzzify", 1, "[OutputMF]\n[Output=0 MF=2 ]\n[~OutputMF]\n"));
}

double Weight(TBasicNetwork& net, int fromLayer, int toLayer, int from, int to) {
  return *net.GetConnections(fromLayer, toLayer)->GetWeight(from, to);
}

TArcFlags Flags(TBasicNetwork& net, int fromLayer, int toLayer, int from, int to) {
  return net.GetConnections(fromLayer, toLayer)->GetFlags(from, to);
}

double GainOf(TBasicLayer& layer, int n) { return dynamic_cast<TGainNeuron&>(*layer.GetNeuron(n)).gain; }

TEST(NetworkFile, LoadsCompleteConnectedFile) {
  const auto net = Load("connected.net");
  ASSERT_NE(dynamic_cast<TConnectedNetwork*>(net.get()), nullptr);
  EXPECT_STREQ(net->GetNetworkNType(), "Connected");
  ASSERT_EQ(net->GetNumLayers(), 4);
  EXPECT_EQ(net->GetInLayer(), 1);
  EXPECT_EQ(net->GetOutLayer(), 3);
  const std::vector<std::pair<const char*, int>> layers = {{"Simple", 1}, {"Input", 2}, {"Gain", 3}, {"Simple", 1}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_STREQ(net->GetLayer(i)->GetLayerNType(), layers[i].first) << i;
    EXPECT_EQ(net->GetLayer(i)->GetNumNeurons(), layers[i].second) << i;
  }
  EXPECT_EQ(net->GetLayer(0)->GetActivationFunction(), ActBias);
  EXPECT_EQ(net->GetLayer(1)->GetActivationFunction(), ActLinear);
  EXPECT_EQ(net->GetLayer(3)->GetActivationFunction(), ActSigmoid);

  // Per-neuron functions; Gain 0.5 from the layer level, 2.0 from neuron 1's
  // statement, kept for neuron 2, which does not mention it.
  TBasicLayer& gain = *net->GetLayer(2);
  EXPECT_EQ(gain.GetActivationFunction(), nullptr);
  EXPECT_EQ(gain.GetNeuron(0)->GetActivationFunction(), ActSigmoidGain);
  EXPECT_EQ(gain.GetNeuron(1)->GetActivationFunction(), ActTanhGain);
  EXPECT_EQ(gain.GetNeuron(2)->GetActivationFunction(), ActLinearGain);
  EXPECT_EQ(GainOf(gain, 0), 0.5);
  EXPECT_EQ(GainOf(gain, 1), 2.0);
  EXPECT_EQ(GainOf(gain, 2), 2.0);

  EXPECT_STREQ(net->GetConnections(0, 2)->GetConnectionsNType(), "FullyConnected");
  EXPECT_EQ(Weight(*net, 0, 2, 0, 0), 0.5);
  EXPECT_EQ(Weight(*net, 0, 2, 0, 1), -1.25);
  EXPECT_EQ(Weight(*net, 0, 2, 0, 2), 1.23456789012346e-05);
  EXPECT_EQ(Weight(*net, 0, 3, 0, 0), 2.0);

  TBasicConnections& pruned = *net->GetConnections(1, 2);
  EXPECT_STREQ(pruned.GetConnectionsNType(), "Pruneable");
  EXPECT_EQ(pruned.GetNumWeights(FMaskExists), 4);
  EXPECT_EQ(Weight(*net, 1, 2, 0, 0), 0.1);
  EXPECT_EQ(Weight(*net, 1, 2, 0, 2), -3.0);
  EXPECT_EQ(Weight(*net, 1, 2, 1, 1), 1e20);
  EXPECT_EQ(Weight(*net, 1, 2, 1, 2), 0.25);
  EXPECT_EQ(Flags(*net, 1, 2, 0, 0), FMaskAll);
  EXPECT_EQ(Flags(*net, 1, 2, 0, 1), 0);
  EXPECT_EQ(Flags(*net, 1, 2, 0, 2), FMaskExists);
  EXPECT_EQ(Flags(*net, 1, 2, 1, 0), 0);

  TBasicConnections& list = *net->GetConnections(2, 3);
  EXPECT_EQ(list.GetNumWeights(FMaskExists), 1);
  EXPECT_EQ(Weight(*net, 2, 3, 2, 0), -0.75);
  EXPECT_EQ(Flags(*net, 2, 3, 2, 0), FMaskExists);

  int connected = 0;
  for (int f = 0; f < 4; ++f) {
    for (int t = 0; t < 4; ++t) connected += net->GetConnections(f, t)->IsConnected() ? 1 : 0;
  }
  EXPECT_EQ(connected, 4);
}

TEST(NetworkFile, LoadsCompleteMirkFile) {
  const auto loaded = Load("mirk.net");
  auto* mirk = dynamic_cast<TMirk*>(loaded.get());
  ASSERT_NE(mirk, nullptr);
  EXPECT_STREQ(mirk->GetNetworkNType(), "Mirk");
  int inputs = 0, conditions = 0, rules = 0, actions = 0, outputs = 0;
  std::vector<int> inputMF, outputMF;
  mirk->GetStructure(inputs, conditions, inputMF, rules, actions, outputMF, outputs);
  EXPECT_EQ(inputs, 2);
  EXPECT_EQ(conditions, 5);
  EXPECT_EQ(inputMF, (std::vector<int>{3, 2}));
  EXPECT_EQ(rules, 4);
  EXPECT_EQ(actions, 5);
  EXPECT_EQ(outputMF, (std::vector<int>{3, 2}));
  EXPECT_EQ(outputs, 2);

  EXPECT_EQ(mirk->GetLayer(2)->GetActivationFunction(), ActMirkCondition);
  EXPECT_EQ(mirk->GetLayer(3)->GetActivationFunction(), ActSigmoid);
  EXPECT_EQ(mirk->GetLayer(5)->GetActivationFunction(), ActCog);

  EXPECT_EQ(mirk->GetWeightLayer(1), (std::vector<double>{0.1, 0.4, 0.9, 0.2, 0.8}));
  EXPECT_EQ(Flags(*mirk, 1, 2, 0, 1), FMaskExists);
  EXPECT_EQ(Flags(*mirk, 1, 2, 0, 0), FMaskAll);
  EXPECT_EQ(mirk->GetWeightLayer(4), (std::vector<double>{0.0, 0.5, 1.0, 0.25, 0.75}));
  EXPECT_EQ(Flags(*mirk, 4, 5, 4, 1), FMaskExists);
  EXPECT_EQ(Flags(*mirk, 4, 5, 3, 1), FMaskAll);

  // Weight layer 2 from its weight list.
  EXPECT_EQ(mirk->GetConnections(2, 3)->GetNumWeights(FMaskExists), 5);
  bool exists = false;
  mirk->WeightExists(2, 0, 3, exists);
  EXPECT_TRUE(exists);
  mirk->WeightExists(2, 1, 0, exists);
  EXPECT_FALSE(exists);
  double value = 0.0;
  mirk->GetWeightValue(2, 0, 3, value);
  EXPECT_EQ(value, -0.25);
  EXPECT_EQ(Flags(*mirk, 2, 3, 0, 3), FMaskExists);
  mirk->GetWeightValue(2, 3, 2, value);
  EXPECT_EQ(value, -2.0);

  // Weight layer 3 from its matrix: no arc where rule + action is a
  // multiple of 3, frozen where they are equal.
  EXPECT_EQ(mirk->GetConnections(3, 4)->GetNumWeights(FMaskExists), 13);
  mirk->GetWeightValue(3, 2, 3, value);
  EXPECT_DOUBLE_EQ(value, 1.3);
  mirk->WeightExists(3, 1, 2, exists);
  EXPECT_FALSE(exists);
  EXPECT_EQ(Flags(*mirk, 3, 4, 2, 2), FMaskExists);
  EXPECT_EQ(Flags(*mirk, 3, 4, 2, 3), FMaskAll);
}

TEST(NetworkFile, FileThatCannotBeOpened) {
  EXPECT_FILE_ERROR(Load("no-such-file.net"), "Error on File Open");
  EXPECT_FILE_ERROR(Load(""), "Error on File Open");  // the folder itself
}

// The file's stream is gone once the error leaves LoadNetwork: the error
// must not point at it.
TEST(NetworkFile, ErrorsLeavingLoadNetworkCarryNoStream) {
  for (const char* name : {"no-such-file.net", "../labels/default-3-2-3.labels"}) {
    try {
      Load(name);
      ADD_FAILURE() << "no FileTools::Error for " << name;
    } catch (const FileTools::Error& e) {
      EXPECT_EQ(e.GetStream(), nullptr) << name << ": " << e.GetMessage();
    }
  }
}

struct ErrorCase {
  const char* what;
  std::string text;
  std::string message;
};

void ExpectErrors(const std::vector<ErrorCase>& cases, const ReaderLimits& limits = {}) {
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FILE_ERROR(ReadText(c.text, limits), c.message);
  }
}

TEST(NetworkFile, HeaderErrors) {
  ExpectErrors({
      {"no network block", "[Network]\n", "[NEURALNETWORK] expected"},
      {"no type", "[NeuralNetwork]\n[Type = Basic]\n", "[NETWORKTYPE = <string>] expectedType"},
      {"no information block", "[NeuralNetwork]\n[NetworkType = Basic]\n[Layer = 0]\n",
       "[NETWORKINFORMATION] expected"},
      {"count not a number", NetworkText("Basic", "[NumberOfLayers = x]\n", ""), "integer-expected"},
      {"unknown key", NetworkText("Basic", "[Layers = 3]\n", ""), "Unknown keyword"},
      {"unknown key, value not a number", NetworkText("Basic", "[Layers = x]\n", ""), "integer-expected"},
      {"two entries in one bracket", NetworkText("Basic", "[NumberOfLayers = 2 InputLayer = 0]\n", ""),
       "Too complicated statement"},
      {"block in the information", NetworkText("Basic", "[NumberOfLayers = 2]\n[Layer]\n", ""), "End Tag expected"},
      {"no number of layers", NetworkText("Basic", "[InputLayer = 0]\n", ""), "Must specify number of layers"},
      {"unknown type after the information", NetworkText("Hopfield", "", ""), "Must specify number of layers"},
      {"unknown type", NetworkText("Hopfield", kInfo2, kLayers2), "Unknown network type"},
      {"Mirk of five layers", NetworkText("Mirk", "[NumberOfLayers = 5]\n", ""), "A Mirk network has 6 layers"},
      {"negative number of layers", NetworkText("Basic", "[NumberOfLayers = -3]\n", ""),
       "Number of layers out of range"},
      {"number of layers beyond int", NetworkText("Basic", "[NumberOfLayers = 4294967298]\n", ""),
       "Number of layers out of range"},
      {"input layer too high", NetworkText("Basic", "[NumberOfLayers = 2]\n[InputLayer = 2]\n", ""),
       "Input layer out of range"},
      {"input layer negative", NetworkText("Basic", "[NumberOfLayers = 2]\n[InputLayer = -2]\n", ""),
       "Input layer out of range"},
      {"output layer too high", NetworkText("Basic", kInfo2 + "[OutputLayer = 7]\n", ""),
       "Output layer out of range"},
      {"statement after the network", Basic2(kLayers2) + "[Layer = 0]\n", "End Tag expected"},
      {"word after the network", Basic2(kLayers2) + "end\n", "End Tag expected"},
      {"network not closed", NetworkText("Basic", kInfo2, kLayers2 + "[Layer]\n"), "End Tag expected"},
      {"input ends in the network", Basic2(kLayers2).substr(0, Basic2(kLayers2).rfind("[~")),
       "Unexpected end of file"},
  });
}

TEST(NetworkFile, LayerErrors) {
  const std::string input = LayerText(0, "Input", 2);
  const std::string gain = "[LayerType = Gain]\n[NumberOfNeurons = 1]\n[ALL ActivationFunction = linear-gain]\n";
  auto layer1 = [&](std::string_view attributes) {
    return Basic2(input + "[Layer = 1]\n" + std::string(attributes) + "[~Layer]\n");
  };
  ExpectErrors({
      {"layer index too high", Basic2(kLayers2 + LayerText(2, "Simple", 1)), "Layer index out of range"},
      {"layer index negative", Basic2(LayerText(-1, "Simple", 1)), "Layer index out of range"},
      {"layer index not a number", Basic2("[Layer = one]\n"), "integer-expected"},
      {"layer given twice", Basic2(input + input), "Layer 0 defined twice"},
      {"layer without section", Basic2(input), "Layer 1 has no section"},
      {"layer without section before a connection layer", Basic2(input + "[ConnectionLayer]\n"),
       "Layer 1 has no section"},
      {"no neuron count", layer1("[LayerType = Simple]\n"), "Layer type or number of neurons missing"},
      {"no type", layer1("[NumberOfNeurons = 1]\n"), "Layer type or number of neurons missing"},
      {"negative count", layer1("[LayerType = Simple]\n[NumberOfNeurons = -1]\n"), "Number of neurons out of range"},
      {"count beyond int", layer1("[NumberOfNeurons = 2147483648]\n"), "Number of neurons out of range"},
      {"unknown type", layer1("[LayerType = Hidden]\n[NumberOfNeurons = 1]\n"), "Unknown layer type"},
      {"type again", layer1("[LayerType = Simple]\n[NumberOfNeurons = 1]\n[LayerType = Defuzzify]\n"),
       "LayerType after the layer was built"},
      {"count again, not a number", layer1("[LayerType = Simple]\n[NumberOfNeurons = 1]\n[NumberOfNeurons = x]\n"),
       "integer-expected"},
      {"count again", layer1("[LayerType = Simple]\n[NumberOfNeurons = 1]\n[NumberOfNeurons = 3]\n"),
       "NumberOfNeurons after the layer was built"},
      {"ALL alone", layer1("[ALL]\n"), "[ALL] is incomplete statment"},
      {"ALL without entry", layer1("[ALL Gain]\n"), "Required syntax is [ALL <keyword>=<val>]"},
      {"ALL with two entries", layer1("[ALL ActivationFunction = sigmoid Gain = 1]\n"), "Too complicated statement"},
      {"two entries", layer1("[ActivationFunction = sigmoid Gain = 1]\n"), "Too complicated statement"},
      {"unknown function", layer1("[ActivationFunction = softmax]\n"), "Unknown activation function softmax"},
      {"parameter before the layer", layer1("[Gain = 0.5]\n[LayerType = Gain]\n[NumberOfNeurons = 1]\n"),
       "Neuron parameter before the layer is built"},
      {"parameter of no slot", layer1("[LayerType = Simple]\n[NumberOfNeurons = 1]\n[Gain = 0.5]\n"),
       "Unknown neuron parameter Gain"},
      {"parameter of an empty layer", layer1("[LayerType = Gain]\n[NumberOfNeurons = 0]\n[Gain = 0.5]\n"),
       "Unknown neuron parameter Gain"},
      {"parameter not a number", layer1(gain + "[Gain = x]\n"), "number-expected"},
      {"parameter with two signs", layer1(gain + "[Gain = --0.5]\n"), "number-expected"},
      {"gain never given", layer1(gain), "Incomplete Layer information"},
      {"more inputs in the header",
       NetworkText("Basic", kInfo2 + "[NumberOfInputs = 3]\n", kLayers2), "wrong number inputs in header"},
      {"more outputs in the header",
       NetworkText("Basic", kInfo2 + "[NumberOfOutputs = 2]\n", kLayers2), "wrong number outputs in header"},
      {"condition layer without membership", layer1("[LayerType = FuzzyCondition]\n[NumberOfNeurons = 2]\n"),
       "membership array missing in condition layer"},
      {"condition layer with OutputMF",
       layer1("[LayerType = FuzzyCondition]\n[NumberOfNeurons = 2]\n[OutputMF]\n[Output=0 MF=2 ]\n[~OutputMF]\n"),
       "membership array missing in condition layer"},
      {"output layer without membership", layer1("[LayerType = Defuzzify]\n[NumberOfNeurons = 1]\n[Neurons]\n"),
       "membership array missing in output layer"},
      {"unknown block in the layer", layer1("[LayerType = Simple]\n[NumberOfNeurons = 1]\n[Extra]\n"),
       "End Tag expected"},
  });
}

TEST(NetworkFile, NeuronErrors) {
  auto neurons = [](std::string_view statements, std::string_view attributes = "") {
    return Basic2(LayerText(0, "Input", 2) + "[Layer = 1]\n[LayerType = Gain]\n[NumberOfNeurons = 3]\n" +
                  std::string(attributes) + "[Neurons]\n" + std::string(statements) + "[~Neurons]\n[~Layer]\n");
  };
  const std::string f = " ActivationFunction = sigmoid-gain";
  ExpectErrors({
      {"neuron left out", neurons("[Neuron = 0" + f + "]\n[Neuron = 2" + f + "]\n"), "Neuron not defined"},
      {"neuron twice", neurons("[Neuron = 1" + f + "]\n[Neuron = 1" + f + "]\n"), "repeated neuron"},
      {"neuron index too high", neurons("[Neuron = 3" + f + "]\n"), "Neuron index out of range"},
      {"neuron index negative", neurons("[Neuron = -1" + f + "]\n"), "Neuron index out of range"},
      {"bare word", neurons("[Neuron = 0 sigmoid]\n"), "Equals clause expected in neuron parameter"},
      {"no function", neurons("[Neuron = 0 Gain = 2]\n"), "No activation function defined"},
      {"unknown function", neurons("[Neuron = 0 ActivationFunction = relu]\n"), "Unknown activation function relu"},
      {"unknown parameter", neurons("[Neuron = 0" + f + " Bias = 1]\n"), "Unknown neuron parameter Bias"},
      {"other block in the neurons", neurons("[Neuron = 0" + f + "]\n[Extra]\n"), "End Tag expected"},
  });
}

// The message of the budget error, whatever the need.
void ExpectOverBudget(const std::string& text, const ReaderLimits& limits) {
  try {
    ReadText(text, limits);
    ADD_FAILURE() << "no FileTools::Error";
  } catch (const FileTools::Error& e) {
    const std::regex expected("Network needs [0-9]+ bytes, more than the reader's memory budget of " +
                              std::to_string(limits.memoryBudget) + " bytes");
    EXPECT_TRUE(std::regex_match(e.GetMessage(), expected)) << e.GetMessage();
  }
}

TEST(NetworkFile, MemoryBudgetCountsEveryPartBeforeItIsBuilt) {
  ReaderLimits small;
  small.memoryBudget = 20000;
  const std::string full = test::ConnectionText(0, 1, "FullyConnected", "");
  const std::string pruneable = test::ConnectionText(0, 1, "Pruneable", "");
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"layers x layers sets", NetworkText("Basic", "[NumberOfLayers = 50]\n", "")},
      {"neurons", Basic2(LayerText(0, "Input", 200) + LayerText(1, "Simple", 200))},
      {"condition neurons",
       Basic2(LayerText(0, "Input", 1) + LayerText(1, "FuzzyCondition", 300, "[InputMF]\n[Input=0 MF=300 ]\n[~InputMF]\n"))},
      {"a fully connected set", Basic2(LayerText(0, "Input", 50) + LayerText(1, "Simple", 50) + full)},
      {"a pruneable set", Basic2(LayerText(0, "Input", 60) + LayerText(1, "Simple", 60) + pruneable)},
      {"actions", Basic2(LayerText(0, "Input", 2) +
                         LayerText(1, "Defuzzify", 1, "[OutputMF]\n[Output=0 MF=6000 ]\n[~OutputMF]\n"))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ExpectOverBudget(c.text, small);
  }
  // With room to spare the budget lets each of them pass (the layers alone
  // are no complete file).
  ReaderLimits roomy;
  roomy.memoryBudget = 1 << 20;
  for (const auto& c : cases) {
    try {
      ReadText(c.text, roomy);
    } catch (const FileTools::Error& e) {
      EXPECT_EQ(e.GetMessage().rfind("Network needs", 0), std::string::npos) << c.what << ": " << e.GetMessage();
    }
  }

  ExpectErrors({{"a set beyond INT_MAX positions",
                 Basic2(LayerText(0, "Input", 50000) + LayerText(1, "Simple", 50000) + full),
                 "Connection layer has more than INT_MAX arc positions"},
                {"actions beyond INT_MAX",
                 Basic2(LayerText(0, "Input", 2) +
                        LayerText(1, "Defuzzify", 2,
                                  "[OutputMF]\n[Output=0 MF=2147483647 ]\n[Output=1 MF=2 ]\n[~OutputMF]\n")),
                 "Membership counts of the outputs add up to more than INT_MAX actions"}});
}

// Heap bytes in use, mapped blocks included; 0 where the allocator does not
// tell (sanitizer builds).
size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// The smallest budget the text loads with.
long long SmallestBudget(const std::string& text) {
  long long fails = 0;
  long long loads = 1LL << 26;
  while (loads - fails > 1) {
    ReaderLimits limits;
    limits.memoryBudget = (fails + loads) / 2;
    try {
      ReadText(text, limits);
      loads = limits.memoryBudget;
    } catch (const FileTools::Error&) {
      fails = limits.memoryBudget;
    }
  }
  return loads;
}

// The budget counts what the network really holds: within a little of the
// heap it takes, padding of the dense sets included (a set from 4000 nodes
// to one holds 4000 x 8 positions).
TEST(NetworkFile, MemoryBudgetFollowsWhatTheNetworkHolds) {
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"padded pruneable set",
       Basic2(LayerText(0, "Input", 4000) + LayerText(1, "Simple", 1) + test::ConnectionText(0, 1, "Pruneable", ""))},
      {"fully connected set", Basic2(LayerText(0, "Input", 300) + LayerText(1, "Simple", 300) +
                                     test::ConnectionText(0, 1, "FullyConnected", ""))},
      {"condition layer",
       Basic2(LayerText(0, "Input", 1) +
              LayerText(1, "FuzzyCondition", 20000, "[InputMF]\n[Input=0 MF=20000 ]\n[~InputMF]\n"))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const size_t before = HeapInUse();
    const auto net = ReadText(c.text);
    const size_t held = HeapInUse() - before;
    if (held == 0) GTEST_SKIP() << "the allocator does not report its heap";
    const auto budget = static_cast<double>(SmallestBudget(c.text));
    EXPECT_GE(budget, 0.9 * static_cast<double>(held));
    EXPECT_LE(budget, 1.5 * static_cast<double>(held));
  }
}

long PeakResidentKB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// A file of a kilobyte that declares 30000 conditions and 30000 rules: the
// pruneable set between them would take 8 GB. It is refused before any of
// that is allocated.
TEST(NetworkFile, SmallFileDeclaringAHugeNetworkIsRefusedCheaply) {
  const std::string text = NetworkText(
      "Mirk", "[NumberOfLayers = 6]\n",
      LayerText(0, "Simple", 0) + LayerText(1, "Input", 1) +
          LayerText(2, "FuzzyCondition", 30000, "[InputMF]\n[Input=0 MF=30000 ]\n[~InputMF]\n") +
          LayerText(3, "Simple", 30000, "[All ActivationFunction=sigmoid ]\n") +
          LayerText(4, "Simple", 2, "[All ActivationFunction=sigmoid ]\n") +
          LayerText(5, "Defuzzify", 1, "[OutputMF]\n[Output=0 MF=2 ]\n[~OutputMF]\n") +
          test::ConnectionText(2, 3, "Pruneable", ""));
  ASSERT_LT(text.size(), 2000u);
  const long before = PeakResidentKB();
  ExpectOverBudget(text, ReaderLimits{});
  EXPECT_LT(PeakResidentKB() - before, 64 * 1024) << "peak resident memory grew by more than 64 MB";
}

TEST(NetworkFile, NetworkTypesAndHeaderDefaults) {
  EXPECT_STREQ(ReadText(Basic2(kLayers2))->GetNetworkNType(), "Basic");
  EXPECT_STREQ(ReadText(NetworkText("CONNECTED", kInfo2, kLayers2))->GetNetworkNType(), "Connected");
  const auto mirk = ReadText(MirkText("mirk"));
  EXPECT_NE(dynamic_cast<TMirk*>(mirk.get()), nullptr);

  // No InputLayer and no OutputLayer: 1 and the last layer. A key given
  // twice keeps the later value; BiasLayer is accepted.
  const auto net = ReadText(NetworkText(
      "Basic", "[NumberOfLayers = 2]\n[NumberOfLayers = 3]\n[BiasLayer = 0]\n",
      LayerText(0, "Simple", 0) + LayerText(1, "Input", 1) + LayerText(2, "Simple", 1)));
  EXPECT_EQ(net->GetNumLayers(), 3);
  EXPECT_EQ(net->GetInLayer(), 1);
  EXPECT_EQ(net->GetOutLayer(), 2);

  const auto matching = ReadText(
      NetworkText("Basic", kInfo2 + "[OutputLayer = 1]\n[NumberOfInputs = 2]\n[NumberOfOutputs = 1]\n", kLayers2));
  EXPECT_EQ(matching->GetOutLayer(), 1);
}

TEST(NetworkFile, VersionHeaderCommentsAndParameters) {
  const std::string text = "[FormatVersion = 1.0]\n/* a network */\n" + Basic2(kLayers2) + "/* the end */\n";
  std::istringstream in(text);
  ScratchBuffer buffer;
  const auto net = ReadNetwork(buffer, in, std::make_unique<TKQstructure>("params"));
  EXPECT_EQ(net->GetNumLayers(), 2);
}

TEST(NetworkFile, LayerAttributesInEitherOrder) {
  // Count before type, the function between them, ALL or not.
  const auto net = ReadText(Basic2(
      LayerText(0, "Input", 2) +
      "[Layer = 1]\n[NumberOfNeurons = 3]\n[ActivationFunction = TANH]\n[LayerType = simple]\n[~Layer]\n"));
  EXPECT_EQ(net->GetLayer(1)->GetNumNeurons(), 3);
  EXPECT_EQ(net->GetLayer(1)->GetActivationFunction(), ActTanh);

  const auto all = ReadText(Basic2(
      LayerText(0, "Input", 2) +
      "[Layer = 1]\n[ALL ActivationFunction = tanh]\n[LayerType = Simple]\n[NumberOfNeurons = 3]\n[~Layer]\n"));
  EXPECT_EQ(all->GetLayer(1)->GetActivationFunction(), ActTanh);

  // A repeat after the layer is built that changes nothing is taken.
  const auto again = ReadText(Basic2(
      LayerText(0, "Input", 2) +
      "[Layer = 1]\n[LayerType = Simple]\n[NumberOfNeurons = 3]\n[LayerType = SIMPLE]\n[NumberOfNeurons = 3]\n"
      "[~Layer]\n"));
  EXPECT_EQ(again->GetLayer(1)->GetNumNeurons(), 3);
}

TEST(NetworkFile, GainAtLayerLevelAndPerNeuron) {
  auto gainLayer = [](std::string_view rest) {
    return ReadText(Basic2(LayerText(0, "Input", 2) +
                           LayerText(1, "Gain", 3, "[ALL ActivationFunction = sigmoid-gain]\n" + std::string(rest))));
  };
  const auto all = gainLayer("[ALL Gain = 0.5]\n");
  for (int n = 0; n < 3; ++n) EXPECT_EQ(GainOf(*all->GetLayer(1), n), 0.5);
  EXPECT_EQ(all->GetLayer(1)->GetActivationFunction(), ActSigmoidGain);

  // Slots carry over between neuron statements; a function named in a
  // neuron statement is ignored when the layer has one.
  const auto each = gainLayer(
      "[Gain = 0.5]\n[Neurons]\n[Neuron = 2]\n[Neuron = 0 Gain = 3 ActivationFunction = linear]\n"
      "[Neuron = 1]\n[~Neurons]\n");
  EXPECT_EQ(GainOf(*each->GetLayer(1), 2), 0.5);
  EXPECT_EQ(GainOf(*each->GetLayer(1), 0), 3.0);
  EXPECT_EQ(GainOf(*each->GetLayer(1), 1), 3.0);
  EXPECT_EQ(each->GetLayer(1)->GetActivationFunction(), ActSigmoidGain);

  // Without a layer-level gain the neurons block must be there.
  const auto neurons = gainLayer("[Neurons]\n[Neuron = 0 Gain = 2]\n[Neuron = 1]\n[Neuron = 2 Gain = 4]\n[~Neurons]\n");
  EXPECT_EQ(GainOf(*neurons->GetLayer(1), 0), 2.0);
  EXPECT_EQ(GainOf(*neurons->GetLayer(1), 1), 2.0);
  EXPECT_EQ(GainOf(*neurons->GetLayer(1), 2), 4.0);
}

TEST(NetworkFile, NeuronsNameTheirFunctionsWhenTheLayerHasNone) {
  const auto net = ReadText(Basic2(
      LayerText(0, "Input", 2) +
      LayerText(1, "Simple", 2,
                "[Neurons]\n[Neuron = 1 ActivationFunction = tanh]\n[Neuron = 0 ActivationFunction = bias]\n"
                "[~Neurons]\n")));
  TBasicLayer& layer = *net->GetLayer(1);
  EXPECT_EQ(layer.GetNeuron(0)->GetActivationFunction(), ActBias);
  EXPECT_EQ(layer.GetNeuron(1)->GetActivationFunction(), ActTanh);
  EXPECT_EQ(layer.GetActivationFunction(), nullptr);
}

TEST(NetworkFile, MirkLayersGetTheirMembershipCounts) {
  const auto net = ReadText(MirkText("Mirk"));
  auto& conditions = dynamic_cast<TConditionLayer&>(*net->GetLayer(2));
  EXPECT_EQ(conditions.GetNumInputs(), 1);
  auto& outputs = dynamic_cast<TMirkOutputLayer&>(*net->GetLayer(5));
  EXPECT_EQ(outputs.GetNumActions(), 2);
}

}  // namespace
}  // namespace mirk
