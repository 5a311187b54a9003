// Runs a built command of the project in a child process and collects its
// exit status and both console streams, for the command-line tests.
#pragma once

#include <sys/resource.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace mirk::test {

struct ProgramResult {
  int status;  // exit status, or 128 + signal
  std::string out;
  std::string err;
};

struct ProgramInput {
  // Standard input; empty (/dev/null) when not given.
  std::optional<std::string> in;
  // Where standard output goes instead of being collected (such as /dev/full).
  std::optional<std::string> outPath;
  // Caps the address space in bytes when above 0.
  rlim_t memoryLimit = 0;
};

// Runs program with exactly these arguments; the streams pass through files
// in dir.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::filesystem::path& dir, const ProgramInput& input = {});

// An empty directory of its own for the running test:
// $MIRK_TEST_SCRATCH (or the temporary directory) / suite / test name.
std::filesystem::path FreshTestDir(const std::string& suite);

// Expects exactly this exit status and these two streams.
void ExpectResult(const ProgramResult& r, int status, const std::string& out, const std::string& err);

std::string ReadFileText(const std::filesystem::path& path);
void WriteFileText(const std::filesystem::path& path, const std::string& text);

}  // namespace mirk::test
