// Loading speed and memory of the network file reader on a large Mirk
// network: 64 inputs of 7 membership functions, 1024 rules, 8 outputs of 7.
// The file (about 12 MB) is written here by the network writer and read
// through ReadNetwork from memory and through LoadNetwork from a file. The
// baseline reads the same bytes with std::from_chars.
//
// Memory: operator new is counted; "peak_MB" is the most the reader held at
// once beyond what existed before it started (the istringstream's copy of
// the text excluded), "network_MB" what the loaded network holds.
#include <benchmark/benchmark.h>

#include <charconv>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <random>
#include <sstream>
#include <string>

#include "FileHandler/NetworkFile.h"
#include "bench/CountingAllocator.h"
#include "bench/FromCharsBaseline.h"
#include "FileHandler/NetworkWriter.h"
#include "FileHandler/ParseTools.h"
#include "Mirk/TMirk.h"
#include "NeuralNets/TBasicConnections.h"

namespace {

using namespace mirk;
using bench::ReadWithFromChars;
using bench::g_current;
using bench::g_peak;

constexpr int kInputs = 64;
constexpr int kRules = 1024;
constexpr int kOutputs = 8;
constexpr int kMF = 7;
constexpr int kConditions = kInputs * kMF;
constexpr int kActions = kOutputs * kMF;
// The network written by the network writer: rule weights drawn from
// [-4, 4), about 5% of the rule arcs pruned and 10% frozen. The two rule
// layers come out as matrices with the trainable column, the centres as
// weight lists.
const std::string& Text() {
  static const std::string text = [] {
    TMirk mirk(kInputs, std::vector<int>(kInputs, kMF), kRules, std::vector<int>(kOutputs, kMF), kOutputs);
    mirk.InitWeights(-4.0, 4.0);
    std::mt19937_64 random(11);
    std::uniform_int_distribution<int> percent(0, 99);
    for (int layer = TMirk::kConditionLayer; layer <= TMirk::kRuleLayer; ++layer) {
      TBasicConnections& set = *mirk.GetConnections(layer, layer + 1);
      for (int i = 0; i < set.GetFromSize(); ++i) {
        for (int j = 0; j < set.GetToSize(); ++j) {
          const int p = percent(random);
          if (p < 5) {
            set.RemoveWeight(i, j);
          } else if (p < 15) {
            set.FreezeWeight(i, j);
          }
        }
      }
    }
    std::ostringstream out;
    ScratchBuffer buffer;
    WriteNetwork(buffer, out, mirk);
    return out.str();
  }();
  return text;
}

const std::string& TextFile() {
  static const std::string path = [] {
    const auto file = std::filesystem::temp_directory_path() / "mirk_network_read_bench.net";
    std::ofstream out(file, std::ios::binary);
    out << Text();
    return file.string();
  }();
  return path;
}

// What a network holds, counted as the memory its construction kept.
struct MemoryUse {
  std::size_t peak = 0;
  std::size_t held = 0;
};

template <typename Load>
MemoryUse Measure(Load&& load) {
  const std::size_t base = g_current;
  g_peak = g_current;
  auto network = load();
  MemoryUse use;
  use.peak = g_peak - base;
  use.held = g_current - base;
  benchmark::DoNotOptimize(network.get());
  return use;
}

void Report(benchmark::State& state, const MemoryUse& use) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(Text().size()));
  state.counters["file_MB"] = static_cast<double>(Text().size()) / 1e6;
  state.counters["peak_MB"] = static_cast<double>(use.peak) / 1e6;
  state.counters["network_MB"] = static_cast<double>(use.held) / 1e6;
  state.counters["peak_ratio"] = static_cast<double>(use.peak) / static_cast<double>(use.held);
}

bool LoadsTheWholeNetwork(TBasicNetwork& network) {
  auto* mirk = dynamic_cast<TMirk*>(&network);
  if (mirk == nullptr) return false;
  int inputs = 0, conditions = 0, rules = 0, actions = 0, outputs = 0;
  std::vector<int> inputMF, outputMF;
  mirk->GetStructure(inputs, conditions, inputMF, rules, actions, outputMF, outputs);
  return conditions == kConditions && rules == kRules && actions == kActions && outputs == kOutputs;
}

void BM_ReadNetwork_StringStream(benchmark::State& state) {
  {
    std::istringstream in(Text());
    ScratchBuffer buffer;
    if (!LoadsTheWholeNetwork(*ReadNetwork(buffer, in))) state.SkipWithError("the network did not load");
  }
  MemoryUse use;
  for (auto _ : state) {
    state.PauseTiming();
    std::istringstream in(Text());
    ScratchBuffer buffer;
    state.ResumeTiming();
    use = Measure([&] { return ReadNetwork(buffer, in); });
  }
  Report(state, use);
}
BENCHMARK(BM_ReadNetwork_StringStream)->Unit(benchmark::kMillisecond);

void BM_LoadNetwork_File(benchmark::State& state) {
  const std::string& path = TextFile();
  MemoryUse use;
  for (auto _ : state) {
    ScratchBuffer buffer;
    use = Measure([&] { return LoadNetwork(buffer, path); });
  }
  Report(state, use);
}
BENCHMARK(BM_LoadNetwork_File)->Unit(benchmark::kMillisecond);

void BM_FromCharsBaseline(benchmark::State& state) {
  const std::string& text = Text();
  for (auto _ : state) benchmark::DoNotOptimize(ReadWithFromChars(text.data(), text.data() + text.size()));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_FromCharsBaseline)->Unit(benchmark::kMillisecond);

double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The two in turns, so that both meet the same load on a shared machine:
// "ratio" is the loading throughput as a share of the baseline's.
void BM_ReadNetwork_ShareOfBaseline(benchmark::State& state) {
  const std::string& text = Text();
  double reading = 0.0;
  double baseline = 0.0;
  for (auto _ : state) {
    std::istringstream in(text);
    ScratchBuffer buffer;
    double start = ThreadSeconds();
    benchmark::DoNotOptimize(ReadNetwork(buffer, in).get());
    reading += ThreadSeconds() - start;
    start = ThreadSeconds();
    benchmark::DoNotOptimize(ReadWithFromChars(text.data(), text.data() + text.size()));
    baseline += ThreadSeconds() - start;
  }
  const double bytes = static_cast<double>(text.size()) * static_cast<double>(state.iterations());
  state.counters["read_MBps"] = bytes / reading / 1e6;
  state.counters["baseline_MBps"] = bytes / baseline / 1e6;
  state.counters["ratio"] = baseline / reading;
}
BENCHMARK(BM_ReadNetwork_ShareOfBaseline)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
