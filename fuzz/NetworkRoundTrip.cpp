// Whatever ReadNetwork accepts is written, read again and written again; the
// two texts must be equal, and the reader must accept what the writer wrote.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>
#include <streambuf>
#include <string>

#include "Common/Check.h"
#include "Common/Exceptions.h"
#include "FileHandler/NetworkFile.h"
#include "FileHandler/NetworkWriter.h"
#include "KQmessage/KQML.h"
#include "NeuralNets/TBasicNetwork.h"

namespace {

// Swallows what the reader prints (an unknown word of a weight list).
class NullBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

// Small enough that a run never spends its time on one huge network.
mirk::ReaderLimits Limits() {
  mirk::ReaderLimits limits;
  limits.memoryBudget = 1LL << 20;
  return limits;
}

std::string Write(mirk::ScratchBuffer& buffer, mirk::TBasicNetwork& net) {
  std::ostringstream out;
  mirk::WriteNetwork(buffer, out, net);
  return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static NullBuffer null;
  static std::streambuf* const silenced = std::cout.rdbuf(&null);
  (void)silenced;
  const mirk::ReaderLimits limits = Limits();
  mirk::ScratchBuffer buffer;
  std::unique_ptr<mirk::TBasicNetwork> net;
  try {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    net = mirk::ReadNetwork(buffer, in, nullptr, limits);
  } catch (const mirk::FileTools::Error&) {
    return 0;
  } catch (const mirk::TException&) {
    return 0;
  }

  std::string first;
  try {
    first = Write(buffer, *net);
  } catch (const mirk::FileTools::Error& e) {
    // The one refusal of the writer: a bias layer the reader accepted.
    MIRK_CHECK(e.GetMessage() == "Illegal number of bias nodes");
    return 0;
  }

  std::unique_ptr<mirk::TBasicNetwork> again;
  try {
    std::istringstream in(first);
    again = mirk::ReadNetwork(buffer, in, nullptr, limits);
  } catch (const mirk::FileTools::Error& e) {
    std::fprintf(stderr, "rejected: %s\n", e.GetMessage().c_str());
    MIRK_CHECK(!"the reader rejects written text");
  }
  const std::string second = Write(buffer, *again);
  MIRK_CHECK(first == second);
  return 0;
}
