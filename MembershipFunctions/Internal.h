// Internal to the membership-function classes: how they store optional
// texts and compare their slots.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mirk::detail {

// Null and empty texts both mean none.
inline std::optional<std::string> OptionalName(const char* text) {
  if (text == nullptr || *text == '\0') return std::nullopt;
  return std::string(text);
}

// Slot by slot: both empty, or both filled with equal objects.
template <typename T>
bool SameSlots(const std::vector<std::unique_ptr<T>>& a, const std::vector<std::unique_ptr<T>>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const T* x = a[i].get();
    const T* y = b[i].get();
    if ((x == nullptr) != (y == nullptr) || (x != nullptr && !(*x == *y))) return false;
  }
  return true;
}

}  // namespace mirk::detail
