// Recall of one input vector through a Mirk network, the library's inner
// loop, for a small and a large network. A baseline computes the same outputs from plain vectors with the two rule layers as
// Eigen matrix-vector products; the set-up checks that both agree.
//
// The library's "sigmoid" works in extended precision, which costs about ten
// times a double exponential. The /double-sigmoid rows give the rule and
// action layers a double-precision sigmoid (Mirk) or keep the baseline's own
// (Eigen); the /extended-sigmoid rows use the extended one on both sides, so
// either pair compares the passes with the same activation cost.
#include <benchmark/benchmark.h>

#include <cmath>
#include <span>
#include <string>
#include <vector>

#include "Mirk/TConditionLayer.h"
#include "Mirk/TMirk.h"
#include "Mirk/TMirkOutputLayer.h"
#include "NeuralNets/TBasicNeuron.h"

#include <Eigen/Dense>

namespace {

using mirk::TMirk;

enum class Sigmoid { Library, Double, Extended };

double DoubleSigmoid(double x) { return x < -500.0 ? 1e-300 : 1.0 / (1.0 + std::exp(-x)); }

double ExtendedSigmoid(double x) {
  return x < -500.0 ? 1e-300 : static_cast<double>(1.0L / (1.0L + std::exp(-static_cast<long double>(x))));
}

void ActDoubleSigmoid(mirk::TBasicNeuron& neuron, double x) { *neuron.output = DoubleSigmoid(x); }

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

// Inputs spread over [0, 1] so that every input falls between two centres.
std::vector<double> MakeInputs(const Size& size, int row) {
  std::vector<double> inputs(static_cast<size_t>(size.inputs));
  for (size_t i = 0; i < inputs.size(); ++i) inputs[i] = std::fmod(0.37 * static_cast<double>(i + 1) + 0.11 * row, 1.0);
  return inputs;
}

void SetRate(benchmark::State& state) {
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void MirkRecall(benchmark::State& state, const Size& size, Sigmoid sigmoid) {
  TMirk net = MakeNetwork(size);
  if (sigmoid == Sigmoid::Double) {
    net.GetLayer(TMirk::kRuleLayer)->SetActivationFunction(ActDoubleSigmoid);
    net.GetLayer(TMirk::kActionLayer)->SetActivationFunction(ActDoubleSigmoid);
  }
  const std::vector<double> inputs = MakeInputs(size, 0);
  std::vector<double> outputs(static_cast<size_t>(size.outputs));
  for (auto _ : state) {
    net.Recall(inputs, outputs);
    benchmark::DoNotOptimize(outputs.data());
    benchmark::ClobberMemory();
  }
  SetRate(state);
}

BENCHMARK_CAPTURE(MirkRecall, Small, kSmall, Sigmoid::Library);
BENCHMARK_CAPTURE(MirkRecall, Large, kLarge, Sigmoid::Library);
BENCHMARK_CAPTURE(MirkRecall, Small/double-sigmoid, kSmall, Sigmoid::Double);
BENCHMARK_CAPTURE(MirkRecall, Large/double-sigmoid, kLarge, Sigmoid::Double);

// The same network as plain arrays: memberships by a loop, rule and action
// layers by Eigen matrix-vector products, centre-of-gravity outputs.
class EigenMirk {
 public:
  EigenMirk(const TMirk& net, Sigmoid kind)
      : sigmoid(kind == Sigmoid::Extended ? ExtendedSigmoid : DoubleSigmoid) {
    int inputs = 0, conditions = 0, rules = 0, actions = 0, outputs = 0;
    net.GetStructure(inputs, conditions, inputMF, rules, actions, outputMF, outputs);
    const auto& layer = dynamic_cast<const mirk::TConditionLayer&>(*net.GetLayer(TMirk::kConditionLayer));
    for (int c = 0; c < conditions; ++c) {
      const mirk::TConditionNeuron& node = layer.GetConditionNeuron(c);
      owner.push_back(layer.GetInputOf(c));
      centre.push_back(node.centre);
      leftCentre.push_back(node.left != nullptr ? node.left->centre : NAN);
      rightCentre.push_back(node.right != nullptr ? node.right->centre : NAN);
    }
    const std::vector<double> w2 = net.GetWeightLayer(2);  // source-major
    const std::vector<double> w3 = net.GetWeightLayer(3);
    ruleWeights = Eigen::Map<const Eigen::MatrixXd>(w2.data(), rules, conditions);
    actionWeights = Eigen::Map<const Eigen::MatrixXd>(w3.data(), actions, rules);
    actionCentres = net.GetWeightLayer(4);
    mu.resize(conditions);
    r.resize(rules);
    a.resize(actions);
  }

  void Recall(std::span<const double> x, std::span<double> y) {
    for (size_t c = 0; c < centre.size(); ++c) {
      const double v = x[static_cast<size_t>(owner[c])];
      const double m = centre[c];
      double out = 0.0;
      if (std::isnan(leftCentre[c]) && v <= m) {
        out = 1.0;
      } else if (std::isnan(rightCentre[c]) && v >= m) {
        out = 1.0;
      } else if (v >= m && v < rightCentre[c]) {
        out = 1.0 - (v - m) / (rightCentre[c] - m);
      } else if (v <= m && v > leftCentre[c]) {
        out = 1.0 - (m - v) / (m - leftCentre[c]);
      }
      mu[static_cast<Eigen::Index>(c)] = out;
    }
    r.noalias() = ruleWeights * mu;
    r = r.unaryExpr(sigmoid);
    a.noalias() = actionWeights * r;
    a = a.unaryExpr(sigmoid);
    Eigen::Index first = 0;
    for (size_t k = 0; k < outputMF.size(); ++k) {
      const Eigen::Index m = outputMF[k];
      const double numerator = a.segment(first, m).dot(Eigen::Map<const Eigen::VectorXd>(&actionCentres[static_cast<size_t>(first)], m));
      const double denominator = a.segment(first, m).sum();
      y[k] = numerator == 0.0 || denominator == 0.0 ? 0.0 : numerator / denominator;
      first += m;
    }
  }

 private:
  double (*sigmoid)(double);
  std::vector<int> inputMF, outputMF, owner;
  std::vector<double> centre, leftCentre, rightCentre, actionCentres;
  Eigen::MatrixXd ruleWeights, actionWeights;
  Eigen::VectorXd mu, r, a;
};

// Both forms must give the same outputs, to rounding, on a few rows.
bool Agree(TMirk& net, EigenMirk& baseline, const Size& size, std::string& why) {
  std::vector<double> ours(static_cast<size_t>(size.outputs)), theirs(ours.size());
  for (int row = 0; row < 8; ++row) {
    const std::vector<double> inputs = MakeInputs(size, row);
    net.Recall(inputs, ours);
    baseline.Recall(inputs, theirs);
    for (size_t k = 0; k < ours.size(); ++k) {
      if (std::abs(ours[k] - theirs[k]) > 1e-12 * std::max(1.0, std::abs(ours[k]))) {
        why = "outputs differ at row " + std::to_string(row) + ": " + std::to_string(ours[k]) + " vs " +
              std::to_string(theirs[k]);
        return false;
      }
    }
  }
  return true;
}

void EigenRecall(benchmark::State& state, const Size& size, Sigmoid sigmoid) {
  TMirk net = MakeNetwork(size);
  EigenMirk baseline(net, sigmoid);
  std::string why;
  if (!Agree(net, baseline, size, why)) {
    state.SkipWithError(why.c_str());
    return;
  }
  const std::vector<double> inputs = MakeInputs(size, 0);
  std::vector<double> outputs(static_cast<size_t>(size.outputs));
  for (auto _ : state) {
    baseline.Recall(inputs, outputs);
    benchmark::DoNotOptimize(outputs.data());
    benchmark::ClobberMemory();
  }
  SetRate(state);
}

BENCHMARK_CAPTURE(EigenRecall, Small/double-sigmoid, kSmall, Sigmoid::Double);
BENCHMARK_CAPTURE(EigenRecall, Large/double-sigmoid, kLarge, Sigmoid::Double);
BENCHMARK_CAPTURE(EigenRecall, Small/extended-sigmoid, kSmall, Sigmoid::Extended);
BENCHMARK_CAPTURE(EigenRecall, Large/extended-sigmoid, kLarge, Sigmoid::Extended);

}  // namespace

BENCHMARK_MAIN();
