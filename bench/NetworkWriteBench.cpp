// Writing the large Mirk network (64 inputs of 7 membership functions, 1024
// rules, 8 outputs of 7) to memory and to a file, next to a baseline that
// only formats the same weights with std::to_chars into one buffer. Bytes/s
// is the text produced; items/s the weights written, comparable across all
// three.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "FileHandler/NetworkWriter.h"
#include "Mirk/TMirk.h"
#include "NeuralNets/TBasicConnections.h"

namespace {

using mirk::TMirk;

TMirk& LargeMirk() {
  static const std::unique_ptr<TMirk> net = [] {
    const std::vector<int> inputMF(64, 7);
    const std::vector<int> outputMF(8, 7);
    auto made = std::make_unique<TMirk>(64, inputMF, 1024, outputMF, 8);
    made->Randomize(-1.0, 1.0);
    return made;
  }();
  return *net;
}

std::vector<double> AllWeights(TMirk& net) {
  std::vector<double> weights(static_cast<std::size_t>(net.GetNumWeights(mirk::FMaskExists)));
  net.GetWeights(weights, mirk::FMaskExists);
  return weights;
}

void BM_WriteNetworkToString(benchmark::State& state) {
  TMirk& net = LargeMirk();
  const auto weights = static_cast<std::int64_t>(AllWeights(net).size());
  mirk::ScratchBuffer buffer;
  std::int64_t bytes = 0;
  for (auto _ : state) {
    std::ostringstream out;
    mirk::WriteNetwork(buffer, out, net);
    bytes = static_cast<std::int64_t>(out.tellp());
    benchmark::DoNotOptimize(bytes);
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.SetItemsProcessed(state.iterations() * weights);
  state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_WriteNetworkToString)->Unit(benchmark::kMillisecond);

void BM_SaveNetworkToFile(benchmark::State& state) {
  TMirk& net = LargeMirk();
  const auto weights = static_cast<std::int64_t>(AllWeights(net).size());
  const std::string path =
      (std::filesystem::temp_directory_path() / "mirk_bench_network.net").string();
  mirk::ScratchBuffer buffer;
  for (auto _ : state) mirk::SaveNetwork(buffer, path, net);
  const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(path));
  std::filesystem::remove(path);
  state.SetBytesProcessed(state.iterations() * bytes);
  state.SetItemsProcessed(state.iterations() * weights);
}
BENCHMARK(BM_SaveNetworkToFile)->Unit(benchmark::kMillisecond);

// The same weights in the same general form, one after another with a
// blank, into one preallocated buffer: the formatting cost alone.
void BM_ToCharsBaseline(benchmark::State& state) {
  const std::vector<double> weights = AllWeights(LargeMirk());
  std::vector<char> text(weights.size() * 32);
  std::int64_t bytes = 0;
  for (auto _ : state) {
    char* p = text.data();
    char* const end = text.data() + text.size();
    for (double w : weights) {
      p = std::to_chars(p, end, w, std::chars_format::general, 15).ptr;
      *p++ = ' ';
    }
    bytes = p - text.data();
    benchmark::DoNotOptimize(text.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(weights.size()));
}
BENCHMARK(BM_ToCharsBaseline)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
