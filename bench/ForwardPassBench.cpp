// The forward pass of a 256 -> 1024 -> 64 network through a
// TConnectedNetwork (fully connected sets) and a TBasicNetwork (pruneable
// sets with half of the arcs removed at random), against the same dense
// arithmetic through Eigen's matrix-vector product. Reports ns per
// multiply-add of the whole pass. Argument 1 runs the "sigmoid" network (its
// extended-precision exponential costs about as much as the products);
// argument 0 the same network with "linear", which leaves the products.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "NeuralNets/TConnectedNetwork.h"
#include "NeuralNets/TSimpleInputLayer.h"

#include <Eigen/Dense>

namespace {

using namespace mirk;

constexpr int kInputs = 256;
constexpr int kHidden = 1024;
constexpr int kOutputs = 64;
constexpr double kMultiplyAdds = double(kInputs) * kHidden + double(kHidden) * kOutputs;

// Weights and inputs every form shares; a removed arc has weight 0.0.
struct Problem {
  std::vector<double> hidden;  // [to][from], kHidden x kInputs
  std::vector<double> output;  // [to][from], kOutputs x kHidden
  std::vector<double> inputs;

  explicit Problem(bool pruned) {
    std::mt19937 random(2024);
    std::uniform_real_distribution<double> value(-0.1, 0.1);
    auto fill = [&](std::vector<double>& weights, size_t n) {
      weights.resize(n);
      for (double& w : weights) w = pruned && random() % 2 == 0 ? 0.0 : value(random);
      // Exactly zero weights stand for removed arcs; a drawn zero is rare enough.
    };
    fill(hidden, size_t(kHidden) * kInputs);
    fill(output, size_t(kOutputs) * kHidden);
    inputs.resize(kInputs);
    for (double& x : inputs) x = value(random) * 10.0;
  }
};

// Layers: 0 an empty bias layer, 1 input, 2 hidden, 3 output.
template <class Net>
std::unique_ptr<Net> MakeNetwork(const Problem& problem, bool pruned, ActFunction fn) {
  auto net = std::make_unique<Net>(4);
  net->SetLayer(0, std::make_unique<TSimpleLayer>(net.get(), 0, 0));
  net->SetLayer(1, std::make_unique<TSimpleInputLayer>(net.get(), 1, kInputs));
  net->SetLayer(2, std::make_unique<TSimpleLayer>(net.get(), 2, kHidden));
  net->SetLayer(3, std::make_unique<TSimpleLayer>(net.get(), 3, kOutputs));
  net->GetLayer(2)->SetActivationFunction(fn);
  net->GetLayer(3)->SetActivationFunction(fn);
  net->Connect(1, 2);
  net->Connect(2, 3);
  auto load = [&](int from, int to, const std::vector<double>& weights, int fromSize, int toSize) {
    TBasicConnections& set = *net->GetConnections(from, to);
    for (int t = 0; t < toSize; ++t) {
      for (int f = 0; f < fromSize; ++f) {
        const double w = weights[size_t(t) * fromSize + f];
        if (pruned && w == 0.0) {
          set.RemoveWeight(f, t);
        } else {
          *set.GetWeight(f, t) = w;
        }
      }
    }
  };
  load(1, 2, problem.hidden, kInputs, kHidden);
  load(2, 3, problem.output, kHidden, kOutputs);
  return net;
}

void ReportRate(benchmark::State& state) {
  state.counters["ns_per_madd"] = benchmark::Counter(kMultiplyAdds * double(state.iterations()) / 1e9,
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

ActFunction FunctionOf(const benchmark::State& state) { return state.range(0) != 0 ? ActSigmoid : ActLinear; }

template <class Net>
void RunNetwork(benchmark::State& state, bool pruned) {
  const Problem problem(pruned);
  const auto net = MakeNetwork<Net>(problem, pruned, FunctionOf(state));
  std::vector<double> outputs(kOutputs);
  for (auto _ : state) {
    net->Recall(problem.inputs, outputs);
    benchmark::DoNotOptimize(outputs.data());
    benchmark::ClobberMemory();
  }
  ReportRate(state);
}

void BM_ConnectedNetwork(benchmark::State& state) { RunNetwork<TConnectedNetwork>(state, false); }
BENCHMARK(BM_ConnectedNetwork)->Arg(0)->Arg(1);

void BM_PrunedNetworkHalfArcs(benchmark::State& state) { RunNetwork<TBasicNetwork>(state, true); }
BENCHMARK(BM_PrunedNetworkHalfArcs)->Arg(0)->Arg(1);

// The sigmoid of the "sigmoid" function, in the same precision.
double Sigmoid(double x) {
  return x < -500.0 ? 1e-300 : static_cast<double>(1.0L / (1.0L + std::exp(-static_cast<long double>(x))));
}

void BM_EigenDense(benchmark::State& state) {
  const Problem problem(false);
  using Matrix = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>;
  const Eigen::MatrixXd hidden = Eigen::Map<const Matrix>(problem.hidden.data(), kHidden, kInputs);
  const Eigen::MatrixXd output = Eigen::Map<const Matrix>(problem.output.data(), kOutputs, kHidden);
  const Eigen::VectorXd x = Eigen::Map<const Eigen::VectorXd>(problem.inputs.data(), kInputs);
  Eigen::VectorXd h(kHidden);
  Eigen::VectorXd y(kOutputs);
  const bool sigmoid = state.range(0) != 0;
  auto pass = [&] {
    h.noalias() = hidden * x;
    if (sigmoid) {
      for (double& v : h) v = Sigmoid(v);
    }
    y.noalias() = output * h;
    if (sigmoid) {
      for (double& v : y) v = Sigmoid(v);
    }
  };

  // Both compute the same outputs (up to the order of Eigen's sums).
  const auto net = MakeNetwork<TConnectedNetwork>(problem, false, FunctionOf(state));
  std::vector<double> outputs(kOutputs);
  net->Recall(problem.inputs, outputs);
  pass();
  for (int i = 0; i < kOutputs; ++i) {
    if (std::abs(outputs[size_t(i)] - y[i]) > 1e-12 * (1.0 + std::abs(y[i]))) {
      state.SkipWithError("Eigen and the network disagree");
      return;
    }
  }

  for (auto _ : state) {
    pass();
    benchmark::DoNotOptimize(y.data());
    benchmark::ClobberMemory();
  }
  ReportRate(state);
}
BENCHMARK(BM_EigenDense)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
