#include "NeuralNets/TPrunedConnections.h"

#include "Common/Check.h"
#include "NeuralNets/Random.h"
#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TIterateObj.h"
#include "NeuralNets/TIterateObj2.h"

namespace mirk {

TPrunedConnections::TPrunedConnections(TBasicNetwork* network, int fromLayer, int toLayer)
    : TBasicConnections(network, fromLayer, toLayer), shape{GetFromSize(), GetToSize()} {
  array_weights.assign(shape.StorageSize(), 0.0);
  array_masks.assign(shape.StorageSize(), FMaskAll);
  exists_bits.assign(shape.BitsSize(), 0);
  for (int to = 0; to < shape.toSize; ++to) {
    for (int from = 0; from < shape.fromSize; ++from) SetExists(from, to, true);
  }
}

TPrunedConnections::TPrunedConnections(TBasicNetwork* network, int fromLayer, int toLayer,
                                       const detail::TDenseShape& shape)
    : TBasicConnections(network, fromLayer, toLayer), shape(shape) {}

size_t TPrunedConnections::Position(int from, int to) const {
  MIRK_CHECK(from >= 0 && from < shape.fromSize && to >= 0 && to < shape.toSize);
  return shape.Index(from, to);
}

void TPrunedConnections::SetExists(int from, int to, bool exists) {
  unsigned char& bits = exists_bits[shape.BitsIndex(from, to)];
  const auto bit = static_cast<unsigned char>(1u << (to % detail::kLanes));
  bits = static_cast<unsigned char>(exists ? bits | bit : bits & ~bit);
}

void TPrunedConnections::Randomize(double min, double max) {
  for (int to = 0; to < shape.toSize; ++to) {
    for (int from = 0; from < shape.fromSize; ++from) {
      const size_t i = shape.Index(from, to);
      if (array_masks[i] & FMaskTrainable) array_weights[i] = min == max ? min : RandomWeight(min, max);
    }
  }
}

double* TPrunedConnections::GetWeight(int from, int to) { return &array_weights[Position(from, to)]; }

void TPrunedConnections::Aggregate(std::span<double> netInputs) {
  const std::span<const double> x = network->GetLayer(fromLayer)->GetOutputs();
  MIRK_CHECK(x.size() == static_cast<size_t>(shape.fromSize));
  MIRK_CHECK(netInputs.size() >= static_cast<size_t>(shape.toSize));
  detail::AggregateMasked(array_weights.data(), exists_bits.data(), shape, x.data(), netInputs.data());
}

void TPrunedConnections::AggregateRows(std::span<const double> sources, size_t sourceStride, std::span<double> net,
                            size_t netStride, int numRows) const {
  detail::AggregateMaskedRows(array_weights.data(), exists_bits.data(), shape, sources, sourceStride, net, netStride,
                              numRows);
}

bool TPrunedConnections::IsValid(int from, int to) const { return (GetFlags(from, to) & FMaskExists) != 0; }

bool TPrunedConnections::IsTrainable(int from, int to) const { return (GetFlags(from, to) & FMaskTrainable) != 0; }

void TPrunedConnections::RemoveWeight(int from, int to) {
  SetFlags(from, to, 0);
  *GetWeight(from, to) = 0.0;
}

void TPrunedConnections::AddWeight(int from, int to) {
  if (IsValid(from, to)) return;
  SetFlags(from, to, FMaskAll);
  *GetWeight(from, to) = 0.0;
}

void TPrunedConnections::UnfreezeWeight(int from, int to) {
  TArcFlags& flag = array_masks[Position(from, to)];
  if (flag & FMaskExists) flag |= FMaskTrainable;
}

void TPrunedConnections::FreezeWeight(int from, int to) {
  array_masks[Position(from, to)] &= static_cast<TArcFlags>(~FMaskTrainable);
}

void TPrunedConnections::VisitSelected(TIterateObj& visitor, int from, int to, int mask) {
  const size_t i = shape.Index(from, to);
  if (PassesMask(array_masks[i], mask)) visitor.VisitArc(from, to, &array_weights[i], array_masks[i] & FMaskTrainable);
}

void TPrunedConnections::IterateInArcs(TIterateObj& visitor, int to, int mask) {
  MIRK_CHECK(to >= 0 && to < shape.toSize);
  visitor.Prepare(*this);
  for (int from = 0; from < shape.fromSize; ++from) VisitSelected(visitor, from, to, mask);
}

void TPrunedConnections::IterateOutArcs(TIterateObj& visitor, int from, int mask) {
  MIRK_CHECK(from >= 0 && from < shape.fromSize);
  visitor.Prepare(*this);
  for (int to = 0; to < shape.toSize; ++to) VisitSelected(visitor, from, to, mask);
}

void TPrunedConnections::Iterate(TIterateObj& visitor, int mask) {
  visitor.Prepare(*this);
  for (int to = 0; to < shape.toSize; ++to) {
    for (int from = 0; from < shape.fromSize; ++from) VisitSelected(visitor, from, to, mask);
  }
}

void TPrunedConnections::Iterate2(TIterateObj2& visitor, TBasicNetwork& net2, int mask) {
  TBasicConnections& conn2 = MatchingSet(*this, net2);
  visitor.Prepare(*this, conn2);
  for (int to = 0; to < shape.toSize; ++to) {
    for (int from = 0; from < shape.fromSize; ++from) {
      const size_t i = shape.Index(from, to);
      if (PassesMask(array_masks[i], mask)) {
        visitor.VisitArc(from, to, &array_weights[i], conn2.GetWeight(from, to), array_masks[i] & FMaskTrainable);
      }
    }
  }
}

void TPrunedConnections::Iterate3(TIterateObj3& visitor, TBasicNetwork& net2, TBasicNetwork& net3, int mask) {
  TBasicConnections& conn2 = MatchingSet(*this, net2);
  TBasicConnections& conn3 = MatchingSet(*this, net3);
  visitor.Prepare(*this, conn2, conn3);
  for (int to = 0; to < shape.toSize; ++to) {
    for (int from = 0; from < shape.fromSize; ++from) {
      const size_t i = shape.Index(from, to);
      if (PassesMask(array_masks[i], mask)) {
        visitor.VisitArc(from, to, &array_weights[i], conn2.GetWeight(from, to), conn3.GetWeight(from, to),
                         array_masks[i] & FMaskTrainable);
      }
    }
  }
}

const char* TPrunedConnections::GetConnectionsNType() const { return "Pruneable"; }

TArcFlags TPrunedConnections::GetFlags(int from, int to) const { return array_masks[Position(from, to)]; }

void TPrunedConnections::SetFlags(int from, int to, TArcFlags val) {
  array_masks[Position(from, to)] = val;
  SetExists(from, to, (val & FMaskExists) != 0);
}

std::unique_ptr<TBasicConnections> TPrunedConnections::Clone(TBasicNetwork* owner) const {
  std::unique_ptr<TPrunedConnections> copy(new TPrunedConnections(owner, fromLayer, toLayer, shape));
  copy->array_weights = array_weights;
  copy->array_masks = array_masks;
  copy->exists_bits = exists_bits;
  return copy;
}

void TPrunedConnections::Resize(detail::TNodeEdit fromEdit, detail::TNodeEdit toEdit) {
  const detail::TDenseShape next{shape.fromSize + fromEdit.delta, shape.toSize + toEdit.delta};
  array_weights = detail::Reshape(array_weights, shape, next, fromEdit, toEdit);
  array_masks = detail::Reshape(array_masks, shape, next, fromEdit, toEdit);
  shape = next;
  exists_bits.assign(shape.BitsSize(), 0);
  for (int to = 0; to < shape.toSize; ++to) {
    for (int from = 0; from < shape.fromSize; ++from) {
      SetExists(from, to, (array_masks[shape.Index(from, to)] & FMaskExists) != 0);
    }
  }
}

void TPrunedConnections::SetNewArc(int from, int to, double min, double max, bool attached) {
  SetFlags(from, to, attached ? FMaskAll : 0);
  *GetWeight(from, to) = attached ? RandomWeight(min, max) : 0.0;
}

void TPrunedConnections::RemoveFromNode(int node) {
  MIRK_CHECK(node >= 0 && node < shape.fromSize);
  Resize({node, -1}, {});
}

void TPrunedConnections::RemoveToNode(int node) {
  MIRK_CHECK(node >= 0 && node < shape.toSize);
  Resize({}, {node, -1});
}

void TPrunedConnections::InsertFromNode(int node, double min, double max, bool attached) {
  MIRK_CHECK(node >= 0 && node <= shape.fromSize);
  Resize({node, 1}, {});
  for (int to = 0; to < shape.toSize; ++to) SetNewArc(node, to, min, max, attached);
}

void TPrunedConnections::InsertToNode(int node, double min, double max, bool attached) {
  MIRK_CHECK(node >= 0 && node <= shape.toSize);
  Resize({}, {node, 1});
  for (int from = 0; from < shape.fromSize; ++from) SetNewArc(from, node, min, max, attached);
}

bool TPrunedConnections::CanEditArc(TArcEdit) const { return true; }

}  // namespace mirk
