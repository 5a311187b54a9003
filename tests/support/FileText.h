// Whole files as text, for tests that write a file and look at its bytes.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace mirk::test {

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

}  // namespace mirk::test
