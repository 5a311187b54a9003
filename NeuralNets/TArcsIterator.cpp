#include "NeuralNets/TArcsIterator.h"

#include "Common/Check.h"
#include "NeuralNets/TBasicNetwork.h"

namespace mirk {

bool TArcsIterator::More() const { return HasArc(); }

void TInAllArcsIterator::Start(int, int) {}

void TInLayerArcsIterator::Start(int, int, int) {}

void TConnInAllArcsIterator::Start(int toLayerIndex, int toNodeIndex) {
  toLayer = toLayerIndex;
  toNode = toNodeIndex;
  toNeuron = network->GetLayer(toLayer)->GetNeuron(toNode);
  fromLayer = -1;
  fromNode = -1;
  conns = nullptr;
  lastFromNode = -1;
}

int TConnInAllArcsIterator::GetFromLayer() const { return fromLayer; }

int TConnInAllArcsIterator::GetToLayer() const { return toLayer; }

int TConnInAllArcsIterator::GetFromNode() const { return fromNode; }

int TConnInAllArcsIterator::GetToNode() const { return toNode; }

TBasicNeuron* TConnInAllArcsIterator::GetToNeuron() const { return toNeuron; }

TBasicNeuron* TConnInAllArcsIterator::GetFromNeuron() const {
  MIRK_CHECK(conns != nullptr);
  return network->GetLayer(fromLayer)->GetNeuron(fromNode);
}

double* TConnInAllArcsIterator::GetWeight() const {
  MIRK_CHECK(conns != nullptr);
  return conns->GetWeight(fromNode, toNode);
}

bool TConnInAllArcsIterator::HasArc() const { return conns != nullptr; }

// Makes layer f current when its set is connected and it has neurons.
bool TConnInAllArcsIterator::EnterLayer(int f, bool atEnd) {
  TBasicConnections* set = network->GetConnections(f, toLayer);
  const int count = network->GetLayer(f)->GetNumNeurons();
  if (!set->IsConnected() || count == 0) return false;
  conns = set;
  fromLayer = f;
  lastFromNode = count - 1;
  fromNode = atEnd ? lastFromNode : 0;
  return true;
}

bool TConnInAllArcsIterator::Next() {
  if (conns != nullptr && fromNode < lastFromNode) {
    ++fromNode;
    return true;
  }
  for (int f = fromLayer + 1; f < network->GetNumLayers(); ++f) {
    if (EnterLayer(f, false)) return true;
  }
  // Past the last arc; Prev walks back from here.
  conns = nullptr;
  fromLayer = network->GetNumLayers();
  return false;
}

bool TConnInAllArcsIterator::Prev() {
  if (conns != nullptr && fromNode > 0) {
    --fromNode;
    return true;
  }
  for (int f = fromLayer - 1; f >= 0; --f) {
    if (EnterLayer(f, true)) return true;
  }
  conns = nullptr;
  fromLayer = -1;
  return false;
}

void TConnInLayerArcsIterator::Start(int toLayerIndex, int toNodeIndex, int fromLayerIndex) {
  toLayer = toLayerIndex;
  toNode = toNodeIndex;
  fromLayer = fromLayerIndex;
  conns = network->GetConnections(fromLayer, toLayer);
  toNeuron = network->GetLayer(toLayer)->GetNeuron(toNode);
  lastFromNode = network->GetLayer(fromLayer)->GetNumNeurons() - 1;
  fromNode = -1;
}

int TConnInLayerArcsIterator::GetFromLayer() const { return fromLayer; }

int TConnInLayerArcsIterator::GetToLayer() const { return toLayer; }

int TConnInLayerArcsIterator::GetFromNode() const { return fromNode; }

int TConnInLayerArcsIterator::GetToNode() const { return toNode; }

TBasicNeuron* TConnInLayerArcsIterator::GetToNeuron() const { return toNeuron; }

TBasicNeuron* TConnInLayerArcsIterator::GetFromNeuron() const {
  return network->GetLayer(fromLayer)->GetNeuron(fromNode);
}

double* TConnInLayerArcsIterator::GetWeight() const { return conns->GetWeight(fromNode, toNode); }

bool TConnInLayerArcsIterator::HasArc() const { return conns != nullptr; }

bool TConnInLayerArcsIterator::Next() {
  if (fromNode >= lastFromNode) return false;
  ++fromNode;
  return true;
}

bool TConnInLayerArcsIterator::Prev() {
  if (fromNode <= 0) return false;
  --fromNode;
  return true;
}

}  // namespace mirk
