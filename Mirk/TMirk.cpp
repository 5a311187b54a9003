#include "Mirk/TMirk.h"

#include <climits>
#include <utility>

#include "Common/Check.h"
#include "Common/Exceptions.h"
#include "Common/Raise.h"
#include "DataObject/Data.h"
#include "KQmessage/KQML.h"
#include "Mirk/TConditionLayer.h"
#include "Mirk/TMFBlocks.h"
#include "Mirk/TMirkOutputLayer.h"
#include "Mirk/TToConditionConnections.h"
#include "Mirk/TToOutputConnections.h"
#include "NeuralNets/DataRecall.h"
#include "NeuralNets/TErrorObj.h"
#include "NeuralNets/TPrunedConnections.h"
#include "NeuralNets/TSimpleInputLayer.h"

namespace mirk {
namespace {

// The layers of a network that follows the plan, with their sizes.
struct TMirkLayers {
  const TBasicLayer* input;
  TConditionLayer* condition;
  const TBasicLayer* rule;
  const TBasicLayer* action;
  TMirkOutputLayer* output;
  int numInputs;
  int numConditions;
  int numRules;
  int numActions;
  int numOutputs;
};

// The layers plus the sets of the four weight layers.
struct TMirkPlan : TMirkLayers {
  TBasicConnections* rules = nullptr;        // weight layer 2
  TBasicConnections* actions = nullptr;      // weight layer 3
  TToOutputConnections* centres = nullptr;  // weight layer 4
};

[[noreturn]] void Incomplete(const char* where) { Refuse("Incomplete Mirk network", where); }

// A network read from a file may lack layers or sets, or hold others than the
// plan's; every operation that relies on the plan checks it first.
TMirkLayers CheckLayers(const TMirk& net, const char* where) {
  if (net.GetNumLayers() != TMirk::kNumLayers) Incomplete(where);
  for (int i = 0; i < TMirk::kNumLayers; ++i) {
    if (net.GetLayer(i) == nullptr) Incomplete(where);
  }
  TMirkLayers layers{};
  layers.input = net.GetLayer(TMirk::kInputLayer);
  layers.condition = dynamic_cast<TConditionLayer*>(net.GetLayer(TMirk::kConditionLayer));
  layers.rule = net.GetLayer(TMirk::kRuleLayer);
  layers.action = net.GetLayer(TMirk::kActionLayer);
  layers.output = dynamic_cast<TMirkOutputLayer*>(net.GetLayer(TMirk::kOutputLayer));
  if (layers.condition == nullptr || layers.output == nullptr) Incomplete(where);
  layers.numInputs = layers.input->GetNumNeurons();
  layers.numConditions = layers.condition->GetNumNeurons();
  layers.numRules = layers.rule->GetNumNeurons();
  layers.numActions = layers.action->GetNumNeurons();
  layers.numOutputs = layers.output->GetNumNeurons();
  const std::span<const int> inputMF = layers.condition->GetInputMF();
  const std::span<const int> outputMF = layers.output->GetOutputMF();
  if (layers.condition->GetNumInputs() != layers.numInputs ||
      TMFBlocks::Total(inputMF) != layers.numConditions ||
      outputMF.size() != static_cast<size_t>(layers.numOutputs) ||
      layers.output->GetNumActions() != layers.numActions) {
    Incomplete(where);
  }
  return layers;
}

TMirkPlan CheckPlan(const TMirk& net, const char* where) {
  TMirkPlan plan{CheckLayers(net, where)};
  plan.rules = net.GetConnections(TMirk::kConditionLayer, TMirk::kRuleLayer);
  plan.actions = net.GetConnections(TMirk::kRuleLayer, TMirk::kActionLayer);
  plan.centres = dynamic_cast<TToOutputConnections*>(net.GetConnections(TMirk::kActionLayer, TMirk::kOutputLayer));
  if (!plan.rules->IsConnected() || !plan.actions->IsConnected() || plan.centres == nullptr ||
      plan.centres->GetNumActions() != plan.numActions) {
    Incomplete(where);
  }
  return plan;
}

void CheckWeightLayer(int layer, const char* where) {
  if (layer < 1 || layer > 4) Refuse("Invalid weight layer", where);
}

bool Within(int node, int size) { return node >= 0 && node < size; }

// The address of weight (from, to) of a weight layer, or none when the pair
// is not a weight of that layer.
double* WeightAddress(const TMirkPlan& plan, int layer, int from, int to) {
  switch (layer) {
    case 1:
      if (!Within(to, plan.numConditions) || plan.condition->GetInputOf(to) != from) return nullptr;
      return &plan.condition->GetConditionNeuron(to).centre;
    case 2:
      if (!Within(from, plan.numConditions) || !Within(to, plan.numRules)) return nullptr;
      return plan.rules->GetWeight(from, to);
    case 3:
      if (!Within(from, plan.numRules) || !Within(to, plan.numActions)) return nullptr;
      return plan.actions->GetWeight(from, to);
    default:
      if (!Within(from, plan.numActions) || plan.output->GetOutputOf(from) != to) return nullptr;
      return plan.centres->GetWeight(from, to);
  }
}

// Sizes of the two layers a weight layer joins.
std::pair<int, int> Sides(const TMirkLayers& layers, int layer) {
  switch (layer) {
    case 1: return {layers.numInputs, layers.numConditions};
    case 2: return {layers.numConditions, layers.numRules};
    case 3: return {layers.numRules, layers.numActions};
    default: return {layers.numActions, layers.numOutputs};
  }
}

// The count of a whole weight layer in the order of GetWeightLayer.
size_t LayerCount(const TMirkPlan& plan, int layer) {
  switch (layer) {
    case 1: return static_cast<size_t>(plan.numConditions);
    case 2: return static_cast<size_t>(plan.numConditions) * static_cast<size_t>(plan.numRules);
    case 3: return static_cast<size_t>(plan.numRules) * static_cast<size_t>(plan.numActions);
    default: return static_cast<size_t>(plan.numActions);
  }
}

// Calls visit(address) for every weight of a whole weight layer, in the
// order of GetWeightLayer: source-major for the rule sets.
template <class Visit>
void ForEachWeight(const TMirkPlan& plan, int layer, Visit visit) {
  switch (layer) {
    case 1:
      for (int c = 0; c < plan.numConditions; ++c) visit(plan.condition->GetConditionNeuron(c).centre);
      break;
    case 2:
      for (int c = 0; c < plan.numConditions; ++c) {
        for (int r = 0; r < plan.numRules; ++r) visit(*plan.rules->GetWeight(c, r));
      }
      break;
    case 3:
      for (int r = 0; r < plan.numRules; ++r) {
        for (int a = 0; a < plan.numActions; ++a) visit(*plan.actions->GetWeight(r, a));
      }
      break;
    default:
      for (int a = 0; a < plan.numActions; ++a) visit(*plan.centres->GetWeight(a, plan.output->GetOutputOf(a)));
  }
}

int SumOfCounts(int count, std::span<const int> counts, const char* belowTwo) {
  const std::span<const int> given = counts.first(static_cast<size_t>(count));
  for (const int m : given) {
    if (m < 2) Refuse(belowTwo, "TMirk::TMirk");
  }
  const long long sum = TMFBlocks::Total(given);
  if (sum > INT_MAX) Refuse("Too many membership functions", "TMirk::TMirk");
  return static_cast<int>(sum);
}

}  // namespace

TMirk::TMirk() { Init(kNumLayers); }

TMirk::TMirk(int numInputs, std::span<const int> inputMF, int numRules, std::span<const int> outputMF,
             int numOutputs) {
  Init(kNumLayers);
  if (numInputs < 0 || inputMF.size() < static_cast<size_t>(numInputs)) {
    Refuse("Invalid number of inputs", "TMirk::TMirk");
  }
  if (numRules < 0) Refuse("Invalid number of rules", "TMirk::TMirk");
  if (numOutputs < 0 || outputMF.size() < static_cast<size_t>(numOutputs)) {
    Refuse("Invalid number of outputs", "TMirk::TMirk");
  }
  const int numConditions = SumOfCounts(numInputs, inputMF, "Must be >= 2 MF per input");
  const int numActions = SumOfCounts(numOutputs, outputMF, "Must be >= 2 MF per output");

  SetLayer(kBiasLayer, std::make_unique<TSimpleLayer>(this, kBiasLayer, 0));
  SetLayer(kInputLayer, std::make_unique<TSimpleInputLayer>(this, kInputLayer, numInputs));
  auto condition = std::make_unique<TConditionLayer>(this, kConditionLayer, numConditions);
  condition->SetInputMF(numInputs, inputMF);
  SetLayer(kConditionLayer, std::move(condition));
  SetLayer(kRuleLayer, std::make_unique<TSimpleLayer>(this, kRuleLayer, numRules));
  SetLayer(kActionLayer, std::make_unique<TSimpleLayer>(this, kActionLayer, numActions));
  auto output = std::make_unique<TMirkOutputLayer>(this, kOutputLayer, numOutputs);
  output->SetOutputMF(numActions, outputMF);
  SetLayer(kOutputLayer, std::move(output));

  GetLayer(kInputLayer)->SetActivationFunction(ActLinear);
  GetLayer(kConditionLayer)->SetActivationFunction(ActMirkCondition);
  GetLayer(kRuleLayer)->SetActivationFunction(ActSigmoid);
  GetLayer(kActionLayer)->SetActivationFunction(ActSigmoid);
  GetLayer(kOutputLayer)->SetActivationFunction(ActCog);

  Connect(kInputLayer, kConditionLayer);
  Connect(kConditionLayer, kRuleLayer);
  Connect(kRuleLayer, kActionLayer);
  Connect(kActionLayer, kOutputLayer);
}

TMirk::~TMirk() = default;

// The Mirk sets refuse missing layers themselves (TException); a pruneable
// set needs both layers stored.
void TMirk::Connect(int fromLayer, int toLayer) {
  MIRK_CHECK(fromLayer >= 0 && fromLayer < GetNumLayers() && toLayer >= 0 && toLayer < GetNumLayers());
  if (GetConnections(fromLayer, toLayer)->IsConnected()) return;
  if (fromLayer == kInputLayer && toLayer == kConditionLayer) {
    Cell(fromLayer, toLayer) = std::make_unique<TToConditionConnections>(this, fromLayer, toLayer);
  } else if (fromLayer == kActionLayer && toLayer == kOutputLayer) {
    Cell(fromLayer, toLayer) = std::make_unique<TToOutputConnections>(this, fromLayer, toLayer);
  } else {
    CheckConnectable(fromLayer, toLayer);
    Cell(fromLayer, toLayer) = std::make_unique<TPrunedConnections>(this, fromLayer, toLayer);
  }
}

const char* TMirk::GetNetworkNType() const { return "Mirk"; }

void TMirk::GetStructure(int& numInputs, int& numConditions, std::vector<int>& inputMF, int& numRules,
                         int& numActions, std::vector<int>& outputMF, int& numOutputs) const {
  const TMirkLayers layers = CheckLayers(*this, "TMirk::GetStructure");
  const std::span<const int> inputCounts = layers.condition->GetInputMF();
  const std::span<const int> outputCounts = layers.output->GetOutputMF();
  numInputs = layers.numInputs;
  numConditions = layers.numConditions;
  inputMF.assign(inputCounts.begin(), inputCounts.end());
  numRules = layers.numRules;
  numActions = layers.numActions;
  outputMF.assign(outputCounts.begin(), outputCounts.end());
  numOutputs = layers.numOutputs;
}

void TMirk::GetWeightValue(int layer, int from, int to, double& value) const {
  static constexpr const char* kWhere = "TMirk::GetWeightValue";
  CheckWeightLayer(layer, kWhere);
  const double* weight = WeightAddress(CheckPlan(*this, kWhere), layer, from, to);
  if (weight == nullptr) Refuse("Invalid weight number", kWhere);
  value = *weight;
}

void TMirk::SetWeightValue(int layer, int from, int to, double value) {
  static constexpr const char* kWhere = "TMirk::SetWeightValue";
  CheckWeightLayer(layer, kWhere);
  double* weight = WeightAddress(CheckPlan(*this, kWhere), layer, from, to);
  if (weight == nullptr) Refuse("Invalid weight number", kWhere);
  *weight = value;
}

std::vector<double> TMirk::GetWeightLayer(int layer) const {
  static constexpr const char* kWhere = "TMirk::GetWeightLayer";
  CheckWeightLayer(layer, kWhere);
  const TMirkPlan plan = CheckPlan(*this, kWhere);
  std::vector<double> weights;
  weights.reserve(LayerCount(plan, layer));
  ForEachWeight(plan, layer, [&weights](double& weight) { weights.push_back(weight); });
  return weights;
}

void TMirk::SetWeightLayer(int layer, std::span<const double> weights) {
  static constexpr const char* kWhere = "TMirk::SetWeightLayer";
  CheckWeightLayer(layer, kWhere);
  const TMirkPlan plan = CheckPlan(*this, kWhere);
  if (weights.size() != LayerCount(plan, layer)) Refuse("Wrong number of weights", kWhere);
  auto next = weights.begin();
  ForEachWeight(plan, layer, [&next](double& weight) { weight = *next++; });
}

namespace {

// FreezeWeight and UnfreezeWeight: the trainable flag of a condition node, or
// the set's flag of an existing arc.
void SetTrainable(const TMirk& net, int layer, int to, int from, bool trainable, const char* where) {
  CheckWeightLayer(layer, where);
  const TMirkPlan plan = CheckPlan(net, where);
  if (layer == 1) {
    if (!Within(to, plan.numConditions)) Refuse("Invalid weight number", where);
    plan.condition->GetConditionNeuron(to).trainable = trainable;
    return;
  }
  TBasicConnections* set = layer == 2 ? plan.rules : layer == 3 ? plan.actions : plan.centres;
  const auto [fromSize, toSize] = Sides(plan, layer);
  if (!Within(from, fromSize) || !Within(to, toSize) || !set->IsValid(from, to)) {
    Refuse("Invalid weight number", where);
  }
  const TArcEdit edit = trainable ? TArcEdit::Unfreeze : TArcEdit::Freeze;
  if (!set->CanEditArc(edit)) Refuse("Weight cannot be frozen", where);
  if (trainable) {
    set->UnfreezeWeight(from, to);
  } else {
    set->FreezeWeight(from, to);
  }
}

}  // namespace

void TMirk::FreezeWeight(int layer, int to, int from) {
  SetTrainable(*this, layer, to, from, false, "TMirk::FreezeWeight");
}

void TMirk::UnfreezeWeight(int layer, int to, int from) {
  SetTrainable(*this, layer, to, from, true, "TMirk::UnfreezeWeight");
}

void TMirk::WeightExists(int layer, int from, int to, bool& exists) const {
  static constexpr const char* kWhere = "TMirk::WeightExists";
  CheckWeightLayer(layer, kWhere);
  const TMirkPlan plan = CheckPlan(*this, kWhere);
  const auto [fromSize, toSize] = Sides(plan, layer);
  if (!Within(from, fromSize) || !Within(to, toSize)) Refuse("Invalid node number", kWhere);
  switch (layer) {
    case 1: exists = plan.condition->GetInputOf(to) == from; break;
    case 2: exists = plan.rules->IsValid(from, to); break;
    case 3: exists = plan.actions->IsValid(from, to); break;
    default: exists = plan.output->GetOutputOf(from) == to;
  }
}

void TMirk::GetActivationValue(int layer, int node, double& value) const {
  static constexpr const char* kWhere = "TMirk::GetActivationValue";
  if (layer < 0 || layer >= kNumLayers || layer >= GetNumLayers()) Refuse("Invalid node layer", kWhere);
  const TBasicLayer* nodes = GetLayer(layer);
  if (nodes == nullptr || !Within(node, nodes->GetNumNeurons())) Refuse("Invalid node number", kWhere);
  value = nodes->GetOutputs()[static_cast<size_t>(node)];
}

void TMirk::InitWeights(double Minimum, double Maximum) {
  MIRK_CHECK(Minimum <= Maximum);
  const TMirkPlan plan = CheckPlan(*this, "TMirk::InitWeights");
  plan.condition->ResetCentres(plan.condition->GetNumInputs());
  plan.rules->Randomize(Minimum, Maximum);
  plan.actions->Randomize(Minimum, Maximum);
  plan.centres->ResetCentres();
}

void TMirk::Recall(Data* data, std::unique_ptr<Data>& result) {
  static constexpr const char* kWhere = "TMirk::Recall";
  RequireData(data, kWhere);
  CheckPlan(*this, kWhere);
  result = RecallDataSet(*this, data, true, kWhere);
}

void TMirk::RecallOutputOnly(Data* data, std::unique_ptr<Data>& result) {
  static constexpr const char* kWhere = "TMirk::RecallOutputOnly";
  RequireData(data, kWhere);
  CheckPlan(*this, kWhere);
  result = RecallDataSet(*this, data, false, kWhere);
}

void TMirk::RecallOutputOnly(Data* data, double& error) {
  static constexpr const char* kWhere = "TMirk::RecallOutputOnly";
  RequireData(data, kWhere);
  const TMirkPlan plan = CheckPlan(*this, kWhere);
  TErrorRMSObj measure(plan.numOutputs);
  RecallIntoMeasure(*this, data, measure, kWhere);
  error = measure.Result();
}

}  // namespace mirk
