#include "FileHandler/NetworkWriter.h"

#include <fstream>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "Common/Check.h"
#include "Common/Exceptions.h"
#include "Common/Raise.h"
#include "Common/NumberText.h"
#include "FileHandler/SaveMirk.h"
#include "Mirk/TConditionLayer.h"
#include "Mirk/TMirkOutputLayer.h"
#include "NeuralNets/TBasicConnections.h"
#include "NeuralNets/TBasicLayer.h"
#include "NeuralNets/TBasicNetwork.h"
#include "NeuralNets/TBasicNeuron.h"

namespace mirk {

namespace {

constexpr int kPrecision = 15;
constexpr int kCellWidth = kPrecision + 5;
// Above this magnitude 15 significant digits round up past the largest
// double, and the text would read back as an infinity: such a weight is
// written with 17 digits, which always read back exactly.
constexpr double kLargest15Digits = 1.79769313486231e308;
// A set is written as a matrix when at least 7/20 (0.35) of its possible
// arcs exist; compared in integers so that the boundary is exact.
constexpr long long kMatrixShareNumerator = 7;
constexpr long long kMatrixShareDenominator = 20;

TBasicLayer& LayerAt(const TBasicNetwork& net, int i) {
  TBasicLayer* layer = net.GetLayer(i);
  MIRK_CHECK(layer != nullptr);
  return *layer;
}

const char* FunctionName(const TBasicNetwork& net, ActFunction fn) {
  return net.GetFnRegistry().GetName(fn);
}

void WriteNetworkInformation(ScratchBuffer& buffer, std::ostream& out, TBasicNetwork& net) {
  WriteBlockStart(buffer, out, "NetworkInformation", true);
  WriteIntegerEntry(buffer, out, "NumberOfLayers", net.GetNumLayers(), true);
  WriteIntegerEntry(buffer, out, "InputLayer", net.GetInLayer(), true);
  WriteIntegerEntry(buffer, out, "OutputLayer", net.GetOutLayer(), true);
  WriteIntegerEntry(buffer, out, "NumberOfInputs", LayerAt(net, net.GetInLayer()).GetNumNeurons(),
                    true);
  WriteIntegerEntry(buffer, out, "NumberOfOutputs",
                    LayerAt(net, net.GetOutLayer()).GetNumNeurons(), true);
  const ActFunction bias = net.GetFnRegistry().GetFunction("bias");
  for (int i = 0; i < net.GetNumLayers(); ++i) {
    TBasicLayer& layer = LayerAt(net, i);
    if (layer.GetNumNeurons() == 0 || layer.GetActivationFunction() != bias) continue;
    if (layer.GetNumNeurons() != 1)
      FileTools::Fail(dynamic_cast<std::istream*>(&out), "Illegal number of bias nodes");
    WriteIntegerEntry(buffer, out, "BiasLayer", i, true);
  }
  WriteBlockEnd(buffer, out, "NetworkInformation");
}

// The parameters of every neuron, neuron by neuron; a neuron with fewer
// parameters than neuron 0 has only its own.
struct LayerParameters {
  std::vector<std::vector<double>> values;
  std::vector<bool> common;  // one flag per parameter of neuron 0
};

LayerParameters CollectParameters(TBasicLayer& layer) {
  LayerParameters result;
  const int n = layer.GetNumNeurons();
  result.values.resize(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    const TBasicNeuron& neuron = *layer.GetNeuron(i);
    auto& values = result.values[static_cast<std::size_t>(i)];
    values.resize(static_cast<std::size_t>(neuron.GetNumParameters()));
    neuron.GetParameters(values);
  }
  const TBasicNeuron& first = *layer.GetNeuron(0);
  const std::vector<double>& reference = result.values[0];
  result.common.assign(reference.size(), true);
  for (std::size_t j = 0; j < reference.size(); ++j) {
    const char* name = first.GetParameterName(static_cast<int>(j));
    for (int i = 1; i < n && result.common[j]; ++i) {
      const std::vector<double>& values = result.values[static_cast<std::size_t>(i)];
      result.common[j] = j < values.size() && values[j] == reference[j] &&
                         strcasecmp(layer.GetNeuron(i)->GetParameterName(static_cast<int>(j)),
                                    name) == 0;
    }
  }
  return result;
}

void WriteNeurons(ScratchBuffer& buffer, std::ostream& out, const TBasicNetwork& net,
                  TBasicLayer& layer, bool ownFunctions, const LayerParameters& parameters) {
  WriteBlockStart(buffer, out, "Neurons", true);
  for (int i = 0; i < layer.GetNumNeurons(); ++i) {
    const TBasicNeuron& neuron = *layer.GetNeuron(i);
    WriteOpenBracket(buffer, out, true);
    WriteIntegerEntry(buffer, out, "Neuron", i, false);
    if (ownFunctions)
      WriteStringEntry(buffer, out, "ActivationFunction",
                       FunctionName(net, neuron.GetActivationFunction()), false);
    const std::vector<double>& values = parameters.values[static_cast<std::size_t>(i)];
    for (std::size_t j = 0; j < values.size(); ++j) {
      if (j < parameters.common.size() && parameters.common[j]) continue;
      WriteNumberEntry(buffer, out, neuron.GetParameterName(static_cast<int>(j)), values[j],
                       kPrecision, false);
    }
    WriteCloseBracket(buffer, out, true, true);
  }
  WriteBlockEnd(buffer, out, "Neurons");
}

void WriteLayer(ScratchBuffer& buffer, std::ostream& out, const TBasicNetwork& net,
                TBasicLayer& layer) {
  WriteNewLine(buffer, out);
  WriteIntegerEntry(buffer, out, "Layer", layer.GetLayerNum(), true);
  const char* type = layer.GetLayerNType();
  WriteStringEntry(buffer, out, "LayerType", type, true);
  WriteIntegerEntry(buffer, out, "NumberOfNeurons", layer.GetNumNeurons(), true);

  const ActFunction common = layer.GetActivationFunction();
  if (common != nullptr) {
    WriteOpenBracket(buffer, out, true);
    WriteBlockStart(buffer, out, "All", false);
    WriteStringEntry(buffer, out, "ActivationFunction", FunctionName(net, common), false);
    WriteCloseBracket(buffer, out, true, true);
  }

  if (strcasecmp(type, "FuzzyCondition") == 0) {
    auto* conditions = dynamic_cast<TConditionLayer*>(&layer);
    MIRK_CHECK(conditions != nullptr);
    WriteInputMF(out, *conditions);
  } else if (strcasecmp(type, "Defuzzify") == 0) {
    auto* outputs = dynamic_cast<TMirkOutputLayer*>(&layer);
    MIRK_CHECK(outputs != nullptr);
    WriteOutputMF(out, *outputs);
  }

  if (layer.GetNumNeurons() > 0) {
    const LayerParameters parameters = CollectParameters(layer);
    const TBasicNeuron& first = *layer.GetNeuron(0);
    bool allCommon = true;
    for (std::size_t j = 0; j < parameters.common.size(); ++j) {
      if (!parameters.common[j]) {
        allCommon = false;
        continue;
      }
      WriteOpenBracket(buffer, out, true);
      WriteBlockStart(buffer, out, "All", false);
      WriteNumberEntry(buffer, out, first.GetParameterName(static_cast<int>(j)),
                       parameters.values[0][j], kPrecision, false);
      WriteCloseBracket(buffer, out, true, true);
    }
    if (common == nullptr || !allCommon)
      WriteNeurons(buffer, out, net, layer, common == nullptr, parameters);
  }
  WriteBlockEnd(buffer, out, "Layer");
}

// "/* To->", the destination numbers each above the end of its cell, "  From */".
void AppendDestinationComment(std::string& line, int toSize, bool full) {
  line.assign("/* To->");
  const int extra = full ? 0 : 2;  // the trainable column
  for (int j = 0; j < toSize; ++j)
    AppendIntegerField(line, j, (j == 0 ? kCellWidth - 7 : kCellWidth + 1) + extra);
  line.append("  From */");
}

void WriteMatrix(ScratchBuffer& buffer, std::ostream& out, TBasicConnections& set, bool full) {
  WriteOpenBracket(buffer, out, true);
  WriteBlockStart(buffer, out, "Matrix", false);
  WriteBlockStart(buffer, out, "Weights", false);
  if (!full) WriteBlockStart(buffer, out, "TrainableInfo", false);
  WriteCloseBracket(buffer, out, true, true);

  const int fromSize = set.GetFromSize();
  const int toSize = set.GetToSize();
  std::string line;
  AppendDestinationComment(line, toSize, full);
  WriteLine(buffer, out, line);
  for (int i = 0; i < fromSize; ++i) {
    line.clear();
    for (int j = 0; j < toSize; ++j) {
      const bool exists = set.IsValid(i, j);
      if (exists) {
        const double weight = *set.GetWeight(i, j);
        const bool huge = weight > kLargest15Digits || weight < -kLargest15Digits;
        AppendGeneralField(line, weight, huge ? 17 : kPrecision, kCellWidth);
      } else {
        AppendField(line, "-", kCellWidth);
      }
      line.push_back(' ');
      // The flag byte, as the weight-list form and the reader see it: the
      // Mirk sets answer IsTrainable with IsValid whatever their flags say.
      if (!full) line.append(!exists ? "- " : (set.GetFlags(i, j) & FMaskTrainable) ? "T " : "F ");
    }
    line.append(" /* ");
    AppendLong(line, i);
    line.append(" */");
    WriteLine(buffer, out, line);
  }
  WriteBlockEnd(buffer, out, "Matrix");
}

void WriteWeightList(ScratchBuffer& buffer, std::ostream& out, TBasicConnections& set,
                     bool full) {
  WriteBlockStart(buffer, out, "WeightList", true);
  TIterateObjSaveWeights save(out, buffer, !full, kPrecision);
  set.Iterate(save, FMaskExists);
  WriteBlockEnd(buffer, out, "WeightList");
}

void WriteConnections(ScratchBuffer& buffer, std::ostream& out, TBasicConnections& set) {
  WriteNewLine(buffer, out);
  WriteBlockStart(buffer, out, "ConnectionLayer", true);
  WriteIntegerEntry(buffer, out, "LayerFrom", set.GetFromLayer(), true);
  WriteIntegerEntry(buffer, out, "LayerTo", set.GetToLayer(), true);
  const char* type = set.GetConnectionsNType();
  WriteStringEntry(buffer, out, "ConnectionType", type, true);

  const bool full = strcasecmp(type, "FullyConnected") == 0;
  WriteOpenBracket(buffer, out, true);
  WriteBlockStart(buffer, out, "Attributes", false);
  WriteBlockStart(buffer, out, full ? "UnPrunable" : "Pruneable", false);
  WriteBlockStart(buffer, out, full ? "UnFreezable" : "Freezable", false);
  WriteCloseBracket(buffer, out, true, true);

  TIterateObjCount count;
  set.Iterate(count, FMaskExists);
  const long long possible =
      static_cast<long long>(set.GetFromSize()) * static_cast<long long>(set.GetToSize());
  if (full || count.count * kMatrixShareDenominator >= possible * kMatrixShareNumerator) {
    WriteMatrix(buffer, out, set, full);
  } else {
    WriteWeightList(buffer, out, set, full);
  }
  WriteBlockEnd(buffer, out, "ConnectionLayer");
}

}  // namespace

void TIterateObjSaveWeights::Visit() {
  WriteOpenBracket(buffer, out, true);
  WriteIntegerEntry(buffer, out, "From", fromNode, false);
  WriteIntegerEntry(buffer, out, "To", toNode, false);
  WriteNumberEntry(buffer, out, "Weight", *weight, precision, false);
  if (writeTrainable) WriteBlockStart(buffer, out, trainable ? "Trainable" : "UnTrainable", false);
  WriteCloseBracket(buffer, out, true, true);
}

void WriteNetwork(ScratchBuffer& buffer, std::ostream& out, TBasicNetwork& net,
                  std::unique_ptr<TKQstructure> parameters) {
  parameters.reset();
  out.precision(kPrecision);

  WriteFormatVersion(buffer, out);
  WriteBlockStart(buffer, out, "NeuralNetwork", true);
  WriteStringEntry(buffer, out, "NetworkType", net.GetNetworkNType(), true);
  WriteNewLine(buffer, out);
  WriteNetworkInformation(buffer, out, net);

  const int n = net.GetNumLayers();
  for (int i = 0; i < n; ++i) WriteLayer(buffer, out, net, LayerAt(net, i));
  for (int from = 0; from < n; ++from) {
    for (int to = 0; to < n; ++to) {
      TBasicConnections& set = *net.GetConnections(from, to);
      if (set.IsConnected()) WriteConnections(buffer, out, set);
    }
  }
  WriteNewLine(buffer, out);
  WriteBlockEnd(buffer, out, "NeuralNetwork");
}

void SaveNetwork(ScratchBuffer& buffer, const std::string& fileName, TBasicNetwork& net,
                 std::unique_ptr<TKQstructure> parameters) {
  parameters.reset();
  std::ofstream file(fileName, std::ios::out | std::ios::trunc);
  if (!file) FileTools::Fail(nullptr, "Error on File Open");
  WriteNetwork(buffer, file, net);
  file.close();  // flushes
  if (file.fail()) FileTools::Fail(nullptr, "Error on File Write");
}

}  // namespace mirk
