#include "FileHandler/LabelFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "support/TestUtil.h"

namespace mirk {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Fixture(const std::string& name) {
  return ReadFile(std::string(MIRK_TEST_DATA_DIR) + "/labels/" + name);
}

// The default labels of a network with input counts {3, 2} and output
// counts {3}.
TMirkLabel DefaultLabels() {
  const std::vector<int> inputMF{3, 2};
  const std::vector<int> outputMF{3};
  TMirkLabel labels(2, inputMF, 1, outputMF);
  labels.SetInputName(0, "InputA");
  labels.SetInputName(1, "InputB");
  const char* conditions[] = {"A", "B", "C", "A", "B"};
  for (int c = 0; c < 5; ++c) labels.SetConditionName(c, conditions[c]);
  labels.SetOutputName(0, "OutputA");
  for (int a = 0; a < 3; ++a) labels.SetActionName(a, conditions[a]);
  return labels;
}

std::string Write(const TMirkLabel& labels) {
  std::ostringstream out;
  WriteLabels(out, labels);
  EXPECT_TRUE(out.good());
  return out.str();
}

std::unique_ptr<TMirkLabel> Read(const std::string& text) {
  std::istringstream in(text);
  std::unique_ptr<TMirkLabel> labels;
  ReadLabels(in, labels);
  return labels;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

// ---- Writing ----------------------------------------------------------------

TEST(WriteLabels, DefaultLabelsGiveTheReferenceTextByteForByte) {
  EXPECT_EQ(Write(DefaultLabels()), Fixture("default-3-2-3.labels"));
}

TEST(WriteLabels, UnsetNameThrowsAndWritesNothing) {
  const TMirkLabel full = DefaultLabels();
  const struct {
    int kind;  // 0 input, 1 condition, 2 output, 3 action
    int index;
    const char* message;
  } cases[] = {
      {0, 0, "Input name not set"},
      {1, 4, "Condition name not set"},
      {2, 0, "Output name not set"},
      {3, 2, "Action name not set"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    TMirkLabel labels(2, full.GetInputMF(), 1, full.GetOutputMF());
    const auto copy = [&](int kind, int n, const char* (TMirkLabel::*get)(int) const,
                          void (TMirkLabel::*set)(int, std::string_view)) {
      for (int i = 0; i < n; ++i) {
        if (kind != c.kind || i != c.index) (labels.*set)(i, (full.*get)(i));
      }
    };
    copy(0, 2, &TMirkLabel::GetInputName, &TMirkLabel::SetInputName);
    copy(1, 5, &TMirkLabel::GetConditionName, &TMirkLabel::SetConditionName);
    copy(2, 1, &TMirkLabel::GetOutputName, &TMirkLabel::SetOutputName);
    copy(3, 3, &TMirkLabel::GetActionName, &TMirkLabel::SetActionName);
    std::ostringstream out;
    EXPECT_TEXCEPTION(WriteLabels(out, labels), c.message, "Bad Parameter", "WriteLabels");
    EXPECT_EQ(out.str(), "");
  }
}

// Keeps what it is given until a sync, then fails or succeeds as told;
// counts the syncs.
class SyncRecorder : public std::streambuf {
 public:
  explicit SyncRecorder(bool syncFails) : syncFails_(syncFails) { setp(buffer_, buffer_ + sizeof buffer_); }
  int syncs = 0;

 protected:
  int sync() override {
    ++syncs;
    return syncFails_ ? -1 : 0;
  }

 private:
  bool syncFails_;
  char buffer_[1 << 16];
};

TEST(WriteLabels, FlushesOnceAtTheEndSoAFailedWriteShowsInTheStream) {
  SyncRecorder good(false);
  std::ostream okStream(&good);
  WriteLabels(okStream, DefaultLabels());
  EXPECT_EQ(good.syncs, 1);
  EXPECT_TRUE(okStream.good());

  SyncRecorder full(true);
  std::ostream failing(&full);
  WriteLabels(failing, DefaultLabels());
  EXPECT_TRUE(failing.bad());
}

TEST(WriteLabels, NoOutputsWritesEmptyListsAndReadsBack) {
  const std::vector<int> inputMF{2};
  TMirkLabel labels(1, inputMF, 0, {});
  labels.SetInputName(0, "InputA");
  labels.SetConditionName(0, "A");
  labels.SetConditionName(1, "B");
  const std::string text = Write(labels);
  EXPECT_NE(text.find("[Outputs = 0]\n[OutputMF]\n[~OutputMF]\n"), std::string::npos) << text;
  EXPECT_NE(text.find("[OutputLabels]\n[~OutputLabels]\n\n[OutputMFLabels]\n[~OutputMFLabels]\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(*Read(text), labels);
}

// ---- Reading ----------------------------------------------------------------

TEST(ReadLabels, ReferenceTextReadsBackAndWritesAgainUnchanged) {
  const std::string text = Fixture("default-3-2-3.labels");
  std::istringstream in(text + "[Next]");
  std::unique_ptr<TMirkLabel> labels;
  ReadLabels(in, labels);
  ASSERT_NE(labels, nullptr);
  EXPECT_EQ(*labels, DefaultLabels());
  EXPECT_EQ(Write(*labels), text);
  // The reader stops right after the block.
  std::string rest;
  std::getline(in, rest);
  EXPECT_EQ(rest, "");
  std::getline(in, rest);
  EXPECT_EQ(rest, "[Next]");
}

TEST(ReadLabels, AnyLetterCaseAnyLineOrderCommentsAndHeader) {
  const auto labels = Read(Fixture("shuffled.labels"));
  const std::vector<int> inputMF{3, 2};
  const std::vector<int> outputMF{3};
  TMirkLabel expected(2, inputMF, 1, outputMF);
  expected.SetInputName(0, "Temperature");
  expected.SetInputName(1, "Humidity");
  const char* conditions[] = {"Cold", "Mild", "Hot", "Dry", "Wet"};
  for (int c = 0; c < 5; ++c) expected.SetConditionName(c, conditions[c]);
  expected.SetOutputName(0, "FanSpeed");
  const char* actions[] = {"Slow", "Medium", "Fast"};
  for (int a = 0; a < 3; ++a) expected.SetActionName(a, actions[a]);
  EXPECT_EQ(*labels, expected);
}

TEST(ReadLabels, WholeTextInOneCaseReads) {
  for (int (*change)(int) : {::tolower, ::toupper}) {
    const auto inCase = [change](std::string text) {
      std::transform(text.begin(), text.end(), text.begin(),
                     [change](unsigned char c) { return static_cast<char>(change(c)); });
      return text;
    };
    const TMirkLabel original = DefaultLabels();
    TMirkLabel expected = original;
    for (int i = 0; i < 2; ++i) expected.SetInputName(i, inCase(original.GetInputName(i)));
    for (int i = 0; i < 5; ++i) expected.SetConditionName(i, inCase(original.GetConditionName(i)));
    expected.SetOutputName(0, inCase(original.GetOutputName(0)));
    for (int i = 0; i < 3; ++i) expected.SetActionName(i, inCase(original.GetActionName(i)));
    EXPECT_EQ(*Read(inCase(Fixture("default-3-2-3.labels"))), expected);
  }
}

struct FormatCase {
  const char* what;
  std::string from;
  std::string to;
  std::string message;
};

TEST(ReadLabels, FormatErrorsCarryTheirMessages) {
  const std::string text = Fixture("default-3-2-3.labels");
  const FormatCase cases[] = {
      {"not a label file", "[MirkLabels]", "[NeuralNetwork]", "[MirkLabels] expected"},
      {"structure missing", "[StructureInfo]", "[Structure]", "[StructureInfo] expected"},
      {"count misnamed", "[Inputs = 2]", "[NumInputs = 2]", "[Inputs = <integer>] expected"},
      {"count not a number", "[Inputs = 2]", "[Inputs = two]", "integer-expected"},
      {"one MF line fewer", "[Input=1 MF=2 ]\n", "", "[Input = <integer>] expected"},
      {"one MF line more", "[Input=1 MF=2 ]\n", "[Input=1 MF=2 ]\n[Input=2 MF=2 ]\n",
       "End Tag expected"},
      {"MF part missing", "[Input=1 MF=2 ]", "[Input=1]", "[MF = <integer>] expected"},
      {"MF part misnamed", "[Input=1 MF=2 ]", "[Input=1 Count=2 ]", "[MF = <integer>] expected"},
      {"extra part", "[Input=1 MF=2 ]", "[Input=1 MF=2 Extra=1 ]", "Too complicated statement"},
      {"label list missing", "[InputLabels]", "[Labels]", "[InputLabels] expected"},
      {"label entry misnamed", "[Input=1 Label=InputB ]", "[Input=1 Name=InputB ]",
       "[Label = <string>] expectedName"},
      {"label line fewer", "[Condition=4 Label=B ]\n", "", "[Condition = <integer>] expected"},
      {"label line more", "[Action=2 Label=C ]\n", "[Action=2 Label=C ]\n[Action=3 Label=D ]\n",
       "End Tag expected"},
      {"name with a blank", "Label=OutputA", "Label=Output A", "Too complicated statement"},
      {"file ends inside", "[~OutputMFLabels]\n\n[~MirkLabels]\n", "", "Unexpected end of file"},
      // Structure numbers are checked by the reader itself.
      {"input number too large", "[Input=1 MF=2 ]", "[Input=2 MF=2 ]",
       "Input number out of range in InputMF"},
      {"negative input number", "[Input=1 MF=2 ]", "[Input=-1 MF=2 ]",
       "Input number out of range in InputMF"},
      {"input number repeated", "[Input=1 MF=2 ]", "[Input=0 MF=2 ]",
       "Input number repeated in InputMF"},
      {"output number too large", "[Output=0 MF=3 ]", "[Output=1 MF=3 ]",
       "Output number out of range in OutputMF"},
      {"negative count", "[Inputs = 2]", "[Inputs = -1]", "Inputs out of range"},
      {"count beyond int", "[Outputs = 1]", "[Outputs = 4294967297]", "Outputs out of range"},
      {"negative MF", "[Input=1 MF=2 ]", "[Input=1 MF=-2 ]", "MF count out of range"},
      {"MF beyond int", "[Input=1 MF=2 ]", "[Input=1 MF=2147483648 ]", "MF count out of range"},
      {"condition total beyond int", "[Input=0 MF=3 ]\n[Input=1 MF=2 ]",
       "[Input=0 MF=2147483647 ]\n[Input=1 MF=1 ]", "Too many conditions"},
      {"label number repeated", "[Condition=4 Label=B ]", "[Condition=3 Label=B ]",
       "Condition number repeated in InputMFLabels"},
  };
  for (const FormatCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FILE_ERROR(Read(Replace(text, c.from, c.to)), c.message);
  }
}

TEST(ReadLabels, LabelNumberOutOfRangeFailsInTheLabelSetAfterItWasHandedOver) {
  const std::string text =
      Replace(Fixture("default-3-2-3.labels"), "[Condition=4 Label=B ]", "[Condition=5 Label=B ]");
  std::istringstream in(text);
  std::unique_ptr<TMirkLabel> labels;
  EXPECT_TEXCEPTION(ReadLabels(in, labels), "Condition number out of bounds", "Bad Parameter",
                    "TMirkLabel::SetConditionName");
  ASSERT_NE(labels, nullptr);
  EXPECT_STREQ(labels->GetInputName(1), "InputB");
  EXPECT_EQ(labels->GetOutputName(0), nullptr);

  EXPECT_TEXCEPTION(Read(Replace(Fixture("default-3-2-3.labels"), "[Action=0 Label=A ]",
                                 "[Action=-1 Label=A ]")),
                    "Action number out of bounds", "Bad Parameter", "TMirkLabel::SetActionName");
}

TEST(ReadLabels, AnnouncedSizesDoNotDriveAllocation) {
  // Counts near the int limit with hardly any lines behind them fail as
  // format errors without reserving room for what the file does not hold.
  const std::string text = Fixture("default-3-2-3.labels");
  EXPECT_FILE_ERROR(Read(Replace(text, "[Inputs = 2]", "[Inputs = 2147483647]")),
                    "[Input = <integer>] expected");
  const std::string huge =
      Replace(Replace(text, "[Input=0 MF=3 ]", "[Input=0 MF=2147483000 ]"), "[Condition=0 Label=A ]",
              "[Condition=2147483000 Label=A ]");
  EXPECT_FILE_ERROR(Read(huge), "[Condition = <integer>] expected");
}

}  // namespace
}  // namespace mirk
