#include "Mirk/RuleExtraction/TMirkLabel.h"

#include <algorithm>
#include <climits>
#include <cstddef>

#include "Common/Raise.h"
#include "Mirk/TMFBlocks.h"

namespace mirk {

namespace {

using Names = std::vector<std::optional<std::string>>;

constexpr const char* kConstructor = "TMirkLabel::TMirkLabel";

// The first count entries of counts, as the network takes them.
std::span<const int> Counts(int count, std::span<const int> counts, const char* invalid) {
  if (count < 0 || counts.size() < static_cast<std::size_t>(count)) Refuse(invalid, kConstructor);
  return counts.first(static_cast<std::size_t>(count));
}

int Sum(std::span<const int> counts) {
  const long long sum = TMFBlocks::Total(counts);
  if (sum < INT_MIN || sum > INT_MAX) Refuse("Too many membership functions", kConstructor);
  return static_cast<int>(sum);
}

void CheckIndex(int index, int size, const char* message, const char* where) {
  if (index < 0 || index >= size) Refuse(message, where);
}

void Store(Names& names, int index, std::string_view name) {
  const auto at = static_cast<std::size_t>(index);
  if (at >= names.size()) names.resize(at + 1);
  names[at] = std::string(name);
}

const char* Lookup(const Names& names, int index) noexcept {
  const auto at = static_cast<std::size_t>(index);
  return at < names.size() && names[at] ? names[at]->c_str() : nullptr;
}

bool SameNames(const Names& a, const Names& b) {
  const std::size_t n = std::max(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const bool inA = i < a.size() && a[i];
    const bool inB = i < b.size() && b[i];
    if (inA != inB || (inA && *a[i] != *b[i])) return false;
  }
  return true;
}

}  // namespace

TMirkLabel::TMirkLabel(int numInputs, std::span<const int> inputMF, int numOutputs,
                       std::span<const int> outputMF)
    : numInputs(numInputs),
      numOutputs(numOutputs) {
  const std::span<const int> inputs = Counts(numInputs, inputMF, "Invalid number of inputs");
  const std::span<const int> outputs = Counts(numOutputs, outputMF, "Invalid number of outputs");
  numConditions = Sum(inputs);
  numActions = Sum(outputs);
  this->inputMF.assign(inputs.begin(), inputs.end());
  this->outputMF.assign(outputs.begin(), outputs.end());
}

void TMirkLabel::SetInputName(int index, std::string_view name) {
  CheckIndex(index, numInputs, "Input number out of bounds", "TMirkLabel::SetInputName");
  Store(inputNames, index, name);
}

void TMirkLabel::SetConditionName(int index, std::string_view name) {
  CheckIndex(index, numConditions, "Condition number out of bounds",
             "TMirkLabel::SetConditionName");
  Store(conditionNames, index, name);
}

void TMirkLabel::SetOutputName(int index, std::string_view name) {
  CheckIndex(index, numOutputs, "Output number out of bounds", "TMirkLabel::SetOutputName");
  Store(outputNames, index, name);
}

void TMirkLabel::SetActionName(int index, std::string_view name) {
  CheckIndex(index, numActions, "Action number out of bounds", "TMirkLabel::SetActionName");
  Store(actionNames, index, name);
}

const char* TMirkLabel::GetInputName(int index) const {
  CheckIndex(index, numInputs, "Input number out of bounds", "TMirkLabel::GetInputName");
  return Lookup(inputNames, index);
}

const char* TMirkLabel::GetConditionName(int index) const {
  CheckIndex(index, numConditions, "Condition number out of bounds",
             "TMirkLabel::GetConditionName");
  return Lookup(conditionNames, index);
}

const char* TMirkLabel::GetOutputName(int index) const {
  CheckIndex(index, numOutputs, "Output number out of bounds", "TMirkLabel::GetOutputName");
  return Lookup(outputNames, index);
}

const char* TMirkLabel::GetActionName(int index) const {
  CheckIndex(index, numActions, "Action number out of bounds", "TMirkLabel::GetActionName");
  return Lookup(actionNames, index);
}

bool operator==(const TMirkLabel& a, const TMirkLabel& b) {
  return a.numInputs == b.numInputs && a.inputMF == b.inputMF && a.numOutputs == b.numOutputs &&
         a.outputMF == b.outputMF && SameNames(a.inputNames, b.inputNames) &&
         SameNames(a.conditionNames, b.conditionNames) &&
         SameNames(a.outputNames, b.outputNames) && SameNames(a.actionNames, b.actionNames);
}

}  // namespace mirk
