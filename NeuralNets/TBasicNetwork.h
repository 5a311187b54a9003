// The container of every network: ordered layers, one connection set for
// every ordered pair of layers (an empty set where there are no arcs), and
// the network's own registry of activation functions. Runs the forward pass,
// answers whole-network weight questions and edits the structure.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "Common/Check.h"
#include "NeuralNets/ActFunctions.h"
#include "NeuralNets/TArcsIterator.h"
#include "NeuralNets/TBasicConnections.h"
#include "NeuralNets/TBasicLayer.h"

namespace mirk {

class TBasicNeuron;
class TIterateObj;

class TBasicNetwork {
 public:
  // Unset: the creator calls Init next.
  TBasicNetwork();
  // Init(numLayers); the creator then stores a layer at every index.
  explicit TBasicNetwork(int numLayers);
  // Deep copies: layers and sets cloned for the copy, a fresh registry with
  // the built-in functions only. The copy shares nothing with the source.
  TBasicNetwork(const TBasicNetwork& x);
  TBasicNetwork& operator=(const TBasicNetwork& x);
  virtual ~TBasicNetwork();

  // numLayers empty layer slots, an empty set in every cell, input layer 1,
  // output layer numLayers - 1, a registry filled with the built-in functions.
  void Init(int numLayers);

  int GetNumLayers() const noexcept { return n_layers; }
  // Null until the creator stores a layer at i.
  TBasicLayer* GetLayer(int i) const;
  // layer must have been built for this network with index i.
  void SetLayer(int i, std::unique_ptr<TBasicLayer> layer);
  int GetInLayer() const noexcept { return inLayer; }
  void SetInLayer(int i) noexcept { inLayer = i; }
  int GetOutLayer() const noexcept { return outLayer; }
  void SetOutLayer(int i) noexcept { outLayer = i; }
  // The set from fromLayer to toLayer; never null once Init has run.
  TBasicConnections* GetConnections(int fromLayer, int toLayer) const {
    MIRK_CHECK(fromLayer >= 0 && fromLayer < n_layers && toLayer >= 0 && toLayer < n_layers);
    return priv_conns[static_cast<size_t>(toLayer) * n_layers + fromLayer].get();
  }
  // Replaces the set in the cell; set must have been built for this network
  // with the same layers (checked).
  void SetConnections(int fromLayer, int toLayer, std::unique_ptr<TBasicConnections> set);
  TFnRegistry& GetFnRegistry() const;

  // Whole-network weight lists visit the sets source layer first, then
  // destination layer, each set in its own order (mask as for sets).
  virtual int GetNumWeights(int mask);
  // out and in must hold GetNumWeights(mask) values (checked). Return the count.
  virtual int GetWeights(std::span<double> out, int mask);
  virtual int SetWeights(std::span<const double> in, int mask);
  // Every set's Randomize, in the order of the weight lists.
  virtual void Randomize(double min, double max);
  // A pair that is not yet connected gets a new set with every arc present
  // and trainable and weights 0.0: pruneable here. A connected pair is kept.
  // Both layers must be stored (checked).
  virtual void Connect(int fromLayer, int toLayer);
  // The pair gets a new empty set, whatever it held.
  virtual void Disconnect(int fromLayer, int toLayer);
  // The forward pass: every layer propagates in index order, then the output
  // layer's outputs are copied out. inputs must hold the input layer's and
  // outputs the output layer's neuron count (checked). Allocates nothing.
  // Throws TException when a neuron's function cannot be evaluated.
  virtual void Recall(std::span<const double> inputs, std::span<double> outputs);
  virtual const char* GetNetworkNType() const;  // "Basic"
  // Not supported by this class (checked).
  virtual std::unique_ptr<TArcsIterator> NewArcsIterator();

  int GetNumNeurons() const;
  // Network-wide numbering: layer 0's neurons first, then layer 1's, ...
  TBasicNeuron* GetNeuron(int index) const;
  // Inserts a neuron at position node of a hidden layer and its arcs; new
  // arcs get RandomWeight(min, max) when attached (a fully connected set
  // requires attached), none otherwise.
  void InsertNode(int layerNum, int node, double min, double max, bool attached);
  // Removes a neuron of a hidden layer and its arcs.
  // Both throw TException, leaving the network unchanged, when a set to or
  // from the layer cannot insert or remove nodes (the Mirk sets).
  void RemoveNode(int layerNum, int node);
  // Removes hidden neurons without existing outgoing arcs, from the layer
  // below the output layer down to layer 0; returns how many. Layers whose
  // sets cannot remove nodes are passed over.
  int PruneNodes();
  // Runs visitor over the arcs into (or out of) neuron node of layer
  // layerNum (checked), set by set in increasing order of the other layer.
  void IterateInArcs(TIterateObj& visitor, int layerNum, int node, int mask);
  void IterateOutArcs(TIterateObj& visitor, int layerNum, int node, int mask);
  // Inserts layer at position layerNum (n_layers appends) with empty sets to
  // and from it; later layers and sets move up by one. layer must have been
  // built for this network.
  void InsertLayer(int layerNum, std::unique_ptr<TBasicLayer> layer);
  // Removes a hidden layer and all its sets; later ones move down by one.
  void RemoveLayer(int layerNum);

 protected:
  // The checks of Connect: both indices within the network, both layers
  // stored.
  void CheckConnectable(int fromLayer, int toLayer) const;
  // Cell (to, from) of the matrix.
  std::unique_ptr<TBasicConnections>& Cell(int fromLayer, int toLayer) {
    return priv_conns[static_cast<size_t>(toLayer) * n_layers + fromLayer];
  }

 private:
  void CopyFrom(const TBasicNetwork& x);
  void Release();
  // The layer at i, which must have been stored.
  TBasicLayer& Layer(int i) const;
  void CheckHiddenLayer(int layerNum) const;
  // Whether every set to or from the layer supports node operations.
  bool NodesEditable(int layerNum) const;
  void Renumber();

  int n_layers = 0;
  std::vector<std::unique_ptr<TBasicLayer>> layers;
  int inLayer = 1;
  int outLayer = 0;
  // The set from layer from to layer to at to * n_layers + from.
  std::vector<std::unique_ptr<TBasicConnections>> priv_conns;
  std::unique_ptr<TFnRegistry> fnRegistry;
};

}  // namespace mirk
