#include "NeuralNets/TIterateObj.h"

#include <cstring>

#include "Common/Check.h"
#include "NeuralNets/Random.h"
#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TIterateObj2.h"

namespace mirk {
namespace {

TBasicLayer* LayerOf(TBasicNetwork& network, int i) { return network.GetLayer(i); }

// None while the network has no layer there.
double* OutputsOf(TBasicLayer* layer) { return layer != nullptr ? layer->GetOutputs().data() : nullptr; }

}  // namespace

void TIterateObj::SetLayers(TBasicLayer& from, TBasicLayer& to) {
  SetLayers(*from.GetNetwork(), from.GetLayerNum(), to.GetLayerNum());
}

void TIterateObj::SetLayers(TBasicNetwork& network, int from, int to) {
  Prepare(*network.GetConnections(from, to));
}

void TIterateObj::Prepare(TBasicConnections& set) {
  TBasicNetwork& network = *set.GetNetwork();
  fromLayer = set.GetFromLayer();
  toLayer = set.GetToLayer();
  conns = &set;
  fromLayerObj = LayerOf(network, fromLayer);
  toLayerObj = LayerOf(network, toLayer);
  fromOutputs = OutputsOf(fromLayerObj);
  toOutputs = OutputsOf(toLayerObj);
}

void TIterateObjAggregate::Visit() { sum += fromOutputs[fromNode] * *weight; }

void TIterateObjGetNumWeights::Visit() { ++count; }

void TIterateObjGetWeights::Visit() {
  *cursor++ = *weight;
  ++count;
}

void TIterateObjSetWeights::Visit() {
  *weight = *cursor++;
  ++count;
}

void TIterateObjRandomize::Visit() { *weight = min == max ? min : RandomWeight(min, max); }

void TIterateObjGetFlags::Visit() { buffer[count++] = conns->GetFlags(fromNode, toNode); }

void TIterateObjSetFlags::Visit() { conns->SetFlags(fromNode, toNode, values[index++]); }

void TIterateObjAllUntrainable::Visit() { conns->FreezeWeight(fromNode, toNode); }

void TIterateObjPruneNode::Visit() { ++count; }

TIterateObj2::TIterateObj2(TBasicNetwork& net1, TBasicNetwork& net2, int from, int to, int fromNodeIndex,
                           int toNodeIndex) {
  Prepare(*net1.GetConnections(from, to), *net2.GetConnections(from, to));
  fromNode = fromNodeIndex;
  toNode = toNodeIndex;
}

void TIterateObj2::Prepare(TBasicConnections& set1, TBasicConnections& set2) {
  fromLayer = set1.GetFromLayer();
  toLayer = set1.GetToLayer();
  conns1 = &set1;
  conns2 = &set2;
  fromLayerObj1 = LayerOf(*set1.GetNetwork(), fromLayer);
  toLayerObj1 = LayerOf(*set1.GetNetwork(), toLayer);
  fromLayerObj2 = LayerOf(*set2.GetNetwork(), fromLayer);
  toLayerObj2 = LayerOf(*set2.GetNetwork(), toLayer);
  fromOutputs1 = OutputsOf(fromLayerObj1);
  toOutputs1 = OutputsOf(toLayerObj1);
  fromOutputs2 = OutputsOf(fromLayerObj2);
  toOutputs2 = OutputsOf(toLayerObj2);
}

TIterateObj3::TIterateObj3(TBasicNetwork& net1, TBasicNetwork& net2, TBasicNetwork& net3, int from, int to,
                           int fromNodeIndex, int toNodeIndex) {
  Prepare(*net1.GetConnections(from, to), *net2.GetConnections(from, to), *net3.GetConnections(from, to));
  fromNode = fromNodeIndex;
  toNode = toNodeIndex;
}

void TIterateObj3::Prepare(TBasicConnections& set1, TBasicConnections& set2, TBasicConnections& set3) {
  fromLayer = set1.GetFromLayer();
  toLayer = set1.GetToLayer();
  conns1 = &set1;
  conns2 = &set2;
  conns3 = &set3;
  fromLayerObj1 = LayerOf(*set1.GetNetwork(), fromLayer);
  toLayerObj1 = LayerOf(*set1.GetNetwork(), toLayer);
  fromLayerObj2 = LayerOf(*set2.GetNetwork(), fromLayer);
  toLayerObj2 = LayerOf(*set2.GetNetwork(), toLayer);
  fromLayerObj3 = LayerOf(*set3.GetNetwork(), fromLayer);
  toLayerObj3 = LayerOf(*set3.GetNetwork(), toLayer);
  fromOutputs1 = OutputsOf(fromLayerObj1);
  toOutputs1 = OutputsOf(toLayerObj1);
  fromOutputs2 = OutputsOf(fromLayerObj2);
  toOutputs2 = OutputsOf(toLayerObj2);
  fromOutputs3 = OutputsOf(fromLayerObj3);
  toOutputs3 = OutputsOf(toLayerObj3);
}

TBasicConnections& MatchingSet(TBasicConnections& set, TBasicNetwork& net) {
  TBasicConnections* conn1 = &set;
  TBasicConnections* conn2 = net.GetConnections(set.GetFromLayer(), set.GetToLayer());
  MIRK_CHECK(std::strcmp(conn1 -> GetConnectionsNType(), conn2 -> GetConnectionsNType()) == 0);
  return *conn2;
}

}  // namespace mirk
