#include "NeuralNets/DenseArcs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "NeuralNets/TConnectedNetwork.h"
#include "tests/NeuralNets/TestNetworks.h"

namespace mirk {
namespace {

// The plain sequential sum of the sets' contract: sources from 0 upwards,
// one rounding per step, missing arcs skipped.
std::vector<double> SequentialAggregate(TBasicConnections& set, std::span<const double> x,
                                        const std::vector<double>& start) {
  std::vector<double> net = start;
  for (int to = 0; to < set.GetToSize(); ++to) {
    double sum = 0.0;
    for (int from = 0; from < set.GetFromSize(); ++from) {
      if (set.IsValid(from, to)) sum = sum + *set.GetWeight(from, to) * x[static_cast<size_t>(from)];
    }
    net[static_cast<size_t>(to)] += sum;
  }
  return net;
}

// Equal bit for bit; any two NaNs match (which operand's NaN an addition
// passes on is up to the compiler's operand order, in the reference too).
bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::isnan(a[i]) && std::isnan(b[i])) continue;
    if (std::memcmp(&a[i], &b[i], sizeof(double)) != 0) return false;
  }
  return true;
}

// Random sizes around the block width, random weights and flags; now and then
// infinities and NaNs among the source outputs and at missing arcs.
TEST(DenseArcs, AggregateIsBitIdenticalToTheSequentialSum) {
  std::mt19937 random(12345);
  std::uniform_real_distribution<double> value(-4.0, 4.0);
  const double specials[] = {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN(), 0.0, -0.0, 1e308};
  auto draw = [&](bool special) { return special ? specials[random() % 6] : value(random); };

  for (int round = 0; round < 300; ++round) {
    const int fromSize = static_cast<int>(random() % 40);
    const int toSize = static_cast<int>(random() % 27);
    const bool withSpecials = round % 5 == 0;
    auto pruned = test::MakeNetwork<TBasicNetwork>({0, fromSize, toSize});
    auto dense = test::MakeNetwork<TConnectedNetwork>({0, fromSize, toSize});
    pruned->Connect(1, 2);
    dense->Connect(1, 2);
    TBasicConnections& p = *pruned->GetConnections(1, 2);
    TBasicConnections& d = *dense->GetConnections(1, 2);
    for (int to = 0; to < toSize; ++to) {
      for (int from = 0; from < fromSize; ++from) {
        *d.GetWeight(from, to) = draw(withSpecials && random() % 50 == 0);
        *p.GetWeight(from, to) = value(random);
        if (random() % 2 == 0) {
          p.RemoveWeight(from, to);
          *p.GetWeight(from, to) = draw(withSpecials && random() % 4 == 0);
        } else if (random() % 3 == 0) {
          p.FreezeWeight(from, to);
        }
      }
    }
    std::vector<double> x(static_cast<size_t>(fromSize));
    for (double& v : x) v = draw(withSpecials && random() % 20 == 0);
    std::vector<double> start(static_cast<size_t>(toSize));
    for (double& v : start) v = value(random);
    std::copy(x.begin(), x.end(), pruned->GetLayer(1)->GetOutputs().begin());
    std::copy(x.begin(), x.end(), dense->GetLayer(1)->GetOutputs().begin());

    for (TBasicConnections* set : {&p, &d}) {
      std::vector<double> fast = start;
      set->Aggregate(fast);
      std::vector<double> visited = start;
      set->TBasicConnections::Aggregate(visited);  // through the aggregating visitor
      const std::vector<double> reference = SequentialAggregate(*set, x, start);
      EXPECT_TRUE(SameBits(fast, reference)) << set->GetConnectionsNType() << " " << fromSize << "x" << toSize;
      EXPECT_TRUE(SameBits(visited, reference)) << set->GetConnectionsNType();
    }
  }
}

TEST(DenseArcs, NodeEditMapsNewPositionsToOldOnes) {
  const detail::TNodeEdit insert{2, 1};
  const int inserted[] = {0, 1, -1, 2, 3};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(insert.OldIndex(i), inserted[i]);
  const detail::TNodeEdit remove{1, -1};
  const int removed[] = {0, 2, 3};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(remove.OldIndex(i), removed[i]);
}

}  // namespace
}  // namespace mirk
