// mirk info: the description of a network as text and as JSON.
#include <string>

#include "MirkTool/MirkToolTest.h"

namespace mirk::test {
namespace {

TEST_F(MirkToolTest, InfoDescribesMirkAndOtherNetworks) {
  const struct {
    std::string net;
    std::string expected;  // fixture beside the text form
  } cases[] = {
      {Fan(), "mirk/fan"},
      {Data("networks/connected.net"), "mirk/connected"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.net);
    ExpectResult(Run({"info", c.net}), 0, ReadFileText(Data(c.expected + ".info")), "");
    ExpectResult(Run({"info", "--json", c.net}), 0, ReadFileText(Data(c.expected + ".json")), "");
  }
}

}  // namespace
}  // namespace mirk::test
