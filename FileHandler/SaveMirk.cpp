#include "FileHandler/SaveMirk.h"

#include <algorithm>
#include <climits>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "Common/Check.h"
#include "Common/Exceptions.h"
#include "Common/Raise.h"
#include "FileHandler/ParseTools.h"
#include "FileHandler/ReaderBudget.h"
#include "Mirk/TConditionLayer.h"
#include "Mirk/TMirkOutputLayer.h"

namespace mirk {

using FileTools::Fail;

namespace {

void WriteSection(std::ostream& out, std::string_view block, std::string_view key,
                  std::span<const int> counts) {
  ScratchBuffer buffer;
  WriteBlockStart(buffer, out, block, true);
  for (size_t i = 0; i < counts.size(); ++i) {
    WriteOpenBracket(buffer, out, true);
    WriteIntegerEntry(buffer, out, key, static_cast<long>(i), false);
    WriteIntegerEntry(buffer, out, "MF", counts[i], false);
    WriteCloseBracket(buffer, out, true, true);
  }
  WriteBlockEnd(buffer, out, block);
}

}  // namespace

void ReadMembership(std::istream& in, TBasicLayer& layer, std::string_view blockName,
                    const ReaderLimits& limits) {
  TReaderBudget budget(in, limits.memoryBudget);
  ReadMembership(in, layer, blockName, budget);
}

void ReadMembership(std::istream& in, TBasicLayer& layer, std::string_view blockName, TReaderBudget& budget) {
  const bool inputs = strcasecmp(blockName, "InputMF") == 0;
  MIRK_CHECK(inputs || strcasecmp(blockName, "OutputMF") == 0);
  auto* conditions = inputs ? dynamic_cast<TConditionLayer*>(&layer) : nullptr;
  auto* defuzzify = inputs ? nullptr : dynamic_cast<TMirkOutputLayer*>(&layer);
  MIRK_CHECK(conditions != nullptr || defuzzify != nullptr);
  const std::string_view key = inputs ? "Input" : "Output";
  const std::string variable = inputs ? "input " : "output ";

  // One slot per neuron: an input owns at least two conditions, and an
  // output is one neuron. 0 marks a count not given.
  ScratchBuffer buffer;
  std::vector<int> counts(static_cast<size_t>(layer.GetNumNeurons()), 0);
  long highest = -1;
  long long sum = 0;
  Statement st;
  for (ReadStatement(buffer, in, blockName, false, st); st.kind == StAssign && st.more;
       ReadStatement(buffer, in, blockName, false, st)) {
    if (strcasecmp(st.name, key) != 0) Fail(in, "invalid tag in membership1");
    const long index = ParseInteger(buffer, in, st.value);
    if (index < 0 || index >= static_cast<long>(counts.size())) {
      Fail(in, "Membership index out of range for the layer");
    }
    ReadStatement(buffer, in, blockName, true, st);
    if (st.kind != StAssign || strcasecmp(st.name, "MF") != 0 || st.more) {
      Fail(in, "invalid tag in membership2");
    }
    const long count = ParseInteger(buffer, in, st.value);
    const std::string which = variable + std::to_string(index);
    if (count < 2) Fail(in, "Membership count of " + which + " below 2");
    if (count > INT_MAX) Fail(in, "Membership count of " + which + " out of range");
    int& slot = counts[static_cast<size_t>(index)];
    if (slot != 0) Fail(in, "Membership count of " + which + " given twice");
    slot = static_cast<int>(count);
    sum += count;
    highest = std::max(highest, index);
  }
  ExpectBlockEnd(buffer, in, st);

  const size_t given = inputs ? static_cast<size_t>(highest + 1) : counts.size();
  for (size_t i = 0; i < given; ++i) {
    if (counts[i] == 0) Fail(in, "Membership count of " + variable + std::to_string(i) + " missing");
  }
  const std::span<const int> installed(counts.data(), given);
  try {
    if (inputs) {
      if (sum != conditions->GetNumNeurons()) {
        Fail(in, "Membership counts do not add up to the condition layer's neurons");
      }
      conditions->SetInputMF(static_cast<int>(given), installed);
    } else {
      if (sum > INT_MAX) Fail(in, "Membership counts of the outputs add up to more than INT_MAX actions");
      budget.Take(sum, sizeof(int));
      defuzzify->SetOutputMF(static_cast<int>(sum), installed);
    }
  } catch (const TException& e) {
    Fail(in, e.GetMessage() != nullptr ? e.GetMessage() : "Membership counts refused by the layer");
  }
}

void WriteInputMF(std::ostream& out, const TConditionLayer& layer) {
  WriteSection(out, "InputMF", "Input", layer.GetInputMF());
}

void WriteOutputMF(std::ostream& out, const TMirkOutputLayer& layer) {
  WriteSection(out, "OutputMF", "Output", layer.GetOutputMF());
}

}  // namespace mirk
