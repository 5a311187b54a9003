// The output layer of a Mirk network: each output is the centre-of-gravity
// average of its actions' centres, weighted by the actions' activations.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "Mirk/TMFBlocks.h"
#include "NeuralNets/TSimpleLayer.h"

namespace mirk {

// One node per output variable; each output owns a block of consecutive
// action nodes in the layer below, those of output 0 first. The action
// centres are the weights of the TToOutputConnections set joining the two.
class TMirkOutputLayer : public TSimpleLayer {
 public:
  // numNeurons outputs; the counts are installed with SetOutputMF next.
  TMirkOutputLayer(TBasicNetwork* network, int layerNum, int numNeurons);
  ~TMirkOutputLayer() override;

  // Output k = sum of activation x centre over its actions divided by the sum
  // of their activations; 0 when either sum is exactly 0. A value outside
  // [0, 1] is written to standard output alone on a line, with up to 15
  // significant digits in the shortest of fixed or exponent form (as "%.15g"
  // would), and kept. The nominal function "cog" is never called. Throws
  // TException (category "Invalid Parameter", where
  // "TMirkOutputLayer::Propagate") when the counts were never installed, the
  // layer below does not have as many nodes as there are actions, or the set
  // from it is not a TToOutputConnections.
  void Propagate(std::span<const double> inputs) override;
  const char* GetLayerNType() const override;  // "Defuzzify"
  // Same counts; outputs 0.0.
  std::unique_ptr<TBasicLayer> Clone(TBasicNetwork* owner) const override;
  int GetLayerCode() const override;  // 5

  // Installs numActions actions and one count per output (the first
  // GetNumNeurons() entries of counts): action nodes are mapped to outputs in
  // order. Centres are not touched. Each count must be at least 2 and the
  // counts must add up to numActions; otherwise TException (category "Bad
  // Parameter", where "TMirkOutputLayer::SetOutputMF") with "Must be >= 2 MF
  // per output" or "Membership counts do not match the layer", and the layer
  // is unchanged.
  void SetOutputMF(int numActions, std::span<const int> counts);

  // The outputs' blocks of actions; none until SetOutputMF.
  const TMFBlocks& GetOutputBlocks() const noexcept { return blocks; }
  int GetNumActions() const noexcept { return blocks.GetNumNodes(); }
  // One count per output; empty until SetOutputMF.
  std::span<const int> GetOutputMF() const noexcept { return blocks.GetCounts(); }
  // The output that owns action, and the action's position in its block. A
  // bad action number is a TException "Invalid node number" (category "Bad
  // Parameter").
  int GetOutputOf(int action) const;
  int GetMFIndex(int action) const;
  // Owning output per action; empty until SetOutputMF.
  std::span<const int> GetOutputMap() const noexcept { return blocks.GetVariableMap(); }

 private:
  TMFBlocks blocks;
};

}  // namespace mirk
