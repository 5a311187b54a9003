#include "FileHandler/ConnectionLayerReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FileHandler/NetworkText.h"
#include "Mirk/TConditionLayer.h"
#include "NeuralNets/TBasicNetwork.h"
#include "support/TestUtil.h"

namespace mirk {
namespace {

using test::ConnectionText;
using test::LayerText;
using test::NetworkText;
using test::ReadText;

// Layer 0: two inputs; layer 1: three sigmoid neurons; layer 2: one.
std::string Net(std::string_view connections) {
  return NetworkText("Basic", "[NumberOfLayers = 3]\n[InputLayer = 0]\n",
                     LayerText(0, "Input", 2) + LayerText(1, "Simple", 3, "[ALL ActivationFunction = sigmoid]\n") +
                         LayerText(2, "Simple", 1, "[ALL ActivationFunction = sigmoid]\n") + std::string(connections));
}

// Layer 0: two inputs; layer 1: four conditions, two per input.
std::string ConditionNet(std::string_view connections) {
  return NetworkText("Basic", "[NumberOfLayers = 2]\n[InputLayer = 0]\n",
                     LayerText(0, "Input", 2) +
                         LayerText(1, "FuzzyCondition", 4, "[InputMF]\n[Input=0 MF=2]\n[Input=1 MF=2]\n[~InputMF]\n") +
                         std::string(connections));
}

std::string Pruneable(std::string_view sections) { return ConnectionText(0, 1, "Pruneable", sections); }

// Flags of every position (from, to) of the set, source-major.
std::vector<int> AllFlags(TBasicConnections& set) {
  std::vector<int> flags;
  for (int i = 0; i < set.GetFromSize(); ++i) {
    for (int j = 0; j < set.GetToSize(); ++j) flags.push_back(set.GetFlags(i, j));
  }
  return flags;
}

std::vector<double> AllWeights(TBasicConnections& set) {
  std::vector<double> weights;
  for (int i = 0; i < set.GetFromSize(); ++i) {
    for (int j = 0; j < set.GetToSize(); ++j) weights.push_back(*set.GetWeight(i, j));
  }
  return weights;
}

TEST(ConnectionLayerReader, PruneableMatrixHoldsOnlyTheListedArcs) {
  // Rows are source nodes, columns destination nodes.
  const auto net = ReadText(Net(Pruneable("[Matrix Weights]\n0.5 - 1\n- - 2\n[~Matrix]\n")));
  TBasicConnections& set = *net->GetConnections(0, 1);
  EXPECT_STREQ(set.GetConnectionsNType(), "Pruneable");
  EXPECT_EQ(AllFlags(set), (std::vector<int>{3, 0, 3, 0, 0, 3}));
  EXPECT_EQ(AllWeights(set), (std::vector<double>{0.5, 0, 1, 0, 0, 2}));
  EXPECT_FALSE(net->GetConnections(1, 2)->IsConnected());
}

TEST(ConnectionLayerReader, MatrixWithTrainableInfo) {
  // Weight then flag for each position; the flag of a position without an
  // arc may be any word.
  const auto net = ReadText(Net(Pruneable(
      "[Matrix Weights TrainableInfo]\n/* To-> 0 1 2 */\n5e-1 t - - 1 F /* 0 */\n- x - - 2 T /* 1 */\n[~Matrix]\n")));
  TBasicConnections& set = *net->GetConnections(0, 1);
  EXPECT_EQ(AllFlags(set), (std::vector<int>{3, 0, 1, 0, 0, 3}));
  EXPECT_EQ(AllWeights(set), (std::vector<double>{0.5, 0, 1, 0, 0, 2}));
}

TEST(ConnectionLayerReader, PruneableSetStartsWithoutArcs) {
  // No section, a matrix of flags only, and flags read before the weights:
  // a flag never finds an arc the file did not give.
  const std::vector<std::string> sections = {"", "[Matrix TrainableInfo]\nT T T T T T\n[~Matrix]\n",
                                             "[Matrix TrainableInfo Weights]\nF 0.5 F - - 1\n- - - - T 2\n[~Matrix]\n"};
  const std::vector<std::vector<int>> flags = {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, {3, 0, 3, 0, 0, 3}};
  for (size_t k = 0; k < sections.size(); ++k) {
    const auto net = ReadText(Net(Pruneable(sections[k])));
    EXPECT_EQ(AllFlags(*net->GetConnections(0, 1)), flags[k]) << sections[k];
  }
}

TEST(ConnectionLayerReader, WeightListArcs) {
  const auto net = ReadText(Net(Pruneable(
      "[Attributes Pruneable Freezable Anything=1]\n[WeightList]\n[From = 1 To = 0 Weight = -0.25 UnTrainable]\n"
      "[To = 2 From = 0]\n[~WeightList]\n")));
  TBasicConnections& set = *net->GetConnections(0, 1);
  EXPECT_EQ(AllFlags(set), (std::vector<int>{0, 0, 3, 1, 0, 0}));
  EXPECT_EQ(AllWeights(set), (std::vector<double>{0, 0, 0, -0.25, 0, 0}));
}

TEST(ConnectionLayerReader, SectionsApplyInFileOrder) {
  const auto net = ReadText(Net(Pruneable(
      "[Matrix Weights]\n0.5 - 1\n- - 2\n[~Matrix]\n"
      "[WeightList]\n[From=0 To=0 Weight=3 UnTrainable]\n[From=0 To=1 Weight=4]\n[~WeightList]\n"
      "[Matrix Weights]\n0 0 -\n- - 2\n[~Matrix]\n")));
  TBasicConnections& set = *net->GetConnections(0, 1);
  // (0, 0) keeps the frozen flag of the list; (0, 2) lost its arc.
  EXPECT_EQ(AllFlags(set), (std::vector<int>{1, 3, 0, 0, 0, 3}));
  EXPECT_EQ(AllWeights(set), (std::vector<double>{0, 0, 0, 0, 0, 2}));
}

TEST(ConnectionLayerReader, FullyConnectedSetKeepsEveryArc) {
  const auto net = ReadText(Net(ConnectionText(0, 1, "fullyconnected",
                                               "[Matrix Weights]\n1 2 3 4 5 6\n[~Matrix]\n"
                                               "[WeightList]\n[From=1 To=2 Weight=-6 Trainable]\n[~WeightList]\n") +
                                ConnectionText(1, 2, "FullyConnected", "")));
  TBasicConnections& set = *net->GetConnections(0, 1);
  EXPECT_STREQ(set.GetConnectionsNType(), "FullyConnected");
  EXPECT_EQ(AllWeights(set), (std::vector<double>{1, 2, 3, 4, 5, -6}));
  EXPECT_EQ(AllWeights(*net->GetConnections(1, 2)), (std::vector<double>{0, 0, 0}));
}

TEST(ConnectionLayerReader, UnknownWordOfAWeightListGoesToStandardOutput) {
  test::CaptureStream out(std::cout);
  EXPECT_FILE_ERROR(ReadText(Net(Pruneable("[WeightList]\n[From = 0 To = 0 Frozen]\n[~WeightList]\n"))),
                    "Unknown keyword in weights list");
  EXPECT_EQ(out.Text(), "Frozen\n");
}

TEST(ConnectionLayerReader, ConditionSetHoldsTheCentres) {
  // "-" leaves a position without an arc alone, and removes nothing from an
  // arc: the second centre of input 1 keeps its even spacing.
  const auto net = ReadText(ConditionNet(ConnectionText(
      0, 1, "ToConditionConnections",
      "[Matrix Weights TrainableInfo]\n0.25 T 0.75 F - - - -\n- - - - 0.5 T - T\n[~Matrix]\n"
      "[WeightList]\n[From = 1 To = 2 Weight = 0.125 UnTrainable]\n[~WeightList]\n")));
  TBasicConnections& set = *net->GetConnections(0, 1);
  EXPECT_STREQ(set.GetConnectionsNType(), "ToConditionConnections");
  const auto& conditions = dynamic_cast<const TConditionLayer&>(*net->GetLayer(1));
  const std::vector<double> centres = {0.25, 0.75, 0.125, 1.0};
  const std::vector<int> flags = {FMaskAll, FMaskExists, FMaskExists, FMaskAll};
  for (int c = 0; c < 4; ++c) {
    EXPECT_EQ(conditions.GetConditionNeuron(c).centre, centres[c]) << c;
    EXPECT_EQ(set.GetFlags(c / 2, c), flags[c]) << c;
  }
}

struct ErrorCase {
  const char* what;
  std::string text;
  std::string message;
};

TEST(ConnectionLayerReader, Errors) {
  const std::string full = "[ConnectionType = FullyConnected]\n";
  const std::string head = "[ConnectionLayer]\n[LayerFrom = 0]\n[LayerTo = 1]\n";
  const std::vector<ErrorCase> cases = {
      {"no type", Net(head + "[~ConnectionLayer]\n"), "Insufficient information to construct layer"},
      {"unknown type", Net(ConnectionText(0, 1, "Dense", "")), "Insufficient information to construct layer"},
      {"no source", Net("[ConnectionLayer]\n[LayerTo = 1]\n" + full + "[~ConnectionLayer]\n"),
       "Insufficient information to construct layer"},
      {"negative destination", Net(ConnectionText(0, -1, "Pruneable", "")),
       "Insufficient information to construct layer"},
      {"no such layer", Net(ConnectionText(0, 3, "Pruneable", "")),
       "Connection layer joins a layer the network does not have"},
      {"layer index beyond int", Net("[ConnectionLayer]\n[LayerFrom = 0]\n[LayerTo = 4294967297]\n[ConnectionType = Pruneable]\n"
           "[~ConnectionLayer]\n"),
       "Connection layer joins a layer the network does not have"},
      {"pair given twice", Net(ConnectionText(0, 1, "Pruneable", "") + ConnectionText(0, 1, "FullyConnected", "")),
       "Connections already defined"},
      {"unknown keyword", Net(head + "[Kind = x]\n" + full + "[~ConnectionLayer]\n"),
       "Unknown keyword in connections"},
      {"two entries", Net("[ConnectionLayer]\n[LayerFrom = 0 LayerTo = 1]\n[~ConnectionLayer]\n"),
       "Too complicated statement"},
      {"source not a number", Net("[ConnectionLayer]\n[LayerFrom = a]\n[~ConnectionLayer]\n"), "integer-expected"},
      {"matrix entry", Net(Pruneable("[Matrix Weights = 1]\n[~Matrix]\n")), "Keyword expected in matrix parameter"},
      {"matrix attribute", Net(Pruneable("[Matrix Values]\n[~Matrix]\n")), "Unknown matrix attribute"},
      {"ten columns", Net(Pruneable("[Matrix Weights Weights Weights Weights Weights Weights Weights Weights Weights "
                                    "TrainableInfo]\n[~Matrix]\n")),
       "More than 9 columns in a matrix"},
      {"short matrix", Net(Pruneable("[Matrix Weights]\n1 2 3 4 5\n[~Matrix]\n")), "Token Expected"},
      {"long matrix", Net(Pruneable("[Matrix Weights]\n1 2 3 4 5 6 7\n[~Matrix]\n")), "End Tag expected"},
      {"weight not a number", Net(Pruneable("[Matrix Weights]\n1 2 x 4 5 6\n[~Matrix]\n")), "number-expected"},
      {"weight with two signs", Net(Pruneable("[Matrix Weights]\n1 2 --0.5 4 5 6\n[~Matrix]\n")), "number-expected"},
      {"flag of an arc", Net(Pruneable("[Matrix Weights TrainableInfo]\n1 T 2 Y\n")),
       "Trainable flag of an arc must be T or F"},
      {"flag dash for an arc", Net(Pruneable("[Matrix Weights TrainableInfo]\n1 -\n")),
       "Trainable flag of an arc must be T or F"},
      {"removing from a full set", Net(ConnectionText(0, 1, "FullyConnected", "[Matrix Weights]\n1 - 3\n")),
       "An arc cannot be removed from a FullyConnected set"},
      {"freezing in a full set", Net(ConnectionText(0, 1, "FullyConnected", "[Matrix Weights TrainableInfo]\n1 F\n")),
       "An arc cannot be frozen in a FullyConnected set"},
      {"freezing in a full set by list",
       Net(ConnectionText(0, 1, "FullyConnected", "[WeightList]\n[From=0 To=0 UnTrainable]\n")),
       "An arc cannot be frozen in a FullyConnected set"},
      {"list without destination", Net(Pruneable("[WeightList]\n[From = 1 Weight = 2]\n")),
       "Insufficient information in weights list"},
      {"list keyword", Net(Pruneable("[WeightList]\n[From = 0 To = 0 Bias = 1]\n")),
       "Unknown keyword in weights list"},
      {"list source too high", Net(Pruneable("[WeightList]\n[From = 2 To = 0]\n")),
       "Node index out of range in weights list"},
      {"list destination negative", Net(Pruneable("[WeightList]\n[From = 0 To = -1]\n")),
       "Node index out of range in weights list"},
      {"list weight not a number", Net(Pruneable("[WeightList]\n[From = 0 To = 0 Weight = w]\n")), "number-expected"},
      {"list not closed", Net(Pruneable("[WeightList]\n[From = 0 To = 0]\nword\n")), "End Tag expected"},
      {"block not closed", Net(Pruneable("[Matrix]\n[~Matrix]\nword\n")), "End Tag expected"},
      {"condition set to a simple layer", Net(ConnectionText(0, 1, "ToConditionConnections", "")),
       "ToConditionConnections must lead to a FuzzyCondition layer from its inputs"},
      {"condition set from the wrong layer",
       ConditionNet(ConnectionText(1, 1, "ToConditionConnections", "")),
       "ToConditionConnections must lead to a FuzzyCondition layer from its inputs"},
      {"output set to a simple layer", Net(ConnectionText(1, 2, "ToOutputConnections", "")),
       "ToOutputConnections must lead to a Defuzzify layer from its actions"},
      {"centre of another input",
       ConditionNet(ConnectionText(0, 1, "ToConditionConnections", "[Matrix Weights]\n0.1 0.9 0.5 -\n")),
       "Weight for a position that is not an arc of a ToConditionConnections set"},
      {"centre of another input by list",
       ConditionNet(ConnectionText(0, 1, "ToConditionConnections", "[WeightList]\n[From=1 To=0 Weight=1]\n")),
       "Weight for a position that is not an arc of a ToConditionConnections set"},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FILE_ERROR(ReadText(c.text), c.message);
  }
}

}  // namespace
}  // namespace mirk
