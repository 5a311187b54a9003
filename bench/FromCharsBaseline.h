// The raw baseline of the reading benchmarks: the same bytes tokenized in
// memory, numbers converted with std::from_chars.
#pragma once

#include <charconv>

namespace mirk::bench {

// Sums every number of the text; comments and bracketed statements skipped.
inline double ReadWithFromChars(const char* p, const char* end) {
  double sum = 0.0;
  while (p < end) {
    const char c = *p;
    if (static_cast<unsigned char>(c) <= ' ' || c == ',') {
      ++p;
    } else if (c == '/' && p + 1 < end && p[1] == '*') {
      p += 2;
      while (p + 1 < end && !(p[0] == '*' && p[1] == '/')) ++p;
      p += 2;
    } else if (c == '[') {
      while (p < end && *p != ']') ++p;
      ++p;
    } else if (c == '-' && (p + 1 == end || static_cast<unsigned char>(p[1]) <= ' ')) {
      ++p;
    } else {
      double value = 0.0;
      const auto result = std::from_chars(p, end, value);
      if (result.ec != std::errc()) {
        ++p;
      } else {
        sum += value;
        p = result.ptr;
      }
    }
  }
  return sum;
}

}  // namespace mirk::bench
