#include "Common/NumberText.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "Common/Check.h"

namespace mirk {

namespace {

bool IsCSpace(char c) noexcept {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view SkipSpace(std::string_view text) noexcept {
  std::size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  return text.substr(i);
}

bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }

bool IsHexDigit(char c) noexcept {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsHexPrefix(std::string_view t) noexcept {
  return t.size() >= 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X');
}

// "0x" followed by a hexadecimal digit, or by a point and one: "%lf" reads
// "0x" alone, or "0x." alone, as no number at all.
bool IsHexNumber(std::string_view t) noexcept {
  if (t.size() > 2 && IsHexDigit(t[2])) return true;
  return t.size() > 3 && t[2] == '.' && IsHexDigit(t[3]);
}

}  // namespace

bool ParseLongPrefix(std::string_view text, long& out) noexcept {
  std::string_view t = SkipSpace(text);
  bool negative = false;
  if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
    negative = t[0] == '-';
    t.remove_prefix(1);
  }
  if (t.empty() || !IsDigit(t[0])) return false;
  // Accumulate as a negative number so that LONG_MIN is reachable.
  long value = 0;
  bool overflow = false;
  constexpr long kMin = std::numeric_limits<long>::min();
  for (char c : t) {
    if (!IsDigit(c)) break;
    const long digit = c - '0';
    if (!overflow) {
      if (value < (kMin + digit) / 10) {
        overflow = true;
      } else {
        value = value * 10 - digit;
      }
    }
  }
  if (overflow) {
    out = negative ? kMin : std::numeric_limits<long>::max();
  } else if (negative) {
    out = value;
  } else {
    out = value == kMin ? std::numeric_limits<long>::max() : -value;
  }
  return true;
}

bool ParseDoublePrefix(std::string_view text, double& out) noexcept {
  std::string_view t = SkipSpace(text);
  bool negative = false;
  std::string_view body = t;
  if (!body.empty() && (body[0] == '+' || body[0] == '-')) {
    negative = body[0] == '-';
    body.remove_prefix(1);
    // One sign only: from_chars would take a second minus.
    if (!body.empty() && (body[0] == '+' || body[0] == '-')) return false;
  }
  if (IsHexPrefix(body)) {
    if (!IsHexNumber(body)) return false;
    // Rare in files; strtod knows the hexadecimal form.
    std::string copy(t);
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(copy.c_str(), &end);
    if (end == copy.c_str()) return false;
    out = v;
    return true;
  }
  double value = 0.0;
  const auto result = std::from_chars(body.data(), body.data() + body.size(), value,
                                      std::chars_format::general);
  if (result.ec == std::errc::invalid_argument) return false;
  if (result.ec == std::errc::result_out_of_range) {
    // Same rounding as strtod: overflow to infinity, underflow to zero.
    std::string copy(body.substr(0, static_cast<std::size_t>(result.ptr - body.data())));
    value = std::strtod(copy.c_str(), nullptr);
  }
  out = negative ? -value : value;
  return true;
}

void AppendLong(std::string& out, long value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  MIRK_CHECK(result.ec == std::errc());
  out.append(buffer, result.ptr);
}

namespace {

template <typename Format>
void AppendWith(std::string& out, std::size_t room, Format format) {
  const std::size_t old = out.size();
  out.resize(old + room);
  char* first = out.data() + old;
  const auto result = format(first, first + room);
  MIRK_CHECK(result.ec == std::errc());
  out.resize(static_cast<std::size_t>(result.ptr - out.data()));
}

}  // namespace

void AppendFixed(std::string& out, double value, int decimals) {
  MIRK_CHECK(decimals >= 0);
  // Sign, up to 309 integer digits, point, decimals.
  const std::size_t room = 312 + static_cast<std::size_t>(decimals);
  AppendWith(out, room, [&](char* first, char* last) {
    return std::to_chars(first, last, value, std::chars_format::fixed, decimals);
  });
}

void AppendGeneral(std::string& out, double value, int significant) {
  MIRK_CHECK(significant >= 0);
  const std::size_t room = 32 + static_cast<std::size_t>(significant);
  AppendWith(out, room, [&](char* first, char* last) {
    return std::to_chars(first, last, value, std::chars_format::general, significant);
  });
}

void AppendGeneralFinite(std::string& out, double value, int significant) {
  const std::size_t start = out.size();
  AppendGeneral(out, value, significant);
  if (significant >= 17 || !(std::fabs(value) > 1e308) || std::isinf(value)) return;
  double back = 0.0;
  if (ParseDoublePrefix(std::string_view(out).substr(start), back) && !std::isinf(back)) return;
  out.resize(start);
  AppendGeneral(out, value, 17);
}

std::string FormatLong(long value) {
  std::string s;
  AppendLong(s, value);
  return s;
}

std::string FormatFixed(double value, int decimals) {
  std::string s;
  AppendFixed(s, value, decimals);
  return s;
}

std::string FormatGeneral(double value, int significant) {
  std::string s;
  AppendGeneral(s, value, significant);
  return s;
}

}  // namespace mirk
