#include "Common/Check.h"

#include <cstdio>
#include <cstdlib>

namespace mirk::detail {

void CheckFailed(const char* expression, const char* file, int line) noexcept {
  std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", expression, file, line);
  std::fflush(stderr);
  std::abort();
}

}  // namespace mirk::detail
