// The names of the parts of a Mirk network: its inputs, its conditions
// (input membership functions), its outputs and its actions (output
// membership functions). A label set knows the sizes it names, not the
// network, so it can be built, read, written and compared on its own.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mirk {

class TMirkLabel {
 public:
  // The first numInputs membership-function counts of inputMF and the first
  // numOutputs of outputMF are copied, as the network takes them; the counts
  // themselves are not tested. Conditions are numbered over all inputs,
  // those of input 0 first; actions over all outputs the same way. Every
  // name starts unset. Throws TException (category "Bad Parameter", where
  // "TMirkLabel::TMirkLabel"): "Invalid number of inputs" or "Invalid number
  // of outputs" for a negative number or a too short array, "Too many
  // membership functions" when a sum does not fit an int.
  TMirkLabel(int numInputs, std::span<const int> inputMF, int numOutputs,
             std::span<const int> outputMF);

  // Each name operation throws TException ("Input number out of bounds",
  // "Bad Parameter", "TMirkLabel::SetInputName" and so on) unless
  // 0 <= index < the count of its kind; a failed call changes nothing.
  // Setters store a copy of the name, replacing the one stored before.
  void SetInputName(int index, std::string_view name);
  void SetConditionName(int index, std::string_view name);
  void SetOutputName(int index, std::string_view name);
  void SetActionName(int index, std::string_view name);

  // The stored name, owned by the label set and valid until that name is set
  // again or the set is destroyed; nullptr for a name that was never set.
  const char* GetInputName(int index) const;
  const char* GetConditionName(int index) const;
  const char* GetOutputName(int index) const;
  const char* GetActionName(int index) const;

  int GetNumInputs() const noexcept { return numInputs; }
  int GetNumConditions() const noexcept { return numConditions; }
  std::span<const int> GetInputMF() const noexcept { return inputMF; }
  int GetNumOutputs() const noexcept { return numOutputs; }
  int GetNumActions() const noexcept { return numActions; }
  std::span<const int> GetOutputMF() const noexcept { return outputMF; }

  // Same sizes, same counts, same names (unset names compare equal).
  friend bool operator==(const TMirkLabel& a, const TMirkLabel& b);

 private:
  // Names grow to the highest index set, so memory follows the names held
  // rather than the counts announced (a label file cannot make the set
  // allocate for names it does not contain).
  using Names = std::vector<std::optional<std::string>>;

  int numInputs;
  int numConditions;
  std::vector<int> inputMF;
  int numOutputs;
  int numActions;
  std::vector<int> outputMF;
  Names inputNames;
  Names outputNames;
  Names conditionNames;
  Names actionNames;
};

}  // namespace mirk
