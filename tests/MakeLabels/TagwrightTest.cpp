// Runs the built Tagwright binary on fixture files and compares its exit
// status, both console streams and the label file exactly.
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/RunProgram.h"

#ifndef TAGWRIGHT_PATH
#error "TAGWRIGHT_PATH names the Tagwright binary under test"
#endif

#if defined(__SANITIZE_ADDRESS__)
#define MIRK_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MIRK_UNDER_ASAN 1
#endif
#endif

namespace mirk {
namespace {

namespace fs = std::filesystem;
using test::ProgramResult;
using Result = ProgramResult;
using test::ExpectResult;

const std::string kUsage = "Usage: Tagwright MirkFile LabelFile\n";

std::string ReadFile(const fs::path& path) { return test::ReadFileText(path); }
void WriteFile(const fs::path& path, const std::string& text) { test::WriteFileText(path, text); }

std::string Data(const std::string& name) { return std::string(MIRK_TEST_DATA_DIR) + "/" + name; }

class TagwrightTest : public testing::Test {
 protected:
  void SetUp() override { dir_ = test::FreshTestDir("Tagwright"); }

  fs::path Path(const std::string& name) const { return dir_ / name; }

  // Runs Tagwright with exactly these arguments; memoryLimit > 0 caps the
  // process's address space in bytes.
  Result Run(const std::vector<std::string>& args, rlim_t memoryLimit = 0) const {
    test::ProgramInput input;
    input.memoryLimit = memoryLimit;
    return test::RunProgram(TAGWRIGHT_PATH, args, dir_, input);
  }

  fs::path dir_;
};

TEST_F(TagwrightTest, ExampleNetworkGetsTheDefaultLabelsSilently) {
  const fs::path labels = Path("fan.labels");
  ExpectResult(Run({std::string(MIRK_EXAMPLES_DIR) + "/fan.mirk", labels.string()}), 0, "", "");
  // Two inputs of 3 and 2 membership functions, one output of 3.
  EXPECT_EQ(ReadFile(labels), ReadFile(Data("labels/default-3-2-3.labels")));
}

TEST_F(TagwrightTest, ExistingLabelFileIsReplaced) {
  const fs::path labels = Path("old.labels");
  WriteFile(labels, std::string(100000, 'x'));
  ExpectResult(Run({std::string(MIRK_EXAMPLES_DIR) + "/fan.mirk", labels.string()}), 0, "", "");
  EXPECT_EQ(ReadFile(labels), ReadFile(Data("labels/default-3-2-3.labels")));
}

TEST_F(TagwrightTest, WrongArgumentCountPrintsOnlyTheUsageLine) {
  const std::string mirk = std::string(MIRK_EXAMPLES_DIR) + "/fan.mirk";
  const std::string labels = Path("never.labels").string();
  const std::vector<std::vector<std::string>> cases = {
      {}, {mirk}, {mirk, labels, labels}, {labels, mirk, labels}};
  for (const auto& args : cases) {
    SCOPED_TRACE(args.size());
    ExpectResult(Run(args), 1, "", kUsage);
    EXPECT_FALSE(fs::exists(labels));
  }
}

// Loading or labelling fails: the message, and an existing label file keeps
// its text.
TEST_F(TagwrightTest, NetworkFileThatDoesNotLoadLeavesTheLabelFileAlone) {
  const struct {
    std::string mirk;
    std::string out;
    std::string err;
  } cases[] = {
      {Path("missing.mirk").string(), "Error on File Open\n", ""},
      {Data("tagwright/unknown-keyword.mirk"), "Unknown keyword\n", ""},
      {Data("tagwright/connected.mirk"), "",
       "Not a Mirk network: the file holds a network of type Connected\n"},
      {Data("tagwright/basic.mirk"), "",
       "Not a Mirk network: the file holds a network of type Basic\n"},
      // A TException: message, category and where, one per line.
      {Data("tagwright/simple-condition-layer.mirk"), "",
       "Incomplete Mirk network\nBad Parameter\nTMirk::GetStructure\n"},
  };
  const fs::path labels = Path("kept.labels");
  const fs::path absent = Path("absent.labels");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mirk);
    WriteFile(labels, "keep me\n");
    ExpectResult(Run({c.mirk, labels.string()}), 1, c.out, c.err);
    EXPECT_EQ(ReadFile(labels), "keep me\n");
    ExpectResult(Run({c.mirk, absent.string()}), 1, c.out, c.err);
    EXPECT_FALSE(fs::exists(absent));
  }
}

TEST_F(TagwrightTest, LabelFileThatCannotBeOpenedIsReported) {
  const std::string mirk = std::string(MIRK_EXAMPLES_DIR) + "/fan.mirk";
  for (const fs::path& labels : {Path("no-such-dir") / "x.labels", dir_}) {
    ExpectResult(Run({mirk, labels.string()}), 1, "", "Unable to open file " + labels.string() + "\n");
  }
}

TEST_F(TagwrightTest, LabelFileThatCannotBeWrittenCompletelyIsAFailure) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  ExpectResult(Run({std::string(MIRK_EXAMPLES_DIR) + "/fan.mirk", "/dev/full"}), 1, "",
               "Unable to write file /dev/full\n");
}

TEST_F(TagwrightTest, AllocationFailureIsReportedNotACrash) {
#ifdef MIRK_UNDER_ASAN
  GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#else
  // A small file that asks for a large network: far more than 256 MB of
  // neurons, within the reader's memory budget.
  const fs::path labels = Path("big.labels");
  WriteFile(labels, "keep me\n");
  ExpectResult(Run({Data("tagwright/large-rule-layer.mirk"), labels.string()}, rlim_t{256} << 20),
               1, "", "Out of memory\n");
  EXPECT_EQ(ReadFile(labels), "keep me\n");
#endif
}

}  // namespace
}  // namespace mirk
