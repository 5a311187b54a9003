#include "Mirk/RuleExtraction/DefaultLabels.h"

namespace mirk {

std::string IndexToLetters(long n) {
  constexpr long kDigits = 5;
  constexpr long kWrap = 26L * 26 * 26 * 26 * 26;
  long r = n % kWrap;
  if (r < 0) r += kWrap;
  std::string code(kDigits, 'A');
  for (long i = kDigits - 1; i >= 0; --i, r /= 26) code[i] = static_cast<char>('A' + r % 26);
  // Leading zero digits become blanks; the last character always stays.
  for (long i = 0; i < kDigits - 1 && code[i] == 'A'; ++i) code[i] = ' ';
  return code;
}

}  // namespace mirk
