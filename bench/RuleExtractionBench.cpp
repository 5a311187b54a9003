// Rule extraction from a large trained-looking Mirk network: 64 inputs of 7
// MFs, 1024 rule nodes, 8 outputs of 7 MFs, weights drawn from [-1, 1), so
// about half the arcs pass the thresholds and every rule node yields a rule.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "Mirk/RuleExtraction/ExtractRules.h"
#include "Mirk/TMirk.h"
#include "RuleObject/RuleObject.h"

namespace {

using mirk::TMirk;

TMirk LargeNetwork() {
  TMirk net(64, std::vector<int>(64, 7), 1024, std::vector<int>(8, 7), 8);
  net.InitWeights(-1.0, 1.0);
  return net;
}

void RuleExtractionReMirk(benchmark::State& state) {
  const TMirk net = LargeNetwork();
  std::unique_ptr<mirk::TRuleList> rules;
  for (auto _ : state) {
    rules = mirk::ExtractReMirkRules(net, 0.0, 0.0);
    benchmark::DoNotOptimize(rules.get());
  }
  state.counters["rules"] = rules ? rules->GetNumRules() : 0;
}
BENCHMARK(RuleExtractionReMirk)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
