// The condition layer of a Mirk network: it fuzzifies each crisp input with
// triangular membership functions whose peaks are the node centres, and the
// "Mirk-condition" function that computes one membership degree.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "Mirk/TMFBlocks.h"
#include "NeuralNets/TBasicLayer.h"
#include "NeuralNets/TBasicNeuron.h"

namespace mirk {

// One membership function of one input. Its feet are the centres of its
// neighbours of the same input; a node without a left (right) neighbour is a
// shoulder that stays at 1 below (above) its centre.
class TConditionNeuron : public TBasicNeuron {
 public:
  TConditionNeuron() = default;
  TConditionNeuron(const TConditionNeuron&) = default;
  TConditionNeuron& operator=(const TConditionNeuron&) = default;
  ~TConditionNeuron() override;

  int GetNumParameters() const override;  // 0

  double centre = 0.0;  // also the weight of the arc from its input
  TConditionNeuron* left = nullptr;   // next lower node of the same input
  TConditionNeuron* right = nullptr;  // next higher node of the same input
  bool trainable = true;  // set by TMirk::FreezeWeight/UnfreezeWeight on weight layer 1
};

// The membership degree of a condition node with centre c and net input x,
// stored in the node's output cell; the first case that holds decides:
// no left and x <= c: 1; no right and x >= c: 1; x >= c and x < right
// centre: 1 - (x - c) / (cR - c); x <= c and x > left centre:
// 1 - (c - x) / (c - cL); otherwise 0.
// Registered as "Mirk-condition". On a neuron that is not a condition neuron
// it throws TException (category "Invalid Parameter", where
// "TBasicNeuron::Activate").
void ActMirkCondition(TBasicNeuron& neuron, double x);

// Each input owns a block of consecutive nodes, those of input 0 first. The
// layer reads each node's net input straight from its own input's output in
// the layer below; no connection set is consulted.
class TConditionLayer : public TBasicLayer {
 public:
  // numNeurons nodes with the function "Mirk-condition", not yet mapped to
  // inputs: SetInputMF comes next.
  TConditionLayer(TBasicNetwork* network, int layerNum, int numNeurons);
  ~TConditionLayer() override;

  void Activate(std::span<const double> net) override;
  TBasicNeuron* GetNeuron(int i) override;
  // Net input of node c is output GetInputOf(c) of the layer below, then the
  // functions apply. Throws TException (category "Invalid Parameter", where
  // "TConditionLayer::Propagate") when the counts were never installed or the
  // layer below has fewer nodes than this layer has inputs.
  void Propagate(std::span<const double> inputs) override;
  const char* GetLayerNType() const override;  // "FuzzyCondition"
  // Same counts, centres and trainable flags; outputs 0.0.
  std::unique_ptr<TBasicLayer> Clone(TBasicNetwork* owner) const override;
  // Not supported: each throws TException (category "Bad Parameter", where
  // "TConditionLayer::RemoveNeuron" or "TConditionLayer::InsertNeuron"). The
  // network asks the layer before it touches any set, so a refused
  // RemoveNode or InsertNode leaves it as it was.
  void RemoveNeuron(int index) override;
  TBasicNeuron* InsertNeuron(int index) override;
  virtual int GetLayerCode() const;  // 4

  // Installs the membership-function counts of the first count inputs:
  // nodes are mapped to inputs in order, chained within each input, and their
  // centres reset to even spacing (trainable flags are kept). Each count must
  // be at least 2 and the counts must add up to the node count; otherwise
  // TException (category "Bad Parameter", where "TConditionLayer::SetInputMF")
  // with "Must be >= 2 MF per input" or "Membership counts do not match the
  // layer", and the layer is unchanged. counts must hold at least count
  // entries ("Membership counts do not match the layer" otherwise).
  void SetInputMF(int count, std::span<const int> counts);
  // Even centres over [0, 1] for the nodes of the first count inputs: 0.0,
  // j / (m - 1), ..., 1.0 for an input of m functions. count outside 0 to
  // GetNumInputs(): TException "Invalid input number" (where
  // "TConditionLayer::ResetCentres").
  void ResetCentres(int count);

  // The inputs' blocks of nodes; none until SetInputMF.
  const TMFBlocks& GetInputBlocks() const noexcept { return blocks; }
  int GetNumInputs() const noexcept { return blocks.GetNumVariables(); }
  // One count per input; empty until SetInputMF.
  std::span<const int> GetInputMF() const noexcept { return blocks.GetCounts(); }
  // The nodes of input, in ascending order (as many as its count).
  std::vector<int> GetConditionNodes(int input) const;
  // The input that owns node.
  int GetInputOf(int node) const;
  // The position of node within its input's block.
  int GetMFIndex(int node) const;
  // A bad input or node number above is a TException "Invalid input number"
  // or "Invalid node number" (category "Bad Parameter").

  TConditionNeuron& GetConditionNeuron(int i);
  const TConditionNeuron& GetConditionNeuron(int i) const;

 private:
  // Points node i at this layer, its output cell and its number.
  void AttachNodes();

  std::vector<TConditionNeuron> nodes;
  TMFBlocks blocks;
};

}  // namespace mirk
