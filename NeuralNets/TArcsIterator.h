// Step-by-step walks over the arcs into one neuron. Call Start, then Next
// repeatedly, reading the getters after each Next that returns true; Prev
// steps back from a position Next reached. The network must not change
// structurally while an iterator is in use.
#pragma once

namespace mirk {

class TBasicConnections;
class TBasicNetwork;
class TBasicNeuron;

class TArcsIterator {
 public:
  TArcsIterator() = default;
  TArcsIterator(const TArcsIterator&) = delete;
  TArcsIterator& operator=(const TArcsIterator&) = delete;
  virtual ~TArcsIterator() = default;

  virtual int GetFromLayer() const = 0;
  virtual int GetToLayer() const = 0;
  virtual int GetFromNode() const = 0;
  virtual int GetToNode() const = 0;
  virtual TBasicNeuron* GetToNeuron() const = 0;
  virtual TBasicNeuron* GetFromNeuron() const = 0;
  virtual double* GetWeight() const = 0;
  virtual bool More() const;  // HasArc
  virtual bool HasArc() const = 0;
  virtual bool Next() = 0;  // false when there is no further arc
  virtual bool Prev() = 0;  // false when there is no earlier arc
};

// The arcs into neuron toNode of layer toLayer from every source layer.
class TInAllArcsIterator : public TArcsIterator {
 public:
  explicit TInAllArcsIterator(TBasicNetwork* network) : network(network) {}
  virtual void Start(int toLayer, int toNode);

 protected:
  TBasicNetwork* network;
};

// The arcs into neuron toNode of layer toLayer from layer fromLayer.
class TInLayerArcsIterator : public TArcsIterator {
 public:
  explicit TInLayerArcsIterator(TBasicNetwork* network) : network(network) {}
  virtual void Start(int toLayer, int toNode, int fromLayer);

 protected:
  TBasicNetwork* network;
};

// Source layers in increasing order, skipping those whose set is not
// connected or that have no neurons; within a layer every source neuron in
// increasing order. Flags are not consulted: removed arcs of a pruneable set
// are visited too. Before the first Next, HasArc is false.
class TConnInAllArcsIterator : public TInAllArcsIterator {
 public:
  using TInAllArcsIterator::TInAllArcsIterator;

  void Start(int toLayer, int toNode) override;
  int GetFromLayer() const override;
  int GetToLayer() const override;
  int GetFromNode() const override;
  int GetToNode() const override;
  TBasicNeuron* GetToNeuron() const override;
  TBasicNeuron* GetFromNeuron() const override;
  double* GetWeight() const override;
  bool HasArc() const override;
  bool Next() override;
  bool Prev() override;

 private:
  bool EnterLayer(int f, bool atEnd);

  int toLayer = 0;
  int toNode = 0;
  TBasicNeuron* toNeuron = nullptr;
  int fromLayer = -1;
  int fromNode = -1;
  TBasicConnections* conns = nullptr;  // none before the first arc and after the last
  int lastFromNode = -1;
};

// Every source neuron of one layer in increasing order, whether or not the
// set is connected. HasArc is true from Start on.
class TConnInLayerArcsIterator : public TInLayerArcsIterator {
 public:
  using TInLayerArcsIterator::TInLayerArcsIterator;

  void Start(int toLayer, int toNode, int fromLayer) override;
  int GetFromLayer() const override;
  int GetToLayer() const override;
  int GetFromNode() const override;
  int GetToNode() const override;
  TBasicNeuron* GetToNeuron() const override;
  TBasicNeuron* GetFromNeuron() const override;
  double* GetWeight() const override;
  bool HasArc() const override;
  bool Next() override;
  bool Prev() override;

 private:
  int toLayer = 0;
  int toNode = 0;
  TBasicNeuron* toNeuron = nullptr;
  int fromLayer = 0;
  int fromNode = -1;
  TBasicConnections* conns = nullptr;
  int lastFromNode = -1;
};

}  // namespace mirk
