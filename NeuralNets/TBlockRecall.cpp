#include "NeuralNets/TBlockRecall.h"

#include <algorithm>
#include <typeinfo>

#include "Common/Check.h"
#include "Common/Exceptions.h"
#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TConnectedConnections.h"
#include "NeuralNets/TEmptyConnections.h"
#include "NeuralNets/TGainLayer.h"
#include "NeuralNets/TPrunedConnections.h"
#include "NeuralNets/TSimpleInputLayer.h"

namespace mirk {

// Exact classes only: a derived class may have changed the pass.
TBlockRecall::TBlockRecall(TBasicNetwork& net, int blockRows)
    : net(net), blockRows(blockRows), inLayer(net.GetInLayer()), outLayer(net.GetOutLayer()) {
  MIRK_CHECK(blockRows >= 1);
  const int n = net.GetNumLayers();
  auto incomplete = [] { throw TException("Incomplete network", "Bad Parameter", "TBlockRecall::TBlockRecall"); };
  if (inLayer < 0 || inLayer >= n || outLayer < 0 || outLayer >= n) incomplete();
  layers.resize(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    Layer& layer = layers[static_cast<size_t>(i)];
    layer.layer = net.GetLayer(i);
    if (layer.layer == nullptr) incomplete();
    const std::type_info& type = typeid(*layer.layer);
    if (i == inLayer && type == typeid(TSimpleInputLayer)) {
      layer.kind = LayerKind::Input;
    } else if (i != inLayer && (type == typeid(TSimpleLayer) || type == typeid(TGainLayer))) {
      layer.kind = LayerKind::Standard;
    } else {
      layer.kind = LayerKind::Own;
    }
    layer.width = static_cast<size_t>(layer.layer->GetNumNeurons());
    layer.values.assign(static_cast<size_t>(blockRows) * layer.width, 0.0);
    if (layer.kind != LayerKind::Standard) continue;
    for (int f = 0; f < i; ++f) {
      TBasicConnections* set = net.GetConnections(f, i);
      const std::type_info& setType = typeid(*set);
      if (setType == typeid(TEmptyConnections)) continue;
      const SetKind kind = setType == typeid(TPrunedConnections)      ? SetKind::Pruned
                           : setType == typeid(TConnectedConnections) ? SetKind::Dense
                                                                      : SetKind::Generic;
      layer.sources.push_back({f, kind, set});
    }
  }
  inputs.assign(static_cast<size_t>(blockRows) * layers[static_cast<size_t>(inLayer)].width, 0.0);
}

TBlockRecall::~TBlockRecall() = default;

int TBlockRecall::GetNumInputs() const noexcept {
  return static_cast<int>(layers[static_cast<size_t>(inLayer)].width);
}

int TBlockRecall::GetNumOutputs() const noexcept {
  return static_cast<int>(layers[static_cast<size_t>(outLayer)].width);
}

std::span<double> TBlockRecall::Row(Layer& layer, int r) {
  return std::span<double>(layer.values).subspan(static_cast<size_t>(r) * layer.width, layer.width);
}

std::span<double> TBlockRecall::Inputs(int r) {
  MIRK_CHECK(r >= 0 && r < blockRows);
  const size_t width = layers[static_cast<size_t>(inLayer)].width;
  return std::span<double>(inputs).subspan(static_cast<size_t>(r) * width, width);
}

std::span<const double> TBlockRecall::Outputs(int r) const { return Values(outLayer, r); }

std::span<const double> TBlockRecall::Values(int layer, int r) const {
  MIRK_CHECK(layer >= 0 && static_cast<size_t>(layer) < layers.size() && r >= 0 && r < blockRows);
  const Layer& values = layers[static_cast<size_t>(layer)];
  return std::span<const double>(values.values).subspan(static_cast<size_t>(r) * values.width, values.width);
}

void TBlockRecall::Run(int numRows) {
  MIRK_CHECK(numRows >= 0 && numRows <= blockRows);
  if (numRows == 0) return;
  for (size_t i = 0; i < layers.size(); ++i) {
    Layer& layer = layers[i];
    switch (layer.kind) {
      case LayerKind::Input:
        for (int r = 0; r < numRows; ++r) {
          const std::span<const double> row = Inputs(r);
          std::copy(row.begin(), row.end(), Row(layer, r).begin());
        }
        break;
      case LayerKind::Standard:
        RunStandard(layer, numRows);
        break;
      case LayerKind::Own:
        RunOwn(static_cast<int>(i), numRows);
        break;
    }
  }
  LoadRow(static_cast<int>(layers.size()), numRows - 1);
}

// The standard pass for all rows: net inputs from zeros, each set's sums
// added in increasing order of its source layer, then the functions.
void TBlockRecall::RunStandard(Layer& layer, int numRows) {
  const size_t used = static_cast<size_t>(numRows) * layer.width;
  const std::span<double> net = std::span<double>(layer.values).first(used);
  std::fill(net.begin(), net.end(), 0.0);
  for (const Source& source : layer.sources) {
    Layer& from = layers[static_cast<size_t>(source.layer)];
    switch (source.kind) {
      case SetKind::Pruned:
        static_cast<const TPrunedConnections*>(source.set)
            ->AggregateRows(from.values, from.width, net, layer.width, numRows);
        break;
      case SetKind::Dense:
        static_cast<const TConnectedConnections*>(source.set)
            ->AggregateRows(from.values, from.width, net, layer.width, numRows);
        break;
      case SetKind::Generic:
        for (int r = 0; r < numRows; ++r) {
          const std::span<const double> row = Row(from, r);
          std::copy(row.begin(), row.end(), from.layer->GetOutputs().begin());
          source.set->Aggregate(Row(layer, r));
        }
        break;
    }
  }
  // The functions write through the neurons into the layer's own outputs.
  const std::span<double> cells = layer.layer->GetOutputs();
  for (int r = 0; r < numRows; ++r) {
    const std::span<double> row = Row(layer, r);
    std::copy(row.begin(), row.end(), cells.begin());
    layer.layer->Activate(cells);
    std::copy(cells.begin(), cells.end(), row.begin());
  }
}

void TBlockRecall::RunOwn(int index, int numRows) {
  Layer& layer = layers[static_cast<size_t>(index)];
  for (int r = 0; r < numRows; ++r) {
    LoadRow(index, r);
    layer.layer->Propagate(Inputs(r));
    const std::span<const double> cells = layer.layer->GetOutputs();
    std::copy(cells.begin(), cells.end(), Row(layer, r).begin());
  }
}

void TBlockRecall::LoadRow(int count, int r) {
  for (int f = 0; f < count; ++f) {
    Layer& layer = layers[static_cast<size_t>(f)];
    const std::span<const double> row = Row(layer, r);
    std::copy(row.begin(), row.end(), layer.layer->GetOutputs().begin());
  }
}

}  // namespace mirk
