// mirk labels: the default label file, the same bytes Tagwright writes.
#include <string>

#include "MirkTool/MirkToolTest.h"

namespace mirk::test {
namespace {

TEST_F(MirkToolTest, LabelsWritesTheDefaultLabelFile) {
  const std::string expected = ReadFileText(Data("labels/default-3-2-3.labels"));
  ExpectResult(Run({"labels", Fan()}), 0, expected, "");
  ExpectResult(Run({"labels", Fan(), "-o", "-"}), 0, expected, "");

  const std::string out = Path("fan.labels").string();
  WriteFileText(out, std::string(100000, 'x'));
  ExpectResult(Run({"labels", "--output", out, Fan()}), 0, "", "");
  EXPECT_EQ(ReadFileText(out), expected);
}

}  // namespace
}  // namespace mirk::test
