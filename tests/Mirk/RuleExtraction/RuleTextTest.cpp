#include "Mirk/RuleExtraction/RuleText.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "MembershipFunctions/TMFSetList.h"
#include "Mirk/RuleExtraction/TMirkLabel.h"
#include "Mirk/RuleExtraction/TMirkRule.h"
#include "Mirk/TMirk.h"
#include "RuleObject/RuleObject.h"

namespace mirk {
namespace {

std::unique_ptr<TFuzzyRuleSet> Extract(const TMirk& net, const TMirkLabel* labels = nullptr) {
  std::unique_ptr<TFuzzyRuleSet> ruleSet;
  TMirkRule::ExtractRules(net, ruleSet, nullptr, labels);
  return ruleSet;
}

// Two inputs and one output of three MFs each, two rule nodes. Rule node 0:
// strongest from the second condition of input 0 (0.9 over 0.4) and the
// first of input 1 (0.7), 0.83 into the third action. Rule node 1: only the
// third condition of input 1, into the first and second actions.
TMirk HandSetNetwork() {
  TMirk net(2, std::vector<int>{3, 3}, 2, std::vector<int>{3}, 1);
  const struct {
    int layer, from, to;
    double weight;
  } weights[] = {
      {2, 1, 0, 0.9}, {2, 0, 0, 0.4}, {2, 3, 0, 0.7}, {3, 0, 2, 0.83},
      {2, 5, 1, 0.2}, {3, 1, 0, 0.125}, {3, 1, 1, 1.5},
  };
  for (const auto& w : weights) net.SetWeightValue(w.layer, w.from, w.to, w.weight);
  return net;
}

TEST(RuleText, ExtractedRulesReadWithDefaultNames) {
  const TMirk net = HandSetNetwork();
  EXPECT_EQ(FormatRules(*Extract(net)),
            "if InputA is B and InputB is A then OutputA is C (0.83)\n"
            "if InputB is C then OutputA is A (0.125) and OutputA is B (1.5)\n");
}

TEST(RuleText, ExtractedRulesReadWithTheLabelsGiven) {
  const TMirk net = HandSetNetwork();
  TMirkLabel labels(2, std::vector<int>{3, 3}, 1, std::vector<int>{3});
  labels.SetInputName(0, "Temperature");
  labels.SetInputName(1, "Humidity");
  labels.SetOutputName(0, "Fan");
  const char* conditions[] = {"Cold", "Mild", "Hot", "Dry", "Fair", "Wet"};
  for (int c = 0; c < 6; ++c) labels.SetConditionName(c, conditions[c]);
  labels.SetActionName(0, "Off");
  labels.SetActionName(1, "Slow");
  labels.SetActionName(2, "Fast");
  std::ostringstream out;
  WriteRules(out, *Extract(net, &labels));
  EXPECT_EQ(out.str(),
            "if Temperature is Mild and Humidity is Dry then Fan is Fast (0.83)\n"
            "if Humidity is Wet then Fan is Off (0.125) and Fan is Slow (1.5)\n");
}

TEST(RuleText, HandBuiltRulesWithoutNamesOrWithOddShapes) {
  TFuzzyRuleSet ruleSet;
  // Output 0 is named, its MF 1 is not; input names are missing altogether.
  ruleSet.OutputMFs = std::make_unique<TMFSetList>(1, "Outputs");
  ruleSet.OutputMFs->SetMFSet(0, std::make_unique<TBasicMFSet>("Triangular", "Speed", 3, 0.0, 1.0));
  ruleSet.OutputMFs->GetMFSet(0)->SetMF(0, std::make_unique<TSingletonMF>("Zero", 0.0));

  auto alternatives = std::make_unique<TRuleExprList>("or", 0);
  alternatives->InsertSubExpression(TRuleExpression(TRuleAtom{1, 0, 1.0, 0}), -1);
  alternatives->InsertSubExpression(TRuleExpression(TRuleAtom{1, 27, 1.0, 0}), -1);
  auto both = std::make_unique<TRuleExprList>("and", 0);
  both->InsertSubExpression(TRuleExpression(TRuleAtom{0, 1, 1.0, 0}), -1);
  both->InsertSubExpression(TRuleExpression(std::move(alternatives)), -1);
  auto consequences = std::make_unique<TRuleConsequenceList>(0);
  consequences->InsertConsequence(0, 0, 1.0, 0, -1);
  consequences->InsertConsequence(0, 1, -0.000123456, 0, -1);
  consequences->InsertConsequence(1, -1, 1234.5, 0, -1);
  const TRule nested(std::make_unique<TRuleExpression>(TRuleExpression(std::move(both))), std::move(consequences));
  EXPECT_EQ(FormatRule(ruleSet, nested),
            "if InputA is B and (InputB is A or InputB is BB) "
            "then Speed is Zero (1) and Speed is B (-0.000123) and OutputB is -1 (1.23e+03)");

  EXPECT_EQ(FormatRule(ruleSet, TRule()), "if true then nothing");
  EXPECT_EQ(FormatRules(ruleSet), "");  // no rule list
}

}  // namespace
}  // namespace mirk
