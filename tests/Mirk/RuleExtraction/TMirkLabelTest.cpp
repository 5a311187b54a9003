#include "Mirk/RuleExtraction/TMirkLabel.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "support/TestUtil.h"

namespace mirk {
namespace {

TMirkLabel MakeLabels() {
  const std::vector<int> inputMF{3, 2};
  const std::vector<int> outputMF{4};
  return TMirkLabel(2, inputMF, 1, outputMF);
}

TEST(TMirkLabel, SizesComeFromTheCounts) {
  const TMirkLabel labels = MakeLabels();
  EXPECT_EQ(labels.GetNumInputs(), 2);
  EXPECT_EQ(labels.GetNumConditions(), 5);
  EXPECT_EQ(labels.GetNumOutputs(), 1);
  EXPECT_EQ(labels.GetNumActions(), 4);
  EXPECT_EQ(std::vector<int>(labels.GetInputMF().begin(), labels.GetInputMF().end()),
            (std::vector<int>{3, 2}));
  EXPECT_EQ(std::vector<int>(labels.GetOutputMF().begin(), labels.GetOutputMF().end()),
            (std::vector<int>{4}));
}

// Extra counts are passed over, as the network passes over them; a short
// array or a sum beyond int is refused, not an abort.
TEST(TMirkLabel, TakesTheCountsTheNetworkTakes) {
  const std::vector<int> inputMF{3, 2, 9};
  const std::vector<int> outputMF{4, 7};
  const TMirkLabel labels(2, inputMF, 1, outputMF);
  EXPECT_EQ(labels.GetNumConditions(), 5);
  EXPECT_EQ(labels.GetNumActions(), 4);
  EXPECT_EQ(labels.GetInputMF().size(), 2u);
  EXPECT_EQ(labels.GetOutputMF().size(), 1u);

  const char* where = "TMirkLabel::TMirkLabel";
  const std::vector<int> huge{INT_MAX, 1};
  EXPECT_TEXCEPTION(TMirkLabel(2, huge, 1, outputMF), "Too many membership functions", "Bad Parameter", where);
  EXPECT_TEXCEPTION(TMirkLabel(1, inputMF, 2, huge), "Too many membership functions", "Bad Parameter", where);
  EXPECT_TEXCEPTION(TMirkLabel(4, inputMF, 1, outputMF), "Invalid number of inputs", "Bad Parameter", where);
  EXPECT_TEXCEPTION(TMirkLabel(-1, inputMF, 1, outputMF), "Invalid number of inputs", "Bad Parameter", where);
  EXPECT_TEXCEPTION(TMirkLabel(2, inputMF, 3, outputMF), "Invalid number of outputs", "Bad Parameter", where);
}

TEST(TMirkLabel, NamesStartNullAndKeepTheLastCopySet) {
  TMirkLabel labels = MakeLabels();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(labels.GetConditionName(i), nullptr) << i;

  std::string name = "first";
  labels.SetInputName(0, name);
  name = "second";
  EXPECT_STREQ(labels.GetInputName(0), "first");  // a copy, not the caller's text
  labels.SetInputName(0, name);
  name.clear();
  EXPECT_STREQ(labels.GetInputName(0), "second");
  EXPECT_EQ(labels.GetInputName(1), nullptr);

  labels.SetConditionName(4, "Hot");
  labels.SetOutputName(0, "Speed");
  labels.SetActionName(3, "Fast");
  EXPECT_STREQ(labels.GetConditionName(4), "Hot");
  EXPECT_EQ(labels.GetConditionName(3), nullptr);
  EXPECT_STREQ(labels.GetOutputName(0), "Speed");
  EXPECT_STREQ(labels.GetActionName(3), "Fast");
  EXPECT_EQ(labels.GetActionName(0), nullptr);
}

struct NameOperation {
  const char* where;
  const char* message;
  int size;  // for MakeLabels()
  std::function<void(TMirkLabel&, int)> call;
};

std::vector<NameOperation> NameOperations() {
  return {
      {"TMirkLabel::SetInputName", "Input number out of bounds", 2,
       [](TMirkLabel& l, int i) { l.SetInputName(i, "x"); }},
      {"TMirkLabel::GetInputName", "Input number out of bounds", 2,
       [](TMirkLabel& l, int i) { l.GetInputName(i); }},
      {"TMirkLabel::SetConditionName", "Condition number out of bounds", 5,
       [](TMirkLabel& l, int i) { l.SetConditionName(i, "x"); }},
      {"TMirkLabel::GetConditionName", "Condition number out of bounds", 5,
       [](TMirkLabel& l, int i) { l.GetConditionName(i); }},
      {"TMirkLabel::SetOutputName", "Output number out of bounds", 1,
       [](TMirkLabel& l, int i) { l.SetOutputName(i, "x"); }},
      {"TMirkLabel::GetOutputName", "Output number out of bounds", 1,
       [](TMirkLabel& l, int i) { l.GetOutputName(i); }},
      {"TMirkLabel::SetActionName", "Action number out of bounds", 4,
       [](TMirkLabel& l, int i) { l.SetActionName(i, "x"); }},
      {"TMirkLabel::GetActionName", "Action number out of bounds", 4,
       [](TMirkLabel& l, int i) { l.GetActionName(i); }},
  };
}

TEST(TMirkLabel, EveryNameOperationRejectsIndicesOutsideItsKind) {
  for (const NameOperation& op : NameOperations()) {
    SCOPED_TRACE(op.where);
    TMirkLabel labels = MakeLabels();
    labels.SetInputName(1, "kept");
    labels.SetActionName(3, "kept");
    const TMirkLabel before = labels;
    for (int index : {-1, op.size, 1 << 30}) {
      EXPECT_TEXCEPTION(op.call(labels, index), op.message, "Bad Parameter", op.where);
    }
    EXPECT_EQ(labels, before);  // a failed call changes nothing
    EXPECT_NO_THROW(op.call(labels, op.size - 1));
    EXPECT_NO_THROW(op.call(labels, 0));
  }
}

TEST(TMirkLabel, NoInputsIsValidAndEveryInputOperationThrows) {
  const std::vector<int> outputMF{2};
  TMirkLabel labels(0, {}, 1, outputMF);
  EXPECT_EQ(labels.GetNumInputs(), 0);
  EXPECT_EQ(labels.GetNumConditions(), 0);
  EXPECT_TRUE(labels.GetInputMF().empty());
  EXPECT_TEXCEPTION(labels.SetInputName(0, "x"), "Input number out of bounds", "Bad Parameter",
                    "TMirkLabel::SetInputName");
  EXPECT_TEXCEPTION(labels.GetConditionName(0), "Condition number out of bounds", "Bad Parameter",
                    "TMirkLabel::GetConditionName");
  labels.SetActionName(1, "B");
  EXPECT_STREQ(labels.GetActionName(1), "B");
}

TEST(TMirkLabel, CountsAreCopiedFromTheCaller) {
  std::vector<int> inputMF{3, 2};
  std::vector<int> outputMF{4};
  const TMirkLabel labels(2, inputMF, 1, outputMF);
  inputMF[0] = 9;
  outputMF[0] = 9;
  EXPECT_EQ(labels.GetInputMF()[0], 3);
  EXPECT_EQ(labels.GetOutputMF()[0], 4);
}

TEST(TMirkLabel, EqualityComparesSizesCountsAndNames) {
  TMirkLabel a = MakeLabels();
  TMirkLabel b = MakeLabels();
  EXPECT_EQ(a, b);
  a.SetConditionName(4, "Hot");
  EXPECT_FALSE(a == b);  // set against unset
  b.SetConditionName(4, "hot");
  EXPECT_FALSE(a == b);  // names are compared exactly
  b.SetConditionName(4, "Hot");
  EXPECT_EQ(a, b);

  const std::vector<int> other{2, 3};
  const std::vector<int> outputMF{4};
  EXPECT_FALSE(MakeLabels() == TMirkLabel(2, other, 1, outputMF));
}

}  // namespace
}  // namespace mirk
