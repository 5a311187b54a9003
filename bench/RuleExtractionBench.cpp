// Rule extraction from a large trained-looking Mirk network: 64 inputs of 7
// MFs, 1024 rule nodes, 8 outputs of 7 MFs, weights drawn from [-1, 1), so
// about half the arcs pass the thresholds and every rule node yields a rule.
// ExtractRules adds the default labels and the MF lists to the ReMirk pass.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "KQmessage/KQML.h"
#include "Mirk/RuleExtraction/TMirkRule.h"
#include "Mirk/TMirk.h"
#include "RuleObject/RuleObject.h"

namespace {

using mirk::TMirk;

TMirk LargeNetwork() {
  TMirk net(64, std::vector<int>(64, 7), 1024, std::vector<int>(8, 7), 8);
  net.InitWeights(-1.0, 1.0);
  return net;
}

void SetRules(benchmark::State& state, const mirk::TRuleList* rules) {
  state.counters["rules"] = rules != nullptr ? rules->GetNumRules() : 0;
}

void RuleExtractionReMirk(benchmark::State& state) {
  const TMirk net = LargeNetwork();
  std::unique_ptr<mirk::TRuleList> rules;
  for (auto _ : state) {
    rules = mirk::TMirkRule::ExtractReMirkRules(net, 0.0, 0.0);
    benchmark::DoNotOptimize(rules.get());
  }
  SetRules(state, rules.get());
}
BENCHMARK(RuleExtractionReMirk)->Unit(benchmark::kMillisecond);

void RuleExtractionWithMFLists(benchmark::State& state) {
  const TMirk net = LargeNetwork();
  std::unique_ptr<mirk::TFuzzyRuleSet> ruleSet;
  for (auto _ : state) {
    mirk::TMirkRule::ExtractRules(net, ruleSet, nullptr, nullptr);
    benchmark::DoNotOptimize(ruleSet.get());
  }
  SetRules(state, ruleSet->Rules.get());
}
BENCHMARK(RuleExtractionWithMFLists)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
