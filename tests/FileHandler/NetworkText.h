// Network file texts for the reader's tests.
#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include "FileHandler/NetworkFile.h"
#include "NeuralNets/TBasicNetwork.h"

namespace mirk::test {

// [NeuralNetwork], the type, the information block with `info` inside, then
// `body` and the end tag.
inline std::string NetworkText(std::string_view type, std::string_view info, std::string_view body) {
  std::string text = "[NeuralNetwork]\n[NetworkType = ";
  text.append(type).append("]\n[NetworkInformation]\n").append(info);
  text.append("[~NetworkInformation]\n").append(body).append("[~NeuralNetwork]\n");
  return text;
}

// A layer section with type and count, then `rest` before its end tag.
inline std::string LayerText(int index, std::string_view type, int count, std::string_view rest = {}) {
  std::string text = "[Layer = " + std::to_string(index) + "]\n[LayerType = ";
  text.append(type).append("]\n[NumberOfNeurons = ").append(std::to_string(count)).append("]\n");
  text.append(rest).append("[~Layer]\n");
  return text;
}

// A connection block from one layer to another with `rest` after the type.
inline std::string ConnectionText(int from, int to, std::string_view type, std::string_view rest) {
  std::string text = "[ConnectionLayer]\n[LayerFrom = " + std::to_string(from) + "]\n[LayerTo = " +
                     std::to_string(to) + "]\n[ConnectionType = ";
  text.append(type).append("]\n").append(rest).append("[~ConnectionLayer]\n");
  return text;
}

inline std::unique_ptr<TBasicNetwork> ReadText(const std::string& text, const ReaderLimits& limits = {}) {
  std::istringstream in(text);
  ScratchBuffer buffer;
  return ReadNetwork(buffer, in, nullptr, limits);
}

}  // namespace mirk::test
