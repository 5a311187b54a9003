// Reads arbitrary text as an MF list file. A malformed file must end in a
// FileTools::Error or a TException, never in a crash, an abort or an
// allocation the text only announces. A list that loads is saved, must load
// again to an equal list, and must save again to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "Common/Exceptions.h"
#include "FileHandler/TFuzzyMFFiler.h"
#include "MembershipFunctions/TMFSetList.h"

namespace {

std::string Save(const mirk::TMFSetList& list) {
  std::ostringstream out;
  mirk::TFuzzyMFFiler().SaveMFList(out, list);
  return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mirk;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::unique_ptr<TMFSetList> list;
  try {
    TFuzzyMFFiler().LoadMFList(in, list);
  } catch (const FileTools::Error&) {
    list.reset();
  } catch (const TException&) {
    list.reset();
  }
  if (list == nullptr) return 0;

  const std::string text = Save(*list);
  std::istringstream again(text);
  std::unique_ptr<TMFSetList> reread;
  TFuzzyMFFiler().LoadMFList(again, reread);
  if (reread == nullptr || !(*reread == *list)) std::abort();
  if (Save(*reread) != text) std::abort();
  return 0;
}
