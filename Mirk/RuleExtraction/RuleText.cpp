#include "Mirk/RuleExtraction/RuleText.h"

#include <ostream>
#include <sstream>

#include "Common/NumberText.h"
#include "MembershipFunctions/TMFSetList.h"
#include "Mirk/RuleExtraction/DefaultLabels.h"
#include "RuleObject/RuleObject.h"

namespace mirk {

namespace {

// Significant digits of a degree: enough to tell weights apart, short
// enough to read.
constexpr int kDegreeDigits = 3;

// The default label's letters for a position ("A" for 0), or the number of
// a position that cannot be one.
std::string Letters(int index) {
  if (index < 0) return FormatLong(index);
  const std::string padded = IndexToLetters(index);
  return padded.substr(padded.find_first_not_of(' '));
}

const TBasicMFSet* SetOf(const TMFSetList* list, int variable) {
  if (list == nullptr || variable < 0 || variable >= list->GetVariablesRepresented()) return nullptr;
  return list->GetMFSet(variable);
}

// "<variable> is <MF>", with the names the MF lists hold, or the default
// labels' names where a list has none.
void AppendAtom(std::string& text, const TMFSetList* list, const char* prefix, const TRuleAtom& atom) {
  const TBasicMFSet* set = SetOf(list, atom.Variable);
  if (set != nullptr && set->GetName() != nullptr) {
    text += set->GetName();
  } else {
    text += prefix;
    text += Letters(atom.Variable);
  }
  text += " is ";
  const TBasicMF* mf = nullptr;
  if (set != nullptr && atom.MFIndex >= 0 && atom.MFIndex < set->GetNumberOfMF()) mf = set->GetMF(atom.MFIndex);
  text += mf != nullptr && mf->GetName() != nullptr ? std::string(mf->GetName()) : Letters(atom.MFIndex);
}

void AppendExpression(std::string& text, const TMFSetList* inputs, const TRuleExpression& expression,
                      bool nested) {
  if (const TRuleAtom* atom = expression.GetAtom()) {
    AppendAtom(text, inputs, "Input", *atom);
    return;
  }
  const TRuleExprList* list = expression.GetExprList();
  const int count = list != nullptr ? list->GetNumSubExpressions() : 0;
  if (count == 0) {
    text += "true";
    return;
  }
  const bool brackets = nested && count > 1;
  if (brackets) text += '(';
  for (int i = 0; i < count; ++i) {
    if (i > 0) {
      text += ' ';
      text += list->GetOperator();
      text += ' ';
    }
    AppendExpression(text, inputs, list->GetSubExpression(i), true);
  }
  if (brackets) text += ')';
}

}  // namespace

std::string FormatRule(const TFuzzyRuleSet& ruleSet, const TRule& rule) {
  std::string text = "if ";
  if (rule.GetCondition() != nullptr) {
    AppendExpression(text, ruleSet.InputMFs.get(), *rule.GetCondition(), false);
  } else {
    text += "true";
  }
  text += " then ";
  const TRuleConsequenceList* consequences = rule.GetConsequences();
  const int count = consequences != nullptr ? consequences->GetNumConsequences() : 0;
  if (count == 0) text += "nothing";
  for (int i = 0; i < count; ++i) {
    if (i > 0) text += " and ";
    const TRuleAtom& atom = consequences->GetConsequence(i);
    AppendAtom(text, ruleSet.OutputMFs.get(), "Output", atom);
    text += " (";
    AppendGeneral(text, atom.Degree, kDegreeDigits);
    text += ')';
  }
  return text;
}

void WriteRules(std::ostream& out, const TFuzzyRuleSet& ruleSet) {
  if (!ruleSet.Rules) return;
  for (int i = 0; i < ruleSet.Rules->GetNumRules(); ++i) out << FormatRule(ruleSet, ruleSet.Rules->GetRule(i)) << '\n';
}

std::string FormatRules(const TFuzzyRuleSet& ruleSet) {
  std::ostringstream out;
  WriteRules(out, ruleSet);
  return out.str();
}

}  // namespace mirk
