#include "MembershipFunctions/TMFSetList.h"

#include <cstddef>
#include <utility>

#include "Common/Exceptions.h"
#include "MembershipFunctions/Internal.h"

namespace mirk {

namespace {

[[noreturn]] void Refuse(const char* where) {
  throw TException("Invalid MF set number", "Bad Parameter", where);
}

}  // namespace

TMFSetList::TMFSetList(int variablesRepresented, const char* listName)
    : VariablesRepresented(variablesRepresented), ListName(detail::OptionalName(listName)) {
  if (variablesRepresented < 0) Refuse("TMFSetList::TMFSetList");
  slots.resize(static_cast<std::size_t>(variablesRepresented));
}

TMFSetList::~TMFSetList() = default;

TBasicMFSet* TMFSetList::GetMFSet(int index) {
  return const_cast<TBasicMFSet*>(std::as_const(*this).GetMFSet(index));
}

void TMFSetList::CheckIndex(int index, const char* where) const {
  if (index < 0 || index >= VariablesRepresented) Refuse(where);
}

const TBasicMFSet* TMFSetList::GetMFSet(int index) const {
  CheckIndex(index, "TMFSetList::GetMFSet");
  return slots[static_cast<std::size_t>(index)].get();
}

void TMFSetList::SetMFSet(int index, std::unique_ptr<TBasicMFSet>&& set) {
  CheckIndex(index, "TMFSetList::SetMFSet");
  slots[static_cast<std::size_t>(index)] = std::move(set);
}

bool operator==(const TMFSetList& a, const TMFSetList& b) {
  return a.ListName == b.ListName && detail::SameSlots(a.slots, b.slots);
}

}  // namespace mirk
