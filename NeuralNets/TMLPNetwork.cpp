#include "NeuralNets/TMLPNetwork.h"

#include <algorithm>
#include <memory>

#include "Common/Exceptions.h"
#include "DataObject/Data.h"
#include "NeuralNets/DataRecall.h"
#include "NeuralNets/TErrorObj.h"
#include "NeuralNets/TGainLayer.h"
#include "NeuralNets/TSimpleInputLayer.h"

namespace mirk {
namespace {

constexpr const char* kWhere = "TMLPNetwork::TMLPNetwork";

int CheckedLayerSlots(int numLayers) {
  if (numLayers < 1) throw TException("Invalid number of layers", "Bad Parameter", kWhere);
  return numLayers + 1;
}

}  // namespace

TMLPNetwork::TMLPNetwork(int numLayers, bool bias) : TBasicNetwork(CheckedLayerSlots(numLayers)), bias(bias) {}

TMLPNetwork::TMLPNetwork(int numLayers, std::span<const int> sizes, bool bias) : TMLPNetwork(numLayers, bias) {
  if (sizes.size() < static_cast<size_t>(numLayers)) {
    throw TException("Invalid number of layers", "Bad Parameter", kWhere);
  }
  sizes = sizes.first(static_cast<size_t>(numLayers));
  if (std::any_of(sizes.begin(), sizes.end(), [](int size) { return size < 0; })) {
    throw TException("Invalid layer size", "Bad Parameter", kWhere);
  }
  SetLayer(0, std::make_unique<TSimpleLayer>(this, 0, bias ? 1 : 0));
  SetLayer(1, std::make_unique<TSimpleInputLayer>(this, 1, sizes[0]));
  for (int j = 2; j <= numLayers; ++j) {
    SetLayer(j, std::make_unique<TGainLayer>(this, j, sizes[static_cast<size_t>(j - 1)], 1.0));
  }
  GetLayer(1)->SetActivationFunction(ActLinear);
  for (int j = 2; j <= numLayers; ++j) {
    Connect(j - 1, j);
    GetLayer(j)->SetActivationFunction(ActSigmoid);
  }
  if (bias) {
    GetLayer(0)->SetActivationFunction(ActBias);
    for (int j = 2; j <= numLayers; ++j) Connect(0, j);
  }
  SetInLayer(1);
}

TMLPNetwork::~TMLPNetwork() = default;

const char* TMLPNetwork::GetNetworkNType() const { return "MLP"; }

std::unique_ptr<Data> TMLPNetwork::Recall(Data* data) {
  return RecallDataSet(*this, data, true, "TMLPNetwork::Recall");
}

void TMLPNetwork::RecallOutputOnly(Data* data, std::unique_ptr<Data>& result) {
  result = RecallDataSet(*this, data, false, "TMLPNetwork::RecallOutputOnly");
}

double TMLPNetwork::RecallOutputOnly(Data* data, TErrorObj& errorMeasure) {
  RecallIntoMeasure(*this, data, errorMeasure, "TMLPNetwork::RecallOutputOnly");
  return errorMeasure.Result();
}

}  // namespace mirk
