// Visitors over corresponding arcs of two or three networks of the same
// structure (a set's Iterate2 and Iterate3). The first network's set decides
// which arcs are visited and whether they are trainable; the others supply
// the weight addresses at the same positions.
#pragma once

#include "NeuralNets/TBasicConnections.h"

namespace mirk {

class TBasicLayer;
class TBasicNetwork;

class TIterateObj2 {
 public:
  TIterateObj2() = default;
  // Fills the set-wide fields for the pair of layers and the node fields.
  TIterateObj2(TBasicNetwork& net1, TBasicNetwork& net2, int fromLayer, int toLayer, int fromNode,
               int toNode);
  virtual ~TIterateObj2() = default;

  virtual void Visit() {}

  void Prepare(TBasicConnections& set1, TBasicConnections& set2);
  void VisitArc(int from, int to, double* arcWeight1, double* arcWeight2, bool arcTrainable) {
    fromNode = from;
    toNode = to;
    weight1 = arcWeight1;
    weight2 = arcWeight2;
    trainable = arcTrainable;
    Visit();
  }

  int fromLayer = 0;
  int toLayer = 0;
  int fromNode = 0;
  int toNode = 0;
  TBasicConnections* conns1 = nullptr;
  TBasicConnections* conns2 = nullptr;
  double* weight1 = nullptr;
  double* weight2 = nullptr;
  bool trainable = false;
  TBasicLayer* fromLayerObj1 = nullptr;
  TBasicLayer* toLayerObj1 = nullptr;
  TBasicLayer* fromLayerObj2 = nullptr;
  TBasicLayer* toLayerObj2 = nullptr;
  double* fromOutputs1 = nullptr;
  double* toOutputs1 = nullptr;
  double* fromOutputs2 = nullptr;
  double* toOutputs2 = nullptr;
};

class TIterateObj3 {
 public:
  TIterateObj3() = default;
  TIterateObj3(TBasicNetwork& net1, TBasicNetwork& net2, TBasicNetwork& net3, int fromLayer, int toLayer,
               int fromNode, int toNode);
  virtual ~TIterateObj3() = default;

  virtual void Visit() {}

  void Prepare(TBasicConnections& set1, TBasicConnections& set2, TBasicConnections& set3);
  void VisitArc(int from, int to, double* arcWeight1, double* arcWeight2, double* arcWeight3,
                bool arcTrainable) {
    fromNode = from;
    toNode = to;
    weight1 = arcWeight1;
    weight2 = arcWeight2;
    weight3 = arcWeight3;
    trainable = arcTrainable;
    Visit();
  }

  int fromLayer = 0;
  int toLayer = 0;
  int fromNode = 0;
  int toNode = 0;
  TBasicConnections* conns1 = nullptr;
  TBasicConnections* conns2 = nullptr;
  TBasicConnections* conns3 = nullptr;
  double* weight1 = nullptr;
  double* weight2 = nullptr;
  double* weight3 = nullptr;
  bool trainable = false;
  TBasicLayer* fromLayerObj1 = nullptr;
  TBasicLayer* toLayerObj1 = nullptr;
  TBasicLayer* fromLayerObj2 = nullptr;
  TBasicLayer* toLayerObj2 = nullptr;
  TBasicLayer* fromLayerObj3 = nullptr;
  TBasicLayer* toLayerObj3 = nullptr;
  double* fromOutputs1 = nullptr;
  double* toOutputs1 = nullptr;
  double* fromOutputs2 = nullptr;
  double* toOutputs2 = nullptr;
  double* fromOutputs3 = nullptr;
  double* toOutputs3 = nullptr;
};

// The set of net for the layers of set, checked to be of set's type; for
// Iterate2 and Iterate3.
TBasicConnections& MatchingSet(TBasicConnections& set, TBasicNetwork& net);

}  // namespace mirk
