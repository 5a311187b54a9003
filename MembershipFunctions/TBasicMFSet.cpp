#include "MembershipFunctions/TBasicMFSet.h"

#include <cstddef>
#include <utility>

#include "Common/Exceptions.h"
#include "MembershipFunctions/Internal.h"

namespace mirk {

namespace {

[[noreturn]] void Refuse(const char* message, const char* where) {
  throw TException(message, "Invalid Parameter", where);
}

}  // namespace

TBasicMFSet::TBasicMFSet(const char* type, const char* name, int numberOfMF, double lowerBound,
                         double upperBound)
    : Name(detail::OptionalName(name)),
      Type(detail::OptionalName(type)),
      NumberOfMF(numberOfMF),
      LowerBound(lowerBound),
      UpperBound(upperBound) {
  if (numberOfMF < 0) Refuse("Bad MF Number", "TBasicMFSet::TBasicMFSet");
  slots.resize(static_cast<std::size_t>(numberOfMF));
}

TBasicMFSet::~TBasicMFSet() = default;

TBasicMF* TBasicMFSet::GetMF(int index) {
  return const_cast<TBasicMF*>(std::as_const(*this).GetMF(index));
}

void TBasicMFSet::CheckIndex(int index, const char* where) const {
  if (index < 0 || index >= NumberOfMF) Refuse("Bad MF Number", where);
}

const TBasicMF* TBasicMFSet::GetMF(int index) const {
  CheckIndex(index, "TBasicMFSet::GetMF");
  return slots[static_cast<std::size_t>(index)].get();
}

void TBasicMFSet::SetMF(int index, std::unique_ptr<TBasicMF>&& mf) {
  CheckIndex(index, "TBasicMFSet::SetMF");
  slots[static_cast<std::size_t>(index)] = std::move(mf);
}

void TBasicMFSet::GetMemberships(double x, std::span<double> destination) const {
  static constexpr const char* kWhere = "TBasicMFSet::GetMemberships";
  if (destination.size() < slots.size()) Refuse("Destination too short", kWhere);
  for (const auto& mf : slots) {
    if (mf == nullptr) Refuse("MF slot empty", kWhere);
  }
  for (std::size_t i = 0; i < slots.size(); ++i) destination[i] = slots[i]->GetMembership(x);
}

bool operator==(const TBasicMFSet& a, const TBasicMFSet& b) {
  return a.Name == b.Name && a.Type == b.Type && a.LowerBound == b.LowerBound &&
         a.UpperBound == b.UpperBound && detail::SameSlots(a.slots, b.slots);
}

}  // namespace mirk
