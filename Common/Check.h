// The always-on internal check: a broken invariant of the library stops the
// process with the expression, file and line, whatever NDEBUG says.
#pragma once

namespace mirk::detail {
[[noreturn]] void CheckFailed(const char* expression, const char* file, int line) noexcept;
}  // namespace mirk::detail

#define MIRK_CHECK(expr) \
  ((expr) ? static_cast<void>(0) : ::mirk::detail::CheckFailed(#expr, __FILE__, __LINE__))
