// A numbered group of neurons inside one network. The layer owns one output
// value per neuron and runs its part of the forward pass: net inputs from the
// sets of lower-numbered layers, then the activation functions, in place.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "Common/Check.h"
#include "NeuralNets/ActFunctions.h"
#include "NeuralNets/TBasicNeuron.h"

namespace mirk {

class TBasicNetwork;

class TBasicLayer {
 public:
  // No common function, numNeurons outputs of 0.0, no dimensions.
  TBasicLayer(TBasicNetwork* network, int layerNum, int numNeurons);
  TBasicLayer(const TBasicLayer&) = delete;
  TBasicLayer& operator=(const TBasicLayer&) = delete;
  virtual ~TBasicLayer();

  // net[i] goes through the common function, or neuron i's own function when
  // the layer has none; net may be the layer's own outputs.
  virtual void Activate(std::span<const double> net);
  virtual TBasicNeuron* GetNeuron(int i) = 0;
  // The standard pass: starts from zeros (or, at the network's input
  // position, from the inputs, with a warning on standard error), adds the
  // sets from every lower-numbered layer, then activates.
  virtual void Propagate(std::span<const double> inputs);
  virtual const char* GetLayerNType() const = 0;
  // A copy of the same class for owner: same index and neurons, outputs 0.0.
  virtual std::unique_ptr<TBasicLayer> Clone(TBasicNetwork* owner) const = 0;
  // The network lowers the neuron count afterwards.
  virtual void RemoveNeuron(int index) = 0;
  // The network raises the neuron count afterwards. Not supported here
  // (checked). Returns the new neuron.
  virtual TBasicNeuron* InsertNeuron(int index);

  int GetNumNeurons() const noexcept { return numNeurons; }
  // The first GetNumNeurons() cells: net inputs during a pass, then outputs.
  std::span<double> GetOutputs() noexcept { return {outputs.data(), static_cast<size_t>(numNeurons)}; }
  std::span<const double> GetOutputs() const noexcept { return {outputs.data(), static_cast<size_t>(numNeurons)}; }
  TBasicNetwork* GetNetwork() const noexcept { return network; }
  int GetLayerNum() const noexcept { return layerNum; }

  // Sets the common function and every neuron's own function to fn.
  void SetActivationFunction(ActFunction fn);
  // The common function; otherwise, when all neurons share their own
  // function, that function (then kept as the common one); an empty layer
  // gets "null"; nullptr when the neurons differ.
  ActFunction GetActivationFunction();

  int GetNumDimensions() const noexcept { return static_cast<int>(dimensions.size()); }
  // parameters must hold GetNumDimensions() values (checked).
  void GetDimensions(std::span<int> parameters) const;
  // Replaces the list by a copy; an empty span empties it.
  void SetDimensions(std::span<const int> parameters);

 protected:
  // Copies index, common function and dimension list of source; outputs
  // become numNeurons zeros. For Clone.
  void CopyLayerDataFrom(const TBasicLayer& source);
  // Points neuron at this layer and at output cell i, and numbers it i.
  void AttachNeuron(TBasicNeuron& neuron, int i);
  // Copies the base members and calls CopyFrom; the caller attaches the copy.
  static void CopyNeuron(TBasicNeuron& target, const TBasicNeuron& source);

  // For layers that keep their neurons in a vector of one class: numNeurons
  // attached neurons; activation; removal and insertion that re-point the
  // neurons at their cells; copies of another layer's neurons.
  template <class Neuron>
  void CreateNodes(std::vector<Neuron>& nodes);
  template <class Neuron>
  void ActivateNodes(std::vector<Neuron>& nodes, std::span<const double> net);
  template <class Neuron>
  void EraseNodeAt(std::vector<Neuron>& nodes, int index);
  // Re-creates the outputs with one more cell (zeros); the new neuron gets
  // the common function, or "error" when there is none.
  template <class Neuron>
  Neuron& InsertNodeAt(std::vector<Neuron>& nodes, int index);
  template <class Neuron>
  void CopyNodes(std::vector<Neuron>& nodes, const std::vector<Neuron>& source);

  TBasicNetwork* network;
  ActFunction actFunction = nullptr;  // the common function, or none
  int numNeurons;
  int layerNum;
  std::vector<double> outputs;
  std::vector<int> dimensions;

 private:
  friend class TBasicNetwork;  // adjusts numNeurons and layerNum
  friend class TBasicNeuron;   // clears the common function
};

template <class Neuron>
void TBasicLayer::CreateNodes(std::vector<Neuron>& nodes) {
  MIRK_CHECK(numNeurons >= 0);
  nodes.assign(static_cast<size_t>(numNeurons), Neuron());
  for (int i = 0; i < numNeurons; ++i) AttachNeuron(nodes[static_cast<size_t>(i)], i);
}

template <class Neuron>
void TBasicLayer::ActivateNodes(std::vector<Neuron>& nodes, std::span<const double> net) {
  const size_t n = static_cast<size_t>(numNeurons);
  MIRK_CHECK(net.size() >= n && nodes.size() >= n);
  if (actFunction != nullptr) {
    for (size_t i = 0; i < n; ++i) actFunction(nodes[i], net[i]);
  } else {
    for (size_t i = 0; i < n; ++i) nodes[i].actFunction(nodes[i], net[i]);
  }
}

template <class Neuron>
void TBasicLayer::EraseNodeAt(std::vector<Neuron>& nodes, int index) {
  MIRK_CHECK(index >= 0 && static_cast<size_t>(index) < nodes.size());
  nodes.erase(nodes.begin() + index);
  for (size_t i = static_cast<size_t>(index); i < nodes.size(); ++i) AttachNeuron(nodes[i], static_cast<int>(i));
}

template <class Neuron>
Neuron& TBasicLayer::InsertNodeAt(std::vector<Neuron>& nodes, int index) {
  MIRK_CHECK(index >= 0 && static_cast<size_t>(index) <= nodes.size());
  outputs.assign(nodes.size() + 1, 0.0);
  auto inserted = nodes.insert(nodes.begin() + index, Neuron());
  inserted->actFunction = actFunction != nullptr ? actFunction : ActError;
  for (size_t i = 0; i < nodes.size(); ++i) AttachNeuron(nodes[i], static_cast<int>(i));
  return nodes[static_cast<size_t>(index)];
}

template <class Neuron>
void TBasicLayer::CopyNodes(std::vector<Neuron>& nodes, const std::vector<Neuron>& source) {
  MIRK_CHECK(nodes.size() == source.size());
  for (size_t i = 0; i < nodes.size(); ++i) {
    CopyNeuron(nodes[i], source[i]);
    AttachNeuron(nodes[i], static_cast<int>(i));
  }
}

}  // namespace mirk
