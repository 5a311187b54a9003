#include "NeuralNets/TEmptyConnections.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/NeuralNets/TestNetworks.h"

namespace mirk {
namespace {

TEST(EmptySet, HasNoArcsAndLeavesNetInputsAlone) {
  auto net = test::MakeNetwork<TBasicNetwork>({0, 3, 2});
  TBasicConnections& set = *net->GetConnections(1, 2);
  EXPECT_STREQ(set.GetConnectionsNType(), "Empty");
  EXPECT_FALSE(set.IsConnected());
  for (int mask : {0, 1, 3}) EXPECT_EQ(set.GetNumWeights(mask), 0);
  EXPECT_FALSE(set.IsValid(0, 0));
  EXPECT_FALSE(set.IsTrainable(2, 1));
  EXPECT_EQ(set.GetFlags(1, 1), FMaskAll);
  EXPECT_TRUE(set.GetAllFlags().empty());
  EXPECT_FALSE(set.CanEditArc(TArcEdit::Add));

  std::vector<double> netInputs = {1.5, -2.0};
  set.Aggregate(netInputs);
  EXPECT_EQ(netInputs, (std::vector<double>{1.5, -2.0}));

  test::TRecordingVisitor visitor;
  set.Iterate(visitor, FMaskExists);
  EXPECT_TRUE(visitor.arcs.empty());

  const auto copy = set.Clone(net.get());
  EXPECT_STREQ(copy->GetConnectionsNType(), "Empty");
  EXPECT_EQ(copy->GetFromLayer(), 1);
  EXPECT_EQ(copy->GetToLayer(), 2);
}

}  // namespace
}  // namespace mirk
