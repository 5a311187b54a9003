#include "Mirk/TMFBlocks.h"

#include <climits>

#include "Common/Check.h"

namespace mirk {

TMFBlocks::TMFBlocks(std::span<const int> given) : counts(given.begin(), given.end()) {
  MIRK_CHECK(Total(given) <= INT_MAX);
  starts.reserve(counts.size() + 1);
  owner.reserve(static_cast<size_t>(Total(given)));
  for (size_t v = 0; v < counts.size(); ++v) {
    MIRK_CHECK(counts[v] >= 0);
    starts.push_back(starts.back() + counts[v]);
    owner.insert(owner.end(), static_cast<size_t>(counts[v]), static_cast<int>(v));
  }
}

long long TMFBlocks::Total(std::span<const int> counts) noexcept {
  long long total = 0;
  for (const int m : counts) total += m;
  return total;
}

double TMFBlocks::EvenCentre(int j, int m) noexcept { return static_cast<double>(j) / static_cast<double>(m - 1); }

int TMFBlocks::GetCount(int variable) const {
  MIRK_CHECK(variable >= 0 && variable < GetNumVariables());
  return counts[static_cast<size_t>(variable)];
}

int TMFBlocks::GetStart(int variable) const {
  MIRK_CHECK(variable >= 0 && variable <= GetNumVariables());
  return starts[static_cast<size_t>(variable)];
}

int TMFBlocks::GetVariableOf(int node) const {
  MIRK_CHECK(node >= 0 && node < GetNumNodes());
  return owner[static_cast<size_t>(node)];
}

int TMFBlocks::GetMFIndex(int node) const { return node - starts[static_cast<size_t>(GetVariableOf(node))]; }

}  // namespace mirk
