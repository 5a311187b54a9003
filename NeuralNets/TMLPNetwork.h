// The multi-layer perceptron: an input layer, then gain layers of sigmoid
// neurons, each fed by the layer before it and, with a bias, by a one-neuron
// bias layer at index 0.
#pragma once

#include <memory>
#include <span>

#include "NeuralNets/TBasicNetwork.h"

namespace mirk {

class Data;
class TErrorObj;

// Layers of a network of L layers besides the bias layer: 0 the bias layer
// (one "bias" neuron with a bias, else no neurons), 1 the input layer
// (TSimpleInputLayer, "linear"), 2 to L TGainLayer of gain 1.0 with
// "sigmoid". Sets: j - 1 -> j for j from 2 to L and, with a bias, 0 -> j;
// each a pruneable set with every arc trainable and weights 0.0. Layer L is
// the output layer.
class TMLPNetwork : public TBasicNetwork {
 public:
  // The whole network; sizes holds numLayers node counts, the input layer's
  // first. Throws TException (category "Bad Parameter", where
  // "TMLPNetwork::TMLPNetwork"): "Invalid number of layers" when numLayers is
  // below 1 or sizes holds fewer counts, "Invalid layer size" for a negative
  // count.
  TMLPNetwork(int numLayers, std::span<const int> sizes, bool bias);
  // Only numLayers + 1 empty layer slots, for a creator that installs layers
  // and sets itself; the same refusal of numLayers below 1.
  TMLPNetwork(int numLayers, bool bias);
  TMLPNetwork(const TMLPNetwork&) = default;
  TMLPNetwork& operator=(const TMLPNetwork&) = default;
  ~TMLPNetwork() override;

  const char* GetNetworkNType() const override;  // "MLP"

  // The single-vector pass of the network core.
  using TBasicNetwork::Recall;

  // Recall over a data set, as the Mirk network's forms do: the cursor of
  // data set to its newest row, then every occupied row once, oldest first,
  // through the network in blocks (each output bit for bit that of the
  // single-vector Recall); data otherwise unchanged. A row delivers the
  // inputs of data (its selected ones, with an input selection) and the
  // network reads the first as many as it has inputs. Failures, all
  // TException with where "TMLPNetwork::Recall" or
  // "TMLPNetwork::RecallOutputOnly", before anything is read or created:
  //   null data: "Null data pointer", category "Null Pointer Parameter";
  //   fewer inputs than the network has: "Data set has too few inputs";
  //   for the error form, fewer outputs: "Data set has too few outputs";
  //   an error measure for another number of outputs than the network has:
  //   "Error measure does not fit the network";
  // the last three with category "Bad Parameter". A network whose layers
  // were never installed throws TException "Incomplete network".
  //
  // A new data set (no labels) of one row per occupied row of data: the
  // inputs the network read and its outputs.
  std::unique_ptr<Data> Recall(Data* data);
  // result becomes the same without input columns.
  void RecallOutputOnly(Data* data, std::unique_ptr<Data>& result);
  // Accumulate(expected outputs, produced outputs) of errorMeasure for every
  // row, without resetting it first; returns its Result. The measure stays
  // the caller's.
  double RecallOutputOnly(Data* data, TErrorObj& errorMeasure);

  bool HasBias() const noexcept { return bias; }

 private:
  bool bias;
};

}  // namespace mirk
