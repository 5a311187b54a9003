// A named, fixed number of MF set slots: one fuzzy partition per variable
// of a model (all its inputs, or all its outputs).
#pragma once

#include <concepts>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "MembershipFunctions/TBasicMFSet.h"

namespace mirk {

// Move-only: the list owns its sets.
class TMFSetList {
 public:
  // A null or empty name means none; the name is copied. Every slot starts
  // empty. A negative number of sets throws TException ("Invalid MF set
  // number", "Bad Parameter", "TMFSetList::TMFSetList").
  TMFSetList(int variablesRepresented, const char* listName);
  TMFSetList(TMFSetList&&) noexcept = default;
  TMFSetList& operator=(TMFSetList&&) noexcept = default;
  ~TMFSetList();

  // The set in slot index, nullptr when the slot is empty. An index outside
  // 0 to VariablesRepresented - 1 throws TException ("Invalid MF set
  // number", "Bad Parameter", "TMFSetList::GetMFSet").
  TBasicMFSet* GetMFSet(int index);
  const TBasicMFSet* GetMFSet(int index) const;

  // Stores set in slot index, releasing the set stored there before (nullptr
  // empties the slot). The same index check as GetMFSet
  // ("TMFSetList::SetMFSet"); when it fails, set stays with the caller and
  // the list is unchanged.
  void SetMFSet(int index, std::unique_ptr<TBasicMFSet>&& set);
  // A pointer to a derived set converts only after the check.
  template <typename Set>
    requires(std::derived_from<Set, TBasicMFSet> && !std::same_as<Set, TBasicMFSet>)
  void SetMFSet(int index, std::unique_ptr<Set>&& set) {
    CheckIndex(index, "TMFSetList::SetMFSet");
    SetMFSet(index, std::unique_ptr<TBasicMFSet>(std::move(set)));
  }

  int GetVariablesRepresented() const noexcept { return VariablesRepresented; }
  const char* GetListName() const noexcept { return ListName ? ListName->c_str() : nullptr; }

  // Same name, slot count and equal sets slot by slot.
  friend bool operator==(const TMFSetList& a, const TMFSetList& b);

 private:
  void CheckIndex(int index, const char* where) const;

  std::vector<std::unique_ptr<TBasicMFSet>> slots;
  int VariablesRepresented;
  std::optional<std::string> ListName;
};

}  // namespace mirk
