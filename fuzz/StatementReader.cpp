// Walks arbitrary text the way the file readers do: nested blocks, compound
// statements continued part by part, and the entry readers on whatever comes.
// The text is read through a string stream, through a streambuf with a tiny
// buffer and through one without a buffer; the three walks must agree
// statement by statement and in stream position.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "Common/Exceptions.h"
#include "FileHandler/ParseTools.h"
#include "tests/FileHandler/ReaderTestKit.h"

namespace {

using namespace mirk;

template <typename F>
void Try(std::string& log, F&& read) {
  try {
    read();
    log += '.';
  } catch (const FileTools::Error& e) {
    log += e.GetMessage().empty() ? '?' : e.GetMessage()[0];
  }
}

std::string Walk(std::istream& in) {
  std::string log;
  try {
    test::WalkStatements(in, [&](ScratchBuffer& buffer, const Statement& s) {
      log += std::to_string(s.kind) + s.name + "=" + s.value + (s.more ? "+" : "") + "@" +
             std::to_string(static_cast<long>(in.tellg()));
      // One checked reader per statement, chosen by the text itself.
      switch ((s.name.size() + s.value.size() + log.size()) % 7) {
        case 0: Try(log, [&] { ExpectBlockStart(buffer, in, s, kNoBlock); }); break;
        case 1: Try(log, [&] { ExpectBlockStart(buffer, in, s, "Layer"); }); break;
        case 2: Try(log, [&] { ExpectBlockEnd(buffer, in, s); }); break;
        case 3: Try(log, [&] { GetStringEntry(buffer, in, s, s.name, "Mirk"); }); break;
        case 4: Try(log, [&] { log += std::to_string(GetIntegerEntry(buffer, in, s, s.name)); }); break;
        case 5: Try(log, [&] { log += std::to_string(GetNumberEntry(buffer, in, s, "Gain")); }); break;
        default: Try(log, [&] { log += std::to_string(GetNumberToken(buffer, in, s)); }); break;
      }
      log += '\n';
    });
  } catch (const FileTools::Error& e) {
    if (e.GetStream() != &in) std::abort();
    log += "!" + e.GetMessage();
  }
  return log;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::istringstream whole(text);
  const std::string expected = Walk(whole);
  const std::size_t chunk = size == 0 ? 1 : 1 + data[0] % 7;
  for (std::size_t c : {chunk, std::size_t{0}}) {
    test::ChunkedStreambuf buf(text, c);
    std::istream in(&buf);
    if (Walk(in) != expected) std::abort();
  }
  return 0;
}
