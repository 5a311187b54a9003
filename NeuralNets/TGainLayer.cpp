#include "NeuralNets/TGainLayer.h"

namespace mirk {

int TGainNeuron::GetNumParameters() const { return 1; }

void TGainNeuron::GetParameters(std::span<double> out) const {
  MIRK_CHECK(!out.empty());
  out[0] = gain;
}

void TGainNeuron::SetParameters(std::span<const double> in) {
  MIRK_CHECK(!in.empty());
  gain = in[0];
}

const char* TGainNeuron::GetParameterName(int i) const {
  MIRK_CHECK(i==0);
  return "Gain";
}

void TGainNeuron::CopyFrom(const TBasicNeuron&) {}

TGainLayer::TGainLayer(TBasicNetwork* network, int layerNum, int numNeurons, double gain)
    : TBasicLayer(network, layerNum, numNeurons) {
  CreateNodes(nodes);
  SetGain(gain);
}

void TGainLayer::Activate(std::span<const double> net) { ActivateNodes(nodes, net); }

TBasicNeuron* TGainLayer::GetNeuron(int i) {
  MIRK_CHECK(i >= 0 && static_cast<size_t>(i) < nodes.size());
  return &nodes[static_cast<size_t>(i)];
}

const char* TGainLayer::GetLayerNType() const { return "Gain"; }

std::unique_ptr<TBasicLayer> TGainLayer::Clone(TBasicNetwork* owner) const {
  auto copy = std::make_unique<TGainLayer>(owner, layerNum, numNeurons, 1.0);
  copy->CopyLayerDataFrom(*this);
  copy->CopyNodes(copy->nodes, nodes);
  for (size_t i = 0; i < nodes.size(); ++i) copy->nodes[i].gain = nodes[i].gain;
  return copy;
}

void TGainLayer::RemoveNeuron(int index) { EraseNodeAt(nodes, index); }

TBasicNeuron* TGainLayer::InsertNeuron(int index) {
  const double gain = nodes.empty() ? 1.0 : nodes.front().gain;
  TGainNeuron& inserted = InsertNodeAt(nodes, index);
  inserted.gain = gain;
  return &inserted;
}

void TGainLayer::SetGain(double g) {
  for (TGainNeuron& neuron : nodes) neuron.gain = g;
}

}  // namespace mirk
