// Feeds arbitrary text to TKQstructure::Parse. Malformed text must be refused
// with TKQstructure::Error; text that parses must print back into a text
// that parses to the same structure.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <streambuf>
#include <string>

#include "KQmessage/KQML.h"

namespace {

// Swallows the parser's complaint lines.
class NullBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static NullBuffer null;
  static std::streambuf* const original = std::cerr.rdbuf(&null);
  (void)original;
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    const std::string printed = mirk::TKQstructure::Parse(text)->ToText();
    if (mirk::TKQstructure::Parse(printed)->ToText() != printed) std::abort();
  } catch (const mirk::TKQstructure::Error&) {
  }
  return 0;
}
