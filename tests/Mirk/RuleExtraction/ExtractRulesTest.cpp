#include "Mirk/RuleExtraction/TMirkRule.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "KQmessage/KQML.h"
#include "Mirk/RuleExtraction/TMirkLabel.h"
#include "Mirk/TMirk.h"
#include "NeuralNets/TBasicConnections.h"
#include "support/TestUtil.h"

namespace mirk {
namespace {

// Inputs of 3 and 2 MFs (conditions 0-2 and 3-4), four rule nodes, outputs
// of 2 and 3 MFs (actions 0-1 and 2-4). Unset weights are 0.0.
//   rule 0: input 0 strongest at MF 1 (0.8 over 0.3), input 1 at MF 1;
//           actions 0 and 2.
//   rule 1: no condition above 0.0, however strong its action.
//   rule 2: a tie on input 0 (MF 0 and MF 2), nothing on input 1; one
//           barely positive action and one negative.
//   rule 3: a condition but no action above 0.0.
TMirk SmallNetwork() {
  TMirk net(2, std::vector<int>{3, 2}, 4, std::vector<int>{2, 3}, 2);
  const struct {
    int layer, from, to;
    double weight;
  } weights[] = {
      {2, 1, 0, 0.8},  {2, 2, 0, 0.3},  {2, 4, 0, 0.6},  {3, 0, 0, 0.5},  {3, 0, 2, 0.9},
      {2, 0, 1, -0.5}, {3, 1, 1, 1.0},
      {2, 0, 2, 0.4},  {2, 2, 2, 0.4},  {2, 3, 2, -0.5}, {3, 2, 4, 0.0001}, {3, 2, 3, -0.5},
      {2, 3, 3, 0.7},
  };
  for (const auto& w : weights) net.SetWeightValue(w.layer, w.from, w.to, w.weight);
  return net;
}

std::string Atom(const TRuleAtom& atom) {
  std::ostringstream out;
  out << atom.Variable << ':' << atom.MFIndex << '@' << atom.Degree;
  if (atom.Flag != 0) out << "!flag";
  return out.str();
}

// One line per rule: its condition atoms, "=>", its consequences.
std::vector<std::string> Describe(const TRuleList& rules) {
  std::vector<std::string> lines;
  for (int i = 0; i < rules.GetNumRules(); ++i) {
    const TRule& rule = rules.GetRule(i);
    std::string line;
    const TRuleExprList& conditions = *rule.GetCondition()->GetExprList();
    EXPECT_EQ(conditions.GetOperator(), "and");
    for (int k = 0; k < conditions.GetNumSubExpressions(); ++k) {
      line += Atom(*conditions.GetSubExpression(k).GetAtom()) + ' ';
    }
    line += "=>";
    const TRuleConsequenceList& consequences = *rule.GetConsequences();
    for (int k = 0; k < consequences.GetNumConsequences(); ++k) line += ' ' + Atom(consequences.GetConsequence(k));
    lines.push_back(line);
  }
  return lines;
}

using Lines = std::vector<std::string>;

TEST(ExtractReMirkRules, StrongestConditionPerInputAndEveryActionAboveThreshold) {
  const TMirk net = SmallNetwork();
  const auto rules = TMirkRule::ExtractReMirkRules(net, 0.0, 0.0);
  EXPECT_EQ(rules->GetName(), "REMirk");
  EXPECT_EQ(Describe(*rules), (Lines{"0:1@0.8 1:1@0.6 => 0:0@0.5 1:0@0.9", "0:0@0.4 => 1:2@0.0001"}));
  EXPECT_EQ(rules->GetRule(0).GetCondition()->GetKind(), TRuleExpression::kExprList);
  EXPECT_EQ(rules->GetRule(0).GetCondition()->GetExprList()->GetSubExpression(0).GetKind(), TRuleExpression::kAtom);
  EXPECT_EQ(rules->GetRule(1).GetConsequences()->GetConsequence(0).Degree, 0.0001);  // the weight itself
}

TEST(ExtractReMirkRules, ThresholdsAreStrictAndConditionsMustBePositive) {
  const TMirk net = SmallNetwork();
  const struct {
    double in, out;
    Lines rules;
  } cases[] = {
      // A condition weight of exactly the threshold is not enough.
      {0.6, 0.0, {"0:1@0.8 => 0:0@0.5 1:0@0.9"}},
      {0.5, 0.5, {"0:1@0.8 1:1@0.6 => 1:0@0.9"}},
      // Below zero the output threshold admits every weight above it, the
      // input threshold never admits a weight <= 0.0.
      {-1.0, -0.6,
       {"0:1@0.8 1:1@0.6 => 0:0@0.5 0:1@0 1:0@0.9 1:1@0 1:2@0",
        "0:0@0.4 => 0:0@0 0:1@0 1:0@0 1:1@-0.5 1:2@0.0001",
        "1:0@0.7 => 0:0@0 0:1@0 1:0@0 1:1@0 1:2@0"}},
      {0.8, 0.0, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Describe(*TMirkRule::ExtractReMirkRules(net, c.in, c.out)), c.rules) << c.in << ' ' << c.out;
  }
}

TEST(ExtractReMirkRules, ArcsThatDoNotExistAreNeverRead) {
  TMirk net = SmallNetwork();
  net.GetConnections(TMirk::kConditionLayer, TMirk::kRuleLayer)->RemoveWeight(1, 0);
  TBasicConnections& actions = *net.GetConnections(TMirk::kRuleLayer, TMirk::kActionLayer);
  for (int a = 1; a < 5; ++a) actions.RemoveWeight(0, a);
  for (int a = 0; a < 5; ++a) actions.RemoveWeight(3, a);
  // Pruned arcs hold 0.0, which a negative output threshold would admit.
  EXPECT_EQ(Describe(*TMirkRule::ExtractReMirkRules(net, 0.0, -1.0)),
            (Lines{"0:2@0.3 1:1@0.6 => 0:0@0.5", "0:0@0.4 => 0:0@0 0:1@0 1:0@0 1:1@-0.5 1:2@0.0001"}));
}

TEST(ExtractReMirkRules, IncompleteNetworkIsRefused) {
  const TMirk empty;
  EXPECT_TEXCEPTION(TMirkRule::ExtractReMirkRules(empty, 0.0, 0.0), "Incomplete Mirk network", "Bad Parameter",
                    "TMirk::GetStructure");
}

TKQstructure::Error ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const TKQstructure::Error& e) {
    return e;
  }
  ADD_FAILURE() << "no TKQstructure::Error";
  return TKQstructure::Error(KQNewError("none"));
}

TEST(ExtractRules, ParametersSetTheThresholdsAndMethodInAnyOrder) {
  const TMirk net = SmallNetwork();
  const Lines strictIn{"0:1@0.8 => 0:0@0.5 1:0@0.9"};
  const Lines atZero{"0:1@0.8 1:1@0.6 => 0:0@0.5 1:0@0.9", "0:0@0.4 => 1:2@0.0001"};
  const struct {
    const char* parameters;
    Lines rules;
  } cases[] = {
      {nullptr, atZero},
      {"(p)", atZero},
      {"(p :threshold 0.6 :thresholdout 0.2)", strictIn},
      {"(p :thresholdout 0.2 :threshold 0.6)", strictIn},
      {"(p :threshold 0.6)", {"0:1@0.8 => 1:0@0.9"}},
      {"(p :THRESHOLDIN 0.6 :Method remirk)", strictIn},
      {"(p :thresholdin 0.6 :threshold 0.9 :thresholdout 0.5)", {"0:1@0.8 => 1:0@0.9"}},
      {"(p :thresholdout -0.6 :threshold 0.65)",
       {"0:1@0.8 => 0:0@0.5 0:1@0 1:0@0.9 1:1@0 1:2@0", "1:0@0.7 => 0:0@0 0:1@0 1:0@0 1:1@0 1:2@0"}},
  };
  for (const auto& c : cases) {
    std::unique_ptr<TFuzzyRuleSet> ruleSet;
    TMirkRule::ExtractRules(net, ruleSet, c.parameters ? TKQstructure::Parse(c.parameters) : nullptr, nullptr);
    ASSERT_NE(ruleSet, nullptr);
    ASSERT_NE(ruleSet->Rules, nullptr);
    EXPECT_EQ(Describe(*ruleSet->Rules), c.rules) << (c.parameters ? c.parameters : "null");
  }
}

TEST(ExtractRules, MFListsNamedByTheLabelsOrTheDefaultOnes) {
  const TMirk net = SmallNetwork();
  std::unique_ptr<TFuzzyRuleSet> ruleSet;
  TMirkRule::ExtractRules(net, ruleSet, nullptr, nullptr);
  ASSERT_NE(ruleSet->InputMFs, nullptr);
  ASSERT_NE(ruleSet->OutputMFs, nullptr);
  EXPECT_STREQ(ruleSet->InputMFs->GetListName(), "Inputs");
  EXPECT_STREQ(ruleSet->InputMFs->GetMFSet(1)->GetName(), "InputB");
  EXPECT_STREQ(ruleSet->OutputMFs->GetMFSet(1)->GetMF(2)->GetName(), "C");

  TMirkLabel labels(2, std::vector<int>{3, 2}, 2, std::vector<int>{2, 3});
  labels.SetOutputName(1, "Fan");
  labels.SetActionName(4, "Fast");
  TMirkRule::ExtractRules(net, ruleSet, nullptr, &labels);
  EXPECT_STREQ(ruleSet->OutputMFs->GetMFSet(1)->GetName(), "Fan");
  EXPECT_STREQ(ruleSet->OutputMFs->GetMFSet(1)->GetMF(2)->GetName(), "Fast");
  EXPECT_EQ(ruleSet->InputMFs->GetMFSet(1)->GetName(), nullptr);
  EXPECT_EQ(ruleSet->Rules->GetNumRules(), 2);
}

TEST(ExtractRules, FailuresLeaveWhatWasBuiltWithTheCaller) {
  const TMirk net = SmallNetwork();

  // A threshold that is not a number: nothing is handed over.
  std::unique_ptr<TFuzzyRuleSet> ruleSet;
  const TKQstructure::Error notNumber = ErrorOf([&] {
    TMirkRule::ExtractRules(net, ruleSet, TKQstructure::Parse("(p :thresholdout high)"), nullptr);
  });
  EXPECT_EQ(notNumber.GetDetail().ToText(), "(error :type invalid-message :number-expected high)");
  EXPECT_EQ(ruleSet, nullptr);

  // Labels of another network: the caller holds the empty rule set.
  const TMirkLabel misfit(2, std::vector<int>{3, 3}, 2, std::vector<int>{2, 3});
  EXPECT_TEXCEPTION(TMirkRule::ExtractRules(net, ruleSet, nullptr, &misfit), "Labels unsuitable for this network",
                    "Bad Format", "TMirkRule::GetMirkMF");
  ASSERT_NE(ruleSet, nullptr);
  EXPECT_EQ(ruleSet->InputMFs, nullptr);
  EXPECT_EQ(ruleSet->Rules, nullptr);

  // Another method: the MF lists are there, the rule list is not.
  const TKQstructure::Error method = ErrorOf([&] {
    TMirkRule::ExtractRules(net, ruleSet, TKQstructure::Parse("(p :threshold 0.5 :method Fuzzy)"), nullptr);
  });
  EXPECT_EQ(method.GetDetail().ToText(), "(error :type invalid-message :tag method :expected-value ReMirk)");
  ASSERT_NE(ruleSet, nullptr);
  EXPECT_NE(ruleSet->InputMFs, nullptr);
  EXPECT_NE(ruleSet->OutputMFs, nullptr);
  EXPECT_EQ(ruleSet->Rules, nullptr);
}

}  // namespace
}  // namespace mirk
