// Loading and saving speed of data set files, and the memory loading takes:
// a file of about 100 MB (5 inputs and 2 expected outputs in the first
// object, 1 error column in the second) generated into build/ by the
// writer. Baselines in the same binary: the same bytes read from the file
// and converted with std::from_chars; the same numbers formatted with
// std::to_chars and written to a file.
//
// Memory: operator new is counted; "peak_MB" is the most loading held at
// once, "data_MB" what the loaded objects hold.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "DataObject/Data.h"
#include "FileHandler/Filer.h"
#include "bench/CountingAllocator.h"
#include "bench/FromCharsBaseline.h"

namespace {

using namespace mirk;
using bench::ReadWithFromChars;
using bench::g_current;
using bench::g_peak;

constexpr int kRows = 650000;  // about 100 MB of text
constexpr int kInputs = 5;
constexpr int kOutputs = 2;
constexpr int kErrors = 1;

std::filesystem::path BenchDir() {
  const std::filesystem::path build = std::filesystem::current_path() / "build";
  return std::filesystem::is_directory(build) ? build : std::filesystem::temp_directory_path();
}

struct DataSets {
  std::unique_ptr<Data> first, second;
};

// Values drawn from [-1000, 1000): most need all 15 digits.
DataSets Generate() {
  DataSets d;
  d.first = std::make_unique<Data>(kRows, kInputs, kOutputs, false);
  d.second = std::make_unique<Data>(kRows, 0, kErrors, false);
  std::mt19937_64 random(5);
  std::uniform_real_distribution<double> value(-1000.0, 1000.0);
  double in[kInputs], out[kOutputs], err[kErrors];
  for (int r = 0; r < kRows; ++r) {
    for (double& v : in) v = value(random);
    for (double& v : out) v = value(random);
    for (double& v : err) v = value(random) * 1e-6;
    d.first->AppendRow(in, out);
    d.second->AppendRow({}, err);
  }
  return d;
}

const std::string& DataFile() {
  static const std::string path = [] {
    const std::string p = (BenchDir() / "mirk_dataset_bench.dat").string();
    const DataSets d = Generate();
    if (SaveDataSets(p, d.first.get(), d.second.get()) != SUCCESS) std::abort();
    return p;
  }();
  return path;
}

std::int64_t FileBytes() {
  return static_cast<std::int64_t>(std::filesystem::file_size(DataFile()));
}

std::string ReadBytes(const std::string& path) {
  std::string bytes(static_cast<std::size_t>(FileBytes()), '\0');
  std::FILE* file = std::fopen(path.c_str(), "rb");
  const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  bytes.resize(got);
  return bytes;
}

double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// ---- Loading ------------------------------------------------------------------

void BM_LoadDataSets(benchmark::State& state) {
  const std::string& path = DataFile();
  std::size_t peak = 0, held = 0;
  for (auto _ : state) {
    ScratchBuffer buffer;
    DataSets d;
    const std::size_t base = g_current;
    g_peak = g_current;
    if (LoadDataSets(buffer, path, d.first, d.second) != SUCCESS || !d.second ||
        d.first->GetNumDataRows() != kRows)
      state.SkipWithError("the file did not load");
    peak = g_peak - base;
    held = g_current - base;
  }
  state.SetBytesProcessed(state.iterations() * FileBytes());
  state.counters["file_MB"] = static_cast<double>(FileBytes()) / 1e6;
  state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
  state.counters["data_MB"] = static_cast<double>(held) / 1e6;
  state.counters["peak_ratio"] = static_cast<double>(peak) / static_cast<double>(held);
}
BENCHMARK(BM_LoadDataSets)->Unit(benchmark::kMillisecond);

// The file's bytes read into memory and every number converted.
void BM_LoadBaseline_FromChars(benchmark::State& state) {
  const std::string& path = DataFile();
  for (auto _ : state) {
    const std::string bytes = ReadBytes(path);
    benchmark::DoNotOptimize(ReadWithFromChars(bytes.data(), bytes.data() + bytes.size()));
  }
  state.SetBytesProcessed(state.iterations() * FileBytes());
}
BENCHMARK(BM_LoadBaseline_FromChars)->Unit(benchmark::kMillisecond);

// Loading and its baseline in turns, so both meet the same load on a shared
// machine: "ratio" is loading's throughput as a share of the baseline's.
void BM_LoadShareOfBaseline(benchmark::State& state) {
  const std::string& path = DataFile();
  double loading = 0.0, baseline = 0.0;
  for (auto _ : state) {
    double start = ThreadSeconds();
    {
      ScratchBuffer buffer;
      DataSets d;
      LoadDataSets(buffer, path, d.first, d.second);
      benchmark::DoNotOptimize(d.first.get());
    }
    loading += ThreadSeconds() - start;
    start = ThreadSeconds();
    {
      const std::string bytes = ReadBytes(path);
      benchmark::DoNotOptimize(ReadWithFromChars(bytes.data(), bytes.data() + bytes.size()));
    }
    baseline += ThreadSeconds() - start;
  }
  state.counters["ratio"] = baseline / loading;
}
BENCHMARK(BM_LoadShareOfBaseline)->Unit(benchmark::kMillisecond)->Iterations(3);

// ---- Saving -------------------------------------------------------------------

const DataSets& Loaded() {
  static const DataSets d = [] {
    DataSets l;
    ScratchBuffer buffer;
    if (LoadDataSets(buffer, DataFile(), l.first, l.second) != SUCCESS) std::abort();
    return l;
  }();
  return d;
}

std::string SavePath() { return (BenchDir() / "mirk_dataset_bench_saved.dat").string(); }

void BM_SaveDataSets(benchmark::State& state) {
  const DataSets& d = Loaded();
  const std::string path = SavePath();
  for (auto _ : state) {
    if (SaveDataSets(path, d.first.get(), d.second.get()) != SUCCESS)
      state.SkipWithError("the file was not written");
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(std::filesystem::file_size(path)));
  std::filesystem::remove(path);
}
BENCHMARK(BM_SaveDataSets)->Unit(benchmark::kMillisecond);

// The same numbers, row by row, in the same general form with a blank, into
// one buffer; `toFile` then writes the buffer to a file.
std::int64_t FormatWithToChars(const DataSets& d, std::vector<char>& text, bool toFile) {
  char* p = text.data();
  double row[kInputs + kOutputs];
  for (int r = 0; r < kRows; ++r) {
    d.first->GetInputRow(r, std::span(row, kInputs));
    d.first->GetOutputRow(r, std::span(row + kInputs, kOutputs));
    for (double v : row) {
      p = std::to_chars(p, text.data() + text.size(), v, std::chars_format::general, 15).ptr;
      *p++ = ' ';
    }
    p = std::to_chars(p, text.data() + text.size(), d.second->GetOutputDatum(r, 0),
                      std::chars_format::general, 15).ptr;
    *p++ = '\n';
  }
  const std::int64_t bytes = p - text.data();
  if (toFile) {
    std::FILE* file = std::fopen(SavePath().c_str(), "wb");
    std::fwrite(text.data(), 1, static_cast<std::size_t>(bytes), file);
    std::fclose(file);
  }
  return bytes;
}

void BM_SaveBaseline_ToChars(benchmark::State& state) {
  const DataSets& d = Loaded();
  std::vector<char> text(static_cast<std::size_t>(kRows) * 8 * 32);
  std::int64_t bytes = 0;
  for (auto _ : state) {
    bytes = FormatWithToChars(d, text, state.range(0) != 0);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  std::filesystem::remove(SavePath());
}
BENCHMARK(BM_SaveBaseline_ToChars)
    ->Arg(0)
    ->Arg(1)
    ->ArgNames({"file"})
    ->Unit(benchmark::kMillisecond);

void BM_SaveShareOfBaseline(benchmark::State& state) {
  const DataSets& d = Loaded();
  std::vector<char> text(static_cast<std::size_t>(kRows) * 8 * 32);
  double saving = 0.0, baseline = 0.0;
  for (auto _ : state) {
    double start = ThreadSeconds();
    SaveDataSets(SavePath(), d.first.get(), d.second.get());
    saving += ThreadSeconds() - start;
    start = ThreadSeconds();
    benchmark::DoNotOptimize(FormatWithToChars(d, text, true));
    baseline += ThreadSeconds() - start;
  }
  state.counters["ratio"] = baseline / saving;
  std::filesystem::remove(SavePath());
}
BENCHMARK(BM_SaveShareOfBaseline)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
