#include "MembershipFunctions/TMFSetList.h"

#include <gtest/gtest.h>

#include <memory>
#include <type_traits>

#include "support/TestUtil.h"

namespace mirk {
namespace {

constexpr const char* kBad = "Bad Parameter";

static_assert(!std::is_copy_constructible_v<TMFSetList>);
static_assert(std::is_nothrow_move_constructible_v<TMFSetList>);

std::unique_ptr<TBasicMFSet> Set(const char* name) {
  return std::make_unique<TBasicMFSet>("Triangular", name, 2, 0.0, 1.0);
}

TEST(TMFSetList, NewListHasItsNameAndEmptySlots) {
  const TMFSetList list(2, "Inputs");
  EXPECT_STREQ(list.GetListName(), "Inputs");
  EXPECT_EQ(list.GetVariablesRepresented(), 2);
  EXPECT_EQ(list.GetMFSet(0), nullptr);
  EXPECT_EQ(list.GetMFSet(1), nullptr);
  EXPECT_EQ(TMFSetList(0, nullptr).GetListName(), nullptr);
  EXPECT_EQ(TMFSetList(0, "").GetListName(), nullptr);
}

TEST(TMFSetList, SetMFSetReplacesTheSetInItsSlot) {
  TMFSetList list(2, "Inputs");
  list.SetMFSet(1, Set("First"));
  auto second = Set("Second");
  const TBasicMFSet* raw = second.get();
  list.SetMFSet(1, std::move(second));
  EXPECT_EQ(list.GetMFSet(1), raw);
  EXPECT_EQ(list.GetMFSet(0), nullptr);
}

TEST(TMFSetList, IndexOutsideTheSlotsIsRefused) {
  TMFSetList list(2, "Inputs");
  list.SetMFSet(0, Set("Speed"));
  for (int index : {-1, 2}) {
    EXPECT_TEXCEPTION(list.GetMFSet(index), "Invalid MF set number", kBad, "TMFSetList::GetMFSet");
    auto set = Set("Kept");
    const TBasicMFSet* raw = set.get();
    EXPECT_TEXCEPTION(list.SetMFSet(index, std::move(set)), "Invalid MF set number", kBad,
                      "TMFSetList::SetMFSet");
    ASSERT_EQ(set.get(), raw);  // still the caller's
    // The same for a pointer to a class derived from the set.
    struct Partition : TBasicMFSet {
      Partition() : TBasicMFSet("Triangular", "Derived", 2, 0.0, 1.0) {}
    };
    auto derived = std::make_unique<Partition>();
    EXPECT_THROW(list.SetMFSet(index, std::move(derived)), TException);
    ASSERT_NE(derived, nullptr);
    EXPECT_STREQ(list.GetMFSet(0)->GetName(), "Speed");
    EXPECT_EQ(list.GetMFSet(1), nullptr);
  }
  EXPECT_TEXCEPTION(TMFSetList(-1, "L"), "Invalid MF set number", kBad, "TMFSetList::TMFSetList");
}

TEST(TMFSetList, EqualityLooksAtNameSlotsAndSets) {
  auto make = [](const char* name, const char* setName) {
    TMFSetList list(2, name);
    list.SetMFSet(0, Set(setName));
    return list;
  };
  EXPECT_EQ(make("L", "A"), make("L", "A"));
  EXPECT_FALSE(make("L", "A") == make("M", "A"));
  EXPECT_FALSE(make("L", "A") == make("L", "B"));
  EXPECT_FALSE(make("L", "A") == TMFSetList(2, "L"));
  EXPECT_FALSE(TMFSetList(1, "L") == TMFSetList(2, "L"));
}

}  // namespace
}  // namespace mirk
