#include "MirkTool/Text.h"

#include <array>
#include <charconv>
#include <cmath>

namespace mirk::tool {

void AppendShortest(std::string& out, double value) {
  if (std::isnan(value)) {
    out += "nan";
    return;
  }
  // The shortest round-trip form of a double needs at most 24 characters.
  std::array<char, 32> text;
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
  out.append(text.data(), result.ptr);
}

std::string Shortest(double value) {
  std::string out;
  AppendShortest(out, value);
  return out;
}

void TextTable::AppendTo(std::string& out, std::string_view indent) const {
  std::vector<size_t> widths;
  for (const auto& row : rows_) {
    if (widths.size() < row.size()) widths.resize(row.size(), 0);
    for (size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
  }
  for (const auto& row : rows_) {
    std::string line(indent);
    for (size_t i = 0; i < row.size(); ++i) {
      if (i > 0) line += "  ";
      const std::string pad(widths[i] - row[i].size(), ' ');
      const bool right = i < rightAligned_.size() && rightAligned_[i];
      line += right ? pad + row[i] : row[i] + pad;
    }
    line.erase(line.find_last_not_of(' ') + 1);
    out += line;
    out += '\n';
  }
}

}  // namespace mirk::tool
