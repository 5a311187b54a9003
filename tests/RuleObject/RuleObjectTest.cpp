#include "RuleObject/RuleObject.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace mirk {
namespace {

TRuleExpression Atom(int variable, int mf = 0, double degree = 1.0) {
  return TRuleExpression(TRuleAtom{variable, mf, degree, 0});
}

// A rule told apart by the degree of its only consequence.
TRule TaggedRule(double tag) {
  auto consequences = std::make_unique<TRuleConsequenceList>(0);
  consequences->InsertConsequence(0, 0, tag, 0, -1);
  return TRule(nullptr, std::move(consequences));
}

std::vector<int> Variables(const TRuleExprList& list) {
  std::vector<int> out;
  for (int i = 0; i < list.GetNumSubExpressions(); ++i) out.push_back(list.GetSubExpression(i).GetAtom()->Variable);
  return out;
}

std::vector<double> Tags(const TRuleList& list) {
  std::vector<double> out;
  for (int i = 0; i < list.GetNumRules(); ++i) out.push_back(list.GetRule(i).GetConsequences()->GetConsequence(0).Degree);
  return out;
}

TEST(RuleObject, DefaultsOfNewObjects) {
  EXPECT_EQ(TRuleAtom{}, (TRuleAtom{0, 0, 1.0, 0}));
  const TRuleExprList noop;
  EXPECT_EQ(noop.GetOperator(), "no-op");
  EXPECT_EQ(noop.GetCapacity(), 0);
  const TRuleExprList list("and", 2);
  EXPECT_EQ(list.GetCapacity(), 2);
  EXPECT_EQ(list.GetNumSubExpressions(), 0);
  EXPECT_EQ(list.GetSubExpression(1).GetKind(), TRuleExpression::kEmpty);
  const TRuleConsequenceList consequences(3);
  EXPECT_EQ(consequences.GetNumConsequences(), 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(consequences.GetConsequence(i), TRuleAtom{});
  TRuleList rules("R", 1);
  EXPECT_EQ(rules.GetName(), "R");
  EXPECT_EQ(rules.GetRule(0).GetCondition(), nullptr);
  EXPECT_EQ(rules.GetRule(0).GetConsequences(), nullptr);
}

TEST(RuleObject, RuleListGrowsByOneEntryAndKeepsInsertionOrder) {
  TRuleList list("REMirk", 0);
  for (int i = 1; i <= 3; ++i) {
    list.InsertRule(TaggedRule(i), -1);
    EXPECT_EQ(list.GetCapacity(), i);
  }
  EXPECT_EQ(Tags(list), (std::vector<double>{1, 2, 3}));
  list.InsertRule(TaggedRule(4), list.GetNumRules());  // the count appends too
  list.InsertRule(TaggedRule(0), 0);
  list.InsertRule(TaggedRule(2.5), 3);
  EXPECT_EQ(Tags(list), (std::vector<double>{0, 1, 2, 2.5, 3, 4}));
  EXPECT_EQ(list.GetCapacity(), 6);
}

TEST(RuleObject, InsertAtFrontShiftsTheOthersInOrder) {
  TRuleExprList list("and", 0);
  for (int v : {1, 2, 3}) list.InsertSubExpression(Atom(v), -1);
  list.InsertSubExpression(Atom(9), 0);
  EXPECT_EQ(Variables(list), (std::vector<int>{9, 1, 2, 3}));
  EXPECT_EQ(list.GetCapacity(), 4);
}

TEST(RuleObject, RemoveClosesTheGapAndLeavesADefaultBehind) {
  TRuleConsequenceList consequences(0);
  consequences.InsertConsequence(0, 1, 0.5, 0, -1);
  consequences.InsertConsequence(1, 2, 0.7, 0, -1);
  consequences.InsertConsequence(2, 3, 0.9, 0, -1);
  consequences.RemoveConsequence(-1);
  EXPECT_EQ(consequences.GetNumConsequences(), 2);
  EXPECT_EQ(consequences.GetConsequence(2), TRuleAtom{});
  consequences.RemoveConsequence(0);
  EXPECT_EQ(consequences.GetConsequence(0), (TRuleAtom{1, 2, 0.7, 0}));
  EXPECT_EQ(consequences.GetConsequence(1), TRuleAtom{});
  EXPECT_EQ(consequences.GetCapacity(), 3);  // never shrinks
  consequences.ReplaceConsequence(4, 4, 0.25, 7, -1);
  EXPECT_EQ(consequences.GetConsequence(0), (TRuleAtom{4, 4, 0.25, 7}));

  TRuleExprList list("and", 0);
  for (int v : {1, 2, 3}) list.InsertSubExpression(Atom(v), -1);
  list.RemoveSubExpression(1);
  EXPECT_EQ(Variables(list), (std::vector<int>{1, 3}));
  EXPECT_EQ(list.GetSubExpression(2).GetKind(), TRuleExpression::kEmpty);
  list.ReplaceSubExpression(Atom(8), 0);
  EXPECT_EQ(Variables(list), (std::vector<int>{8, 3}));

  TRuleList rules("R", 0);
  for (double t : {1.0, 2.0, 3.0}) rules.InsertRule(TaggedRule(t), -1);
  rules.RemoveRule(0);
  EXPECT_EQ(Tags(rules), (std::vector<double>{2, 3}));
  EXPECT_EQ(rules.GetRule(2).GetConsequences(), nullptr);
  rules.ReplaceRule(TaggedRule(5), -1);
  EXPECT_EQ(Tags(rules), (std::vector<double>{2, 5}));
}

TEST(RuleObject, InsertingAndReplacingTakeOverTheEntry) {
  TRuleExpression atom = Atom(4);
  TRuleExprList list("and", 0);
  list.InsertSubExpression(std::move(atom), -1);
  EXPECT_EQ(atom.GetKind(), TRuleExpression::kEmpty);  // NOLINT(bugprone-use-after-move)
  EXPECT_EQ(atom.GetAtom(), nullptr);

  TRule rule = TaggedRule(1);
  TRuleList rules("R", 0);
  rules.InsertRule(std::move(rule), -1);
  EXPECT_EQ(rule.GetConsequences(), nullptr);  // NOLINT(bugprone-use-after-move)
  TRule other = TaggedRule(2);
  rules.ReplaceRule(std::move(other), 0);
  EXPECT_EQ(other.GetConsequences(), nullptr);  // NOLINT(bugprone-use-after-move)
  EXPECT_EQ(Tags(rules), (std::vector<double>{2}));

  // One of the list's own entries, inserted while the list is full: it is
  // taken out before the list grows.
  list.InsertSubExpression(std::move(list.GetSubExpression(0)), -1);
  EXPECT_EQ(list.GetNumSubExpressions(), 2);
  EXPECT_EQ(list.GetSubExpression(0).GetKind(), TRuleExpression::kEmpty);
  EXPECT_EQ(list.GetSubExpression(1).GetAtom()->Variable, 4);
}

TEST(RuleObject, CopiedExpressionListSharesNothing) {
  auto inner = std::make_unique<TRuleExprList>("or", 0);
  inner->InsertSubExpression(Atom(5, 1, 0.25), -1);
  TRuleExprList source("and", 4);
  source.InsertSubExpression(Atom(1), -1);
  source.InsertSubExpression(TRuleExpression(std::move(inner)), -1);

  TRuleExprList copy(source);
  EXPECT_EQ(copy.GetCapacity(), 4);
  EXPECT_EQ(copy.GetOperator(), "and");
  copy.GetSubExpression(0).Clear();
  copy.GetSubExpression(1).GetExprList()->GetSubExpression(0).GetAtom()->Degree = 0.75;
  EXPECT_EQ(source.GetSubExpression(0).GetAtom()->Variable, 1);
  const TRuleExprList* sourceInner = source.GetSubExpression(1).GetExprList();
  EXPECT_EQ(sourceInner->GetOperator(), "or");
  EXPECT_EQ(*sourceInner->GetSubExpression(0).GetAtom(), (TRuleAtom{5, 1, 0.25, 0}));

  TRuleExpression expression(std::make_unique<TRuleExprList>(source));
  TRuleExpression expressionCopy(expression);
  expressionCopy.GetExprList()->RemoveSubExpression(0);
  EXPECT_EQ(expression.GetExprList()->GetNumSubExpressions(), 2);
  expression.Clear();
  EXPECT_EQ(expression.GetKind(), TRuleExpression::kEmpty);
  EXPECT_EQ(expressionCopy.GetExprList()->GetNumSubExpressions(), 1);
}

}  // namespace
}  // namespace mirk
