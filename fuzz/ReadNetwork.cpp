// Reads arbitrary text as a network file. A malformed file must end in a
// FileTools::Error carrying the stream, never in a crash, an abort or an
// allocation beyond the reader's limits (set low here). A network that loads
// is then used as the command and a program would use it: its structure, its
// weights and a forward pass, where refusals are TExceptions.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "Common/Exceptions.h"
#include "FileHandler/NetworkFile.h"
#include "Mirk/TMirk.h"
#include "NeuralNets/TBasicNetwork.h"

namespace {

using namespace mirk;

// Swallows what the reader and the forward pass print.
class NullBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

void Use(TBasicNetwork& network) {
  try {
    if (auto* mirk = dynamic_cast<TMirk*>(&network)) {
      int inputs = 0, conditions = 0, rules = 0, actions = 0, outputs = 0;
      std::vector<int> inputMF, outputMF;
      mirk->GetStructure(inputs, conditions, inputMF, rules, actions, outputMF, outputs);
      for (int layer = 1; layer <= 4; ++layer) mirk->SetWeightLayer(layer, mirk->GetWeightLayer(layer));
    }
  } catch (const TException&) {
  }
  std::vector<double> weights(static_cast<size_t>(network.GetNumWeights(FMaskExists)));
  network.GetWeights(weights, FMaskExists);
  network.SetWeights(weights, FMaskExists);
  try {
    std::vector<double> in(static_cast<size_t>(network.GetLayer(network.GetInLayer())->GetNumNeurons()), 0.25);
    std::vector<double> out(static_cast<size_t>(network.GetLayer(network.GetOutLayer())->GetNumNeurons()));
    network.Recall(in, out);
  } catch (const TException&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static NullBuffer null;
  static const bool silenced = [] {
    std::cout.rdbuf(&null);
    std::cerr.rdbuf(&null);
    return true;
  }();
  (void)silenced;

  ReaderLimits limits;
  limits.memoryBudget = 1LL << 24;

  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  ScratchBuffer buffer;
  try {
    const auto network = ReadNetwork(buffer, in, nullptr, limits);
    Use(*network);
  } catch (const FileTools::Error& e) {
    if (e.GetStream() != &in || e.GetMessage().empty()) std::abort();
  }
  return 0;
}
