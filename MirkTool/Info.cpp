// mirk info NET [--json]: what a network file holds.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "Mirk/RuleExtraction/DefaultLabels.h"
#include "Mirk/TMirk.h"
#include "MirkTool/Inputs.h"
#include "MirkTool/Json.h"
#include "MirkTool/OutputFile.h"
#include "MirkTool/Subcommand.h"
#include "MirkTool/Text.h"
#include "NeuralNets/TBasicConnections.h"
#include "NeuralNets/TBasicLayer.h"
#include "NeuralNets/TBasicNetwork.h"

namespace mirk::tool {

namespace {

struct LayerInfo {
  int index;
  std::string type;
  int neurons;
  std::string function;
};

struct SetInfo {
  int from;
  int to;
  std::string type;
  int arcs;
  int trainable;
};

// One input or output of a Mirk network with its membership centres.
struct VariableInfo {
  std::string name;
  std::vector<double> centres;
};

struct NetworkInfo {
  std::string type;
  int inputLayer;
  int outputLayer;
  std::vector<LayerInfo> layers;
  std::vector<SetInfo> sets;
  bool isMirk = false;
  std::vector<VariableInfo> inputs;
  int rules = 0;
  std::vector<VariableInfo> outputs;
};

std::string FunctionName(TBasicNetwork& network, TBasicLayer& layer) {
  const ActFunction fn = layer.GetActivationFunction();
  if (fn == nullptr) return "mixed";
  const char* name = network.GetFnRegistry().FindName(fn);
  return name != nullptr ? name : "unnamed";
}

// Splits centres into consecutive blocks of counts[i] values.
std::vector<VariableInfo> Variables(const std::vector<double>& centres, const std::vector<int>& counts) {
  std::vector<VariableInfo> variables;
  size_t next = 0;
  for (const int count : counts) {
    VariableInfo v;
    for (int k = 0; k < count && next < centres.size(); ++k) v.centres.push_back(centres[next++]);
    variables.push_back(std::move(v));
  }
  return variables;
}

NetworkInfo Describe(TBasicNetwork& network) {
  NetworkInfo info;
  info.type = network.GetNetworkNType();
  info.inputLayer = network.GetInLayer();
  info.outputLayer = network.GetOutLayer();
  const int n = network.GetNumLayers();
  for (int i = 0; i < n; ++i) {
    TBasicLayer* layer = network.GetLayer(i);
    if (layer == nullptr) {
      info.layers.push_back({i, "none", 0, "none"});
    } else {
      info.layers.push_back(
          {i, layer->GetLayerNType(), layer->GetNumNeurons(), FunctionName(network, *layer)});
    }
  }
  for (int from = 0; from < n; ++from) {
    for (int to = 0; to < n; ++to) {
      TBasicConnections* set = network.GetConnections(from, to);
      if (!set->IsConnected()) continue;
      info.sets.push_back({from, to, set->GetConnectionsNType(), set->GetNumWeights(FMaskExists),
                           set->GetNumWeights(FMaskAll)});
    }
  }
  if (const auto* mirk = dynamic_cast<const TMirk*>(&network)) {
    info.isMirk = true;
    int inputs, conditions, actions, outputs;
    std::vector<int> inputMF, outputMF;
    mirk->GetStructure(inputs, conditions, inputMF, info.rules, actions, outputMF, outputs);
    const std::unique_ptr<TMirkLabel> labels = GenerateLabels(*mirk);
    info.inputs = Variables(mirk->GetWeightLayer(1), inputMF);
    for (int i = 0; i < inputs; ++i) info.inputs[static_cast<size_t>(i)].name = labels->GetInputName(i);
    info.outputs = Variables(mirk->GetWeightLayer(4), outputMF);
    for (int i = 0; i < outputs; ++i) info.outputs[static_cast<size_t>(i)].name = labels->GetOutputName(i);
  }
  return info;
}

std::string Joined(const std::vector<double>& values) {
  std::string text;
  for (const double v : values) {
    if (!text.empty()) text += ' ';
    AppendShortest(text, v);
  }
  return text;
}

void AppendVariables(std::string& out, const char* kind, const std::vector<VariableInfo>& variables) {
  TextTable table({true, false, true, false});
  table.Add({kind, "name", "memberships", "centres"});
  for (size_t i = 0; i < variables.size(); ++i) {
    const VariableInfo& v = variables[i];
    table.Add({std::to_string(i), v.name, std::to_string(v.centres.size()), Joined(v.centres)});
  }
  out += '\n';
  table.AppendTo(out);
}

std::string AsText(const NetworkInfo& info) {
  std::string out = "network  " + info.type + "\n";
  out += "layers   " + std::to_string(info.layers.size()) + " (input layer " +
         std::to_string(info.inputLayer) + ", output layer " + std::to_string(info.outputLayer) + ")\n\n";
  TextTable layers({true, false, true, false});
  layers.Add({"layer", "type", "neurons", "function"});
  for (const LayerInfo& l : info.layers) {
    layers.Add({std::to_string(l.index), l.type, std::to_string(l.neurons), l.function});
  }
  layers.AppendTo(out);
  out += '\n';
  TextTable sets({true, true, false, true, true});
  sets.Add({"from", "to", "connections", "arcs", "trainable"});
  for (const SetInfo& s : info.sets) {
    sets.Add({std::to_string(s.from), std::to_string(s.to), s.type, std::to_string(s.arcs),
              std::to_string(s.trainable)});
  }
  sets.AppendTo(out);
  if (info.isMirk) {
    AppendVariables(out, "input", info.inputs);
    out += "\nrules  " + std::to_string(info.rules) + "\n";
    AppendVariables(out, "output", info.outputs);
  }
  return out;
}

void AppendVariablesJson(JsonWriter& json, const char* key, const std::vector<VariableInfo>& variables) {
  json.Key(key);
  json.BeginArray();
  for (const VariableInfo& v : variables) {
    json.BeginObject(true);
    json.Member("name", v.name);
    json.Member("memberships", static_cast<long>(v.centres.size()));
    json.Key("centres");
    json.BeginArray();
    for (const double c : v.centres) json.Number(c);
    json.EndArray();
    json.EndObject();
  }
  json.EndArray();
}

std::string AsJson(const NetworkInfo& info) {
  std::string out;
  JsonWriter json(out);
  json.BeginObject();
  json.Member("type", info.type);
  json.Member("input_layer", info.inputLayer);
  json.Member("output_layer", info.outputLayer);
  json.Key("layers");
  json.BeginArray();
  for (const LayerInfo& l : info.layers) {
    json.BeginObject(true);
    json.Member("index", l.index);
    json.Member("type", l.type);
    json.Member("neurons", l.neurons);
    json.Member("function", l.function);
    json.EndObject();
  }
  json.EndArray();
  json.Key("connections");
  json.BeginArray();
  for (const SetInfo& s : info.sets) {
    json.BeginObject(true);
    json.Member("from", s.from);
    json.Member("to", s.to);
    json.Member("type", s.type);
    json.Member("arcs", s.arcs);
    json.Member("trainable", s.trainable);
    json.EndObject();
  }
  json.EndArray();
  if (info.isMirk) {
    AppendVariablesJson(json, "inputs", info.inputs);
    json.Member("rules", info.rules);
    AppendVariablesJson(json, "outputs", info.outputs);
  }
  json.EndObject();
  json.Finish();
  return out;
}

struct InfoOptions {
  std::string network;
  bool json = false;
};

}  // namespace

Action SetupInfo(CLI::App& command) {
  auto options = std::make_shared<InfoOptions>();
  command.add_option("NET", options->network, "Network file")->required()->type_name("");
  command.add_flag("--json", options->json, "Write JSON instead of text");
  command.footer(
      "Prints the network's type, its layers with sizes and activation functions and its\n"
      "connection sets with existing and trainable arcs; for a Mirk network also its inputs\n"
      "and outputs with their membership centres (named by the default labels) and its rules.");
  return [options] {
    const std::unique_ptr<TBasicNetwork> network = LoadAnyNetwork(options->network);
    const NetworkInfo info = AboutFile(options->network, nullptr, [&] { return Describe(*network); });
    WriteOutput("-", options->json ? AsJson(info) : AsText(info));
    return 0;
  };
}

}  // namespace mirk::tool
