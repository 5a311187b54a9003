#include "NeuralNets/TBasicNetwork.h"

#include <algorithm>

#include "Common/Check.h"
#include "Common/Raise.h"
#include "NeuralNets/TArcsIterator.h"
#include "NeuralNets/TEmptyConnections.h"
#include "NeuralNets/TIterateObj.h"
#include "NeuralNets/TPrunedConnections.h"

namespace mirk {

TBasicNetwork::TBasicNetwork() = default;

TBasicNetwork::TBasicNetwork(int numLayers) { Init(numLayers); }

TBasicNetwork::TBasicNetwork(const TBasicNetwork& x) { CopyFrom(x); }

TBasicNetwork& TBasicNetwork::operator=(const TBasicNetwork& x) {
  if (this != &x) {
    Release();
    CopyFrom(x);
  }
  return *this;
}

TBasicNetwork::~TBasicNetwork() { Release(); }

void TBasicNetwork::Init(int numLayers) {
  MIRK_CHECK(numLayers >= 0);
  Release();
  n_layers = numLayers;
  inLayer = 1;
  outLayer = numLayers - 1;
  priv_conns.resize(static_cast<size_t>(numLayers) * numLayers);
  layers.resize(static_cast<size_t>(numLayers));
  for (int to = 0; to < numLayers; ++to) {
    for (int from = 0; from < numLayers; ++from) Cell(from, to) = std::make_unique<TEmptyConnections>(this, from, to);
  }
  fnRegistry = std::make_unique<TFnRegistry>();
  fnRegistry->RegisterDefaults();
}

// Sets before layers: a set may refer to its layers until it is gone.
void TBasicNetwork::Release() {
  priv_conns.clear();
  layers.clear();
  fnRegistry.reset();
  n_layers = 0;
}

void TBasicNetwork::CopyFrom(const TBasicNetwork& x) {
  n_layers = x.n_layers;
  inLayer = x.inLayer;
  outLayer = x.outLayer;
  layers.resize(x.layers.size());
  for (size_t i = 0; i < x.layers.size(); ++i) {
    MIRK_CHECK(x.layers[i] != nullptr);
    layers[i] = x.layers[i]->Clone(this);
  }
  priv_conns.resize(x.priv_conns.size());
  for (size_t i = 0; i < x.priv_conns.size(); ++i) {
    MIRK_CHECK(x.priv_conns[i] != nullptr);
    priv_conns[i] = x.priv_conns[i]->Clone(this);
  }
  fnRegistry = std::make_unique<TFnRegistry>();
  fnRegistry->RegisterDefaults();
}

TBasicLayer* TBasicNetwork::GetLayer(int i) const {
  MIRK_CHECK(i >= 0 && i < n_layers);
  return layers[static_cast<size_t>(i)].get();
}

TBasicLayer& TBasicNetwork::Layer(int i) const {
  TBasicLayer* layer = GetLayer(i);
  MIRK_CHECK(layer != nullptr);
  return *layer;
}

void TBasicNetwork::SetLayer(int i, std::unique_ptr<TBasicLayer> layer) {
  MIRK_CHECK(i >= 0 && i < n_layers);
  MIRK_CHECK(layer != nullptr && layer->GetNetwork() == this && layer->GetLayerNum() == i);
  layers[static_cast<size_t>(i)] = std::move(layer);
}

void TBasicNetwork::SetConnections(int fromLayer, int toLayer, std::unique_ptr<TBasicConnections> set) {
  MIRK_CHECK(fromLayer >= 0 && fromLayer < n_layers && toLayer >= 0 && toLayer < n_layers);
  MIRK_CHECK(set != nullptr && set->GetNetwork() == this);
  MIRK_CHECK(set->GetFromLayer() == fromLayer && set->GetToLayer() == toLayer);
  Cell(fromLayer, toLayer) = std::move(set);
}

TFnRegistry& TBasicNetwork::GetFnRegistry() const {
  MIRK_CHECK(fnRegistry != nullptr);
  return *fnRegistry;
}

int TBasicNetwork::GetNumWeights(int mask) {
  int count = 0;
  for (int from = 0; from < n_layers; ++from) {
    for (int to = 0; to < n_layers; ++to) count += Cell(from, to)->GetNumWeights(mask);
  }
  return count;
}

int TBasicNetwork::GetWeights(std::span<double> out, int mask) {
  size_t position = 0;
  for (int from = 0; from < n_layers; ++from) {
    for (int to = 0; to < n_layers; ++to) position += Cell(from, to)->GetWeights(out.subspan(position), mask);
  }
  return static_cast<int>(position);
}

int TBasicNetwork::SetWeights(std::span<const double> in, int mask) {
  size_t position = 0;
  for (int from = 0; from < n_layers; ++from) {
    for (int to = 0; to < n_layers; ++to) position += Cell(from, to)->SetWeights(in.subspan(position), mask);
  }
  return static_cast<int>(position);
}

void TBasicNetwork::Randomize(double min, double max) {
  for (int from = 0; from < n_layers; ++from) {
    for (int to = 0; to < n_layers; ++to) Cell(from, to)->Randomize(min, max);
  }
}

void TBasicNetwork::Connect(int fromLayer, int toLayer) {
  CheckConnectable(fromLayer, toLayer);
  if (Cell(fromLayer, toLayer)->IsConnected()) return;
  Cell(fromLayer, toLayer) = std::make_unique<TPrunedConnections>(this, fromLayer, toLayer);
}

void TBasicNetwork::CheckConnectable(int fromLayer, int toLayer) const {
  MIRK_CHECK(fromLayer >= 0 && fromLayer < n_layers && toLayer >= 0 && toLayer < n_layers);
  MIRK_CHECK(GetLayer(fromLayer) != nullptr && GetLayer(toLayer) != nullptr);
}

void TBasicNetwork::Disconnect(int fromLayer, int toLayer) {
  MIRK_CHECK(fromLayer >= 0 && fromLayer < n_layers && toLayer >= 0 && toLayer < n_layers);
  MIRK_CHECK(Cell(fromLayer, toLayer) != nullptr);
  Cell(fromLayer, toLayer) = std::make_unique<TEmptyConnections>(this, fromLayer, toLayer);
}

void TBasicNetwork::Recall(std::span<const double> inputs, std::span<double> outputs) {
  const std::span<const double> result = Layer(outLayer).GetOutputs();
  MIRK_CHECK(inputs.size() >= static_cast<size_t>(Layer(inLayer).GetNumNeurons()));
  MIRK_CHECK(outputs.size() >= result.size());
  for (int i = 0; i < n_layers; ++i) Layer(i).Propagate(inputs);
  std::copy(result.begin(), result.end(), outputs.begin());
}

const char* TBasicNetwork::GetNetworkNType() const { return "Basic"; }

std::unique_ptr<TArcsIterator> TBasicNetwork::NewArcsIterator() {
  MIRK_CHECK(false);
  return nullptr;
}

int TBasicNetwork::GetNumNeurons() const {
  int count = 0;
  for (int i = 0; i < n_layers; ++i) count += Layer(i).GetNumNeurons();
  return count;
}

TBasicNeuron* TBasicNetwork::GetNeuron(int index) const {
  MIRK_CHECK(index>=0);
  MIRK_CHECK(index<GetNumNeurons());
  int i = 0;
  while (index >= Layer(i).GetNumNeurons()) index -= Layer(i++).GetNumNeurons();
  return Layer(i).GetNeuron(index);
}

void TBasicNetwork::CheckHiddenLayer(int LayerNum) const {
  const int numLayers = n_layers;
  MIRK_CHECK(LayerNum>=0);
  MIRK_CHECK(LayerNum<numLayers);
  MIRK_CHECK(LayerNum!=inLayer);
  MIRK_CHECK(LayerNum!=outLayer);
}

void TBasicNetwork::InsertNode(int layerNum, int node, double min, double max, bool attached) {
  CheckHiddenLayer(layerNum);
  TBasicLayer& layer = Layer(layerNum);
  MIRK_CHECK(node>=0);
  MIRK_CHECK(node<=layer.GetNumNeurons());
  if (!NodesEditable(layerNum))
    Refuse("Connection set cannot insert nodes", "TBasicNetwork::InsertNode");
  layer.InsertNeuron(node);
  ++layer.numNeurons;
  for (int i = 0; i < n_layers; ++i) {
    Cell(layerNum, i)->InsertFromNode(node, min, max, attached);
    Cell(i, layerNum)->InsertToNode(node, min, max, attached);
  }
}

void TBasicNetwork::RemoveNode(int layerNum, int node) {
  CheckHiddenLayer(layerNum);
  TBasicLayer& layer = Layer(layerNum);
  MIRK_CHECK(node>=0);
  MIRK_CHECK(node<layer.GetNumNeurons());
  if (!NodesEditable(layerNum))
    Refuse("Connection set cannot remove nodes", "TBasicNetwork::RemoveNode");
  layer.RemoveNeuron(node);
  --layer.numNeurons;
  for (int i = 0; i < n_layers; ++i) {
    Cell(layerNum, i)->RemoveFromNode(node);
    Cell(i, layerNum)->RemoveToNode(node);
  }
}

bool TBasicNetwork::NodesEditable(int layerNum) const {
  for (int i = 0; i < n_layers; ++i)
    if (!GetConnections(layerNum, i)->CanEditNodes() || !GetConnections(i, layerNum)->CanEditNodes()) return false;
  return true;
}

int TBasicNetwork::PruneNodes() {
  TIterateObjPruneNode counter;
  int removed = 0;
  for (int layerNum = outLayer - 1; layerNum >= 0; --layerNum) {
    if (layerNum == inLayer || layerNum == outLayer || !NodesEditable(layerNum)) continue;
    for (int node = Layer(layerNum).GetNumNeurons() - 1; node >= 0; --node) {
      counter.count = 0;
      IterateOutArcs(counter, layerNum, node, FMaskExists);
      if (counter.count == 0) {
        RemoveNode(layerNum, node);
        ++removed;
      }
    }
  }
  return removed;
}

void TBasicNetwork::IterateInArcs(TIterateObj& visitor, int layerNum, int node, int mask) {
  MIRK_CHECK(layerNum >= 0 && layerNum < n_layers);
  for (int from = 0; from < n_layers; ++from) Cell(from, layerNum)->IterateInArcs(visitor, node, mask);
}

void TBasicNetwork::IterateOutArcs(TIterateObj& visitor, int layerNum, int node, int mask) {
  MIRK_CHECK(layerNum >= 0 && layerNum < n_layers);
  for (int to = 0; to < n_layers; ++to) Cell(layerNum, to)->IterateOutArcs(visitor, node, mask);
}

namespace {

// Position of an old index after a layer is inserted at layerNum.
int Shifted(int i, int layerNum) { return i >= layerNum ? i + 1 : i; }

}  // namespace

void TBasicNetwork::InsertLayer(int LayerNum, std::unique_ptr<TBasicLayer> layer) {
  const int numLayers = n_layers;
  MIRK_CHECK(LayerNum>=0);
  MIRK_CHECK(LayerNum<=numLayers);
  MIRK_CHECK(layer != nullptr && layer->GetNetwork() == this);
  const int size = numLayers + 1;
  std::vector<std::unique_ptr<TBasicConnections>> cells(static_cast<size_t>(size) * size);
  for (int to = 0; to < numLayers; ++to) {
    for (int from = 0; from < numLayers; ++from) {
      cells[static_cast<size_t>(Shifted(to, LayerNum)) * size + Shifted(from, LayerNum)] = std::move(Cell(from, to));
    }
  }
  for (int t = 0; t < size; ++t) {
    cells[static_cast<size_t>(t) * size + LayerNum] = std::make_unique<TEmptyConnections>(this, LayerNum, t);
    if (t != LayerNum) cells[static_cast<size_t>(LayerNum) * size + t] = std::make_unique<TEmptyConnections>(this, t, LayerNum);
  }
  layers.insert(layers.begin() + LayerNum, std::move(layer));
  priv_conns = std::move(cells);
  n_layers = size;
  if (inLayer >= LayerNum) ++inLayer;
  if (outLayer >= LayerNum) ++outLayer;
  Renumber();
}

void TBasicNetwork::RemoveLayer(int LayerNum) {
  CheckHiddenLayer(LayerNum);
  const int size = n_layers - 1;
  std::vector<std::unique_ptr<TBasicConnections>> cells(static_cast<size_t>(size) * size);
  for (int to = 0; to < size; ++to) {
    for (int from = 0; from < size; ++from) {
      cells[static_cast<size_t>(to) * size + from] = std::move(Cell(Shifted(from, LayerNum), Shifted(to, LayerNum)));
    }
  }
  priv_conns = std::move(cells);  // destroys the sets to and from the layer
  layers.erase(layers.begin() + LayerNum);
  n_layers = size;
  if (inLayer >= LayerNum) --inLayer;
  if (outLayer >= LayerNum) --outLayer;
  Renumber();
}

// Gives every layer, its neurons and every set the indices of their positions.
void TBasicNetwork::Renumber() {
  for (int i = 0; i < n_layers; ++i) {
    TBasicLayer* layer = layers[static_cast<size_t>(i)].get();
    if (layer == nullptr) continue;
    layer->layerNum = i;
    for (int n = 0; n < layer->GetNumNeurons(); ++n) layer->GetNeuron(n)->layerNum = i;
  }
  for (int to = 0; to < n_layers; ++to) {
    for (int from = 0; from < n_layers; ++from) {
      Cell(from, to)->fromLayer = from;
      Cell(from, to)->toLayer = to;
    }
  }
}

}  // namespace mirk
