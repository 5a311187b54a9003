// The weighted text labels of one data row: (name, value) pairs, a name at
// most once when the list is built through AppendLabel.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mirk {

struct TLabel {
  double Value = 0.0;
  std::string Name;  // empty in a default-built label

  friend bool operator==(const TLabel&, const TLabel&) = default;
};

// Copies are deep; labels keep the order in which they were first appended.
class TLabelList {
 public:
  TLabelList() = default;
  TLabelList(std::string_view name, double value);

  // Adds value to the label named exactly `name` (case-sensitive), or appends
  // a new label at the end when there is none.
  void AppendLabel(std::string_view name, double value);

  int Count() const noexcept { return static_cast<int>(labels_.size()); }
  std::span<const TLabel> Labels() const noexcept { return labels_; }
  bool Empty() const noexcept { return labels_.empty(); }
  void Clear() noexcept { labels_.clear(); }

  friend bool operator==(const TLabelList&, const TLabelList&) = default;

 private:
  std::vector<TLabel> labels_;
};

}  // namespace mirk
