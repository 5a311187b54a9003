// Option texts: settings read out of one line such as
// "rate 0.5 verbose on init (0.1) sizes {3, 3, 5}", where each key is followed
// by a word, a value in parentheses or a list in braces, and number lists
// written back in the brace form. Only the blank " " counts as white space.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mirk {

// Status codes of the lookups; 0 is success.
inline constexpr int OPT_NOT_FOUND = -201;    // the key does not occur
inline constexpr int OPT_NOT_BOOLEAN = -202;  // not one of on, true, off, false
inline constexpr int OPT_BAD_FORMAT = -203;   // a bracket is missing, or a number is out of range

std::string ReverseText(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
std::string Trim(std::string_view text);
std::string PadBlanks(std::string_view text);  // one blank, the text, one blank
std::string FirstWord(std::string_view text);  // of the trimmed text

// "on" and "true" are true, "off" and "false" false, in any letter case and
// with blanks around them; otherwise OPT_NOT_BOOLEAN.
int ParseOnOff(std::string_view text, bool& value);

// Every lookup finds the trimmed key as a whole blank-delimited word,
// case-sensitively; the first occurrence counts. A call that does not return
// 0 leaves its out-values untouched.

// The word after the key (empty when the key ends the text).
int GetOptionWord(std::string_view options, std::string_view key, std::string& word);
int GetOptionBool(std::string_view options, std::string_view key, bool& value);
// The word's leading decimal number, 0 when it has none; OPT_BAD_FORMAT when
// the number does not fit a long.
int GetOptionLong(std::string_view options, std::string_view key, long& value);
// The word's leading number, 0.0 when it has none.
int GetOptionDouble(std::string_view options, std::string_view key, double& value);
// What stands between the first "(" after the key and the next ")".
int GetParenValue(std::string_view options, std::string_view key, std::string& value);

// The items of the first brace list after the key, split at commas and not
// trimmed: "{3, 3, 5}" gives "3", " 3", " 5"; "{}" gives no items. A list
// without "{" or "}" after the key is OPT_BAD_FORMAT.
int GetOptionList(std::string_view options, std::string_view key, std::vector<std::string>& items);
// Items converted as ParseOnOff (the first failing item's status is
// returned), GetOptionLong and GetOptionDouble convert their words.
int GetOptionBoolList(std::string_view options, std::string_view key, std::vector<bool>& values);
int GetOptionLongList(std::string_view options, std::string_view key, std::vector<long>& values);
int GetOptionDoubleList(std::string_view options, std::string_view key, std::vector<double>& values);

// "{1, -2}": decimal longs separated by ", "; "{}" for no values.
std::string FormatLongList(std::span<const long> values);
// The same with up to 12 significant digits ("%.12g").
std::string FormatDoubleList(std::span<const double> values);

}  // namespace mirk
