#include "Common/Exceptions.h"

#include <gtest/gtest.h>

#include <memory>

#include "KQmessage/KQML.h"

namespace mirk {
namespace {

TEST(Strcasecmp, ComparesUpperCasedBytes) {
  struct Case {
    const char* a;
    const char* b;
    int expected;
  } cases[] = {
      {"NeuralNetwork", "NEURALNETWORK", 0},
      {"ALL", "AL", 1},
      {"", "A", -1},
      {"", "", 0},
      {"abc", "ABD", -1},
      {"a_b", "A_B", 0},
      // '_' (0x5F) sorts after 'Z' but before 'a': upper-casing decides.
      {"_", "a", 1},
      {"\xE9", "e", 1},  // bytes compare unsigned
  };
  for (const auto& c : cases) EXPECT_EQ(strcasecmp(c.a, c.b), c.expected) << c.a << " vs " << c.b;
}

TEST(TException, KeepsItsTextsAndNullCategory) {
  TException plain("Invalid weight layer", nullptr);
  EXPECT_STREQ(plain.GetMessage(), "Invalid weight layer");
  EXPECT_EQ(plain.GetCategory(), nullptr);
  EXPECT_EQ(plain.GetWhere(), nullptr);

  TException none;
  EXPECT_EQ(none.GetMessage(), nullptr);
  EXPECT_EQ(none.GetDetail(), nullptr);
}

TEST(TException, CopySharesNothingWithItsSource) {
  auto detail = KQNewError("invalid-message");
  auto original = std::make_unique<TException>("Bad", "Bad Parameter", "TMirk::GetWeightValue",
                                               std::move(detail));
  TException copy(*original);
  EXPECT_NE(copy.GetMessage(), original->GetMessage());
  EXPECT_NE(copy.GetDetail(), original->GetDetail());
  original.reset();
  EXPECT_STREQ(copy.GetMessage(), "Bad");
  EXPECT_STREQ(copy.GetCategory(), "Bad Parameter");
  EXPECT_STREQ(copy.GetWhere(), "TMirk::GetWeightValue");
  ASSERT_NE(copy.GetDetail(), nullptr);
  EXPECT_EQ(copy.GetDetail()->ToText(), "(error :type invalid-message)");

  TException assigned;
  assigned = copy;
  const TException& self = assigned;
  assigned = self;
  EXPECT_STREQ(assigned.GetWhere(), "TMirk::GetWeightValue");
}

}  // namespace
}  // namespace mirk
