#include "FileHandler/LabelFile.h"

#include <climits>
#include <istream>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Common/Exceptions.h"
#include "Common/Raise.h"
#include "FileHandler/ParseTools.h"

namespace mirk {

namespace {

// One of the four name lists of a label set, in file order.
struct NameList {
  const char* block;
  const char* key;
  int (TMirkLabel::*count)() const noexcept;
  const char* (TMirkLabel::*get)(int) const;
  void (TMirkLabel::*set)(int, std::string_view);
  const char* unset;
};

constexpr NameList kNameLists[] = {
    {"InputLabels", "Input", &TMirkLabel::GetNumInputs, &TMirkLabel::GetInputName,
     &TMirkLabel::SetInputName, "Input name not set"},
    {"InputMFLabels", "Condition", &TMirkLabel::GetNumConditions, &TMirkLabel::GetConditionName,
     &TMirkLabel::SetConditionName, "Condition name not set"},
    {"OutputLabels", "Output", &TMirkLabel::GetNumOutputs, &TMirkLabel::GetOutputName,
     &TMirkLabel::SetOutputName, "Output name not set"},
    {"OutputMFLabels", "Action", &TMirkLabel::GetNumActions, &TMirkLabel::GetActionName,
     &TMirkLabel::SetActionName, "Action name not set"},
};

// ---- Writing ----------------------------------------------------------------

void WriteLabelLine(ScratchBuffer& buffer, std::ostream& out, std::string_view key, long number,
                    std::string_view label) {
  WriteOpenBracket(buffer, out, true);
  WriteIntegerEntry(buffer, out, key, number, false);
  WriteStringEntry(buffer, out, "Label", label, false);
  WriteCloseBracket(buffer, out, true, true);
}

void WriteCounts(ScratchBuffer& buffer, std::ostream& out, std::string_view countKey,
                 std::string_view block, std::string_view key, std::span<const int> counts) {
  WriteIntegerEntry(buffer, out, countKey, static_cast<long>(counts.size()), true);
  WriteBlockStart(buffer, out, block, true);
  for (std::size_t i = 0; i < counts.size(); ++i) {
    WriteOpenBracket(buffer, out, true);
    WriteIntegerEntry(buffer, out, key, static_cast<long>(i), false);
    WriteIntegerEntry(buffer, out, "MF", counts[i], false);
    WriteCloseBracket(buffer, out, true, true);
  }
  WriteBlockEnd(buffer, out, block);
  WriteNewLine(buffer, out);
}

void WriteNames(ScratchBuffer& buffer, std::ostream& out, const NameList& list,
                const TMirkLabel& labels) {
  WriteBlockStart(buffer, out, list.block, true);
  const int n = (labels.*list.count)();
  for (int i = 0; i < n; ++i) WriteLabelLine(buffer, out, list.key, i, (labels.*list.get)(i));
  WriteBlockEnd(buffer, out, list.block);
  WriteNewLine(buffer, out);
}

// ---- Reading ----------------------------------------------------------------

class LabelReader {
 public:
  explicit LabelReader(std::istream& in) : in_(in) {}

  Statement Next(std::string_view block, bool continued = false) {
    return ReadStatement(buffer_, in_, block, continued);
  }

  std::string OpenBlock(std::string_view parent, std::string_view name) {
    return ExpectBlockStart(buffer_, in_, Next(parent), name);
  }

  void CloseBlock(std::string_view block) { ExpectBlockEnd(buffer_, in_, Next(block)); }

  long Integer(const Statement& statement, std::string_view key) {
    return GetIntegerEntry(buffer_, in_, statement, key);
  }

  [[noreturn]] void Fail(std::string message) { FileTools::Fail(in_, std::move(message)); }

  // A line "[key=number key2=value]": its number and its second part, which
  // must close the bracket.
  std::pair<long, Statement> ReadLine(std::string_view block, std::string_view key) {
    const Statement first = Next(block);
    const long number = Integer(first, key);
    return {number, first.more ? Next(block, true) : Statement{}};
  }

  void RequireClosed(const Statement& second) {
    if (second.more) Fail("Too complicated statement");
  }

  // "[countKey = n]" and the block of n lines "[key=i MF=m]": the counts by
  // number. Every number from 0 to n - 1 must appear once.
  std::vector<int> ReadCounts(std::string_view info, std::string_view countKey,
                              std::string_view blockName, std::string_view key) {
    const long declared = Integer(Next(info), countKey);
    if (declared < 0 || declared > INT_MAX) Fail(std::string(countKey) + " out of range");
    const std::string block = OpenBlock(info, blockName);
    // Collected as read, so memory follows the lines present, not the count.
    std::vector<std::pair<long, long>> lines;
    for (long n = 0; n < declared; ++n) {
      const auto [number, second] = ReadLine(block, key);
      const long count = Integer(second, "MF");
      RequireClosed(second);
      lines.emplace_back(number, count);
    }
    CloseBlock(block);

    std::vector<int> counts(static_cast<std::size_t>(declared), -1);
    for (const auto& [number, count] : lines) {
      if (number < 0 || number >= declared) {
        Fail(std::string(key) + " number out of range in " + std::string(blockName));
      }
      if (count < 0 || count > INT_MAX) Fail("MF count out of range");
      int& slot = counts[static_cast<std::size_t>(number)];
      if (slot >= 0) Fail(std::string(key) + " number repeated in " + std::string(blockName));
      slot = static_cast<int>(count);
    }
    return counts;
  }

  // One name list: exactly as many lines as the label set has names of that
  // kind, each number once. The lines are read whole before any name is set.
  void ReadNames(std::string_view top, const NameList& list, TMirkLabel& labels) {
    const std::string block = OpenBlock(top, list.block);
    const int n = (labels.*list.count)();
    std::vector<std::pair<long, std::string>> lines;
    for (int i = 0; i < n; ++i) {
      auto [number, second] = ReadLine(block, list.key);
      std::string name = GetStringEntry(buffer_, in_, second, "Label");
      RequireClosed(second);
      lines.emplace_back(number, std::move(name));
    }
    CloseBlock(block);

    std::vector<bool> seen(lines.size());
    for (const auto& [number, name] : lines) {
      // A number beyond int is out of range all the same.
      const int index = number < INT_MIN || number > INT_MAX ? -1 : static_cast<int>(number);
      const bool inRange = index >= 0 && index < n;
      if (inRange && seen[static_cast<std::size_t>(index)]) {
        Fail(std::string(list.key) + " number repeated in " + list.block);
      }
      (labels.*list.set)(index, name);
      seen[static_cast<std::size_t>(index)] = true;
    }
  }

 private:
  std::istream& in_;
  ScratchBuffer buffer_;
};

long long Total(std::span<const int> counts) {
  long long total = 0;
  for (int count : counts) total += count;
  return total;
}

}  // namespace

void WriteLabels(std::ostream& out, const TMirkLabel& labels) {
  for (const NameList& list : kNameLists) {
    const int n = (labels.*list.count)();
    for (int i = 0; i < n; ++i) {
      if ((labels.*list.get)(i) == nullptr) {
        Refuse(list.unset, "WriteLabels");
      }
    }
  }

  ScratchBuffer buffer;
  WriteBlockStart(buffer, out, "MirkLabels", true);
  WriteNewLine(buffer, out);
  WriteBlockStart(buffer, out, "StructureInfo", true);
  WriteNewLine(buffer, out);
  WriteCounts(buffer, out, "Inputs", "InputMF", "Input", labels.GetInputMF());
  WriteCounts(buffer, out, "Outputs", "OutputMF", "Output", labels.GetOutputMF());
  WriteBlockEnd(buffer, out, "StructureInfo");
  WriteNewLine(buffer, out);
  for (const NameList& list : kNameLists) WriteNames(buffer, out, list, labels);
  WriteBlockEnd(buffer, out, "MirkLabels");
  out.flush();
}

void ReadLabels(std::istream& in, std::unique_ptr<TMirkLabel>& labels) {
  LabelReader reader(in);
  const std::string top = reader.OpenBlock(kNoBlock, "MirkLabels");
  const std::string info = reader.OpenBlock(top, "StructureInfo");
  const std::vector<int> inputMF = reader.ReadCounts(info, "Inputs", "InputMF", "Input");
  const std::vector<int> outputMF = reader.ReadCounts(info, "Outputs", "OutputMF", "Output");
  reader.CloseBlock(info);
  if (Total(inputMF) > INT_MAX) reader.Fail("Too many conditions");
  if (Total(outputMF) > INT_MAX) reader.Fail("Too many actions");

  labels = std::make_unique<TMirkLabel>(static_cast<int>(inputMF.size()), inputMF,
                                        static_cast<int>(outputMF.size()), outputMF);
  for (const NameList& list : kNameLists) reader.ReadNames(top, list, *labels);
  reader.CloseBlock(top);
}

}  // namespace mirk
