// Every death test of the project lives here: the internal check stops the
// process with the expression, file and line, also in release builds.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <sstream>

#include "Common/Check.h"
#include "FileHandler/ParseTools.h"
#include "KQmessage/KQML.h"
#include "Mirk/TMFBlocks.h"
#include "Mirk/TMirk.h"
#include "NeuralNets/TConnectedNetwork.h"
#include "NeuralNets/TIterateObj.h"
#include "NeuralNets/TSimpleLayer.h"
#include "RuleObject/RuleObject.h"

namespace mirk {
namespace {

TEST(CheckDeathTest, FailedCheckPrintsExpressionFileAndLineAndAborts) {
  const int i = 3;
  EXPECT_DEATH(MIRK_CHECK(i == 0), "Assertion failed: i == 0, file .*CheckDeathTest\\.cpp, line [0-9]+");
}

// The check must not vanish under NDEBUG (the g++ test build defines it), and
// its expression runs exactly once.
TEST(CheckDeathTest, CheckEvaluatesItsExpressionOnce) {
  int evaluations = 0;
  MIRK_CHECK(++evaluations == 1);
  EXPECT_EQ(evaluations, 1);
}

TEST(CheckDeathTest, KQGetOfAbsentKeyIsAnInternalError) {
  TKQstructure s("params");
  EXPECT_DEATH(s.Get("missing"), "value != nullptr");
}

TEST(CheckDeathTest, KQToLongOfNonNumberIsAnInternalError) {
  EXPECT_DEATH(KQToLong("abc"), "converted");
}

// ---- Network core ----

TEST(CheckDeathTest, RegisteringANameTwiceIsAnInternalError) {
  TFnRegistry registry;
  registry.RegisterDefaults();
  EXPECT_DEATH(registry.Register(ActLinear, "SIGMOID"), "Find\\(name\\) == nullptr");
  EXPECT_DEATH(registry.GetFunction("softmax"), "entry != nullptr");
}

TEST(CheckDeathTest, FullyConnectedSetCannotLoseOrFreezeArcsOrDetachANeuron) {
  TConnectedNetwork net(3, std::vector<int>{0, 2, 2});
  net.Connect(1, 2);
  TBasicConnections& set = *net.GetConnections(1, 2);
  EXPECT_DEATH(set.RemoveWeight(0, 0), "false");
  EXPECT_DEATH(set.FreezeWeight(0, 0), "false");
  EXPECT_DEATH(set.InsertFromNode(0, 0.0, 1.0, false), "attached");
  EXPECT_DEATH(set.SetFlags(0, 0, 0), "\\(val==FMaskAll\\) \\|\\| \\(val==FMaskExists\\)");
  EXPECT_DEATH(net.GetConnections(2, 1)->AddWeight(0, 0), "false");
}

TEST(CheckDeathTest, StructuralEditsCheckTheirLayers) {
  TConnectedNetwork net(3, std::vector<int>{0, 2, 2});
  EXPECT_DEATH(net.RemoveNode(1, 0), "LayerNum!=inLayer");
  EXPECT_DEATH(net.InsertLayer(4, std::make_unique<TSimpleLayer>(&net, 4, 1)), "LayerNum<=numLayers");
  EXPECT_DEATH(net.GetNeuron(4), "index<GetNumNeurons\\(\\)");
  TBasicNetwork basic(2);
  EXPECT_DEATH(basic.NewArcsIterator(), "false");
}

// An index just past the last layer used to visit a set of the next row of
// the matrix, a larger one memory outside it; an empty slot was dereferenced.
TEST(CheckDeathTest, ArcWalksAndConnectCheckTheirLayers) {
  TConnectedNetwork net(3, std::vector<int>{0, 2, 2});
  net.Connect(1, 2);
  TIterateObjGetNumWeights counter;
  EXPECT_DEATH(net.IterateInArcs(counter, 3, 0, FMaskExists), "layerNum < n_layers");
  EXPECT_DEATH(net.IterateOutArcs(counter, -1, 0, FMaskExists), "layerNum >= 0");
  EXPECT_DEATH(net.IterateOutArcs(counter, 1000, 0, FMaskExists), "layerNum < n_layers");
  TBasicNetwork empty(3);
  EXPECT_DEATH(empty.Connect(0, 1), "GetLayer\\(fromLayer\\) != nullptr");
  TMirk mirk;
  EXPECT_DEATH(mirk.Connect(2, 3), "GetLayer\\(fromLayer\\) != nullptr");
}

// ---- Structured text writer ----------------------------------------------

TEST(CheckDeathTest, WriterRefusesStatementsThatCannotStandWithoutBrackets) {
  std::ostringstream out;
  ScratchBuffer b;
  EXPECT_DEATH(WriteStatement(b, StEnd, "Layer", "", out, false), "bracket");
  EXPECT_DEATH(WriteStatement(b, StFormatVersion, "", "", out, false), "bracket");
  EXPECT_DEATH(WriteStatement(b, StNone, "x", "", out, true), "unknown statement kind");
}

// ---- Mirk network ----

TEST(CheckDeathTest, MembershipBlocksNeedCountsThatFit) {
  EXPECT_DEATH(TMFBlocks(std::array{2, -1}), "counts\\[v\\] >= 0");
  EXPECT_DEATH(TMFBlocks(std::array{INT_MAX, 1}), "Total\\(given\\) <= INT_MAX");
  EXPECT_DEATH(TMFBlocks(std::array{2}).GetVariableOf(2), "node < GetNumNodes\\(\\)");
}

TEST(CheckDeathTest, MirkInitWeightsNeedsOrderedBounds) {
  TMirk net(1, std::array{2}, 1, std::array{2}, 1);
  EXPECT_DEATH(net.InitWeights(1.0, 0.0), "Minimum <= Maximum");
}

// ---- Rule objects ----

TEST(CheckDeathTest, RuleSequencesCheckTheirPositions) {
  const char* file = ", file .*RuleObject\\.cpp, line [0-9]+";
  TRuleList rules("R", 0);
  rules.InsertRule(TRule(), 0);
  EXPECT_DEATH(rules.InsertRule(TRule(), 2), std::string("Assertion failed: exprnum<=numRules") + file);
  EXPECT_DEATH(rules.InsertRule(TRule(), -2), "exprnum>=0");
  EXPECT_DEATH(rules.ReplaceRule(TRule(), 1), "exprnum<numRules");
  EXPECT_DEATH(rules.GetRule(1), "index");

  TRuleConsequenceList consequences(0);
  EXPECT_DEATH(consequences.RemoveConsequence(-1), std::string("Assertion failed: exprnum>=0") + file);
  consequences.InsertConsequence(0, 0, 1.0, 0, -1);
  consequences.InsertConsequence(0, 1, 1.0, 0, -1);
  EXPECT_DEATH(consequences.RemoveConsequence(2), "exprnum<numConsequences");
  EXPECT_DEATH(consequences.InsertConsequence(0, 0, 1.0, 0, 3), "exprnum<=numConsequences");

  TRuleExprList list("and", 0);
  EXPECT_DEATH(list.ReplaceSubExpression(TRuleExpression(), -1), "exprnum>=0");
  list.InsertSubExpression(TRuleExpression(), -1);
  EXPECT_DEATH(list.RemoveSubExpression(1), "exprnum<numSubExpressions");
  EXPECT_DEATH(list.InsertSubExpression(TRuleExpression(), 2), "exprnum<=numSubExpressions");
}

}  // namespace
}  // namespace mirk
