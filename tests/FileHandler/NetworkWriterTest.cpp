#include "FileHandler/NetworkWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "FileHandler/NetworkFile.h"
#include "FileHandler/NetworkWriteText.h"
#include "Mirk/TMirk.h"
#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TConnectedNetwork.h"
#include "NeuralNets/TGainLayer.h"
#include "NeuralNets/TSimpleInputLayer.h"
#include "NeuralNets/TSimpleLayer.h"
#include "support/TestUtil.h"

namespace mirk {
namespace {

using test::WriteText;

// The text from `start` (included) through the next `end` (included).
std::string Section(const std::string& text, const std::string& start, const std::string& end) {
  const std::size_t first = text.find(start);
  if (first == std::string::npos) return "<" + start + " missing>";
  const std::size_t last = text.find(end, first);
  if (last == std::string::npos) return "<" + end + " missing>";
  return text.substr(first, last + end.size() - first);
}

ActFunction Fn(TBasicNetwork& net, const char* name) { return net.GetFnRegistry().GetFunction(name); }

// Bias layer 0 (one "bias" neuron), input layer 1, and output layer 2 made
// by `makeOutput`; no sets.
template <typename MakeOutput>
std::unique_ptr<TBasicNetwork> ThreeLayers(int inputs, MakeOutput makeOutput) {
  auto net = std::make_unique<TBasicNetwork>(3);
  net->SetLayer(0, std::make_unique<TSimpleLayer>(net.get(), 0, 1));
  net->GetLayer(0)->SetActivationFunction(Fn(*net, "bias"));
  net->SetLayer(1, std::make_unique<TSimpleInputLayer>(net.get(), 1, inputs));
  net->SetLayer(2, makeOutput(net.get()));
  return net;
}

std::unique_ptr<TBasicNetwork> SigmoidOutput(int inputs, int outputs) {
  return ThreeLayers(inputs, [outputs](TBasicNetwork* net) {
    auto layer = std::make_unique<TSimpleLayer>(net, 2, outputs);
    layer->SetActivationFunction(net->GetFnRegistry().GetFunction("sigmoid"));
    return layer;
  });
}

std::unique_ptr<TBasicNetwork> GainOutput(int outputs) {
  return ThreeLayers(2, [outputs](TBasicNetwork* net) {
    auto layer = std::make_unique<TGainLayer>(net, 2, outputs, 1.0);
    layer->SetActivationFunction(net->GetFnRegistry().GetFunction("sigmoid"));
    return layer;
  });
}

void SetGain(TBasicLayer& layer, int neuron, double gain) {
  const double value[] = {gain};
  layer.GetNeuron(neuron)->SetParameters(value);
}

// The three-layer "Connected" example network, written exactly so.
constexpr const char* kExampleText =
    "[FormatVersion = 1.0]\n"
    "\n"
    "[NeuralNetwork]\n"
    "[NetworkType = Connected]\n"
    "\n"
    "[NetworkInformation]\n"
    "[NumberOfLayers = 3]\n"
    "[InputLayer = 1]\n"
    "[OutputLayer = 2]\n"
    "[NumberOfInputs = 2]\n"
    "[NumberOfOutputs = 1]\n"
    "[BiasLayer = 0]\n"
    "[~NetworkInformation]\n"
    "\n"
    "[Layer = 0]\n"
    "[LayerType = Simple]\n"
    "[NumberOfNeurons = 1]\n"
    "[All ActivationFunction=bias ]\n"
    "[~Layer]\n"
    "\n"
    "[Layer = 1]\n"
    "[LayerType = Input]\n"
    "[NumberOfNeurons = 2]\n"
    "[All ActivationFunction=linear ]\n"
    "[~Layer]\n"
    "\n"
    "[Layer = 2]\n"
    "[LayerType = Simple]\n"
    "[NumberOfNeurons = 1]\n"
    "[All ActivationFunction=sigmoid ]\n"
    "[~Layer]\n"
    "\n"
    "[ConnectionLayer]\n"
    "[LayerFrom = 0]\n"
    "[LayerTo = 2]\n"
    "[ConnectionType = FullyConnected]\n"
    "[Attributes UnPrunable UnFreezable ]\n"
    "[Matrix Weights ]\n"
    "/* To->            0  From */\n"
    "                 0.5  /* 0 */\n"
    "[~Matrix]\n"
    "[~ConnectionLayer]\n"
    "\n"
    "[ConnectionLayer]\n"
    "[LayerFrom = 1]\n"
    "[LayerTo = 2]\n"
    "[ConnectionType = FullyConnected]\n"
    "[Attributes UnPrunable UnFreezable ]\n"
    "[Matrix Weights ]\n"
    "/* To->            0  From */\n"
    "               -1.25  /* 0 */\n"
    "                   2  /* 1 */\n"
    "[~Matrix]\n"
    "[~ConnectionLayer]\n"
    "\n"
    "[~NeuralNetwork]\n";

std::unique_ptr<TConnectedNetwork> ExampleNetwork() {
  const int sizes[] = {1, 2, 1};
  auto net = std::make_unique<TConnectedNetwork>(3, sizes);
  net->GetLayer(0)->SetActivationFunction(Fn(*net, "bias"));
  net->GetLayer(2)->SetActivationFunction(Fn(*net, "sigmoid"));
  net->Connect(0, 2);
  net->Connect(1, 2);
  *net->GetConnections(0, 2)->GetWeight(0, 0) = 0.5;
  *net->GetConnections(1, 2)->GetWeight(0, 0) = -1.25;
  *net->GetConnections(1, 2)->GetWeight(1, 0) = 2;
  return net;
}

TEST(NetworkWriter, WritesTheConnectedExampleByteForByte) {
  auto net = ExampleNetwork();
  EXPECT_EQ(WriteText(*net), kExampleText);
}

TEST(NetworkWriter, SetsTheStreamPrecisionTo15) {
  auto net = ExampleNetwork();
  ScratchBuffer buffer;
  std::ostringstream out;
  WriteNetwork(buffer, out, *net);
  EXPECT_EQ(out.precision(), 15);
}

// ---- Bias layers ------------------------------------------------------------

TEST(NetworkWriter, BiasLayerWithTwoNeuronsIsRejectedBeforeAnyLayer) {
  auto net = SigmoidOutput(2, 1);
  net->SetLayer(0, std::make_unique<TSimpleLayer>(net.get(), 0, 2));
  net->GetLayer(0)->SetActivationFunction(Fn(*net, "bias"));
  ScratchBuffer buffer;
  std::stringstream out;
  try {
    WriteNetwork(buffer, out, *net);
    ADD_FAILURE() << "no FileTools::Error";
  } catch (const FileTools::Error& e) {
    EXPECT_EQ(e.GetMessage(), "Illegal number of bias nodes");
    EXPECT_EQ(e.GetStream(), &out);  // the output stream, when it can be named
  }
  EXPECT_EQ(out.str().find("[Layer"), std::string::npos);
  EXPECT_NE(out.str().find("[NumberOfOutputs = 1]\n"), std::string::npos);
}

TEST(NetworkWriter, ListsEveryOneNeuronBiasLayerAndSkipsEmptyOnes) {
  // Layers 0 and 3 carry "bias"; layer 3 has no neurons.
  TBasicNetwork net(5);
  net.SetLayer(0, std::make_unique<TSimpleLayer>(&net, 0, 1));
  net.SetLayer(1, std::make_unique<TSimpleInputLayer>(&net, 1, 2));
  net.SetLayer(2, std::make_unique<TSimpleLayer>(&net, 2, 1));
  net.SetLayer(3, std::make_unique<TSimpleLayer>(&net, 3, 0));
  net.SetLayer(4, std::make_unique<TSimpleLayer>(&net, 4, 1));
  net.GetLayer(0)->SetActivationFunction(Fn(net, "bias"));
  net.GetLayer(2)->SetActivationFunction(Fn(net, "bias"));
  net.GetLayer(3)->SetActivationFunction(Fn(net, "bias"));
  net.GetLayer(4)->SetActivationFunction(Fn(net, "linear"));
  EXPECT_EQ(Section(WriteText(net), "[NumberOfOutputs", "[~NetworkInformation]\n"),
            "[NumberOfOutputs = 1]\n"
            "[BiasLayer = 0]\n"
            "[BiasLayer = 2]\n"
            "[~NetworkInformation]\n");
}

// ---- Layers -----------------------------------------------------------------

TEST(NetworkWriter, SharedFunctionAndGainGoOnAllLines) {
  auto net = GainOutput(3);
  EXPECT_EQ(Section(WriteText(*net), "[Layer = 2]", "[~Layer]\n"),
            "[Layer = 2]\n"
            "[LayerType = Gain]\n"
            "[NumberOfNeurons = 3]\n"
            "[All ActivationFunction=sigmoid ]\n"
            "[All Gain=1.000000000000000 ]\n"
            "[~Layer]\n");
}

TEST(NetworkWriter, DifferingGainsAreWrittenPerNeuron) {
  auto net = GainOutput(3);
  SetGain(*net->GetLayer(2), 1, 0.5);
  EXPECT_EQ(Section(WriteText(*net), "[Layer = 2]", "[~Layer]\n"),
            "[Layer = 2]\n"
            "[LayerType = Gain]\n"
            "[NumberOfNeurons = 3]\n"
            "[All ActivationFunction=sigmoid ]\n"
            "[Neurons]\n"
            "[Neuron=0 Gain=1.000000000000000 ]\n"
            "[Neuron=1 Gain=0.500000000000000 ]\n"
            "[Neuron=2 Gain=1.000000000000000 ]\n"
            "[~Neurons]\n"
            "[~Layer]\n");
}

TEST(NetworkWriter, DifferingFunctionsAreWrittenPerNeuron) {
  auto net = GainOutput(3);
  TBasicLayer& layer = *net->GetLayer(2);
  for (int i = 0; i < 3; ++i) SetGain(layer, i, 2.0);
  layer.GetNeuron(1)->SetActivationFunction(Fn(*net, "linear-gain"));
  EXPECT_EQ(Section(WriteText(*net), "[Layer = 2]", "[~Layer]\n"),
            "[Layer = 2]\n"
            "[LayerType = Gain]\n"
            "[NumberOfNeurons = 3]\n"
            "[All Gain=2.000000000000000 ]\n"
            "[Neurons]\n"
            "[Neuron=0 ActivationFunction=sigmoid ]\n"
            "[Neuron=1 ActivationFunction=linear-gain ]\n"
            "[Neuron=2 ActivationFunction=sigmoid ]\n"
            "[~Neurons]\n"
            "[~Layer]\n");
}

TEST(NetworkWriter, ParametersOfAnyMagnitudeKeepFifteenDecimals) {
  auto net = GainOutput(2);
  TBasicLayer& layer = *net->GetLayer(2);
  SetGain(layer, 0, -1e20);
  SetGain(layer, 1, 1048576.5);
  layer.GetNeuron(1)->SetActivationFunction(Fn(*net, "tanh-gain"));
  EXPECT_EQ(Section(WriteText(*net), "[Neurons]", "[~Neurons]\n"),
            "[Neurons]\n"
            "[Neuron=0 ActivationFunction=sigmoid Gain=-100000000000000000000.000000000000000 ]\n"
            "[Neuron=1 ActivationFunction=tanh-gain Gain=1048576.500000000000000 ]\n"
            "[~Neurons]\n");
}

TEST(NetworkWriter, MirkLayersCarryTheirMembershipSections) {
  const int inputMF[] = {3, 2};
  const int outputMF[] = {3};
  TMirk net(2, inputMF, 4, outputMF, 1);
  const std::string text = WriteText(net);
  EXPECT_EQ(Section(text, "[NetworkInformation]", "[~NetworkInformation]\n"),
            "[NetworkInformation]\n"
            "[NumberOfLayers = 6]\n"
            "[InputLayer = 1]\n"
            "[OutputLayer = 5]\n"
            "[NumberOfInputs = 2]\n"
            "[NumberOfOutputs = 1]\n"
            "[~NetworkInformation]\n");
  EXPECT_EQ(Section(text, "[Layer = 0]", "[~Layer]\n"),
            "[Layer = 0]\n"
            "[LayerType = Simple]\n"
            "[NumberOfNeurons = 0]\n"
            "[All ActivationFunction=null ]\n"
            "[~Layer]\n");
  EXPECT_EQ(Section(text, "[Layer = 2]", "[~Layer]\n"),
            "[Layer = 2]\n"
            "[LayerType = FuzzyCondition]\n"
            "[NumberOfNeurons = 5]\n"
            "[All ActivationFunction=Mirk-condition ]\n"
            "[InputMF]\n"
            "[Input=0 MF=3 ]\n"
            "[Input=1 MF=2 ]\n"
            "[~InputMF]\n"
            "[~Layer]\n");
  EXPECT_EQ(Section(text, "[Layer = 5]", "[~Layer]\n"),
            "[Layer = 5]\n"
            "[LayerType = Defuzzify]\n"
            "[NumberOfNeurons = 1]\n"
            "[All ActivationFunction=cog ]\n"
            "[OutputMF]\n"
            "[Output=0 MF=3 ]\n"
            "[~OutputMF]\n"
            "[~Layer]\n");
}

// ---- Connection sets ----------------------------------------------------------

// A 10 x 10 pruneable set with the first `arcs` arcs (source-major) kept.
std::string WriteTenByTen(int arcs) {
  auto net = SigmoidOutput(10, 10);
  net->Connect(1, 2);
  TBasicConnections& set = *net->GetConnections(1, 2);
  for (int k = arcs; k < 100; ++k) set.RemoveWeight(k / 10, k % 10);
  return WriteText(*net);
}

TEST(NetworkWriter, SetsBelowThirtyFivePercentAreWrittenAsWeightLists) {
  const struct {
    int arcs;
    bool matrix;
  } cases[] = {{0, false}, {1, false}, {34, false}, {35, true}, {100, true}};
  for (const auto& c : cases) {
    const std::string text = WriteTenByTen(c.arcs);
    EXPECT_EQ(text.find("[Matrix Weights TrainableInfo ]\n") != std::string::npos, c.matrix)
        << c.arcs << " arcs";
    EXPECT_EQ(text.find("[WeightList]\n") != std::string::npos, !c.matrix) << c.arcs << " arcs";
    EXPECT_NE(text.find("[Attributes Pruneable Freezable ]\n"), std::string::npos);
  }
}

TEST(NetworkWriter, FullyConnectedSetIsAlwaysAMatrix) {
  // A fully connected set has every arc, so it never falls below the share;
  // its matrix has no trainable column.
  const int sizes[] = {0, 3, 2};
  TConnectedNetwork net(3, sizes);
  net.Connect(1, 2);
  const std::string text = WriteText(net);
  EXPECT_EQ(Section(text, "[Matrix", "[~Matrix]\n"),
            "[Matrix Weights ]\n"
            "/* To->            0                    1  From */\n"
            "                   0                    0  /* 0 */\n"
            "                   0                    0  /* 1 */\n"
            "                   0                    0  /* 2 */\n"
            "[~Matrix]\n");
  EXPECT_EQ(text.find("[ConnectionLayer]", text.find("[~ConnectionLayer]")), std::string::npos)
      << "only the connected pair has a section";
}

TEST(NetworkWriter, PruneableMatrixCellsCarryTheTrainableColumn) {
  auto net = SigmoidOutput(2, 2);
  net->Connect(1, 2);
  TBasicConnections& set = *net->GetConnections(1, 2);
  *set.GetWeight(0, 0) = 0.1;
  set.RemoveWeight(0, 1);
  *set.GetWeight(1, 0) = -1e20;
  set.FreezeWeight(1, 0);
  *set.GetWeight(1, 1) = 123456789.123456789;
  EXPECT_EQ(Section(WriteText(*net), "[Matrix", "[~Matrix]\n"),
            "[Matrix Weights TrainableInfo ]\n"
            "/* To->              0                      1  From */\n"
            "                 0.1 T                    - -  /* 0 */\n"
            "              -1e+20 F     123456789.123457 T  /* 1 */\n"
            "[~Matrix]\n");
}

// 15 digits would round the largest doubles up to a text that reads back as
// an infinity.
TEST(NetworkWriter, MatrixCellsNearTheLargestDoubleKeepSeventeenDigits) {
  auto net = SigmoidOutput(1, 4);
  net->Connect(1, 2);
  TBasicConnections& set = *net->GetConnections(1, 2);
  *set.GetWeight(0, 0) = 1.79769313486231e308;
  *set.GetWeight(0, 1) = -1.7976931348623157e308;
  *set.GetWeight(0, 2) = std::numeric_limits<double>::infinity();
  *set.GetWeight(0, 3) = 1e308;
  const std::string text = WriteText(*net);
  // Texts longer than the cell push the rest of the row to the right.
  EXPECT_NE(text.find("\n1.79769313486231e+308 T -1.7976931348623157e+308 T                  inf T "
                      "              1e+308 T  /* 0 */\n"),
            std::string::npos)
      << text;
}

TEST(NetworkWriter, WeightListLinesFollowTheSetsVisitingOrder) {
  auto net = SigmoidOutput(3, 4);
  net->Connect(1, 2);
  TBasicConnections& set = *net->GetConnections(1, 2);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 4; ++j) set.RemoveWeight(i, j);
  set.AddWeight(0, 3);
  *set.GetWeight(0, 3) = -0.25;
  set.FreezeWeight(0, 3);
  set.AddWeight(2, 1);
  *set.GetWeight(2, 1) = 1e6;
  EXPECT_EQ(Section(WriteText(*net), "[WeightList]", "[~WeightList]\n"),
            "[WeightList]\n"
            "[From=2 To=1 Weight=1000000.000000000000000 Trainable ]\n"
            "[From=0 To=3 Weight=-0.250000000000000 UnTrainable ]\n"
            "[~WeightList]\n");
}

TEST(NetworkWriter, SetsAreWrittenSourceLayerFirst) {
  auto net = SigmoidOutput(1, 1);
  net->Connect(1, 2);
  net->Connect(0, 2);
  net->Connect(2, 1);  // backwards arcs are written too
  const std::string text = WriteText(*net);
  const std::size_t a = text.find("[LayerFrom = 0]\n[LayerTo = 2]");
  const std::size_t b = text.find("[LayerFrom = 1]\n[LayerTo = 2]");
  const std::size_t c = text.find("[LayerFrom = 2]\n[LayerTo = 1]");
  ASSERT_NE(c, std::string::npos);
  EXPECT_LT(a, b);
  EXPECT_LT(b, c);
}

// ---- Files ------------------------------------------------------------------

std::filesystem::path ScratchFile(const std::string& name) {
  return test::ScratchPath("NetworkWriterTest", name);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The example file of doc/NetworkFile.md is what the writer writes: read and
// written again it is the same text, so the document cannot drift.
TEST(SaveNetwork, DocumentedExampleIsTheWritersOwnText) {
  const std::string doc = ReadFile(std::filesystem::path(MIRK_EXAMPLES_DIR) / ".." / "doc" / "NetworkFile.md");
  const std::string example = Section(doc, "[FormatVersion = 1.0]", "[~NeuralNetwork]\n");
  std::istringstream in(example);
  ScratchBuffer buffer;
  const auto net = ReadNetwork(buffer, in);
  EXPECT_EQ(WriteText(*net), example);
}

TEST(SaveNetwork, WritesTheFileReplacingOldContents) {
  const auto path = ScratchFile("example.net");
  std::ofstream(path) << std::string(10000, 'x');
  auto net = ExampleNetwork();
  ScratchBuffer buffer;
  SaveNetwork(buffer, path.string(), *net);
  EXPECT_EQ(ReadFile(path), kExampleText);
}

TEST(SaveNetwork, ReportsAFileThatCannotBeCreated) {
  auto net = ExampleNetwork();
  ScratchBuffer buffer;
  const auto path = ScratchFile("no-such-folder") / "x.net";
  EXPECT_FILE_ERROR(SaveNetwork(buffer, path.string(), *net), "Error on File Open");
}

TEST(SaveNetwork, ReportsAFailedWrite) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  auto net = ExampleNetwork();
  ScratchBuffer buffer;
  EXPECT_FILE_ERROR(SaveNetwork(buffer, "/dev/full", *net), "Error on File Write");
}

TEST(SaveNetwork, BiasErrorLeavesTheHeaderInTheFile) {
  const auto path = ScratchFile("bias.net");
  auto net = SigmoidOutput(2, 1);
  net->SetLayer(0, std::make_unique<TSimpleLayer>(net.get(), 0, 3));
  net->GetLayer(0)->SetActivationFunction(Fn(*net, "bias"));
  ScratchBuffer buffer;
  EXPECT_FILE_ERROR(SaveNetwork(buffer, path.string(), *net), "Illegal number of bias nodes");
  EXPECT_EQ(ReadFile(path).rfind("[FormatVersion = 1.0]\n\n[NeuralNetwork]\n", 0), 0u);
}

}  // namespace
}  // namespace mirk
