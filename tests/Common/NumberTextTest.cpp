#include "Common/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

namespace mirk {
namespace {

TEST(NumberText, ParseLongFollowsPercentLd) {
  struct Case {
    const char* text;
    bool ok;
    long value;
  } cases[] = {
      {"6", true, 6},        {"6abc", true, 6},   {" \t-12", true, -12}, {"+4", true, 4},
      {"six", false, 0},     {"", false, 0},      {"-", false, 0},       {"- 1", false, 0},
      {"99999999999999999999", true, std::numeric_limits<long>::max()},
      {"-99999999999999999999", true, std::numeric_limits<long>::min()},
      {"-9223372036854775808", true, std::numeric_limits<long>::min()},
  };
  for (const auto& c : cases) {
    long v = 0;
    EXPECT_EQ(ParseLongPrefix(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

TEST(NumberText, ParseDoubleFollowsPercentLf) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  } cases[] = {
      {"0.1", true, 0.1},   {"1e3x", true, 1000.0}, {"+.5", true, 0.5}, {"-2", true, -2.0},
      {"1e", true, 1.0},    {"x", false, 0},        {".", false, 0},    {"", false, 0},
      {"1e999", true, HUGE_VAL}, {"-1e999", true, -HUGE_VAL}, {"0x10", true, 16.0},
      {"1e-999", true, 0.0},
      // One sign, and a hexadecimal number needs a digit.
      {"--5", false, 0},    {"+-5", false, 0},      {"-+5", false, 0},  {"- 5", false, 0},
      {"0x", false, 0},     {"-0x", false, 0},      {"0x.", false, 0},  {"0xg", false, 0},
      {"0x.8", true, 0.5},  {"-0x1p1", true, -2.0},
  };
  for (const auto& c : cases) {
    double v = -1;
    EXPECT_EQ(ParseDoublePrefix(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
  double v = 0;
  ASSERT_TRUE(ParseDoublePrefix("0.123456789012345678", v));
  EXPECT_EQ(v, 0.123456789012345678);  // full double precision
}

TEST(NumberText, FormattingMatchesPrintf) {
  const double values[] = {0.0, -0.5, 0.1, 1.0, 123456.789, -1e-7, 1e300, -2.5e-300, 1e15, 9.99999999999999e14};
  for (double v : values) {
    for (int precision : {0, 3, 15}) {
      char buffer[512];
      std::snprintf(buffer, sizeof buffer, "%.*f", precision, v);
      EXPECT_EQ(FormatFixed(v, precision), buffer);
      std::snprintf(buffer, sizeof buffer, "%.*g", precision, v);
      EXPECT_EQ(FormatGeneral(v, precision), buffer);
    }
  }
  EXPECT_EQ(FormatLong(-7), "-7");
}

}  // namespace
}  // namespace mirk
