// The fully connected set: every source neuron joined to every destination
// neuron, every arc trainable.
#pragma once

#include <vector>

#include "NeuralNets/DenseArcs.h"
#include "NeuralNets/TBasicConnections.h"

namespace mirk {

class TConnectedConnections : public TBasicConnections {
 public:
  // Every weight 0.0.
  TConnectedConnections(TBasicNetwork* network, int fromLayer, int toLayer);

  int GetNumWeights(int mask) override;  // fromSize x toSize for any mask
  // Weight lists ignore the mask and go source-major: for each source
  // neuron, for each destination neuron. Return fromSize x toSize.
  int GetWeights(std::span<double> out, int mask) override;
  int SetWeights(std::span<const double> in, int mask) override;
  // Every weight, destination-major: for each destination neuron, for each
  // source neuron.
  void Randomize(double min, double max) override;
  double* GetWeight(int from, int to) override;
  void Aggregate(std::span<double> netInputs) override;
  // Aggregate for numRows rows at once, from source outputs given here
  // instead of the source layer's: row r reads fromSize values at
  // sources[r * sourceStride] and adds to toSize net inputs at
  // net[r * netStride]. Each row bit for bit as Aggregate would add it.
  void AggregateRows(std::span<const double> sources, size_t sourceStride, std::span<double> net,
                     size_t netStride, int numRows) const;
  bool IsValid(int from, int to) const override;      // true
  bool IsTrainable(int from, int to) const override;  // true
  // Arcs can be neither removed nor frozen (checked); adding and unfreezing
  // change nothing.
  void AddWeight(int from, int to) override;
  void UnfreezeWeight(int from, int to) override;
  // Visiting: Iterate is destination-major, IterateInArcs takes sources in
  // increasing order, IterateOutArcs destinations; every arc is trainable
  // and every mask selects every arc.
  void IterateInArcs(TIterateObj& visitor, int to, int mask) override;
  void IterateOutArcs(TIterateObj& visitor, int from, int mask) override;
  void Iterate(TIterateObj& visitor, int mask) override;
  void Iterate2(TIterateObj2& visitor, TBasicNetwork& net2, int mask) override;
  void Iterate3(TIterateObj3& visitor, TBasicNetwork& net2, TBasicNetwork& net3, int mask) override;
  const char* GetConnectionsNType() const override;  // "FullyConnected"
  std::unique_ptr<TBasicConnections> Clone(TBasicNetwork* owner) const override;
  void RemoveFromNode(int node) override;
  void RemoveToNode(int node) override;
  // A fully connected set cannot hold a neuron without arcs: attached must
  // be true (checked). New arcs are drawn in increasing order of the other
  // index.
  void InsertFromNode(int node, double min, double max, bool attached) override;
  void InsertToNode(int node, double min, double max, bool attached) override;
  bool CanEditArc(TArcEdit edit) const override;  // Add and Unfreeze only

 private:
  TConnectedConnections(TBasicNetwork* network, int fromLayer, int toLayer, const detail::TDenseShape& shape);

  detail::TDenseShape shape;
  std::vector<double> array_weights;  // at shape.Index(from, to)
};

}  // namespace mirk
