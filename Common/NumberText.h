// Number texts as the system's files and messages use them: parsing with the
// leading-prefix semantics of "%ld" and "%lf", formatting as "%ld", "%.*f" and
// "%.*g" would, for values of any magnitude.
#pragma once

#include <string>
#include <string_view>

namespace mirk {

// Converts the longest leading number after optional white space; trailing
// text is ignored. False when no digit converts. Out-of-range integers clamp
// to the long range; out-of-range reals become infinities or zero.
bool ParseLongPrefix(std::string_view text, long& out) noexcept;
bool ParseDoublePrefix(std::string_view text, double& out) noexcept;

void AppendLong(std::string& out, long value);
void AppendFixed(std::string& out, double value, int decimals);
void AppendGeneral(std::string& out, double value, int significant);
// AppendGeneral, except that a value so near the largest double that its
// text would read back as an infinity gets 17 digits (which read back
// exactly).
void AppendGeneralFinite(std::string& out, double value, int significant);

std::string FormatLong(long value);
std::string FormatFixed(double value, int decimals);
std::string FormatGeneral(double value, int significant);

}  // namespace mirk
