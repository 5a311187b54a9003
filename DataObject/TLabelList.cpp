#include "DataObject/TLabelList.h"

namespace mirk {

TLabelList::TLabelList(std::string_view name, double value) {
  labels_.push_back(TLabel{value, std::string(name)});
}

void TLabelList::AppendLabel(std::string_view name, double value) {
  for (TLabel& label : labels_) {
    if (label.Name == name) {
      label.Value += value;
      return;
    }
  }
  labels_.push_back(TLabel{value, std::string(name)});
}

}  // namespace mirk
