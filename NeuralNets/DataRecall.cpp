#include "NeuralNets/DataRecall.h"

#include <algorithm>
#include <span>
#include <vector>

#include "Common/Exceptions.h"
#include "DataObject/Data.h"
#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TBlockRecall.h"
#include "NeuralNets/TErrorObj.h"

namespace mirk {
namespace {

[[noreturn]] void Refuse(const char* message, const char* where) {
  throw TException(message, "Bad Parameter", where);
}

// The number of input and output values GetNextRow delivers per row.
struct TRowWidths {
  size_t inputs;
  size_t outputs;
};

TRowWidths DeliveredWidths(const Data& data) {
  const std::vector<int> inputSelection = data.GetInputSelection();
  if (inputSelection.empty()) {
    return {static_cast<size_t>(data.GetNumInputs()), static_cast<size_t>(data.GetNumOutputs())};
  }
  const std::span<const int> outputSelection = data.GetOutputSelection();
  return {inputSelection.size(),
          outputSelection.empty() ? static_cast<size_t>(data.GetNumOutputs()) : outputSelection.size()};
}

// Reads the occupied rows of data, oldest first, into the block pass block
// by block; calls use(rows, targets) after each block, targets holding the
// expected outputs (outputsNeeded per row) when asked for.
template <class Use>
void RecallRows(TBlockRecall& block, Data& data, size_t outputsNeeded, const char* where, Use use) {
  const TRowWidths widths = DeliveredWidths(data);
  const size_t numInputs = static_cast<size_t>(block.GetNumInputs());
  if (widths.inputs < numInputs) Refuse("Data set has too few inputs", where);
  if (widths.outputs < outputsNeeded) Refuse("Data set has too few outputs", where);

  std::vector<double> rowInputs(widths.inputs);
  std::vector<double> rowOutputs(outputsNeeded > 0 ? widths.outputs : 0);
  std::vector<double> targets(static_cast<size_t>(block.GetBlockRows()) * outputsNeeded);
  const int rows = data.GetNumDataRows();
  data.SetCurrentRow(data.GetLastRow());
  for (int first = 0; first < rows; first += block.GetBlockRows()) {
    const int count = std::min(block.GetBlockRows(), rows - first);
    for (int r = 0; r < count; ++r) {
      data.GetNextRow(rowInputs, rowOutputs);
      std::copy_n(rowInputs.begin(), numInputs, block.Inputs(r).begin());
      std::copy_n(rowOutputs.begin(), outputsNeeded, targets.begin() + static_cast<ptrdiff_t>(r * outputsNeeded));
    }
    block.Run(count);
    use(count, std::span<const double>(targets));
  }
}

}  // namespace

Data& RequireData(Data* data, const char* where) {
  if (data == nullptr) throw TException("Null data pointer", "Null Pointer Parameter", where);
  return *data;
}

std::unique_ptr<Data> RecallDataSet(TBasicNetwork& net, Data* data, bool withInputs, const char* where) {
  Data& source = RequireData(data, where);
  TBlockRecall block(net);
  auto result = std::make_unique<Data>(source.GetNumDataRows(), withInputs ? block.GetNumInputs() : 0,
                                       block.GetNumOutputs(), false);
  RecallRows(block, source, 0, where, [&](int count, std::span<const double>) {
    for (int r = 0; r < count; ++r) {
      result->AppendRow(withInputs ? block.Inputs(r) : std::span<double>(), block.Outputs(r));
    }
  });
  return result;
}

void RecallIntoMeasure(TBasicNetwork& net, Data* data, TErrorObj& measure, const char* where) {
  Data& source = RequireData(data, where);
  TBlockRecall block(net);
  const size_t numOutputs = static_cast<size_t>(block.GetNumOutputs());
  if (measure.GetNumOutputs() != block.GetNumOutputs()) Refuse("Error measure does not fit the network", where);
  RecallRows(block, source, numOutputs, where, [&](int count, std::span<const double> targets) {
    for (int r = 0; r < count; ++r) {
      measure.Accumulate(targets.subspan(static_cast<size_t>(r) * numOutputs, numOutputs), block.Outputs(r));
    }
  });
}

}  // namespace mirk
