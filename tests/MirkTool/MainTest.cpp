// The conventions every mirk subcommand shares: usage errors exit 2 with the
// message and the usage, file failures exit 1 with one "mirk: " line, and an
// output file is either complete or untouched.
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "MirkTool/MirkToolTest.h"

namespace mirk::test {
namespace {

namespace fs = std::filesystem;

TEST_F(MirkToolTest, UsageErrorsExitTwoWithTheMessageAndTheUsage) {
  const std::string usage = "Usage: mirk [OPTIONS] SUBCOMMAND\n";
  const std::string infoUsage = "Usage: mirk info [OPTIONS] NET\n";
  const std::string labelsUsage = "Usage: mirk labels [OPTIONS] NET\n";
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{}, "mirk: A subcommand is required\n" + usage},
      {{"frob", Fan()}, "mirk: unknown subcommand: frob\n" + usage},
      {{"--frob"}, "mirk: The following argument was not expected: --frob\n" + usage},
      {{"info"}, "mirk: NET is required\n" + infoUsage},
      {{"info", "--bogus", Fan()}, "mirk: The following argument was not expected: --bogus\n" + infoUsage},
      {{"info", Fan(), Fan()}, "mirk: The following argument was not expected: " + Fan() + "\n" + infoUsage},
      {{"labels", Fan(), "-o"}, "mirk: --output: 1 required FILE missing\n" + labelsUsage},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    ExpectResult(Run(c.args), 2, "", c.err);
  }
}

TEST_F(MirkToolTest, HelpAndVersionGoToStandardOutput) {
  ExpectResult(Run({"--version"}), 0, "mirk " MIRK_VERSION "\n", "");

  const ProgramResult help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  size_t at = 0;
  for (const char* name : {"info", "labels", "plot"}) {
    at = help.out.find(std::string("\n  ") + name + " ", at);
    EXPECT_NE(at, std::string::npos) << name << " listed in order";
  }

  for (const char* name : {"info", "labels", "plot"}) {
    SCOPED_TRACE(name);
    const ProgramResult r = Run({name, "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find(std::string("Usage: mirk ") + name + " [OPTIONS] NET\n"), std::string::npos)
        << r.out;
  }
}

// Every subcommand reads its network the same way; the message names the
// file and, for a format error, the line.
TEST_F(MirkToolTest, NetworkThatDoesNotLoadIsOneLineNamingTheFile) {
  const std::string missing = Path("missing.mirk").string();
  const struct {
    std::string net;
    std::string err;
  } cases[] = {
      {missing, "mirk: cannot open " + missing + ": No such file or directory\n"},
      {dir_.string(), "mirk: cannot open " + dir_.string() + ": Is a directory\n"},
      {Data("tagwright/unknown-keyword.mirk"),
       "mirk: " + Data("tagwright/unknown-keyword.mirk") + ":5: Unknown keyword\n"},
      {Data("mirk/bad-flag.mirk"),
       "mirk: " + Data("mirk/bad-flag.mirk") + ":102: Trainable flag of an arc must be T or F\n"},
      {Data("tagwright/simple-condition-layer.mirk"),
       "mirk: " + Data("tagwright/simple-condition-layer.mirk") + ": Incomplete Mirk network\n"},
  };
  for (const char* sub : {"info", "labels", "plot"}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(sub) + " " + c.net);
      ExpectResult(Run({sub, c.net}), 1, "", c.err);
    }
  }
}

TEST_F(MirkToolTest, SubcommandsForMirkNetworksRefuseOtherTypes) {
  const std::string net = Data("networks/connected.net");
  for (const char* sub : {"labels", "plot"}) {
    SCOPED_TRACE(sub);
    ExpectResult(Run({sub, net}), 1, "",
                 "mirk: " + net + ": not a Mirk network: the file holds a network of type Connected\n");
  }
}

// Output files are written beside their target and renamed into place: a
// failed run leaves an existing file as it was and no stray file behind.
TEST_F(MirkToolTest, FailedRunLeavesTheOutputFileAsItWas) {
  const fs::path out = Path("out.txt");
  for (const char* sub : {"labels", "plot"}) {
    SCOPED_TRACE(sub);
    WriteFileText(out, "keep me\n");
    ExpectResult(Run({sub, Data("mirk/bad-flag.mirk"), "-o", out.string()}), 1, "",
                 "mirk: " + Data("mirk/bad-flag.mirk") + ":102: Trainable flag of an arc must be T or F\n");
    EXPECT_EQ(ReadFileText(out), "keep me\n");
  }
  // The image cannot be drawn only after everything has loaded.
  ExpectResult(Run({"plot", Data("mirk/infinite-centre.mirk"), "-o", out.string()}), 1, "",
               "mirk: " + Data("mirk/infinite-centre.mirk") +
                   ": membership centre inf of OutputA (output 0) cannot be drawn\n");
  EXPECT_EQ(ReadFileText(out), "keep me\n");

  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir_)) left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"out.txt", "stderr", "stdout"}));
}

TEST_F(MirkToolTest, OutputThatCannotBeWrittenIsAFailure) {
  const std::string noDir = Path("no-such-dir/x.svg").string();
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"labels", Fan(), "-o", noDir}, "mirk: cannot create " + noDir + ": No such file or directory\n"},
      {{"plot", Fan(), "-o", dir_.string()}, "mirk: cannot write " + dir_.string() + ": Is a directory\n"},
      {{"labels", Fan(), "-o", "/dev/full"}, "mirk: cannot write /dev/full: No space left on device\n"},
      {{"plot", Fan(), "-o", "/dev/full"}, "mirk: cannot write /dev/full: No space left on device\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    ExpectResult(Run(c.args), 1, "", c.err);
  }
  EXPECT_FALSE(fs::exists(Path("no-such-dir")));
}

TEST_F(MirkToolTest, StandardOutputThatCannotBeWrittenIsAFailure) {
  ProgramInput full;
  full.outPath = "/dev/full";
  for (const char* sub : {"info", "labels", "plot"}) {
    SCOPED_TRACE(sub);
    const ProgramResult r = Run({sub, Fan()}, full);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "mirk: cannot write standard output: No space left on device\n");
  }
}

// Replacing a file keeps what its name stood for: its permission bits, and
// a symbolic link stays a link to the rewritten file.
TEST_F(MirkToolTest, OutputReplacesTheFileBehindItsName) {
  const fs::path file = Path("fan.labels");
  const fs::path link = Path("link.labels");
  WriteFileText(file, "old\n");
  ASSERT_EQ(chmod(file.c_str(), 0640), 0);
  fs::create_symlink(file.filename(), link);

  ExpectResult(Run({"labels", Fan(), "-o", link.string()}), 0, "", "");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadFileText(file), ReadFileText(Data("labels/default-3-2-3.labels")));
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

}  // namespace
}  // namespace mirk::test
