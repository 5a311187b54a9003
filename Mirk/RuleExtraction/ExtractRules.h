// Rule extraction: the fuzzy rules that a trained Mirk network has learnt,
// read from the weights into and out of its rule nodes.
#pragma once

#include <memory>

#include "RuleObject/RuleObject.h"

namespace mirk {

class TMirk;

// One rule per rule node, in node order, named list "REMirk". A rule's
// condition is an "and" list of at most one atom per input, in input order:
// the input's condition node with the greatest weight w into the rule node
// such that w > 0.0 and w > thresholdIn (the earlier node on equal weights).
// Its consequences are the action nodes, in node order, whose weight w from
// the rule node is > thresholdOut. Each atom's degree is its weight. A rule
// node that lacks conditions or consequences yields no rule; arcs that do
// not exist (pruned, or an unconnected layer) are never read. A network whose
// layers do not follow the Mirk plan is a TException ("Incomplete Mirk
// network", where "TMirk::GetStructure").
std::unique_ptr<TRuleList> ExtractReMirkRules(const TMirk& network, double thresholdIn, double thresholdOut);

}  // namespace mirk
