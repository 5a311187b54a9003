#include "NeuralNets/TConnectedConnections.h"

#include <algorithm>

#include "Common/Check.h"
#include "NeuralNets/Random.h"
#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TIterateObj.h"
#include "NeuralNets/TIterateObj2.h"

namespace mirk {

TConnectedConnections::TConnectedConnections(TBasicNetwork* network, int fromLayer, int toLayer)
    : TBasicConnections(network, fromLayer, toLayer), shape{GetFromSize(), GetToSize()} {
  array_weights.assign(shape.StorageSize(), 0.0);
}

TConnectedConnections::TConnectedConnections(TBasicNetwork* network, int fromLayer, int toLayer,
                                             const detail::TDenseShape& shape)
    : TBasicConnections(network, fromLayer, toLayer), shape(shape) {}

int TConnectedConnections::GetNumWeights(int) { return shape.fromSize * shape.toSize; }

int TConnectedConnections::GetWeights(std::span<double> out, int) {
  MIRK_CHECK(out.size() >= static_cast<size_t>(shape.fromSize) * shape.toSize);
  size_t k = 0;
  for (int from = 0; from < shape.fromSize; ++from) {
    for (int to = 0; to < shape.toSize; ++to) out[k++] = array_weights[shape.Index(from, to)];
  }
  return static_cast<int>(k);
}

int TConnectedConnections::SetWeights(std::span<const double> in, int) {
  MIRK_CHECK(in.size() >= static_cast<size_t>(shape.fromSize) * shape.toSize);
  size_t k = 0;
  for (int from = 0; from < shape.fromSize; ++from) {
    for (int to = 0; to < shape.toSize; ++to) array_weights[shape.Index(from, to)] = in[k++];
  }
  return static_cast<int>(k);
}

void TConnectedConnections::Randomize(double min, double max) {
  for (int to = 0; to < shape.toSize; ++to) {
    for (int from = 0; from < shape.fromSize; ++from) {
      array_weights[shape.Index(from, to)] = min == max ? min : RandomWeight(min, max);
    }
  }
}

double* TConnectedConnections::GetWeight(int from, int to) {
  MIRK_CHECK(from >= 0 && from < shape.fromSize && to >= 0 && to < shape.toSize);
  return &array_weights[shape.Index(from, to)];
}

void TConnectedConnections::Aggregate(std::span<double> netInputs) {
  const std::span<const double> x = network->GetLayer(fromLayer)->GetOutputs();
  MIRK_CHECK(x.size() == static_cast<size_t>(shape.fromSize));
  MIRK_CHECK(netInputs.size() >= static_cast<size_t>(shape.toSize));
  detail::AggregateDense(array_weights.data(), shape, x.data(), netInputs.data());
}

void TConnectedConnections::AggregateRows(std::span<const double> sources, size_t sourceStride, std::span<double> net,
                            size_t netStride, int numRows) const {
  detail::AggregateDenseRows(array_weights.data(), shape, sources, sourceStride, net, netStride, numRows);
}

bool TConnectedConnections::IsValid(int, int) const { return true; }

bool TConnectedConnections::IsTrainable(int, int) const { return true; }

void TConnectedConnections::AddWeight(int, int) {}

void TConnectedConnections::UnfreezeWeight(int, int) {}

void TConnectedConnections::IterateInArcs(TIterateObj& visitor, int to, int) {
  MIRK_CHECK(to >= 0 && to < shape.toSize);
  visitor.Prepare(*this);
  for (int from = 0; from < shape.fromSize; ++from) visitor.VisitArc(from, to, GetWeight(from, to), true);
}

void TConnectedConnections::IterateOutArcs(TIterateObj& visitor, int from, int) {
  MIRK_CHECK(from >= 0 && from < shape.fromSize);
  visitor.Prepare(*this);
  for (int to = 0; to < shape.toSize; ++to) visitor.VisitArc(from, to, GetWeight(from, to), true);
}

void TConnectedConnections::Iterate(TIterateObj& visitor, int) {
  visitor.Prepare(*this);
  for (int to = 0; to < shape.toSize; ++to) {
    for (int from = 0; from < shape.fromSize; ++from) visitor.VisitArc(from, to, GetWeight(from, to), true);
  }
}

void TConnectedConnections::Iterate2(TIterateObj2& visitor, TBasicNetwork& net2, int) {
  TBasicConnections& conn2 = MatchingSet(*this, net2);
  visitor.Prepare(*this, conn2);
  for (int to = 0; to < shape.toSize; ++to) {
    for (int from = 0; from < shape.fromSize; ++from) {
      visitor.VisitArc(from, to, GetWeight(from, to), conn2.GetWeight(from, to), true);
    }
  }
}

void TConnectedConnections::Iterate3(TIterateObj3& visitor, TBasicNetwork& net2, TBasicNetwork& net3, int) {
  TBasicConnections& conn2 = MatchingSet(*this, net2);
  TBasicConnections& conn3 = MatchingSet(*this, net3);
  visitor.Prepare(*this, conn2, conn3);
  for (int to = 0; to < shape.toSize; ++to) {
    for (int from = 0; from < shape.fromSize; ++from) {
      visitor.VisitArc(from, to, GetWeight(from, to), conn2.GetWeight(from, to), conn3.GetWeight(from, to), true);
    }
  }
}

const char* TConnectedConnections::GetConnectionsNType() const { return "FullyConnected"; }

std::unique_ptr<TBasicConnections> TConnectedConnections::Clone(TBasicNetwork* owner) const {
  std::unique_ptr<TConnectedConnections> copy(new TConnectedConnections(owner, fromLayer, toLayer, shape));
  copy->array_weights = array_weights;
  return copy;
}

void TConnectedConnections::RemoveFromNode(int node) {
  MIRK_CHECK(node >= 0 && node < shape.fromSize);
  const detail::TDenseShape next{shape.fromSize - 1, shape.toSize};
  array_weights = detail::Reshape(array_weights, shape, next, {node, -1}, {});
  shape = next;
}

void TConnectedConnections::RemoveToNode(int node) {
  MIRK_CHECK(node >= 0 && node < shape.toSize);
  const detail::TDenseShape next{shape.fromSize, shape.toSize - 1};
  array_weights = detail::Reshape(array_weights, shape, next, {}, {node, -1});
  shape = next;
}

void TConnectedConnections::InsertFromNode(int node, double min, double max, bool attached) {
  MIRK_CHECK(attached);
  MIRK_CHECK(node >= 0 && node <= shape.fromSize);
  const detail::TDenseShape next{shape.fromSize + 1, shape.toSize};
  array_weights = detail::Reshape(array_weights, shape, next, {node, 1}, {});
  shape = next;
  for (int to = 0; to < shape.toSize; ++to) array_weights[shape.Index(node, to)] = RandomWeight(min, max);
}

void TConnectedConnections::InsertToNode(int node, double min, double max, bool attached) {
  MIRK_CHECK(attached);
  MIRK_CHECK(node >= 0 && node <= shape.toSize);
  const detail::TDenseShape next{shape.fromSize, shape.toSize + 1};
  array_weights = detail::Reshape(array_weights, shape, next, {}, {node, 1});
  shape = next;
  for (int from = 0; from < shape.fromSize; ++from) array_weights[shape.Index(from, node)] = RandomWeight(min, max);
}

bool TConnectedConnections::CanEditArc(TArcEdit edit) const {
  return edit == TArcEdit::Add || edit == TArcEdit::Unfreeze;
}

}  // namespace mirk
