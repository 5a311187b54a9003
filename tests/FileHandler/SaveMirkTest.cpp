#include "FileHandler/SaveMirk.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "Mirk/TConditionLayer.h"
#include "Mirk/TMirk.h"
#include "Mirk/TMirkOutputLayer.h"
#include "support/TestUtil.h"

namespace mirk {
namespace {

std::vector<int> Counts(std::span<const int> counts) { return {counts.begin(), counts.end()}; }

// The text after the section's block start, as ReadMembership sees it.
class MembershipSection : public ::testing::Test {
 protected:
  TConditionLayer& Conditions(int nodes) {
    auto layer = std::make_unique<TConditionLayer>(&network_, TMirk::kConditionLayer, nodes);
    TConditionLayer& result = *layer;
    network_.SetLayer(TMirk::kConditionLayer, std::move(layer));
    return result;
  }
  TMirkOutputLayer& Outputs(int nodes) {
    auto layer = std::make_unique<TMirkOutputLayer>(&network_, TMirk::kOutputLayer, nodes);
    TMirkOutputLayer& result = *layer;
    network_.SetLayer(TMirk::kOutputLayer, std::move(layer));
    return result;
  }
  static void Read(const std::string& text, TBasicLayer& layer, std::string_view block,
                   const ReaderLimits& limits = {}) {
    std::istringstream in(text);
    ReadMembership(in, layer, block, limits);
  }

  TMirk network_;
};

TEST_F(MembershipSection, InputCountsInAnyOrder) {
  TConditionLayer& layer = Conditions(10);
  std::istringstream in("[input = 2 mf = 5]\n[Input=0 MF=3 ]\n[INPUT = 1 MF = 2]\n[~inputmf]\n[Next]");
  ReadMembership(in, layer, "InputMF");
  EXPECT_EQ(layer.GetNumInputs(), 3);
  EXPECT_EQ(Counts(layer.GetInputMF()), (std::vector<int>{3, 2, 5}));
  // The end tag was consumed, nothing after it.
  std::string rest;
  in >> rest;
  EXPECT_EQ(rest, "[Next]");
}

TEST_F(MembershipSection, OutputCountsGiveTheActions) {
  TMirkOutputLayer& layer = Outputs(2);
  Read("[Output = 0 MF = 3]\n[Output = 1 MF = 4]\n[~OutputMF]\n", layer, "OutputMF");
  EXPECT_EQ(layer.GetNumActions(), 7);
  EXPECT_EQ(Counts(layer.GetOutputMF()), (std::vector<int>{3, 4}));
}

TEST_F(MembershipSection, EmptyLayerTakesAnEmptySection) {
  TConditionLayer& layer = Conditions(0);
  Read("[~InputMF]\n", layer, "InputMF");
  EXPECT_EQ(layer.GetNumInputs(), 0);
}

TEST_F(MembershipSection, WriteAndReadBack) {
  TMirk mirk(3, std::vector<int>{3, 2, 5}, 4, std::vector<int>{2, 6}, 2);
  std::ostringstream out;
  WriteInputMF(out, dynamic_cast<TConditionLayer&>(*mirk.GetLayer(TMirk::kConditionLayer)));
  WriteOutputMF(out, dynamic_cast<TMirkOutputLayer&>(*mirk.GetLayer(TMirk::kOutputLayer)));
  EXPECT_EQ(out.str(),
            "[InputMF]\n[Input=0 MF=3 ]\n[Input=1 MF=2 ]\n[Input=2 MF=5 ]\n[~InputMF]\n"
            "[OutputMF]\n[Output=0 MF=2 ]\n[Output=1 MF=6 ]\n[~OutputMF]\n");

  std::istringstream in(out.str());
  ScratchBuffer buffer;
  TConditionLayer& conditions = Conditions(10);
  ReadStatement(buffer, in, kNoBlock, false);
  ReadMembership(in, conditions, "InputMF");
  TMirkOutputLayer& outputs = Outputs(2);
  ReadStatement(buffer, in, kNoBlock, false);
  ReadMembership(in, outputs, "OutputMF");
  EXPECT_EQ(Counts(conditions.GetInputMF()), (std::vector<int>{3, 2, 5}));
  EXPECT_EQ(Counts(outputs.GetOutputMF()), (std::vector<int>{2, 6}));
  EXPECT_EQ(outputs.GetNumActions(), 8);
}

TEST_F(MembershipSection, Errors) {
  struct Case {
    const char* what;
    std::string text;
    std::string message;
  };
  const std::vector<Case> inputCases = {
      {"other key", "[Output = 0 MF = 3]\n", "invalid tag in membership1"},
      {"other count key", "[Input = 0 Count = 3]\n", "invalid tag in membership2"},
      {"part after the count", "[Input = 0 MF = 3 Extra = 1]\n", "invalid tag in membership2"},
      {"word after the index", "[Input = 0 MF]\n", "invalid tag in membership2"},
      {"no count", "[Input = 0]\n[~InputMF]\n", "End Tag expected"},
      {"index not a number", "[Input = a MF = 2]\n", "integer-expected"},
      {"count not a number", "[Input = 0 MF = b]\n", "integer-expected"},
      {"index too high", "[Input = 5 MF = 2]\n", "Membership index out of range for the layer"},
      {"index negative", "[Input = -1 MF = 2]\n", "Membership index out of range for the layer"},
      {"count of one", "[Input = 0 MF = 1]\n", "Membership count of input 0 below 2"},
      {"negative count", "[Input = 1 MF = -4]\n", "Membership count of input 1 below 2"},
      {"count beyond int", "[Input = 0 MF = 2147483648]\n", "Membership count of input 0 out of range"},
      {"count twice", "[Input = 0 MF = 2]\n[Input = 0 MF = 3]\n", "Membership count of input 0 given twice"},
      {"count left out", "[Input = 0 MF = 2]\n[Input = 2 MF = 3]\n[~InputMF]\n", "Membership count of input 1 missing"},
      {"counts short of the layer", "[Input = 0 MF = 2]\n[Input = 1 MF = 2]\n[~InputMF]\n",
       "Membership counts do not add up to the condition layer's neurons"},
      {"no counts", "[~InputMF]\n", "Membership counts do not add up to the condition layer's neurons"},
      {"other end tag", "[Input = 0 MF = 5]\n[~OutputMF]\n", "Unexpected End Tag"},
  };
  for (const Case& c : inputCases) {
    SCOPED_TRACE(c.what);
    EXPECT_FILE_ERROR(Read(c.text, Conditions(5), "InputMF"), c.message);
  }
  const std::vector<Case> outputCases = {
      {"other key", "[Input = 0 MF = 3]\n", "invalid tag in membership1"},
      {"output left out", "[Output = 0 MF = 2]\n[~OutputMF]\n", "Membership count of output 1 missing"},
      {"index too high", "[Output = 2 MF = 2]\n", "Membership index out of range for the layer"},
  };
  for (const Case& c : outputCases) {
    SCOPED_TRACE(c.what);
    EXPECT_FILE_ERROR(Read(c.text, Outputs(2), "OutputMF"), c.message);
  }
}

}  // namespace
}  // namespace mirk
