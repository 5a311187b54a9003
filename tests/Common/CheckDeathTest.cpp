// Every death test of the project lives here: the internal check stops the
// process with the expression, file and line, also in release builds.
#include <gtest/gtest.h>

#include "Common/Check.h"
#include "KQmessage/KQML.h"

namespace mirk {
namespace {

TEST(CheckDeathTest, FailedCheckPrintsExpressionFileAndLineAndAborts) {
  const int i = 3;
  EXPECT_DEATH(MIRK_CHECK(i == 0), "Assertion failed: i == 0, file .*CheckDeathTest\\.cpp, line [0-9]+");
}

TEST(CheckDeathTest, PassingCheckDoesNothing) {
  MIRK_CHECK(1 + 1 == 2);
  SUCCEED();
}

TEST(CheckDeathTest, KQGetOfAbsentKeyIsAnInternalError) {
  TKQstructure s("params");
  EXPECT_DEATH(s.Get("missing"), "value != nullptr");
}

TEST(CheckDeathTest, KQToLongOfNonNumberIsAnInternalError) {
  EXPECT_DEATH(KQToLong("abc"), "converted");
}

}  // namespace
}  // namespace mirk
