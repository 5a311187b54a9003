#include "FileHandler/NetworkFile.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <istream>
#include <string>
#include <vector>

#include "Common/Exceptions.h"
#include "Common/Raise.h"
#include "FileHandler/ConnectionLayerReader.h"
#include "FileHandler/ReaderBudget.h"
#include "FileHandler/SaveMirk.h"
#include "KQmessage/KQML.h"
#include "Mirk/TConditionLayer.h"
#include "Mirk/TMirk.h"
#include "Mirk/TMirkOutputLayer.h"
#include "NeuralNets/TBasicNeuron.h"
#include "NeuralNets/TConnectedNetwork.h"
#include "NeuralNets/TEmptyConnections.h"
#include "NeuralNets/TGainLayer.h"
#include "NeuralNets/TSimpleInputLayer.h"

namespace mirk {

namespace {

constexpr long kNone = -1;

enum class LayerKind { Simple, Input, Gain, FuzzyCondition, Defuzzify };

bool LayerKindOf(std::string_view type, LayerKind& kind) {
  static constexpr struct {
    std::string_view name;
    LayerKind kind;
  } kKinds[] = {{"SIMPLE", LayerKind::Simple},
                {"INPUT", LayerKind::Input},
                {"GAIN", LayerKind::Gain},
                {"FUZZYCONDITION", LayerKind::FuzzyCondition},
                {"DEFUZZIFY", LayerKind::Defuzzify}};
  for (const auto& k : kKinds) {
    if (strcasecmp(type, k.name) == 0) {
      kind = k.kind;
      return true;
    }
  }
  return false;
}

// What the allocator adds to each object it hands out.
constexpr std::size_t kAllocatorBytes = 16;

// What one neuron of a layer of the kind takes: the neuron, its output, the
// membership block entry of a Mirk layer, and the reader's own marks (one
// per neuron in a Neurons block, one count per output variable).
std::size_t NeuronBytes(LayerKind kind) {
  std::size_t node = sizeof(TBasicNeuron);
  if (kind == LayerKind::Gain) node = sizeof(TGainNeuron);
  if (kind == LayerKind::FuzzyCondition) node = sizeof(TConditionNeuron) + sizeof(int);
  if (kind == LayerKind::Defuzzify) node += sizeof(int);
  return node + sizeof(double) + sizeof(char) + sizeof(int);
}

// The values of the network information block.
struct Header {
  long layers = kNone;
  long inLayer = 1;
  long outLayer = kNone;
  long inputs = kNone;
  long outputs = kNone;
};

// What one layer section has said so far.
struct LayerSection {
  int index = 0;
  std::string type;
  bool typeGiven = false;
  long count = kNone;
  ActFunction common = nullptr;
  TBasicLayer* layer = nullptr;
  // Neuron parameters: one slot per parameter of the layer's neurons, with
  // the values given at layer level and then by neuron statements.
  std::vector<double> slots;
  std::vector<char> slotGiven;
};

class NetworkReader {
 public:
  NetworkReader(ScratchBuffer& buffer, std::istream& in, const ReaderLimits& limits)
      : buffer_(buffer), in_(in), budget_(in, limits.memoryBudget) {}

  std::unique_ptr<TBasicNetwork> Read();

 private:
  [[noreturn]] void Fail(std::string message) { FileTools::Fail(in_, std::move(message)); }
  void Next(std::string_view block, bool continued = false) {
    ReadStatement(buffer_, in_, block, continued, st_);
  }
  long Integer(std::string_view text) { return ParseInteger(buffer_, in_, text); }
  double Number(std::string_view text) { return ParseNumber(buffer_, in_, text); }

  Header ReadHeader(std::string_view networkBlock);
  void CreateNetwork(const Header& header, std::string_view type);
  void ReadLayerSection(const Header& header, std::string_view networkBlock);
  bool ReadLayerAttribute(const Header& header, LayerSection& section, std::string_view block);
  void BuildLayer(const Header& header, LayerSection& section);
  void ReadMembershipSection(LayerSection& section, std::string_view block);
  void ReadNeurons(LayerSection& section, std::string_view block);
  ActFunction Function(std::string_view name);
  // The slot of the parameter `name` of the neuron, by its parameter names.
  size_t ParameterSlot(const LayerSection& section, const TBasicNeuron& neuron, std::string_view name);
  void CheckLayersComplete();

  ScratchBuffer& buffer_;
  std::istream& in_;
  TReaderBudget budget_;
  Statement st_;
  std::unique_ptr<TBasicNetwork> network_;
};

std::unique_ptr<TBasicNetwork> NetworkReader::Read() {
  Next(kNoBlock);
  const std::string networkBlock = ExpectBlockStart(buffer_, in_, st_, "NEURALNETWORK");
  Next(networkBlock);
  const std::string type = GetStringEntry(buffer_, in_, st_, "NETWORKTYPE");
  const Header header = ReadHeader(networkBlock);
  CreateNetwork(header, type);

  Next(networkBlock);
  while (st_.kind == StAssign && strcasecmp(st_.name, "Layer") == 0) ReadLayerSection(header, networkBlock);
  CheckLayersComplete();

  while (st_.kind == StBlock && strcasecmp(st_.name, "ConnectionLayer") == 0) {
    ReadConnectionLayer(buffer_, in_, *network_, networkBlock, st_, budget_);
  }
  ExpectBlockEnd(buffer_, in_, st_);
  Next(kNoBlock);
  if (st_.kind != StEnd) Fail("End Tag expected");
  return std::move(network_);
}

Header NetworkReader::ReadHeader(std::string_view networkBlock) {
  Next(networkBlock);
  const std::string block = ExpectBlockStart(buffer_, in_, st_, "NETWORKINFORMATION");
  Header header;
  for (Next(block); st_.kind == StAssign; Next(block)) {
    if (st_.more) Fail("Too complicated statement");
    // The value is converted before the key is looked at.
    const long value = Integer(st_.value);
    if (strcasecmp(st_.name, "NumberOfLayers") == 0) {
      header.layers = value;
    } else if (strcasecmp(st_.name, "InputLayer") == 0) {
      header.inLayer = value;
    } else if (strcasecmp(st_.name, "OutputLayer") == 0) {
      header.outLayer = value;
    } else if (strcasecmp(st_.name, "NumberOfInputs") == 0) {
      header.inputs = value;
    } else if (strcasecmp(st_.name, "NumberOfOutputs") == 0) {
      header.outputs = value;
    } else if (strcasecmp(st_.name, "BiasLayer") != 0) {
      Fail("Unknown keyword");
    }
  }
  ExpectBlockEnd(buffer_, in_, st_);

  if (header.layers == kNone) Fail("Must specify number of layers");
  if (header.layers < 0 || header.layers > INT_MAX) Fail("Number of layers out of range");
  if (header.outLayer == kNone) header.outLayer = header.layers - 1;
  if (header.inLayer < 0 || header.inLayer >= header.layers) Fail("Input layer out of range");
  if (header.outLayer < 0 || header.outLayer >= header.layers) Fail("Output layer out of range");
  return header;
}

void NetworkReader::CreateNetwork(const Header& header, std::string_view type) {
  const int layers = static_cast<int>(header.layers);
  // A layer slot each, and a set (empty until connected) for every pair.
  budget_.Take(layers, sizeof(std::unique_ptr<TBasicLayer>));
  budget_.Take(static_cast<long long>(layers) * layers,
               sizeof(std::unique_ptr<TBasicConnections>) + sizeof(TEmptyConnections) + kAllocatorBytes);
  if (strcasecmp(type, "BASIC") == 0) {
    network_ = std::make_unique<TBasicNetwork>(layers);
  } else if (strcasecmp(type, "CONNECTED") == 0) {
    network_ = std::make_unique<TConnectedNetwork>(layers);
  } else if (strcasecmp(type, "MIRK") == 0) {
    if (layers != 6) Fail("A Mirk network has 6 layers");
    network_ = std::make_unique<TMirk>();
  } else {
    Fail("Unknown network type");
  }
  network_->SetInLayer(static_cast<int>(header.inLayer));
  network_->SetOutLayer(static_cast<int>(header.outLayer));
}

// From [Layer = L] to [~Layer]; leaves the statement after the end tag.
void NetworkReader::ReadLayerSection(const Header& header, std::string_view networkBlock) {
  const std::string block = st_.name;  // the end tag repeats the key as written
  const long index = Integer(st_.value);
  if (index < 0 || index >= header.layers) Fail("Layer index out of range");
  LayerSection section;
  section.index = static_cast<int>(index);
  if (network_->GetLayer(section.index) != nullptr) Fail("Layer " + std::to_string(index) + " defined twice");

  Next(block);
  while (ReadLayerAttribute(header, section, block)) Next(block);
  if (section.layer == nullptr) Fail("Layer type or number of neurons missing");

  if (section.common != nullptr) section.layer->SetActivationFunction(section.common);
  ReadMembershipSection(section, block);
  if (st_.kind == StBlock && strcasecmp(st_.name, "Neurons") == 0) {
    ReadNeurons(section, block);
  } else {
    if (std::find(section.slotGiven.begin(), section.slotGiven.end(), 0) != section.slotGiven.end()) {
      Fail("Incomplete Layer information");
    }
    if (!section.slots.empty()) {
      for (int n = 0; n < section.layer->GetNumNeurons(); ++n) {
        section.layer->GetNeuron(n)->SetParameters(section.slots);
      }
    }
  }
  ExpectBlockEnd(buffer_, in_, st_);
  Next(networkBlock);
}

// Takes one attribute statement; false when the statement is none.
bool NetworkReader::ReadLayerAttribute(const Header& header, LayerSection& section, std::string_view block) {
  if (st_.kind == StBlock && strcasecmp(st_.name, "ALL") == 0) {
    if (!st_.more) Fail("[ALL] is incomplete statment");
    Next(block, true);
    if (st_.kind != StAssign) Fail("Required syntax is [ALL <keyword>=<val>]");
  } else if (st_.kind != StAssign) {
    return false;
  }
  if (st_.more) Fail("Too complicated statement");

  // Once the layer is built, a repeat that changes nothing is harmless.
  if (strcasecmp(st_.name, "LayerType") == 0) {
    if (section.layer != nullptr) {
      if (strcasecmp(st_.value, section.type) != 0) Fail("LayerType after the layer was built");
      return true;
    }
    section.type = st_.value;
    section.typeGiven = true;
  } else if (strcasecmp(st_.name, "NumberOfNeurons") == 0) {
    const long count = Integer(st_.value);
    if (section.layer != nullptr) {
      if (count != section.count) Fail("NumberOfNeurons after the layer was built");
      return true;
    }
    if (count < 0 || count > INT_MAX) Fail("Number of neurons out of range");
    section.count = count;
  } else if (strcasecmp(st_.name, "ActivationFunction") == 0) {
    section.common = Function(st_.value);
  } else {
    if (section.layer == nullptr) Fail("Neuron parameter before the layer is built");
    if (section.layer->GetNumNeurons() == 0) Fail("Unknown neuron parameter " + st_.name);
    const size_t slot = ParameterSlot(section, *section.layer->GetNeuron(0), st_.name);
    section.slots[slot] = Number(st_.value);
    section.slotGiven[slot] = 1;
  }
  if (section.layer == nullptr && section.typeGiven && section.count != kNone) BuildLayer(header, section);
  return true;
}

void NetworkReader::BuildLayer(const Header& header, LayerSection& section) {
  const int index = section.index;
  if (index == header.inLayer && header.inputs != kNone && header.inputs != section.count) {
    Fail("wrong number inputs in header");
  }
  if (index == header.outLayer && header.outputs != kNone && header.outputs != section.count) {
    Fail("wrong number outputs in header");
  }
  LayerKind kind = LayerKind::Simple;
  if (!LayerKindOf(section.type, kind)) Fail("Unknown layer type");
  budget_.Take(section.count, NeuronBytes(kind));

  TBasicNetwork* net = network_.get();
  const int count = static_cast<int>(section.count);
  std::unique_ptr<TBasicLayer> layer;
  switch (kind) {
    case LayerKind::Simple:
      layer = std::make_unique<TSimpleLayer>(net, index, count);
      break;
    case LayerKind::Input:
      layer = std::make_unique<TSimpleInputLayer>(net, index, count);
      break;
    case LayerKind::Gain:
      layer = std::make_unique<TGainLayer>(net, index, count, 1.0);
      break;
    case LayerKind::FuzzyCondition:
      layer = std::make_unique<TConditionLayer>(net, index, count);
      break;
    case LayerKind::Defuzzify:
      layer = std::make_unique<TMirkOutputLayer>(net, index, count);
      break;
  }
  section.layer = layer.get();
  network_->SetLayer(index, std::move(layer));

  int slots = 0;
  for (int n = 0; n < count; ++n) slots = std::max(slots, section.layer->GetNeuron(n)->GetNumParameters());
  section.slots.assign(static_cast<size_t>(slots), 0.0);
  section.slotGiven.assign(static_cast<size_t>(slots), 0);
}

// Mirk layers carry their membership section right after their attributes.
void NetworkReader::ReadMembershipSection(LayerSection& section, std::string_view block) {
  std::string_view name;
  if (dynamic_cast<TConditionLayer*>(section.layer) != nullptr) {
    name = "InputMF";
    if (st_.kind != StBlock || strcasecmp(st_.name, name) != 0) Fail("membership array missing in condition layer");
  } else if (dynamic_cast<TMirkOutputLayer*>(section.layer) != nullptr) {
    name = "OutputMF";
    if (st_.kind != StBlock || strcasecmp(st_.name, name) != 0) Fail("membership array missing in output layer");
  } else {
    return;
  }
  ReadMembership(in_, *section.layer, st_.name, budget_);
  Next(block);
}

// The "Neurons" block: one statement per neuron. The parameter slots keep
// their values from one neuron statement to the next.
void NetworkReader::ReadNeurons(LayerSection& section, std::string_view layerBlock) {
  const std::string block = st_.name;
  TBasicLayer& layer = *section.layer;
  std::vector<char> defined(static_cast<size_t>(layer.GetNumNeurons()), 0);
  for (Next(block); st_.kind == StAssign && strcasecmp(st_.name, "Neuron") == 0; Next(block)) {
    const long n = Integer(st_.value);
    if (n < 0 || n >= layer.GetNumNeurons()) Fail("Neuron index out of range");
    if (defined[static_cast<size_t>(n)]) Fail("repeated neuron");
    TBasicNeuron& neuron = *layer.GetNeuron(static_cast<int>(n));
    ActFunction own = nullptr;
    while (st_.more) {
      Next(block, true);
      if (st_.kind != StAssign) Fail("Equals clause expected in neuron parameter");
      if (strcasecmp(st_.name, "ActivationFunction") == 0) {
        own = Function(st_.value);
      } else {
        const size_t slot = ParameterSlot(section, neuron, st_.name);
        section.slots[slot] = Number(st_.value);
      }
    }
    if (!section.slots.empty()) neuron.SetParameters(section.slots);
    if (section.common == nullptr) {
      if (own == nullptr) Fail("No activation function defined");
      neuron.SetActivationFunction(own);
    }
    defined[static_cast<size_t>(n)] = 1;
  }
  ExpectBlockEnd(buffer_, in_, st_);
  Next(layerBlock);
  if (std::find(defined.begin(), defined.end(), 0) != defined.end()) Fail("Neuron not defined");
}

ActFunction NetworkReader::Function(std::string_view name) {
  const ActFunction fn = network_->GetFnRegistry().FindFunction(name);
  if (fn == nullptr) Fail("Unknown activation function " + std::string(name));
  return fn;
}

size_t NetworkReader::ParameterSlot(const LayerSection& section, const TBasicNeuron& neuron,
                                    std::string_view name) {
  const int count = std::min(static_cast<int>(section.slots.size()), neuron.GetNumParameters());
  for (int i = 0; i < count; ++i) {
    if (strcasecmp(name, neuron.GetParameterName(i)) == 0) return static_cast<size_t>(i);
  }
  Fail("Unknown neuron parameter " + std::string(name));
}

// Connection layers need every layer in place.
void NetworkReader::CheckLayersComplete() {
  for (int i = 0; i < network_->GetNumLayers(); ++i) {
    if (network_->GetLayer(i) == nullptr) Fail("Layer " + std::to_string(i) + " has no section");
  }
}

}  // namespace

std::unique_ptr<TBasicNetwork> ReadNetwork(ScratchBuffer& buffer, std::istream& in,
                                           std::unique_ptr<TKQstructure> params,
                                           const ReaderLimits& limits) {
  params.reset();
  return NetworkReader(buffer, in, limits).Read();
}

std::unique_ptr<TBasicNetwork> LoadNetwork(ScratchBuffer& buffer, const std::string& fileName,
                                           std::unique_ptr<TKQstructure> params,
                                           const ReaderLimits& limits) {
  // A larger buffer than the default: network files run to megabytes.
  std::vector<char> streamBuffer(1 << 16);
  std::ifstream file;
  file.rdbuf()->pubsetbuf(streamBuffer.data(), static_cast<std::streamsize>(streamBuffer.size()));
  file.open(fileName);
  // A directory opens as a stream that reads nothing.
  std::error_code ec;
  if (!file || std::filesystem::is_directory(fileName, ec)) FileTools::Fail(nullptr, "Error on File Open");
  try {
    return ReadNetwork(buffer, file, std::move(params), limits);
  } catch (const FileTools::Error& e) {
    FileTools::Fail(nullptr, e.GetMessage());  // the stream is about to go
  }
}

}  // namespace mirk
