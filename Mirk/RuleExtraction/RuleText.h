// Fuzzy rules as people read them, one rule a line:
//   if InputA is B and InputB is A then OutputA is C (0.83)
// Variables and MFs are named through the rule set's MF lists. The form is
// described in doc/RuleText.md.
#pragma once

#include <iosfwd>
#include <string>

namespace mirk {

class TFuzzyRuleSet;
class TRule;

// One rule of the set, without a line end.
std::string FormatRule(const TFuzzyRuleSet& ruleSet, const TRule& rule);
// Every rule of the set's rule list in order, each followed by "\n";
// nothing when the set has no rule list.
void WriteRules(std::ostream& out, const TFuzzyRuleSet& ruleSet);
std::string FormatRules(const TFuzzyRuleSet& ruleSet);

}  // namespace mirk
