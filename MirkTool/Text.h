// Small text helpers shared by the subcommands' outputs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mirk::tool {

// The shortest text that reads back as exactly this value ("0.5", "1e-07",
// "inf", "nan").
void AppendShortest(std::string& out, double value);
std::string Shortest(double value);

// Rows of cells written as columns separated by two blanks; cells of the
// columns flagged in rightAligned are padded on the left. Trailing blanks
// are dropped from every line.
class TextTable {
 public:
  explicit TextTable(std::vector<bool> rightAligned) : rightAligned_(std::move(rightAligned)) {}
  void Add(std::vector<std::string> row) { rows_.push_back(std::move(row)); }
  void AppendTo(std::string& out, std::string_view indent = {}) const;

 private:
  std::vector<bool> rightAligned_;
  std::vector<std::vector<std::string>> rows_;
};

}  // namespace mirk::tool
