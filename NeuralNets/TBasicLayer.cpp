#include "NeuralNets/TBasicLayer.h"

#include <algorithm>
#include <iostream>

#include "NeuralNets/TBasicConnections.h"
#include "NeuralNets/TBasicNetwork.h"

namespace mirk {

TBasicLayer::TBasicLayer(TBasicNetwork* network, int layerNum, int numNeurons)
    : network(network), numNeurons(numNeurons), layerNum(layerNum) {
  MIRK_CHECK(numNeurons >= 0);
  outputs.assign(static_cast<size_t>(numNeurons), 0.0);
}

TBasicLayer::~TBasicLayer() = default;

void TBasicLayer::Activate(std::span<const double> net) {
  MIRK_CHECK(net.size() >= static_cast<size_t>(numNeurons));
  for (int i = 0; i < numNeurons; ++i) {
    TBasicNeuron& neuron = *GetNeuron(i);
    (actFunction != nullptr ? actFunction : neuron.actFunction)(neuron, net[static_cast<size_t>(i)]);
  }
}

void TBasicLayer::Propagate(std::span<const double> inputs) {
  const std::span<double> net = GetOutputs();
  if (layerNum == network->GetInLayer()) {
    std::cerr << "!Warning: changed input layer (TSimpleLayer)" << std::endl;
    MIRK_CHECK(inputs.size() >= net.size());
    std::copy_n(inputs.begin(), net.size(), net.begin());
  } else {
    std::fill(net.begin(), net.end(), 0.0);
  }
  for (int f = 0; f < layerNum; ++f) network->GetConnections(f, layerNum)->Aggregate(net);
  Activate(net);
}

TBasicNeuron* TBasicLayer::InsertNeuron(int) {
  MIRK_CHECK(false);
  return nullptr;
}

void TBasicLayer::SetActivationFunction(ActFunction fn) {
  for (int i = 0; i < numNeurons; ++i) GetNeuron(i)->actFunction = fn;
  actFunction = fn;
}

ActFunction TBasicLayer::GetActivationFunction() {
  if (actFunction != nullptr) return actFunction;
  if (numNeurons == 0) {
    actFunction = ActNull;
    return actFunction;
  }
  const ActFunction first = GetNeuron(0)->actFunction;
  for (int i = 1; i < numNeurons; ++i) {
    if (GetNeuron(i)->actFunction != first) return nullptr;
  }
  actFunction = first;
  return actFunction;
}

void TBasicLayer::GetDimensions(std::span<int> parameters) const {
  MIRK_CHECK(parameters.size() >= dimensions.size());
  std::copy(dimensions.begin(), dimensions.end(), parameters.begin());
}

void TBasicLayer::SetDimensions(std::span<const int> parameters) {
  dimensions.assign(parameters.begin(), parameters.end());
}

void TBasicLayer::CopyLayerDataFrom(const TBasicLayer& source) {
  layerNum = source.layerNum;
  numNeurons = source.numNeurons;
  outputs.assign(static_cast<size_t>(numNeurons), 0.0);
  dimensions = source.dimensions;
  actFunction = source.actFunction;
}

void TBasicLayer::AttachNeuron(TBasicNeuron& neuron, int i) {
  neuron.layer = this;
  neuron.output = &outputs[static_cast<size_t>(i)];
  neuron.layerNum = layerNum;
  neuron.index = i;
}

void TBasicLayer::CopyNeuron(TBasicNeuron& target, const TBasicNeuron& source) {
  target.layerNum = source.layerNum;
  target.index = source.index;
  target.actFunction = source.actFunction;
  target.CopyFrom(source);
}

}  // namespace mirk
