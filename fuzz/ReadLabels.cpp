// Reads arbitrary text as a label file. A malformed file must end in a
// FileTools::Error (or a TException for names outside the announced sizes),
// never in a crash, an abort or an allocation the text only announces. A
// label set that loads is written again and must read back equal.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "Common/Exceptions.h"
#include "FileHandler/LabelFile.h"
#include "Mirk/RuleExtraction/TMirkLabel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mirk;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::unique_ptr<TMirkLabel> labels;
  try {
    ReadLabels(in, labels);
  } catch (const FileTools::Error&) {
    return 0;
  } catch (const TException&) {
    return 0;
  }
  if (labels == nullptr) return 0;
  std::ostringstream out;
  WriteLabels(out, *labels);
  std::istringstream again(out.str());
  std::unique_ptr<TMirkLabel> reread;
  ReadLabels(again, reread);
  if (reread == nullptr || !(*reread == *labels)) std::abort();
  return 0;
}
