// The interface of a connection set: the weighted arcs from the neurons of
// one layer (fromLayer) to those of another (toLayer) of the same network.
// An arc is named (from, to): its source neuron's position in fromLayer,
// then its destination neuron's position in toLayer.
#pragma once

#include <memory>
#include <span>
#include <vector>

namespace mirk {

class TBasicNetwork;
class TIterateObj;
class TIterateObj2;
class TIterateObj3;

// The flag byte of an arc: 0 no arc, 1 an existing frozen arc, 3 an existing
// trainable arc.
using TArcFlags = unsigned char;
inline constexpr TArcFlags FMaskExists = 1;     // bit 0: the arc exists
inline constexpr TArcFlags FMaskTrainable = 2;  // bit 1: training and Randomize may change it
inline constexpr TArcFlags FMaskAll = 3;

// As a mask argument, FMaskExists selects every existing arc; any other value
// (callers pass FMaskAll or 0) only the existing trainable ones.
constexpr bool PassesMask(TArcFlags flags, int mask) noexcept {
  const TArcFlags pattern = mask == FMaskExists ? FMaskExists : FMaskAll;
  return (flags & pattern) == pattern;
}

// The four single-arc edits, for CanEditArc.
enum class TArcEdit { Remove, Add, Unfreeze, Freeze };

class TBasicConnections {
 public:
  TBasicConnections(TBasicNetwork* network, int fromLayer, int toLayer);
  TBasicConnections(const TBasicConnections&) = delete;
  TBasicConnections& operator=(const TBasicConnections&) = delete;
  virtual ~TBasicConnections();

  virtual bool IsConnected() const;  // true
  // The default weight lists run Iterate(mask) and list the visited arcs in
  // visiting order; they return the number of arcs visited. out and in must
  // hold that many values (checked).
  virtual int GetNumWeights(int mask);
  virtual int GetWeights(std::span<double> out, int mask);
  virtual int SetWeights(std::span<const double> in, int mask);
  // Every trainable arc, in Iterate order, gets RandomWeight(min, max); when
  // min equals max, min without drawing.
  virtual void Randomize(double min, double max);
  // The address of the weight at (from, to).
  virtual double* GetWeight(int from, int to) = 0;
  // Adds to netInputs[to], for every destination neuron, the sum over its
  // existing arcs of source output times weight, sources in increasing
  // order. netInputs must hold the destination layer's neuron count.
  virtual void Aggregate(std::span<double> netInputs);
  virtual bool IsValid(int from, int to) const = 0;
  virtual bool IsTrainable(int from, int to) const;  // IsValid
  // The arc edits. Not supported here (checked); ask CanEditArc first when
  // the request comes from outside the program, such as a network file.
  virtual void RemoveWeight(int from, int to);
  virtual void AddWeight(int from, int to);
  virtual void UnfreezeWeight(int from, int to);
  virtual void FreezeWeight(int from, int to);
  // Visitors: set-wide fields first, then Visit once per selected arc.
  virtual void IterateInArcs(TIterateObj& visitor, int to, int mask) = 0;
  virtual void IterateOutArcs(TIterateObj& visitor, int from, int mask) = 0;
  virtual void Iterate(TIterateObj& visitor, int mask) = 0;
  // In step with the set of net2 (and net3) for the same pair of layers,
  // which must be of the same type (checked) and sizes.
  virtual void Iterate2(TIterateObj2& visitor, TBasicNetwork& net2, int mask) = 0;
  virtual void Iterate3(TIterateObj3& visitor, TBasicNetwork& net2, TBasicNetwork& net3, int mask) = 0;
  // "Empty", "FullyConnected", "Pruneable", ...: what network files record.
  virtual const char* GetConnectionsNType() const = 0;
  // A set without flag storage reports FMaskAll for every arc and accepts
  // only FMaskAll or FMaskExists (checked), changing nothing.
  virtual TArcFlags GetFlags(int from, int to) const;
  virtual void SetFlags(int from, int to, TArcFlags val);
  // A copy with the same layers and arcs, belonging to owner.
  virtual std::unique_ptr<TBasicConnections> Clone(TBasicNetwork* owner) const = 0;
  // The node operations are called by the network after the layer's neuron
  // count has changed.
  virtual void RemoveFromNode(int node) = 0;
  virtual void RemoveToNode(int node) = 0;
  // New arcs get RandomWeight(min, max), one draw each, when attached; not
  // supported here (checked).
  virtual void InsertFromNode(int node, double min, double max, bool attached);
  virtual void InsertToNode(int node, double min, double max, bool attached);
  // Whether the arc edit is supported, so a caller can refuse a request
  // without stopping the process. False for every edit here.
  virtual bool CanEditArc(TArcEdit edit) const;
  // Whether the four node operations are supported, so that the network can
  // refuse a node edit before it changes anything. True here.
  virtual bool CanEditNodes() const;

  // Flags of every existing arc, in visiting order.
  std::vector<TArcFlags> GetAllFlags();
  // SetFlags with values[k] for the k-th existing arc in visiting order;
  // values must hold GetNumWeights(FMaskExists) bytes (checked).
  void SetAllFlags(std::span<const TArcFlags> values);
  // Freezes every existing arc.
  void AllUntrainable();

  TBasicNetwork* GetNetwork() const noexcept { return network; }
  int GetFromLayer() const noexcept { return fromLayer; }
  int GetToLayer() const noexcept { return toLayer; }
  // The current neuron counts of the two layers, read from the network.
  int GetFromSize() const;
  int GetToSize() const;

 protected:
  TBasicNetwork* network;
  int fromLayer;
  int toLayer;

 private:
  friend class TBasicNetwork;  // renumbers the layers
};

}  // namespace mirk
