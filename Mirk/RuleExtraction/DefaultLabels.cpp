#include "Mirk/RuleExtraction/DefaultLabels.h"

#include <vector>

#include "Mirk/TMirk.h"

namespace mirk {

namespace {

// The letter code without its padding blanks.
std::string Letters(long n) {
  std::string code = IndexToLetters(n);
  code.erase(0, code.find_first_not_of(' '));
  return code;
}

}  // namespace

std::string IndexToLetters(long n) {
  constexpr int kDigits = 5;
  constexpr long kWrap = 26L * 26 * 26 * 26 * 26;
  long r = n % kWrap;
  if (r < 0) r += kWrap;
  std::string code(kDigits, 'A');
  for (int i = kDigits - 1; i >= 0; --i, r /= 26) code[i] = static_cast<char>('A' + r % 26);
  // Leading zero digits become blanks; the last character always stays.
  for (int i = 0; i < kDigits - 1 && code[i] == 'A'; ++i) code[i] = ' ';
  return code;
}

std::unique_ptr<TMirkLabel> GenerateLabels(const TMirk& network) {
  int numInputs = 0;
  int numConditions = 0;
  int numRules = 0;
  int numActions = 0;
  int numOutputs = 0;
  std::vector<int> inputMF;
  std::vector<int> outputMF;
  network.GetStructure(numInputs, numConditions, inputMF, numRules, numActions, outputMF,
                       numOutputs);
  auto labels = std::make_unique<TMirkLabel>(numInputs, inputMF, numOutputs, outputMF);

  int condition = 0;
  for (int i = 0; i < numInputs; ++i) {
    labels->SetInputName(i, "Input" + Letters(i));
    for (int j = 0; j < inputMF[i]; ++j) labels->SetConditionName(condition++, Letters(j));
  }
  int action = 0;
  for (int k = 0; k < numOutputs; ++k) {
    labels->SetOutputName(k, "Output" + Letters(k));
    for (int j = 0; j < outputMF[k]; ++j) labels->SetActionName(action++, Letters(j));
  }
  return labels;
}

}  // namespace mirk
