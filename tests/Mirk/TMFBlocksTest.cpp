#include "Mirk/TMFBlocks.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <vector>

namespace mirk {
namespace {

TEST(TMFBlocks, MapsNodesToVariablesAndBack) {
  const TMFBlocks blocks(std::array{3, 2, 4});
  EXPECT_EQ(blocks.GetNumVariables(), 3);
  EXPECT_EQ(blocks.GetNumNodes(), 9);
  EXPECT_EQ(blocks.GetCount(2), 4);
  const std::array starts{0, 3, 5, 9};
  for (int v = 0; v <= 3; ++v) EXPECT_EQ(blocks.GetStart(v), starts[v]) << v;
  const std::vector<int> owner{0, 0, 0, 1, 1, 2, 2, 2, 2};
  const std::vector<int> index{0, 1, 2, 0, 1, 0, 1, 2, 3};
  EXPECT_EQ(std::vector<int>(blocks.GetVariableMap().begin(), blocks.GetVariableMap().end()), owner);
  for (int node = 0; node < 9; ++node) {
    EXPECT_EQ(blocks.GetVariableOf(node), owner[node]) << node;
    EXPECT_EQ(blocks.GetMFIndex(node), index[node]) << node;
  }
}

TEST(TMFBlocks, EmptyBlocksAndEquality) {
  const TMFBlocks none;
  EXPECT_EQ(none.GetNumVariables(), 0);
  EXPECT_EQ(none.GetNumNodes(), 0);
  EXPECT_EQ(none.GetStart(0), 0);
  EXPECT_EQ(none, TMFBlocks(std::vector<int>{}));
  // A variable may own no node: the label set takes such counts.
  const TMFBlocks gap(std::array{2, 0, 1});
  EXPECT_EQ(gap.GetStart(2), 2);
  EXPECT_EQ(gap.GetVariableOf(2), 2);
  EXPECT_NE(gap, TMFBlocks(std::array{2, 1}));
}

TEST(TMFBlocks, TotalDoesNotOverflowAndCentresAreExactAtTheEnds) {
  EXPECT_EQ(TMFBlocks::Total(std::array{INT_MAX, INT_MAX}), 2LL * INT_MAX);
  EXPECT_EQ(TMFBlocks::Total(std::array<int, 0>{}), 0);
  for (const int m : {2, 3, 7, 10, 1000}) {
    EXPECT_EQ(TMFBlocks::EvenCentre(0, m), 0.0) << m;
    EXPECT_EQ(TMFBlocks::EvenCentre(m - 1, m), 1.0) << m;
  }
  EXPECT_EQ(TMFBlocks::EvenCentre(1, 3), 0.5);
  EXPECT_EQ(TMFBlocks::EvenCentre(1, 4), 1.0 / 3.0);
}

}  // namespace
}  // namespace mirk
