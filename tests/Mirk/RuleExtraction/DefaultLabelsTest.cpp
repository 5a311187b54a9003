#include "Mirk/RuleExtraction/DefaultLabels.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "FileHandler/LabelFile.h"
#include "Mirk/TMirk.h"

namespace mirk {
namespace {

TEST(IndexToLetters, CodesAreFiveCharactersWithAAsZeroDigit) {
  const struct {
    long n;
    const char* code;
  } cases[] = {
      {0, "    A"},      {1, "    B"},         {25, "    Z"},      {26, "   BA"},
      {51, "   BZ"},     {52, "   CA"},        {675, "   ZZ"},     {676, "  BAA"},
      {17576, " BAAA"},  {456976, "BAAAA"},    {11881375, "ZZZZZ"}, {11881376, "    A"},
      {11881377, "    B"}, {-1, "ZZZZZ"},      {-26, "ZZZZA"},
  };
  for (const auto& c : cases) EXPECT_EQ(IndexToLetters(c.n), c.code) << c.n;
}

TEST(IndexToLetters, OnlyLeadingAsBecomeBlanks) {
  // 26^4 + 1: the inner A digits stay letters.
  EXPECT_EQ(IndexToLetters(456977), "BAAAB");
  EXPECT_EQ(IndexToLetters(26 * 26 + 1), "  BAB");
}

std::vector<std::string> Names(const TMirkLabel& labels, int count,
                               const char* (TMirkLabel::*get)(int) const) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.emplace_back((labels.*get)(i));
  return names;
}

using Strings = std::vector<std::string>;

TEST(GenerateLabels, NamesEveryPartOfTheNetwork) {
  const std::vector<int> inputMF{3, 2};
  const std::vector<int> outputMF{3};
  const TMirk network(2, inputMF, 4, outputMF, 1);
  const auto labels = GenerateLabels(network);
  ASSERT_NE(labels, nullptr);
  EXPECT_EQ(Names(*labels, labels->GetNumInputs(), &TMirkLabel::GetInputName),
            (Strings{"InputA", "InputB"}));
  EXPECT_EQ(Names(*labels, labels->GetNumConditions(), &TMirkLabel::GetConditionName),
            (Strings{"A", "B", "C", "A", "B"}));
  EXPECT_EQ(Names(*labels, labels->GetNumOutputs(), &TMirkLabel::GetOutputName),
            (Strings{"OutputA"}));
  EXPECT_EQ(Names(*labels, labels->GetNumActions(), &TMirkLabel::GetActionName),
            (Strings{"A", "B", "C"}));

  // Written out, they are the reference label file.
  std::ostringstream out;
  WriteLabels(out, *labels);
  std::ostringstream expected;
  expected << std::ifstream(std::string(MIRK_TEST_DATA_DIR) + "/labels/default-3-2-3.labels").rdbuf();
  EXPECT_EQ(out.str(), expected.str());
}

TEST(GenerateLabels, CodesPastZGoOnAtBAWithoutBlanks) {
  // 27 inputs of 2 MFs; two outputs, the second with 27 MFs.
  const std::vector<int> inputMF(27, 2);
  const std::vector<int> outputMF{2, 27};
  const TMirk network(27, inputMF, 1, outputMF, 2);
  const auto labels = GenerateLabels(network);
  EXPECT_STREQ(labels->GetInputName(25), "InputZ");
  EXPECT_STREQ(labels->GetInputName(26), "InputBA");
  EXPECT_STREQ(labels->GetConditionName(53), "B");
  EXPECT_STREQ(labels->GetOutputName(1), "OutputB");
  const Strings actions = Names(*labels, labels->GetNumActions(), &TMirkLabel::GetActionName);
  ASSERT_EQ(actions.size(), 29u);
  EXPECT_EQ(actions[1], "B");
  EXPECT_EQ(actions[2], "A");  // the second output starts again at A
  EXPECT_EQ(actions[27], "Z");
  EXPECT_EQ(actions[28], "BA");
}

}  // namespace
}  // namespace mirk
