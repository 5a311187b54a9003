#include "NeuralNets/Random.h"

#include <gtest/gtest.h>

namespace mirk {
namespace {

class RandomTest : public ::testing::Test {
 protected:
  void SetUp() override { detail::ResetRandomForTesting(); }
};

TEST_F(RandomTest, SequenceStartsFromStateOne) {
  const int expected[] = {346, 130, 10982, 1090, 11656, 7117, 17595, 6415, 22948, 31126};
  for (int value : expected) EXPECT_EQ(NextRandom(), value);
}

TEST_F(RandomTest, WeightScalesTheDrawIntoTheRange) {
  EXPECT_DOUBLE_EQ(RandomWeight(-1.0, 1.0), -1.0 + 2.0 * 346.0 / 32767.0);
  EXPECT_DOUBLE_EQ(RandomWeight(10.0, 20.0), 10.0 + 10.0 * 130.0 / 32767.0);
  // Equal bounds still consume a draw.
  EXPECT_EQ(RandomWeight(0.5, 0.5), 0.5);
  EXPECT_EQ(NextRandom(), 1090);
}

// Exact draws: the scaling runs in extended precision and rounds once. Plain
// double arithmetic gives draws 3, 7 and 9 one unit in the last place off.
TEST_F(RandomTest, DrawsAreRoundedOnceFromExtendedPrecision) {
  const double expected[] = {-0x1.f52fea5fd4bfbp-1, -0x1.fbeff7dfefbfep-1, -0x1.519aa335466a9p-2,
                             -0x1.ddefbbdf77befp-1, -0x1.277a4ef49de94p-2, -0x1.2196432c86591p-1,
                             0x1.2ee25dc4bb897p-4,  -0x1.37866f0cde19cp-1, 0x1.9a4b3496692cdp-2};
  for (const double w : expected) EXPECT_EQ(RandomWeight(-1.0, 1.0), w);
}

TEST_F(RandomTest, TopValueWrapsToTheMinimum) {
  for (int i = 1; i < 5554; ++i) NextRandom();  // draw 5554 is 32767
  EXPECT_EQ(RandomWeight(-1.0, 1.0), -1.0);
}

TEST_F(RandomTest, WeightsStayBelowTheMaximum) {
  for (int i = 0; i < 100000; ++i) {
    const double w = RandomWeight(-1.0, 1.0);
    ASSERT_GE(w, -1.0);
    ASSERT_LT(w, 1.0);
  }
}

}  // namespace
}  // namespace mirk
