// The pruneable set: a flag byte for every possible arc, so single arcs can
// be removed, restored, frozen and unfrozen. A position without an arc holds
// weight 0.0 as long as it is edited only through this interface.
#pragma once

#include <vector>

#include "NeuralNets/DenseArcs.h"
#include "NeuralNets/TBasicConnections.h"

namespace mirk {

class TPrunedConnections : public TBasicConnections {
 public:
  // Every arc present and trainable, every weight 0.0.
  TPrunedConnections(TBasicNetwork* network, int fromLayer, int toLayer);

  // The inherited weight lists honour the mask and go destination-major:
  // for each destination neuron, the selected arcs from source 0 upwards.
  // Every trainable arc, in storage order (destination-major).
  void Randomize(double min, double max) override;
  // The weight at (from, to), arc or not.
  double* GetWeight(int from, int to) override;
  // Only positions whose exists bit is set take part, whatever weight the
  // others hold.
  void Aggregate(std::span<double> netInputs) override;
  // Aggregate for numRows rows at once, from source outputs given here
  // instead of the source layer's: row r reads fromSize values at
  // sources[r * sourceStride] and adds to toSize net inputs at
  // net[r * netStride]. Each row bit for bit as Aggregate would add it.
  void AggregateRows(std::span<const double> sources, size_t sourceStride, std::span<double> net,
                     size_t netStride, int numRows) const;
  bool IsValid(int from, int to) const override;      // the exists bit
  bool IsTrainable(int from, int to) const override;  // the trainable bit
  void RemoveWeight(int from, int to) override;  // flag 0, weight 0.0
  // A missing arc becomes trainable with weight 0.0; an existing one keeps
  // its flag and weight.
  void AddWeight(int from, int to) override;
  void UnfreezeWeight(int from, int to) override;  // only an existing arc
  void FreezeWeight(int from, int to) override;
  // Visiting as for the fully connected set, over the arcs that pass the
  // mask; trainable is the arc's trainable bit.
  void IterateInArcs(TIterateObj& visitor, int to, int mask) override;
  void IterateOutArcs(TIterateObj& visitor, int from, int mask) override;
  void Iterate(TIterateObj& visitor, int mask) override;
  void Iterate2(TIterateObj2& visitor, TBasicNetwork& net2, int mask) override;
  void Iterate3(TIterateObj3& visitor, TBasicNetwork& net2, TBasicNetwork& net3, int mask) override;
  const char* GetConnectionsNType() const override;  // "Pruneable"
  TArcFlags GetFlags(int from, int to) const override;
  void SetFlags(int from, int to, TArcFlags val) override;  // any byte
  std::unique_ptr<TBasicConnections> Clone(TBasicNetwork* owner) const override;
  void RemoveFromNode(int node) override;
  void RemoveToNode(int node) override;
  // New positions: trainable arcs with drawn weights (one draw each, in
  // increasing order of the other index) when attached, no arcs otherwise.
  void InsertFromNode(int node, double min, double max, bool attached) override;
  void InsertToNode(int node, double min, double max, bool attached) override;
  bool CanEditArc(TArcEdit edit) const override;  // every edit

 private:
  TPrunedConnections(TBasicNetwork* network, int fromLayer, int toLayer, const detail::TDenseShape& shape);
  size_t Position(int from, int to) const;  // checked
  // Visits (from, to) when its flag passes the mask.
  void VisitSelected(TIterateObj& visitor, int from, int to, int mask);
  void SetExists(int from, int to, bool exists);
  void Resize(detail::TNodeEdit fromEdit, detail::TNodeEdit toEdit);
  void SetNewArc(int from, int to, double min, double max, bool attached);

  detail::TDenseShape shape;
  // Weight and flag byte of (from, to) at shape.Index(from, to).
  std::vector<double> array_weights;
  std::vector<TArcFlags> array_masks;
  // The exists bits again, packed for Aggregate; kept in step with the flags.
  std::vector<unsigned char> exists_bits;
};

}  // namespace mirk
