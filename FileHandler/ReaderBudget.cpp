#include "FileHandler/ReaderBudget.h"

#include <algorithm>
#include <string>

#include "Common/Check.h"
#include "Common/Raise.h"

namespace mirk {

namespace {

// Wide enough for any count a file can give times any item size.
using Wide = unsigned __int128;

std::string WideText(Wide value) {
  std::string text;
  do {
    text.push_back(static_cast<char>('0' + static_cast<int>(value % 10)));
    value /= 10;
  } while (value != 0);
  std::reverse(text.begin(), text.end());
  return text;
}

}  // namespace

void TReaderBudget::Take(long long count, std::size_t itemBytes) {
  MIRK_CHECK(count >= 0);
  const Wide need = static_cast<Wide>(used_) + kPartBytes + static_cast<Wide>(count) * itemBytes;
  if (need > static_cast<Wide>(budget_ < 0 ? 0 : budget_)) {
    FileTools::Fail(in_, "Network needs " + WideText(need) + " bytes, more than the reader's memory budget of " +
                             std::to_string(budget_) + " bytes");
  }
  used_ = static_cast<long long>(need);
}

}  // namespace mirk
