// The rule extraction of TMirkRule.
#include "Mirk/RuleExtraction/TMirkRule.h"

#include <vector>

#include "Common/Exceptions.h"
#include "Mirk/RuleExtraction/DefaultLabels.h"
#include "Mirk/RuleExtraction/TMirkLabel.h"
#include "Mirk/TConditionLayer.h"
#include "Mirk/TMirk.h"
#include "Mirk/TMirkOutputLayer.h"
#include "NeuralNets/TBasicConnections.h"

namespace mirk {

namespace {

// What the extraction reads of the network, looked up once rather than per
// rule node.
struct TRuleWeights {
  int numRules = 0;
  int numActions = 0;
  std::vector<std::vector<int>> conditionNodes;  // per input, in node order
  std::vector<int> conditionMF;                  // per condition node
  std::vector<int> actionOutput;                 // per action node
  std::vector<int> actionMF;                     // per action node
  TBasicConnections* conditionsToRules = nullptr;
  TBasicConnections* rulesToActions = nullptr;
};

TRuleWeights ReadStructure(const TMirk& network) {
  int numInputs = 0, numConditions = 0, numOutputs = 0;
  std::vector<int> inputMF, outputMF;
  TRuleWeights weights;
  // Checks that the layers follow the plan, so the casts below hold.
  network.GetStructure(numInputs, numConditions, inputMF, weights.numRules, weights.numActions, outputMF,
                       numOutputs);
  const auto& conditions = dynamic_cast<const TConditionLayer&>(*network.GetLayer(TMirk::kConditionLayer));
  const auto& outputs = dynamic_cast<const TMirkOutputLayer&>(*network.GetLayer(TMirk::kOutputLayer));
  for (int v = 0; v < numInputs; ++v) weights.conditionNodes.push_back(conditions.GetConditionNodes(v));
  for (int c = 0; c < numConditions; ++c) weights.conditionMF.push_back(conditions.GetMFIndex(c));
  for (int a = 0; a < weights.numActions; ++a) {
    weights.actionOutput.push_back(outputs.GetOutputOf(a));
    weights.actionMF.push_back(outputs.GetMFIndex(a));
  }
  weights.conditionsToRules = network.GetConnections(TMirk::kConditionLayer, TMirk::kRuleLayer);
  weights.rulesToActions = network.GetConnections(TMirk::kRuleLayer, TMirk::kActionLayer);
  return weights;
}

// The "and" list of rule node r, or null when no input has a condition.
std::unique_ptr<TRuleExprList> Conditions(const TRuleWeights& weights, int r, double threshold) {
  std::unique_ptr<TRuleExprList> list;
  TBasicConnections& set = *weights.conditionsToRules;
  for (size_t v = 0; v < weights.conditionNodes.size(); ++v) {
    int best = -1;
    double bestWeight = 0.0;
    for (int c : weights.conditionNodes[v]) {
      if (!set.IsValid(c, r)) continue;
      const double w = *set.GetWeight(c, r);
      if (w > 0.0 && w > threshold && (best < 0 || w > bestWeight)) {
        best = c;
        bestWeight = w;
      }
    }
    if (best < 0) continue;
    if (!list) list = std::make_unique<TRuleExprList>("and", 0);
    const TRuleAtom atom{static_cast<int>(v), weights.conditionMF[static_cast<size_t>(best)], bestWeight, 0};
    list->InsertSubExpression(TRuleExpression(atom), -1);
  }
  return list;
}

// The consequences of rule node r, or null when it has none.
std::unique_ptr<TRuleConsequenceList> Consequences(const TRuleWeights& weights, int r, double threshold) {
  std::unique_ptr<TRuleConsequenceList> list;
  TBasicConnections& set = *weights.rulesToActions;
  for (int a = 0; a < weights.numActions; ++a) {
    if (!set.IsValid(r, a)) continue;
    const double w = *set.GetWeight(r, a);
    if (!(w > threshold)) continue;
    if (!list) list = std::make_unique<TRuleConsequenceList>(0);
    const auto i = static_cast<size_t>(a);
    list->InsertConsequence(weights.actionOutput[i], weights.actionMF[i], w, 0, -1);
  }
  return list;
}

}  // namespace

void TMirkRule::ExtractRules(const TMirk& network, std::unique_ptr<TFuzzyRuleSet>& ruleSet,
                             std::unique_ptr<TKQstructure> parameters, const TMirkLabel* labels) {
  double thresholdIn = 0.0;
  double thresholdOut = 0.0;
  const TKQstructure* method = nullptr;
  if (parameters) {
    if (const TKQstructure* value = parameters->Lookup("threshold")) {
      thresholdIn = thresholdOut = KQParseDouble(value->GetName());
    }
    if (const TKQstructure* value = parameters->Lookup("thresholdin")) thresholdIn = KQParseDouble(value->GetName());
    if (const TKQstructure* value = parameters->Lookup("thresholdout")) thresholdOut = KQParseDouble(value->GetName());
    method = parameters->Lookup("method");
  }
  std::unique_ptr<TMirkLabel> defaultLabels;
  if (labels == nullptr) {
    defaultLabels = GenerateLabels(network);
    labels = defaultLabels.get();
  }
  ruleSet = std::make_unique<TFuzzyRuleSet>();
  GetMirkMF(network, *labels, ruleSet->InputMFs, ruleSet->OutputMFs);
  if (method != nullptr && strcasecmp(method->GetName(), "ReMirk") != 0) parameters->Expect("method", "ReMirk");
  ruleSet->Rules = ExtractReMirkRules(network, thresholdIn, thresholdOut);
}

std::unique_ptr<TRuleList> TMirkRule::ExtractReMirkRules(const TMirk& network, double thresholdIn,
                                                         double thresholdOut) {
  const TRuleWeights weights = ReadStructure(network);
  auto rules = std::make_unique<TRuleList>("REMirk", 0);
  for (int r = 0; r < weights.numRules; ++r) {
    std::unique_ptr<TRuleExprList> conditions = Conditions(weights, r, thresholdIn);
    if (!conditions) continue;  // no rule, whatever its actions
    std::unique_ptr<TRuleConsequenceList> consequences = Consequences(weights, r, thresholdOut);
    if (!consequences) continue;
    rules->InsertRule(TRule(std::make_unique<TRuleExpression>(std::move(conditions)), std::move(consequences)), -1);
  }
  return rules;
}

}  // namespace mirk
