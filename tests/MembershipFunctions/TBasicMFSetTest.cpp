#include "MembershipFunctions/TBasicMFSet.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <type_traits>

#include "support/TestUtil.h"

namespace mirk {
namespace {

constexpr const char* kInvalid = "Invalid Parameter";

static_assert(!std::is_copy_constructible_v<TBasicMFSet>);
static_assert(std::is_nothrow_move_constructible_v<TBasicMFSet>);

// Left shoulder (0, 0.5), triangle (0, 0.5, 1), right shoulder (0.5, 1).
TBasicMFSet ThreeTerms() {
  TBasicMFSet set("Triangular", "Speed", 3, 0.0, 1.0);
  set.SetMF(0, std::make_unique<TLShoulderTriangularMF>("Low", 0.0, 0.5));
  set.SetMF(1, std::make_unique<TTriangularMF>("Mid", 0.0, 0.5, 1.0));
  set.SetMF(2, std::make_unique<TRShoulderTriangularMF>("High", 0.5, 1.0));
  return set;
}

TEST(TBasicMFSet, NewSetHasItsTextsBoundsAndEmptySlots) {
  const TBasicMFSet set("Triangular", "Speed", 3, 0.0, 1.0);
  EXPECT_STREQ(set.GetType(), "Triangular");
  EXPECT_STREQ(set.GetName(), "Speed");
  EXPECT_EQ(set.GetNumberOfMF(), 3);
  EXPECT_EQ(set.GetLowerBound(), 0.0);
  EXPECT_EQ(set.GetUpperBound(), 1.0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(set.GetMF(i), nullptr);

  const TBasicMFSet unnamed(nullptr, "", 0, 2.0, -1.0);  // bounds are not checked
  EXPECT_EQ(unnamed.GetType(), nullptr);
  EXPECT_EQ(unnamed.GetName(), nullptr);
  EXPECT_EQ(unnamed.GetLowerBound(), 2.0);
}

TEST(TBasicMFSet, IndexOutsideTheSlotsIsRefused) {
  TBasicMFSet set = ThreeTerms();
  for (int index : {-1, 3}) {
    EXPECT_TEXCEPTION(set.GetMF(index), "Bad MF Number", kInvalid, "TBasicMFSet::GetMF");
    auto mf = std::make_unique<TSingletonMF>("Kept", 0.25);
    const TBasicMF* raw = mf.get();
    EXPECT_TEXCEPTION(set.SetMF(index, std::move(mf)), "Bad MF Number", kInvalid, "TBasicMFSet::SetMF");
    // A refused MF stays with the caller, the set as it was.
    ASSERT_EQ(mf.get(), raw);
    EXPECT_EQ(set, ThreeTerms());
  }
  EXPECT_TEXCEPTION(TBasicMFSet("T", "N", -1, 0, 1), "Bad MF Number", kInvalid,
                    "TBasicMFSet::TBasicMFSet");
}

TEST(TBasicMFSet, SetMFOnAFilledSlotReplacesTheOldMF) {
  TBasicMFSet set = ThreeTerms();
  set.SetMF(1, std::make_unique<TSingletonMF>("Exact", 0.5));
  EXPECT_STREQ(set.GetMF(1)->GetType(), "Singleton");
  EXPECT_STREQ(set.GetMF(1)->GetName(), "Exact");
}

TEST(TBasicMFSet, MembershipsOfEverySlot) {
  const TBasicMFSet set = ThreeTerms();
  std::array<double, 4> degrees{-1, -1, -1, -1};
  set.GetMemberships(0.25, degrees);
  EXPECT_EQ(degrees, (std::array<double, 4>{0.5, 0.5, 0.0, -1}));
  set.GetMemberships(0.875, degrees);
  EXPECT_EQ(degrees, (std::array<double, 4>{0.0, 0.25, 0.75, -1}));
}

TEST(TBasicMFSet, MembershipsRefuseAnEmptySlotOrShortDestinationUntouched) {
  TBasicMFSet set = ThreeTerms();
  std::array<double, 3> degrees{-1, -1, -1};
  EXPECT_TEXCEPTION(set.GetMemberships(0.25, std::span(degrees).first(2)), "Destination too short",
                    kInvalid, "TBasicMFSet::GetMemberships");
  set.SetMF(2, nullptr);
  EXPECT_TEXCEPTION(set.GetMemberships(0.25, degrees), "MF slot empty", kInvalid,
                    "TBasicMFSet::GetMemberships");
  EXPECT_EQ(degrees, (std::array<double, 3>{-1, -1, -1}));
}

TEST(TBasicMFSet, EqualityLooksAtEveryPart) {
  EXPECT_EQ(ThreeTerms(), ThreeTerms());
  TBasicMFSet renamed("Triangular", "Other", 3, 0.0, 1.0);
  for (int i = 0; i < 3; ++i) renamed.SetMF(i, nullptr);
  EXPECT_FALSE(renamed == ThreeTerms());
  TBasicMFSet emptied = ThreeTerms();
  emptied.SetMF(0, nullptr);
  EXPECT_FALSE(emptied == ThreeTerms());
  TBasicMFSet moved = ThreeTerms();
  static_cast<TTriangularMF*>(moved.GetMF(1))->Centre = 0.25;
  EXPECT_FALSE(moved == ThreeTerms());
  EXPECT_FALSE(TBasicMFSet("T", "N", 1, 0, 1) == TBasicMFSet("T", "N", 1, 0, 2));
  EXPECT_FALSE(TBasicMFSet("T", "N", 1, 0, 1) == TBasicMFSet("T", "N", 2, 0, 1));
}

}  // namespace
}  // namespace mirk
