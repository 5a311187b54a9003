// Visitors over arcs. A caller hands a visitor to a set's Iterate,
// IterateInArcs or IterateOutArcs (or the network's IterateInArcs and
// IterateOutArcs); the set fills the set-wide fields once, then the per-arc
// fields before each call of Visit. A visitor may change the weight through
// `weight` and call per-arc operations of `conns` for the current arc, but
// must not change the structure of the set.
#pragma once

#include "NeuralNets/TBasicConnections.h"

namespace mirk {

class TBasicLayer;
class TBasicNetwork;

class TIterateObj {
 public:
  TIterateObj() = default;
  virtual ~TIterateObj() = default;

  virtual void Visit() {}

  // Set-wide filling for the set that network holds for the two layers.
  void SetLayers(TBasicLayer& from, TBasicLayer& to);
  void SetLayers(TBasicNetwork& network, int fromLayer, int toLayer);
  // Set-wide filling for set itself (whether or not its network holds it).
  void Prepare(TBasicConnections& set);
  // Per-arc filling, then Visit.
  void VisitArc(int from, int to, double* arcWeight, bool arcTrainable) {
    fromNode = from;
    toNode = to;
    weight = arcWeight;
    trainable = arcTrainable;
    Visit();
  }

  int fromLayer = 0;
  int toLayer = 0;
  int fromNode = 0;
  int toNode = 0;
  TBasicConnections* conns = nullptr;
  double* weight = nullptr;
  bool trainable = false;
  TBasicLayer* fromLayerObj = nullptr;
  TBasicLayer* toLayerObj = nullptr;
  double* fromOutputs = nullptr;
  double* toOutputs = nullptr;
};

// sum += source output x weight.
class TIterateObjAggregate : public TIterateObj {
 public:
  void Visit() override;
  double sum = 0.0;
};

class TIterateObjGetNumWeights : public TIterateObj {
 public:
  void Visit() override;
  int count = 0;
};

// Copies each weight to the cursor and advances it.
class TIterateObjGetWeights : public TIterateObj {
 public:
  explicit TIterateObjGetWeights(double* out) : cursor(out) {}
  void Visit() override;
  int count = 0;
  double* cursor;
};

// Copies the value at the cursor into each weight and advances it.
class TIterateObjSetWeights : public TIterateObj {
 public:
  explicit TIterateObjSetWeights(const double* in) : cursor(in) {}
  void Visit() override;
  int count = 0;
  const double* cursor;
};

// weight = min when min equals max, else RandomWeight(min, max).
class TIterateObjRandomize : public TIterateObj {
 public:
  TIterateObjRandomize(double minimum, double maximum) : min(minimum), max(maximum) {}
  void Visit() override;
  double min;
  double max;
};

// buffer[count] = conns' GetFlags of the arc.
class TIterateObjGetFlags : public TIterateObj {
 public:
  explicit TIterateObjGetFlags(TArcFlags* out) : buffer(out) {}
  void Visit() override;
  int count = 0;
  TArcFlags* buffer;
};

// conns' SetFlags of the arc with values[index].
class TIterateObjSetFlags : public TIterateObj {
 public:
  explicit TIterateObjSetFlags(const TArcFlags* in) : values(in) {}
  void Visit() override;
  int index = 0;
  const TArcFlags* values;
};

// conns' FreezeWeight of the arc.
class TIterateObjAllUntrainable : public TIterateObj {
 public:
  void Visit() override;
};

// Counts the arcs it is shown; the network prunes neurons it counts none for.
class TIterateObjPruneNode : public TIterateObj {
 public:
  void Visit() override;
  int count = 0;
};

}  // namespace mirk
