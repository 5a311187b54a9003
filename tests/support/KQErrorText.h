// The text form of the description a TKQstructure::Error carries.
#pragma once

#include <string>

#include "KQmessage/KQML.h"

namespace mirk::test {

// Runs f and returns the text form of the TKQstructure::Error it throws, or
// "<no error>" when it returns.
template <typename F>
std::string KQErrorText(F&& f) {
  try {
    f();
  } catch (const TKQstructure::Error& e) {
    return e.GetDetail().ToText();
  }
  return "<no error>";
}

}  // namespace mirk::test
