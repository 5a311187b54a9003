// Helpers for the network writer's tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "FileHandler/NetworkWriter.h"
#include "NeuralNets/TBasicNetwork.h"

namespace mirk::test {

// The text WriteNetwork produces for net.
inline std::string WriteText(TBasicNetwork& net) {
  ScratchBuffer buffer;
  std::ostringstream out;
  WriteNetwork(buffer, out, net);
  return out.str();
}

// A path in the test scratch folder (created); the file itself is not.
inline std::filesystem::path ScratchPath(const std::string& folder, const std::string& name) {
  const char* dir = std::getenv("MIRK_TEST_SCRATCH");
  std::filesystem::path path = dir != nullptr ? dir : std::filesystem::temp_directory_path();
  path /= folder;
  std::filesystem::create_directories(path);
  return path / name;
}

}  // namespace mirk::test
