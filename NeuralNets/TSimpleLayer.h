// The plain layer: an array of TBasicNeuron objects.
#pragma once

#include <vector>

#include "NeuralNets/TBasicLayer.h"
#include "NeuralNets/TBasicNeuron.h"

namespace mirk {

class TSimpleLayer : public TBasicLayer {
 public:
  // numNeurons neurons with the "error" function.
  TSimpleLayer(TBasicNetwork* network, int layerNum, int numNeurons);

  void Activate(std::span<const double> net) override;
  TBasicNeuron* GetNeuron(int i) override;
  const char* GetLayerNType() const override;  // "Simple"
  std::unique_ptr<TBasicLayer> Clone(TBasicNetwork* owner) const override;
  void RemoveNeuron(int index) override;
  // The new neuron gets the common function, or "error" when there is none.
  TBasicNeuron* InsertNeuron(int index) override;
  virtual int GetLayerCode() const;  // 1; nothing reads the codes

 protected:
  // Layer data and neurons of source (same neuron count), for Clone of this
  // class and of derived ones.
  void CopyContentsFrom(const TSimpleLayer& source);

  std::vector<TBasicNeuron> nodes;
};

}  // namespace mirk
