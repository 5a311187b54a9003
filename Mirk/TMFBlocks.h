// The membership functions of a Mirk network's variables as blocks of
// consecutive nodes: the conditions of its inputs, or the actions of its
// outputs. Variable 0 owns the first block, variable 1 the next, and so on.
#pragma once

#include <span>
#include <vector>

namespace mirk {

// A value: the counts with their block starts and each node's owner. With
// counts {3, 2}, nodes 0 to 2 belong to variable 0 (functions 0 to 2) and
// nodes 3 and 4 to variable 1 (functions 0 and 1).
class TMFBlocks {
 public:
  TMFBlocks() = default;  // no variables, no nodes
  // Copies counts. Every count must be >= 0 and Total(counts) must fit an
  // int (checked): callers refuse bad counts in their own terms first.
  explicit TMFBlocks(std::span<const int> counts);

  // The sum of counts, wide enough never to overflow.
  static long long Total(std::span<const int> counts) noexcept;
  // Centre j of m (m >= 2) membership functions spread evenly over [0, 1]:
  // j / (m - 1), exactly 0.0 and 1.0 at the ends.
  static double EvenCentre(int j, int m) noexcept;

  int GetNumVariables() const noexcept { return static_cast<int>(counts.size()); }
  int GetNumNodes() const noexcept { return starts.back(); }
  std::span<const int> GetCounts() const noexcept { return counts; }
  // Indexes are checked with MIRK_CHECK: variable in 0 to GetNumVariables()
  // - 1 (GetStart also takes GetNumVariables(), giving GetNumNodes()), node
  // in 0 to GetNumNodes() - 1.
  int GetCount(int variable) const;
  int GetStart(int variable) const;
  int GetVariableOf(int node) const;
  int GetMFIndex(int node) const;  // the node's place in its variable's block
  // The owning variable of every node, in node order.
  std::span<const int> GetVariableMap() const noexcept { return owner; }

  friend bool operator==(const TMFBlocks&, const TMFBlocks&) = default;

 private:
  std::vector<int> counts;
  std::vector<int> starts{0};  // one more than counts: the node after the last
  std::vector<int> owner;      // one per node
};

}  // namespace mirk
