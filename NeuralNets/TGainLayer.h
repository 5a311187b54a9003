// The gain layer and its neuron, whose one parameter "Gain" the gain
// functions ("linear-gain", "sigmoid-gain", "tanh-gain") read.
#pragma once

#include <vector>

#include "NeuralNets/TBasicLayer.h"
#include "NeuralNets/TBasicNeuron.h"

namespace mirk {

class TGainNeuron : public TBasicNeuron {
 public:
  TGainNeuron() = default;  // gain 1.0

  int GetNumParameters() const override;  // 1
  void GetParameters(std::span<double> out) const override;  // out[0] = gain
  void SetParameters(std::span<const double> in) override;   // gain = in[0]
  const char* GetParameterName(int i) const override;        // "Gain"; i must be 0
  void CopyFrom(const TBasicNeuron& other) override;         // nothing: the layer copies gains

  double gain = 1.0;
};

class TGainLayer : public TBasicLayer {
 public:
  TGainLayer(TBasicNetwork* network, int layerNum, int numNeurons, double gain);

  void Activate(std::span<const double> net) override;
  TBasicNeuron* GetNeuron(int i) override;
  const char* GetLayerNType() const override;  // "Gain"
  std::unique_ptr<TBasicLayer> Clone(TBasicNetwork* owner) const override;
  void RemoveNeuron(int index) override;
  // The new neuron takes the gain of neuron 0 (1.0 in an empty layer).
  TBasicNeuron* InsertNeuron(int index) override;

  void SetGain(double g);

 protected:
  std::vector<TGainNeuron> nodes;
};

}  // namespace mirk
