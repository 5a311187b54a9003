#include "NeuralNets/TSimpleLayer.h"

namespace mirk {

TSimpleLayer::TSimpleLayer(TBasicNetwork* network, int layerNum, int numNeurons)
    : TBasicLayer(network, layerNum, numNeurons) {
  CreateNodes(nodes);
}

void TSimpleLayer::Activate(std::span<const double> net) { ActivateNodes(nodes, net); }

TBasicNeuron* TSimpleLayer::GetNeuron(int i) {
  MIRK_CHECK(i >= 0 && static_cast<size_t>(i) < nodes.size());
  return &nodes[static_cast<size_t>(i)];
}

const char* TSimpleLayer::GetLayerNType() const { return "Simple"; }

std::unique_ptr<TBasicLayer> TSimpleLayer::Clone(TBasicNetwork* owner) const {
  auto copy = std::make_unique<TSimpleLayer>(owner, layerNum, numNeurons);
  copy->CopyContentsFrom(*this);
  return copy;
}

void TSimpleLayer::RemoveNeuron(int index) { EraseNodeAt(nodes, index); }

TBasicNeuron* TSimpleLayer::InsertNeuron(int index) { return &InsertNodeAt(nodes, index); }

int TSimpleLayer::GetLayerCode() const { return 1; }

void TSimpleLayer::CopyContentsFrom(const TSimpleLayer& source) {
  CopyLayerDataFrom(source);
  CopyNodes(nodes, source.nodes);
}

}  // namespace mirk
