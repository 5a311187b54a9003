#include "Common/OptionText.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "Common/Exceptions.h"
#include "Common/NumberText.h"

namespace mirk {

namespace {

constexpr char kBlank = ' ';

// The text after the key's whole-word occurrence in the padded options (it
// still ends with the padding blank), or nothing when the key is absent.
std::optional<std::string> AfterKey(std::string_view options, std::string_view key) {
  const std::string padded = PadBlanks(options);
  const std::string paddedKey = PadBlanks(Trim(key));
  const std::size_t at = padded.find(paddedKey);
  if (at == std::string::npos) return std::nullopt;
  return padded.substr(at + paddedKey.size());
}

// What stands between the first open after the key and the next close.
int Bracketed(std::string_view options, std::string_view key, char open, char close, std::string& inner) {
  const std::optional<std::string> rest = AfterKey(options, key);
  if (!rest) return OPT_NOT_FOUND;
  const std::size_t from = rest->find(open);
  if (from == std::string::npos) return OPT_BAD_FORMAT;
  const std::size_t to = rest->find(close, from + 1);
  if (to == std::string::npos) return OPT_BAD_FORMAT;
  inner = rest->substr(from + 1, to - from - 1);
  return 0;
}

// As atol would read it, with an out-of-range number refused instead of
// left undefined.
bool ConvertLong(std::string_view text, long& value) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  std::size_t first = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '+') ++first;
    ++i;
  }
  if (i == text.size() || text[i] < '0' || text[i] > '9') {
    value = 0;
    return true;
  }
  long converted = 0;
  const auto result = std::from_chars(text.data() + first, text.data() + text.size(), converted);
  if (result.ec != std::errc()) return false;
  value = converted;
  return true;
}

double ConvertDouble(std::string_view text) {
  double value = 0.0;
  return ParseDoublePrefix(text, value) ? value : 0.0;
}

// Converts every item with convert(item, value) -> status; the values are
// handed over only when all items convert.
template <typename T, typename Convert>
int ConvertList(std::string_view options, std::string_view key, std::vector<T>& values, Convert convert) {
  std::vector<std::string> items;
  if (const int status = GetOptionList(options, key, items); status != 0) return status;
  std::vector<T> converted;
  converted.reserve(items.size());
  for (const std::string& item : items) {
    T value{};
    if (const int status = convert(item, value); status != 0) return status;
    converted.push_back(value);
  }
  values = std::move(converted);
  return 0;
}

template <typename T, typename Append>
std::string FormatList(std::span<const T> values, Append append) {
  std::string text = "{";
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) text += ", ";
    append(text, values[i]);
  }
  text += '}';
  return text;
}

}  // namespace

std::string ReverseText(std::string_view text) { return std::string(text.rbegin(), text.rend()); }

std::string TrimLeft(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlank);
  return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

std::string TrimRight(std::string_view text) { return ReverseText(TrimLeft(ReverseText(text))); }

std::string Trim(std::string_view text) { return TrimRight(TrimLeft(text)); }

std::string PadBlanks(std::string_view text) {
  std::string padded;
  padded.reserve(text.size() + 2);
  padded += kBlank;
  padded += text;
  padded += kBlank;
  return padded;
}

std::string FirstWord(std::string_view text) {
  std::string word = Trim(text);
  word.resize(std::min(word.size(), word.find(kBlank)));
  return word;
}

int ParseOnOff(std::string_view text, bool& value) {
  const std::string word = Trim(text);
  if (strcasecmp(word, "on") == 0 || strcasecmp(word, "true") == 0) {
    value = true;
  } else if (strcasecmp(word, "off") == 0 || strcasecmp(word, "false") == 0) {
    value = false;
  } else {
    return OPT_NOT_BOOLEAN;
  }
  return 0;
}

int GetOptionWord(std::string_view options, std::string_view key, std::string& word) {
  const std::optional<std::string> rest = AfterKey(options, key);
  if (!rest) return OPT_NOT_FOUND;
  word = FirstWord(*rest);
  return 0;
}

int GetOptionBool(std::string_view options, std::string_view key, bool& value) {
  std::string word;
  if (const int status = GetOptionWord(options, key, word); status != 0) return status;
  return ParseOnOff(word, value);
}

int GetOptionLong(std::string_view options, std::string_view key, long& value) {
  std::string word;
  if (const int status = GetOptionWord(options, key, word); status != 0) return status;
  return ConvertLong(word, value) ? 0 : OPT_BAD_FORMAT;
}

int GetOptionDouble(std::string_view options, std::string_view key, double& value) {
  std::string word;
  if (const int status = GetOptionWord(options, key, word); status != 0) return status;
  value = ConvertDouble(word);
  return 0;
}

int GetParenValue(std::string_view options, std::string_view key, std::string& value) {
  return Bracketed(options, key, '(', ')', value);
}

int GetOptionList(std::string_view options, std::string_view key, std::vector<std::string>& items) {
  std::string inner;
  if (const int status = Bracketed(options, key, '{', '}', inner); status != 0) return status;
  std::vector<std::string> split;
  if (!inner.empty()) {
    std::size_t first = 0;
    for (std::size_t comma; (comma = inner.find(',', first)) != std::string::npos; first = comma + 1) {
      split.push_back(inner.substr(first, comma - first));
    }
    split.push_back(inner.substr(first));
  }
  items = std::move(split);
  return 0;
}

int GetOptionBoolList(std::string_view options, std::string_view key, std::vector<bool>& values) {
  return ConvertList(options, key, values, [](const std::string& item, bool& value) {
    return ParseOnOff(item, value);
  });
}

int GetOptionLongList(std::string_view options, std::string_view key, std::vector<long>& values) {
  return ConvertList(options, key, values, [](const std::string& item, long& value) {
    return ConvertLong(item, value) ? 0 : OPT_BAD_FORMAT;
  });
}

int GetOptionDoubleList(std::string_view options, std::string_view key, std::vector<double>& values) {
  return ConvertList(options, key, values, [](const std::string& item, double& value) {
    value = ConvertDouble(item);
    return 0;
  });
}

std::string FormatLongList(std::span<const long> values) {
  return FormatList(values, [](std::string& text, long value) { AppendLong(text, value); });
}

std::string FormatDoubleList(std::span<const double> values) {
  return FormatList(values, [](std::string& text, double value) { AppendGeneral(text, value, 12); });
}

}  // namespace mirk
