// A fuzzy partition of one variable: a named, typed, fixed number of
// membership-function slots over the range [LowerBound, UpperBound].
#pragma once

#include <concepts>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "MembershipFunctions/TBasicMF.h"

namespace mirk {

// Neither the bounds nor the MFs are checked: the bounds need not be
// ordered, and the MFs need not lie within them. Move-only: the set owns
// its MFs.
class TBasicMFSet {
 public:
  // Null or empty texts mean none; texts are copied. Every slot starts
  // empty. A negative number of MFs throws TException ("Bad MF Number",
  // "Invalid Parameter", "TBasicMFSet::TBasicMFSet").
  TBasicMFSet(const char* type, const char* name, int numberOfMF, double lowerBound,
              double upperBound);
  TBasicMFSet(TBasicMFSet&&) noexcept = default;
  TBasicMFSet& operator=(TBasicMFSet&&) noexcept = default;
  virtual ~TBasicMFSet();

  // The MF in slot index, nullptr when the slot is empty. An index outside
  // 0 to NumberOfMF - 1 throws TException ("Bad MF Number", "Invalid
  // Parameter", "TBasicMFSet::GetMF").
  TBasicMF* GetMF(int index);
  const TBasicMF* GetMF(int index) const;

  // Stores mf in slot index, releasing an MF stored there before (nullptr
  // empties the slot). The same index check as GetMF ("TBasicMFSet::SetMF");
  // when it fails, mf stays with the caller and the set is unchanged.
  void SetMF(int index, std::unique_ptr<TBasicMF>&& mf);
  // A pointer to a shape converts only after the check, so that a refused
  // MF is not released with a temporary.
  template <typename Shape>
    requires(std::derived_from<Shape, TBasicMF> && !std::same_as<Shape, TBasicMF>)
  void SetMF(int index, std::unique_ptr<Shape>&& mf) {
    CheckIndex(index, "TBasicMFSet::SetMF");
    SetMF(index, std::unique_ptr<TBasicMF>(std::move(mf)));
  }

  // destination[i] = the degree of x in slot i, for every slot. Throws
  // TException ("Invalid Parameter", "TBasicMFSet::GetMemberships"), leaving
  // the destination unchanged, when a slot is empty ("MF slot empty") or the
  // destination holds fewer than NumberOfMF values ("Destination too short").
  void GetMemberships(double x, std::span<double> destination) const;

  const char* GetType() const noexcept { return Type ? Type->c_str() : nullptr; }
  const char* GetName() const noexcept { return Name ? Name->c_str() : nullptr; }
  int GetNumberOfMF() const noexcept { return NumberOfMF; }
  double GetLowerBound() const noexcept { return LowerBound; }
  double GetUpperBound() const noexcept { return UpperBound; }

  // Same texts, bounds, slot count and equal MFs slot by slot.
  friend bool operator==(const TBasicMFSet& a, const TBasicMFSet& b);

 private:
  void CheckIndex(int index, const char* where) const;

  std::optional<std::string> Name;
  std::optional<std::string> Type;
  int NumberOfMF;
  std::vector<std::unique_ptr<TBasicMF>> slots;
  double LowerBound;
  double UpperBound;
};

}  // namespace mirk
