// Recall of a 100,000-row data set through the large (64 inputs x 7, 1024
// rules, 8 outputs x 7) and the small (4 x 5, 20 rules, 1 x 5) Mirk network:
// the network's data-set recall, which passes the rows in blocks, next to the
// same recall done row by row with the single-vector pass. The set-up checks
// that both give the same outputs bit for bit. Reports rows per second.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "DataObject/Data.h"
#include "Mirk/TMirk.h"

namespace {

using mirk::Data;
using mirk::TMirk;

constexpr int kRows = 100000;

struct Size {
  int inputs, inputMF, rules, outputs, outputMF;
};

constexpr Size kSmall{4, 5, 20, 1, 5};
constexpr Size kLarge{64, 7, 1024, 8, 7};

TMirk MakeNetwork(const Size& size) {
  const std::vector<int> inputMF(static_cast<size_t>(size.inputs), size.inputMF);
  const std::vector<int> outputMF(static_cast<size_t>(size.outputs), size.outputMF);
  TMirk net(size.inputs, inputMF, size.rules, outputMF, size.outputs);
  net.InitWeights(-1.0, 1.0);
  return net;
}

// Inputs drawn over [0, 1], where every input falls between two centres.
std::unique_ptr<Data> MakeData(const Size& size) {
  auto data = std::make_unique<Data>(kRows, size.inputs, 0, false);
  std::mt19937 random(2024);
  std::uniform_real_distribution<double> value(0.0, 1.0);
  std::vector<double> row(static_cast<size_t>(size.inputs));
  for (int r = 0; r < kRows; ++r) {
    for (double& v : row) v = value(random);
    data->AppendRow(row, {});
  }
  return data;
}

// The data-set recall as a plain loop of single-vector passes.
std::unique_ptr<Data> RecallRowByRow(TMirk& net, Data& data, const Size& size) {
  auto result = std::make_unique<Data>(data.GetNumDataRows(), 0, size.outputs, false);
  std::vector<double> inputs(static_cast<size_t>(size.inputs)), outputs(static_cast<size_t>(size.outputs));
  data.SetCurrentRow(data.GetLastRow());
  for (int r = 0; r < data.GetNumDataRows(); ++r) {
    data.GetNextRow(inputs, {});
    net.Recall(inputs, outputs);
    result->AppendRow({}, outputs);
  }
  return result;
}

std::unique_ptr<Data> RecallInBlocks(TMirk& net, Data& data) {
  std::unique_ptr<Data> result;
  net.RecallOutputOnly(&data, result);
  return result;
}

bool SameOutputs(const Data& a, const Data& b) {
  if (a.GetNumDataRows() != b.GetNumDataRows() || a.GetNumOutputs() != b.GetNumOutputs()) return false;
  for (int r = 0; r < a.GetNumDataRows(); ++r) {
    for (int k = 0; k < a.GetNumOutputs(); ++k) {
      const double x = a.GetOutputDatum(r, k), y = b.GetOutputDatum(r, k);
      if (std::memcmp(&x, &y, sizeof x) != 0) return false;
    }
  }
  return true;
}

void SetRate(benchmark::State& state) {
  state.counters["rows/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * kRows, benchmark::Counter::kIsRate);
}

void DataRecall(benchmark::State& state, const Size& size, bool blocks) {
  TMirk net = MakeNetwork(size);
  const std::unique_ptr<Data> data = MakeData(size);
  static bool checked[2] = {false, false};
  bool& done = checked[size.inputs == kLarge.inputs ? 1 : 0];
  if (!done) {
    if (!SameOutputs(*RecallRowByRow(net, *data, size), *RecallInBlocks(net, *data))) {
      state.SkipWithError("block and single-vector outputs differ");
      return;
    }
    done = true;
  }
  for (auto _ : state) {
    std::unique_ptr<Data> result = blocks ? RecallInBlocks(net, *data) : RecallRowByRow(net, *data, size);
    benchmark::DoNotOptimize(result.get());
  }
  SetRate(state);
}

BENCHMARK_CAPTURE(DataRecall, Small/single-vector, kSmall, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DataRecall, Small/blocks, kSmall, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DataRecall, Large/single-vector, kLarge, false)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(DataRecall, Large/blocks, kLarge, true)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
