// The fixture of the mirk command's tests: runs the built binary in a
// scratch directory of the test's own and compares status and streams.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/RunProgram.h"

#ifndef MIRK_CLI_PATH
#error "MIRK_CLI_PATH names the mirk binary under test"
#endif

namespace mirk::test {

class MirkToolTest : public testing::Test {
 protected:
  void SetUp() override { dir_ = FreshTestDir("MirkTool"); }

  ProgramResult Run(const std::vector<std::string>& args, const ProgramInput& input = {}) const {
    return RunProgram(MIRK_CLI_PATH, args, dir_, input);
  }

  std::filesystem::path Path(const std::string& name) const { return dir_ / name; }
  static std::string Data(const std::string& name) { return std::string(MIRK_TEST_DATA_DIR) + "/" + name; }
  static std::string Fan() { return Data("mirk/fan.mirk"); }

  std::filesystem::path dir_;
};

}  // namespace mirk::test
