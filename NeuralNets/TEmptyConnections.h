// The set of a pair of layers without arcs.
#pragma once

#include "NeuralNets/TBasicConnections.h"

namespace mirk {

class TEmptyConnections : public TBasicConnections {
 public:
  using TBasicConnections::TBasicConnections;

  bool IsConnected() const override;  // false
  int GetNumWeights(int mask) override;  // 0
  int GetWeights(std::span<double> out, int mask) override;
  int SetWeights(std::span<const double> in, int mask) override;
  void Randomize(double min, double max) override;
  double* GetWeight(int from, int to) override;  // there is none (checked)
  void Aggregate(std::span<double> netInputs) override;
  bool IsValid(int from, int to) const override;  // false
  bool IsTrainable(int from, int to) const override;  // false
  void IterateInArcs(TIterateObj& visitor, int to, int mask) override;
  void IterateOutArcs(TIterateObj& visitor, int from, int mask) override;
  void Iterate(TIterateObj& visitor, int mask) override;
  void Iterate2(TIterateObj2& visitor, TBasicNetwork& net2, int mask) override;
  void Iterate3(TIterateObj3& visitor, TBasicNetwork& net2, TBasicNetwork& net3, int mask) override;
  const char* GetConnectionsNType() const override;  // "Empty"
  std::unique_ptr<TBasicConnections> Clone(TBasicNetwork* owner) const override;
  void RemoveFromNode(int node) override;
  void RemoveToNode(int node) override;
  void InsertFromNode(int node, double min, double max, bool attached) override;
  void InsertToNode(int node, double min, double max, bool attached) override;
};

}  // namespace mirk
