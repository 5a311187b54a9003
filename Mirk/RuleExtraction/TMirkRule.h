// The rule-extraction unit of the Mirk network: operations that make what a
// trained network knows explicit. The membership exchange turns the
// condition and action centres into MF lists and writes such lists back.
#pragma once

#include <memory>

#include "KQmessage/KQML.h"
#include "MembershipFunctions/TMFSetList.h"
#include "RuleObject/RuleObject.h"

namespace mirk {

class TMirk;
class TMirkLabel;

// Stateless: every operation takes the network it works on.
class TMirkRule {
 public:
  TMirkRule() = delete;

  // The MF lists of the network's inputs ("Inputs", one set per input) and
  // outputs ("Outputs", one set per output). A variable with n MFs owns n
  // consecutive condition (action) nodes; its set, of type "Triangular"
  // with bounds 0.0 and 1.0, holds a left-shouldered triangle on the first
  // centre reaching to the second, a triangle on each inner centre reaching
  // to its neighbours' centres, and a right-shouldered triangle on the last
  // centre. Sets and MFs are named by the labels (unset names stay null).
  //
  // The labels must name as many inputs, outputs, conditions and actions as
  // the network has, else TException ("Labels unsuitable for this network",
  // "Bad Format", "TMirkRule::GetMirkMF"). The lists are stored only when
  // both are complete.
  static void GetMirkMF(const TMirk& network, const TMirkLabel& labels,
                        std::unique_ptr<TMFSetList>& inputs, std::unique_ptr<TMFSetList>& outputs);

  // Writes the centres of the lists' MFs into the network's condition and
  // action centres; nothing else of the lists is read, and sets beyond the
  // network's variables are ignored. Every check runs before the first
  // weight is written, so a refused call leaves the network unchanged.
  // TException, category "Bad Parameter", first failure in this order:
  //  - a list with too few sets: "Invalid MF set number" ("TMFSetList::GetMFSet");
  //  - an empty set slot: "Invalid MF set number" ("TMirkRule::SetMirkMF");
  //  - a set whose MF count differs from its variable's: "Number of Fuzzy MF
  //    not appropriate for this network" ("TMirkRule::SetMirkMF" for an
  //    input, "TMirkRule:SetMirkMF" for an output);
  //    (all inputs, then all outputs, before any MF is looked at)
  //  - an MF slot that is empty or holds another shape than its position
  //    asks for: "Inappropriate Input MF type: Should be LeftShouldered"
  //    (first), "...: Should be Centred" (inner), "...: Should be
  //    RightShouldered" (last), "Output" for the output list
  //    ("TMirkRule::SetMirkMF").
  static void SetMirkMF(TMirk& network, const TMFSetList& inputs, const TMFSetList& outputs);

  // Rule extraction (ExtractRules.cpp). The parameters may be null; keys in
  // any letter case, numbers in the structure's number syntax:
  //   "threshold"    both thresholds (default 0.0), applied first;
  //   "thresholdin"  the input threshold, then "thresholdout" the output one;
  //   "method"       "ReMirk" (any letter case), the only method.
  // Without labels the default labels name the MF lists. ruleSet receives a
  // new rule set once the parameters have been read, so on a later failure
  // it holds what was built: nothing when the labels do not fit the network
  // (GetMirkMF's TException), the MF lists but no rule list for an unknown
  // method (TKQstructure::Error "invalid-message" with "tag" method and
  // "expected-value" ReMirk). A parameter that is not a number throws
  // before ruleSet is touched.
  static void ExtractRules(const TMirk& network, std::unique_ptr<TFuzzyRuleSet>& ruleSet,
                           std::unique_ptr<TKQstructure> parameters, const TMirkLabel* labels);

  // One rule per rule node, in node order, in a new list named "REMirk". A
  // rule's condition is an "and" list of at most one atom per input, in
  // input order: the input's condition node with the greatest weight w into
  // the rule node such that w > 0.0 and w > thresholdIn (the earlier node on
  // equal weights). Its consequences are the action nodes, in node order,
  // whose weight w from the rule node is > thresholdOut. Each atom's degree
  // is its weight. A rule node that lacks conditions or consequences yields
  // no rule; arcs that do not exist (pruned, or an unconnected layer) are
  // never read. A network whose layers do not follow the Mirk plan is a
  // TException ("Incomplete Mirk network", where "TMirk::GetStructure").
  static std::unique_ptr<TRuleList> ExtractReMirkRules(const TMirk& network, double thresholdIn,
                                                       double thresholdOut);
};

}  // namespace mirk
