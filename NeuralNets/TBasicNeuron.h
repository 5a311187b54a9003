// A neuron: a small record that knows its layer, its position, its cell in
// the layer's outputs and its own activation function. Neuron classes may
// carry named parameters, which network files read and write per neuron.
#pragma once

#include <span>

#include "NeuralNets/ActFunctions.h"

namespace mirk {

class TBasicLayer;

class TBasicNeuron {
 public:
  TBasicNeuron() = default;  // function "error", not attached to a layer
  TBasicNeuron(const TBasicNeuron&) = default;
  TBasicNeuron& operator=(const TBasicNeuron&) = default;
  virtual ~TBasicNeuron();

  // Calls the neuron's own function with itself and net.
  virtual void Activate(double net);
  virtual int GetNumParameters() const;  // 0
  // out must hold GetNumParameters() values (checked).
  virtual void GetParameters(std::span<double> out) const;
  virtual void SetParameters(std::span<const double> in);
  // A plain neuron has no parameters to name (checked).
  virtual const char* GetParameterName(int i) const;
  // Copies data of the neuron's own class when a layer copies its neurons,
  // after the base members; does nothing here.
  virtual void CopyFrom(const TBasicNeuron& other);

  // Stores fn as the neuron's own function and clears its layer's common
  // function, so that the layer falls back to its neurons' own functions.
  void SetActivationFunction(ActFunction fn);
  ActFunction GetActivationFunction() const noexcept { return actFunction; }

  int layerNum = 0;
  int index = 0;
  double* output = nullptr;  // the neuron's cell in its layer's outputs
  TBasicLayer* layer = nullptr;
  ActFunction actFunction = ActError;
};

}  // namespace mirk
