// The Mirk network: a six-layer fuzzy network that fuzzifies its inputs with
// triangular membership functions (conditions), combines them through rule
// nodes into fuzzy output memberships (actions) and defuzzifies those into
// crisp outputs.
//
// Layers: 0 bias (no nodes), 1 input, 2 condition (TConditionLayer), 3 rule,
// 4 action, 5 output (TMirkOutputLayer). Weight layer k (1 to 4) is the set
// from layer k to layer k + 1: 1 holds the condition centres
// (TToConditionConnections), 2 and 3 the rule weights (pruneable sets), 4 the
// action centres (TToOutputConnections). Conditions are numbered over all
// inputs, those of input 0 first; actions over all outputs the same way.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "NeuralNets/TConnectedNetwork.h"

namespace mirk {

class Data;

class TMirk : public TConnectedNetwork {
 public:
  static constexpr int kBiasLayer = 0;
  static constexpr int kInputLayer = 1;
  static constexpr int kConditionLayer = 2;
  static constexpr int kRuleLayer = 3;
  static constexpr int kActionLayer = 4;
  static constexpr int kOutputLayer = 5;
  static constexpr int kNumLayers = 6;

  // Six empty layer slots and empty sets: the network file reader installs
  // the layers and sets it reads, then the membership counts.
  TMirk();
  // The complete network. inputMF holds (at least) numInputs counts, outputMF
  // numOutputs; both are copied. Condition centres start evenly spaced over
  // [0, 1], rule weights at 0.0, action centres at 0.0 until InitWeights,
  // SetWeightLayer(4, ...) or a file sets them. Throws TException (category
  // "Bad Parameter", where "TMirk::TMirk"): "Must be >= 2 MF per input",
  // "Must be >= 2 MF per output" (counts tested in order, inputs first);
  // also "Invalid number of inputs", "Invalid number of rules" or "Invalid
  // number of outputs" for a negative number or a too short array, and "Too
  // many membership functions" when a sum does not fit an int.
  TMirk(int numInputs, std::span<const int> inputMF, int numRules, std::span<const int> outputMF,
        int numOutputs);
  TMirk(const TMirk&) = default;
  TMirk& operator=(const TMirk&) = default;
  ~TMirk() override;

  // A pair not yet connected gets a TToConditionConnections for (1, 2), a
  // TToOutputConnections for (4, 5) and a pruneable set otherwise.
  void Connect(int fromLayer, int toLayer) override;
  const char* GetNetworkNType() const override;  // "Mirk"

  // The single-vector pass of the network core.
  using TConnectedNetwork::Recall;

  // Recall over a data set. Each form sets the cursor of data to its newest
  // row and reads every occupied row once, oldest first; data is otherwise
  // unchanged and the layers keep the values of the last row. The rows go
  // through the network in blocks, each output bit for bit what the
  // single-vector Recall gives.
  //
  // A row delivers the inputs of data (its selected ones, with an input
  // selection); the network reads the first as many as it has inputs, so a
  // wider data set is fine. Failures, all TException with where
  // "TMirk::Recall" or "TMirk::RecallOutputOnly", before anything is read
  // or created:
  //   null data: "Null data pointer", category "Null Pointer Parameter";
  //   fewer inputs than the network has: "Data set has too few inputs";
  //   for the error form, fewer outputs: "Data set has too few outputs";
  //   a network that does not follow the plan: "Incomplete Mirk network";
  // the last three with category "Bad Parameter".
  //
  // result becomes a new data set (no labels) of one row per occupied row of
  // data: the inputs the network read and its outputs.
  void Recall(Data* data, std::unique_ptr<Data>& result);
  // The same without input columns: only the network's outputs.
  void RecallOutputOnly(Data* data, std::unique_ptr<Data>& result);
  // The root-mean-square difference between the rows' expected outputs and
  // the network's, over all rows and outputs: sqrt(sum of squares / outputs
  // / rows); 0.0 for a data set without rows.
  void RecallOutputOnly(Data* data, double& error);

  // Node counts of layers 1 to 5 and copies of the per-input and per-output
  // membership counts (numInputs and numOutputs entries).
  void GetStructure(int& numInputs, int& numConditions, std::vector<int>& inputMF, int& numRules,
                    int& numActions, std::vector<int>& outputMF, int& numOutputs) const;

  // Weights by weight layer (1 to 4) and (from node, to node):
  // 1: from is the input of condition node to, the weight is its centre;
  // 2, 3: any pair within the layers, the stored weight whether the arc
  //    exists or was pruned;
  // 4: to is the output of action node from, the weight is its centre.
  // Failures: "Invalid weight layer", then "Invalid weight number".
  void GetWeightValue(int layer, int from, int to, double& value) const;
  void SetWeightValue(int layer, int from, int to, double value);

  // A whole weight layer: 1 the centres in condition order; 2 source-major,
  // entry c * numRules + r is the weight c -> r; 3 likewise r * numActions +
  // a; 4 the centres in action order. SetWeightLayer takes the same order and
  // exactly that many values ("Wrong number of weights" otherwise).
  std::vector<double> GetWeightLayer(int layer) const;
  void SetWeightLayer(int layer, std::span<const double> weights);

  // Note the order: receiving node first. Layer 1 changes the trainable flag
  // of condition node to (from is not used); layers 2 to 4 the set's flag of
  // the existing arc (from, to). Failures: "Invalid weight layer", then
  // "Invalid weight number" (no such arc, or no such condition node).
  void FreezeWeight(int layer, int to, int from);
  void UnfreezeWeight(int layer, int to, int from);

  // Whether the arc exists (false for a pruned one). from and to must lie
  // within their layers ("Invalid node number"); "Invalid weight layer" for a
  // layer outside 1 to 4.
  void WeightExists(int layer, int from, int to, bool& exists) const;

  // The output of node of layer (0 to 5, not a weight layer) after the last
  // pass: "Invalid node layer", or "Invalid node number" for a node outside
  // the layer (the bias layer has none).
  void GetActivationValue(int layer, int node, double& value) const;

  // Even condition centres, rule weights of weight layers 2 and 3 drawn from
  // [Minimum, Maximum) (every weight Minimum when they are equal), even
  // action centres. Minimum <= Maximum is required (checked).
  void InitWeights(double Minimum, double Maximum);

  // Every failure above is a TException with category "Bad Parameter" and
  // where "TMirk::<operation>"; the network is left unchanged. A network
  // whose layers or sets do not follow the plan (a file that left parts out)
  // gives "Incomplete Mirk network".
};

}  // namespace mirk
