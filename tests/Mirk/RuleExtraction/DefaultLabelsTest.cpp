#include "Mirk/RuleExtraction/DefaultLabels.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace mirk
