#include "DataObject/Data.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

#include "Common/Exceptions.h"
#include "support/TestUtil.h"

namespace mirk {
namespace {

// A ring of `rows` rows with one input and one output; row values are
// appended as (v, -v) for v = 1 .. appended.
std::unique_ptr<Data> Ring(int rows, int appended) {
  auto d = std::make_unique<Data>(rows, 1, 1, false);
  for (int v = 1; v <= appended; ++v) {
    const double in[] = {double(v)};
    const double out[] = {-double(v)};
    d->AppendRow(in, out);
  }
  return d;
}

// The input values GetNextRow delivers `n` times from the current cursor.
std::vector<double> NextInputs(Data& d, int n) {
  std::vector<double> seen;
  for (int i = 0; i < n; ++i) {
    double in[1] = {0};
    d.GetNextRow(in, {});
    seen.push_back(in[0]);
  }
  return seen;
}

TEST(Data, NewObjectHasZeroCellsEmptyLabelsAndNoDataRows) {
  Data d(3, 2, 1, true);
  EXPECT_EQ(d.GetNumRows(), 3);
  EXPECT_EQ(d.GetNumDataRows(), 0);
  EXPECT_EQ(d.GetFirstRow(), 0);
  EXPECT_EQ(d.GetLastRow(), 0);
  EXPECT_EQ(d.GetCurrentRow(), 0);
  EXPECT_EQ(d.GetChanges(), 0);
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 2; ++c) EXPECT_EQ(d.GetInputDatum(r, c), 0.0);
    EXPECT_EQ(d.GetOutputDatum(r, 0), 0.0);
    ASSERT_NE(d.GetLabels(r), nullptr);
    EXPECT_EQ(d.GetLabels(r)->Count(), 0);
  }
  EXPECT_TRUE(d.GetInputSelection().empty());
}

TEST(Data, SizesAreCheckedBeforeAllocating) {
  EXPECT_TEXCEPTION(Data(-1, 1, 1, false), "Invalid Data Size", "Bad Parameter", "Data::Data");
  // rows x columns far beyond any address space: refused, not attempted.
  EXPECT_TEXCEPTION(Data(INT_MAX, INT_MAX, INT_MAX, false), "Invalid Data Size",
                    "Bad Parameter", "Data::Data");
  Data noColumns(4, -3, -1, false);
  EXPECT_EQ(noColumns.GetNumInputs(), 0);
  EXPECT_EQ(noColumns.GetNumOutputs(), 0);
}

TEST(Data, AppendingPastCapacityOverwritesTheOldestRow) {
  auto d = Ring(3, 4);
  EXPECT_EQ(d->GetNumDataRows(), 3);
  EXPECT_EQ(d->GetFirstRow(), 1);
  EXPECT_EQ(d->GetLastRow(), 0);
  EXPECT_EQ(d->GetInputDatum(0, 0), 4.0);
  EXPECT_EQ(d->GetOutputDatum(0, 0), -4.0);
  d->SetCurrentRow(d->GetLastRow());
  EXPECT_EQ(NextInputs(*d, 3), (std::vector<double>{2, 3, 4}));
  // Backwards from the newest row; past the oldest it wraps to the newest.
  std::vector<double> back;
  for (int i = 0; i < 3; ++i) {
    double in[1];
    d->GetPreviousRow(in, {});
    back.push_back(in[0]);
  }
  EXPECT_EQ(back, (std::vector<double>{3, 2, 4}));
}

TEST(Data, PartlyFilledRingReadsOccupiedRowsOnly) {
  auto d = Ring(5, 3);
  EXPECT_EQ(d->GetFirstRow(), 0);
  EXPECT_EQ(d->GetLastRow(), 2);
  d->SetCurrentRow(d->GetLastRow());
  EXPECT_EQ(NextInputs(*d, 4), (std::vector<double>{1, 2, 3, 1}));
}

TEST(Data, MoveCursorIsArithmeticOverTheRingOrder) {
  // Five rows, seven appended: ring order is rows 2, 3, 4, 0, 1.
  auto d = Ring(5, 7);
  ASSERT_EQ(d->GetFirstRow(), 2);
  ASSERT_EQ(d->GetLastRow(), 1);
  const struct {
    int n;
    int row;
  } cases[] = {{0, 1},  {1, 2},       {-1, 0},      {5, 1},       {-5, 1},
               {7, 3},  {-7, 4},      {INT_MAX, 3}, {INT_MIN, 3}, {INT_MIN + 1, 4}};
  for (const auto& c : cases) {
    d->SetCurrentRow(d->GetLastRow());
    d->MoveCursor(c.n);
    EXPECT_EQ(d->GetCurrentRow(), c.row) << "n = " << c.n;
  }
  // A cursor on a row the ring does not occupy moves within the occupied rows.
  auto partly = Ring(5, 3);
  partly->SetCurrentRow(4);
  partly->MoveCursor(1);
  EXPECT_EQ(partly->GetCurrentRow(), 2);
}

TEST(Data, CursorOnOneOrNoRows) {
  auto one = Ring(4, 1);
  one->SetCurrentRow(3);
  EXPECT_EQ(NextInputs(*one, 3), (std::vector<double>{1, 1, 1}));
  EXPECT_EQ(one->GetCurrentRow(), 0);

  // No data rows: the cursor stays and nothing is copied.
  Data empty(3, 1, 1, true);
  empty.SetCurrentRow(2);
  empty.MoveCursor(-7);
  EXPECT_EQ(empty.GetCurrentRow(), 2);
  double in[1] = {42}, out[1] = {43};
  const TLabelList* labels = nullptr;
  empty.GetNextRow(in, out, &labels);
  EXPECT_EQ(in[0], 42);
  EXPECT_EQ(out[0], 43);
  EXPECT_EQ(labels, nullptr);

  Data none(0, 1, 1, false);
  none.SetCurrentRow(none.GetLastRow());
  none.GetNextRow(in, out);
  EXPECT_EQ(none.GetCurrentRow(), 0);
  EXPECT_TEXCEPTION(none.AppendRow(in, out), "Invalid Data Row", "Bad Parameter",
                    "Data::AppendRow");
  EXPECT_EQ(none.GetNumDataRows(), 0);
  EXPECT_EQ(none.GetChanges(), 0);
}

TEST(Data, RejectedArgumentsNameTheOperationAndChangeNothing) {
  Data d(2, 3, 1, true);
  double buf[3] = {};
  const double two[2] = {1, 2};
  const int badColumn[] = {3};
  const int goodColumns[] = {0, 1};
  TLabelList list("a", 1.0);
  int count = 0;
  const struct {
    std::function<void()> call;
    const char* message;
    const char* where;
  } cases[] = {
      {[&] { d.GetInputDatum(-1, 99); }, "Invalid Data Row", "Data::GetInputDatum"},
      {[&] { d.GetInputDatum(2, 0); }, "Invalid Data Row", "Data::GetInputDatum"},
      {[&] { d.GetInputDatum(1, 3); }, "Invalid Input Data Column", "Data::GetInputDatum"},
      {[&] { d.GetOutputDatum(1, -1); }, "Invalid Output Data Column", "Data::GetOutputDatum"},
      {[&] { d.GetOutputDatum(-1, 0); }, "Invalid Data Row", "Data::GetOutputDatum"},
      {[&] { d.SetInputDatum(2, 0, 1); }, "Invalid Data Row", "Data::SetInputDatum"},
      {[&] { d.SetInputDatum(0, 3, 1); }, "Invalid Input Data Column", "Data::SetInputDatum"},
      {[&] { d.SetOutputDatum(5, 0, 1); }, "Invalid Data Row", "Data::SetOutputDatum"},
      {[&] { d.SetOutputDatum(0, 1, 1); }, "Invalid Output Data Column", "Data::SetOutputDatum"},
      {[&] { d.GetLabels(2); }, "Invalid Data Row", "Data::GetLabels"},
      {[&] { d.SetLabels(-1, &list); }, "Invalid Data Row", "Data::SetLabels"},
      {[&] { d.ClearLabels(2); }, "Invalid Data Row", "Data::ClearLabels"},
      {[&] { d.AppendLabel(2, 1.0, "a"); }, "Invalid Data Row", "Data::AppendLabel"},
      {[&] { d.SetRow(2, buf, buf, nullptr); }, "Invalid Data Row", "Data::SetRow"},
      {[&] { d.SetRow(0, two, {}, nullptr); }, "Array too short", "Data::SetRow"},
      {[&] { d.GetInputRow(-1, buf); }, "Invalid Data Row", "Data::GetInputRow"},
      {[&] { d.GetInputRow(0, std::span(buf, 2)); }, "Array too short", "Data::GetInputRow"},
      {[&] { d.GetInputRow(0, buf, badColumn); }, "Invalid Input Data Column",
       "Data::GetInputRow"},
      {[&] { d.GetOutputRow(2, buf, badColumn); }, "Invalid Data Row", "Data::GetOutputRow"},
      {[&] { d.GetOutputRow(0, buf, badColumn); }, "Invalid Output Data Column",
       "Data::GetOutputRow"},
      {[&] { d.GetBlock({}, {}, 2, 5, count); }, "Data Block Fault", "Data::GetBlock"},
      {[&] { d.AppendRow(two, {}); }, "Array too short", "Data::AppendRow"},
      {[&] { d.GetNextRow(std::span(buf, 2), {}); }, "Array too short", "Data::GetNextRow"},
      {[&] { d.SetInputSelection(badColumn); }, "Invalid Input Data Column",
       "Data::SetInputSelection"},
      {[&] { d.SetColumnSelections(goodColumns, badColumn); }, "Invalid Output Data Column",
       "Data::SetColumnSelections"},
      {[&] { d.SetCurrentRow(2); }, "Invalid Data Row", "Data::SetCurrentRow"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.where);
    EXPECT_TEXCEPTION(c.call(), c.message, "Bad Parameter", c.where);
  }
  EXPECT_EQ(d.GetChanges(), 0);
  EXPECT_EQ(d.GetNumDataRows(), 0);
  EXPECT_EQ(d.GetCurrentRow(), 0);
  EXPECT_TRUE(d.GetInputSelection().empty());
}

TEST(Data, EveryModificationCountsAsAChange) {
  Data d(2, 2, 1, true);
  const double in[] = {1, 2}, out[] = {3};
  TLabelList list("x", 0.5);
  const std::vector<std::function<void()>> changes = {
      [&] { d.SetInputDatum(0, 0, 1); },  [&] { d.SetOutputDatum(1, 0, 1); },
      [&] { d.SetLabels(0, &list); },     [&] { d.SetLabels(0, nullptr); },
      [&] { d.ClearLabels(1); },          [&] { d.AppendLabel(1, 1.0, "y"); },
      [&] { d.SetRow(1, in, out, nullptr); }, [&] { d.AppendRow(in, out, &list); },
  };
  int expected = 0;
  for (const auto& change : changes) {
    change();
    EXPECT_EQ(d.GetChanges(), ++expected);
  }
  double buf[2];
  d.GetNextRow(buf, buf);
  d.MoveCursor(3);
  d.SetInputSelection(std::vector<int>{1});
  EXPECT_EQ(d.GetChanges(), expected);
}

TEST(Data, RowsCopyGivenArraysAndLabelsAndEmptyTheListWithoutLabels) {
  Data d(2, 2, 2, true);
  const double in[] = {1.5, -2.5}, out[] = {3.5, 4.5};
  TLabelList list("Yes", 1.0);
  d.SetRow(1, in, out, &list);
  double got[2];
  d.GetInputRow(1, got);
  EXPECT_EQ(got[0], 1.5);
  EXPECT_EQ(got[1], -2.5);
  const int columns[] = {1, 1, 0};
  double picked[3];
  d.GetOutputRow(1, picked, columns);
  EXPECT_EQ(picked[0], 4.5);
  EXPECT_EQ(picked[1], 4.5);
  EXPECT_EQ(picked[2], 3.5);
  EXPECT_EQ(*d.GetLabels(1), list);

  // No arrays: the cells stay; no labels: the list is emptied.
  d.SetRow(1, {}, {}, nullptr);
  d.GetOutputRow(1, got);
  EXPECT_EQ(got[0], 3.5);
  EXPECT_EQ(d.GetLabels(1)->Count(), 0);
}

TEST(Data, LabelListsAccumulateRepeatedNamesCaseSensitively) {
  Data d(2, 1, 0, true);
  const TLabelList* own = d.GetLabels(0);
  d.AppendLabel(0, 1.0, "a");
  d.AppendLabel(0, 1.0, "a");
  d.AppendLabel(0, 0.25, "A");
  ASSERT_EQ(own->Count(), 2);
  EXPECT_EQ(own->Labels()[0], (TLabel{2.0, "a"}));
  EXPECT_EQ(own->Labels()[1], (TLabel{0.25, "A"}));
  // The row's list is handed out, not copied, and stays where it is.
  for (int i = 0; i < 100; ++i) d.AppendRow({}, {}, own);
  EXPECT_EQ(d.GetLabels(0), own);
  d.ClearLabels(0);
  EXPECT_EQ(own->Count(), 0);
}

TEST(Data, ObjectWithoutLabelsRefusesToStoreThem) {
  Data d(2, 1, 1, false);
  EXPECT_EQ(d.GetLabels(1), nullptr);
  d.ClearLabels(1);
  d.SetLabels(1, nullptr);
  EXPECT_EQ(d.GetChanges(), 0);
  TLabelList list("a", 1.0);
  const double v[] = {1.0};
  EXPECT_TEXCEPTION(d.SetLabels(1, &list), "Object keeps no labels", "Bad Parameter",
                    "Data::SetLabels");
  EXPECT_TEXCEPTION(d.AppendLabel(1, 1.0, "a"), "Object keeps no labels", "Bad Parameter",
                    "Data::AppendLabel");
  EXPECT_TEXCEPTION(d.AppendRow(v, v, &list), "Object keeps no labels", "Bad Parameter",
                    "Data::AppendRow");
  EXPECT_TEXCEPTION(d.SetRow(0, v, v, &list), "Object keeps no labels", "Bad Parameter",
                    "Data::SetRow");
  EXPECT_EQ(d.GetNumDataRows(), 0);
  EXPECT_EQ(d.GetChanges(), 0);
}

TEST(Data, GetBlockClipsAtTheNewestRow) {
  auto d = Ring(6, 5);  // last row 4
  std::vector<std::vector<double>> in(10, std::vector<double>(1, 0.0)), out = in;
  std::vector<std::span<double>> inRows(in.begin(), in.end()), outRows(out.begin(), out.end());
  int count = -1;
  d->GetBlock(inRows, outRows, 1, 10, count);
  EXPECT_EQ(count, 4);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(in[k][0], k + 2.0);
    EXPECT_EQ(out[k][0], -(k + 2.0));
  }
  EXPECT_EQ(in[4][0], 0.0);
  d->GetBlock(inRows, outRows, 3, 2, count);
  EXPECT_EQ(count, 0);
  // The count is cleared before the throw.
  count = 99;
  EXPECT_TEXCEPTION(d->GetBlock(inRows, outRows, 6, 7, count), "Data Block Fault",
                    "Bad Parameter", "Data::GetBlock");
  EXPECT_EQ(count, 0);
  count = 99;
  EXPECT_TEXCEPTION(d->GetBlock(std::span(inRows).first(2), {}, 0, 4, count),
                    "Array too short", "Bad Parameter", "Data::GetBlock");
  EXPECT_EQ(count, 0);
}

TEST(Data, SelectionsDecideWhatTheCursorRowDelivers) {
  Data d(1, 3, 2, true);
  const double in[] = {10, 11, 12}, out[] = {20, 21};
  TLabelList list("L", 1.0);
  d.AppendRow(in, out, &list);
  const TLabelList untouched;

  struct Case {
    const char* name;
    std::vector<int> in, out;  // selections set
    std::vector<double> gotIn, gotOut;
    bool labelsDelivered;
  };
  const Case cases[] = {
      {"none", {}, {}, {10, 11, 12}, {20, 21}, true},
      {"output only", {}, {1}, {10, 11, 12}, {20, 21}, true},
      {"input only", {2, 0}, {}, {12, 10, -1}, {20, 21}, false},
      {"both", {2, 0}, {1}, {12, 10, -1}, {21, -1}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    d.SetColumnSelections(c.in, c.out);
    std::vector<double> gotIn(3, -1), gotOut(2, -1);
    const TLabelList* labels = &untouched;
    d.GetNextRow(gotIn, gotOut, &labels);
    EXPECT_EQ(gotIn, c.gotIn);
    EXPECT_EQ(gotOut, c.gotOut);
    EXPECT_EQ(labels, c.labelsDelivered ? d.GetLabels(0) : &untouched);
    EXPECT_EQ(d.GetInputSelection(), c.in);
  }
  // A destination just long enough for the selection is enough.
  d.SetColumnSelections(std::vector<int>{1}, std::vector<int>{0});
  double one[1], other[1];
  d.GetPreviousRow(one, other);
  EXPECT_EQ(one[0], 11);
  EXPECT_EQ(other[0], 20);
}

TEST(Data, CloneIsAnEqualIndependentCopy) {
  auto d = std::make_unique<Data>(3, 2, 1, true);
  for (int v = 1; v <= 4; ++v) {
    const double in[] = {double(v), v + 0.5}, out[] = {-double(v)};
    TLabelList list("row", v);
    d->AppendRow(in, out, &list);
  }
  d->SetInputSelection(std::vector<int>{1});
  d->SetCurrentRow(2);
  auto c = d->Clone();
  EXPECT_EQ(c->GetNumDataRows(), 3);
  EXPECT_EQ(c->GetFirstRow(), d->GetFirstRow());
  EXPECT_EQ(c->GetLastRow(), d->GetLastRow());
  EXPECT_EQ(c->GetCurrentRow(), 2);
  EXPECT_EQ(c->GetChanges(), d->GetChanges());
  EXPECT_EQ(c->GetInputSelection(), std::vector<int>{1});
  for (int r = 0; r < 3; ++r) {
    EXPECT_EQ(c->GetInputDatum(r, 1), d->GetInputDatum(r, 1));
    EXPECT_EQ(*c->GetLabels(r), *d->GetLabels(r));
    EXPECT_NE(c->GetLabels(r), d->GetLabels(r));
  }
  c->SetInputDatum(0, 0, 99);
  c->AppendLabel(0, 1.0, "more");
  EXPECT_EQ(d->GetInputDatum(0, 0), 4.0);
  EXPECT_EQ(d->GetLabels(0)->Count(), 1);

  // Without selections, the clone reads the same full rows.
  auto plain = Ring(3, 5);
  auto copy = plain->Clone();
  plain->SetCurrentRow(plain->GetLastRow());
  copy->SetCurrentRow(copy->GetLastRow());
  EXPECT_EQ(NextInputs(*copy, 3), NextInputs(*plain, 3));
}

TEST(Data, AppendRowsTakesTheIthArrayAndList) {
  Data d(4, 1, 1, true);
  const double a[] = {1}, b[] = {2};
  const std::span<const double> ins[] = {a, b};
  const TLabelList lists[] = {TLabelList("p", 1), TLabelList("q", 2)};
  d.AppendRows(ins, {}, 2, lists);
  EXPECT_EQ(d.GetNumDataRows(), 2);
  EXPECT_EQ(d.GetInputDatum(1, 0), 2.0);
  EXPECT_EQ(*d.GetLabels(1), lists[1]);
  EXPECT_TEXCEPTION(d.AppendRows(ins, {}, 3, {}), "Array too short", "Bad Parameter",
                    "Data::AppendRows");
  EXPECT_EQ(d.GetNumDataRows(), 2);
}

}  // namespace
}  // namespace mirk
