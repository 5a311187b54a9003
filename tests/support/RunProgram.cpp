#include "support/RunProgram.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace mirk::test {

namespace fs = std::filesystem;

std::string ReadFileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFileText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

void ExpectResult(const ProgramResult& r, int status, const std::string& out, const std::string& err) {
  EXPECT_EQ(r.status, status);
  EXPECT_EQ(r.out, out);
  EXPECT_EQ(r.err, err);
}

fs::path FreshTestDir(const std::string& suite) {
  const char* scratch = std::getenv("MIRK_TEST_SCRATCH");
  const fs::path base = scratch != nullptr ? fs::path(scratch) : fs::temp_directory_path();
  const auto* info = testing::UnitTest::GetInstance()->current_test_info();
  const fs::path dir = base / suite / info->name();
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const fs::path& dir, const ProgramInput& input) {
  const std::string inPath = input.in ? (dir / "stdin").string() : "/dev/null";
  if (input.in) WriteFileText(inPath, *input.in);
  const std::string outPath = input.outPath.value_or((dir / "stdout").string());
  const std::string errPath = (dir / "stderr").string();
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  const pid_t pid = fork();
  if (pid == 0) {
    const int in = open(inPath.c_str(), O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(126);
    if (input.memoryLimit > 0) {
      const rlimit limit{input.memoryLimit, input.memoryLimit};
      if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(126);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  EXPECT_GT(pid, 0);
  EXPECT_EQ(waitpid(pid, &status, 0), pid);
  ProgramResult result;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = input.outPath ? std::string() : ReadFileText(outPath);
  result.err = ReadFileText(errPath);
  return result;
}

}  // namespace mirk::test
