// A numbered group of neurons inside one network. The layer owns one output
// value per neuron and runs its part of the forward pass: net inputs from the
// sets of lower-numbered layers, then the activation functions, in place.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "NeuralNets/ActFunctions.h"

namespace mirk {

class TBasicNetwork;
class TBasicNeuron;

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

}  // namespace mirk
