#include "FileHandler/Filer.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "Common/Exceptions.h"
#include "FileHandler/NetworkWriteText.h"
#include "support/FileText.h"
#include "support/TestUtil.h"

namespace mirk {
namespace {

namespace fs = std::filesystem;

std::string Path(const std::string& name) { return test::ScratchPath("FilerTest", name).string(); }

using test::ReadFile;
using test::WriteFile;

// A data set file with the given header entries and data block lines.
std::string DataSetText(const std::string& entries, const std::string& rows) {
  return "[FormatVersion = 1.0]\n\n[DataSet]\n" + entries + "\n[Data]\n" + rows +
         "[~Data]\n\n[~DataSet]\n";
}

struct Loaded {
  int status = 0;
  std::unique_ptr<Data> first, second;
};

Loaded ReadText(const std::string& text, const DataSetLimits& limits = {}) {
  ScratchBuffer buffer;
  std::istringstream in(text);
  Loaded l;
  l.status = ReadDataSets(buffer, in, l.first, l.second, limits);
  return l;
}

// Every cell and list of every allocated row, and the ring state.
void ExpectSameData(const Data* a, const Data* b) {
  ASSERT_EQ(a == nullptr, b == nullptr);
  if (a == nullptr) return;
  ASSERT_EQ(a->GetNumRows(), b->GetNumRows());
  ASSERT_EQ(a->GetNumInputs(), b->GetNumInputs());
  ASSERT_EQ(a->GetNumOutputs(), b->GetNumOutputs());
  ASSERT_EQ(a->HasLabels(), b->HasLabels());
  EXPECT_EQ(a->GetNumDataRows(), b->GetNumDataRows());
  for (int r = 0; r < a->GetNumRows(); ++r) {
    for (int c = 0; c < a->GetNumInputs(); ++c)
      EXPECT_EQ(a->GetInputDatum(r, c), b->GetInputDatum(r, c)) << r << "," << c;
    for (int c = 0; c < a->GetNumOutputs(); ++c)
      EXPECT_EQ(a->GetOutputDatum(r, c), b->GetOutputDatum(r, c)) << r << "," << c;
    if (a->HasLabels()) {
      EXPECT_EQ(*a->GetLabels(r), *b->GetLabels(r)) << r;
    }
  }
}

// Row r of a first object with two inputs and one output, and of a second
// with one generated output and one error; values that 15 digits hold
// exactly.
std::unique_ptr<Data> First(int rows) {
  auto d = std::make_unique<Data>(rows, 2, 1, false);
  for (int r = 0; r < rows; ++r) {
    const double in[] = {r + 0.5, -r * 0.25}, out[] = {r * 1024.0};
    d->AppendRow(in, out);
  }
  return d;
}
std::unique_ptr<Data> Second(int rows) {
  auto d = std::make_unique<Data>(rows, 1, 1, false);
  for (int r = 0; r < rows; ++r) {
    const double in[] = {r * 0.125}, out[] = {-8.0 * r};
    d->AppendRow(in, out);
  }
  return d;
}

TEST(Filer, SavedFileHasTheExactLayout) {
  Data first(2, 2, 1, false), second(2, 1, 1, false);
  const double i0[] = {0.1, 0.2}, o0[] = {0.5}, g0[] = {0.48}, e0[] = {0.02};
  const double i1[] = {1.0 / 3, -2e-30}, o1[] = {1e21}, g1[] = {-0.0},
               e1[] = {123456789012345678.0};
  first.AppendRow(i0, o0);
  first.AppendRow(i1, o1);
  second.AppendRow(g0, e0);
  second.AppendRow(g1, e1);
  const std::string path = Path("layout.dat");
  ASSERT_EQ(SaveDataSets(path, &first, &second), SUCCESS);
  EXPECT_EQ(ReadFile(path),
            "[FormatVersion = 1.0]\n"
            "\n"
            "[DataSet]\n"
            "[Rows = 2]\n"
            "[Inputs = 2]\n"
            "[ExpectedOutputs = 1]\n"
            "[GeneratedOutputs = 1]\n"
            "[Error = 1]\n"
            "\n"
            "[Data]\n"
            "0.1 0.2   0.5   0.48   0.02 \n"
            "0.333333333333333 -2e-30   1e+21   -0   1.23456789012346e+17 \n"
            "[~Data]\n"
            "\n"
            "[~DataSet]\n");
}

TEST(Filer, ValuesNearTheLargestDoubleDoNotReadBackAsInfinities) {
  Data d(1, 4, 0, false);
  const double in[] = {DBL_MAX, -DBL_MAX, 1.79769313486231e308, INFINITY};
  d.AppendRow(in, {});
  std::ostringstream out;
  ASSERT_EQ(WriteDataSets(out, &d, nullptr), SUCCESS);
  EXPECT_NE(out.str().find("1.7976931348623157e+308 -1.7976931348623157e+308 "
                           "1.79769313486231e+308 inf   \n"),
            std::string::npos)
      << out.str();
  const Loaded back = ReadText(out.str());
  ASSERT_EQ(back.status, SUCCESS);
  ExpectSameData(back.first.get(), &d);
}

TEST(Filer, PiecewiseWritersProduceTheSameFile) {
  auto first = First(3);
  auto second = Second(3);
  const std::string whole = Path("whole.dat"), pieces = Path("pieces.dat");
  ASSERT_EQ(SaveDataSets(whole, first.get(), second.get()), SUCCESS);
  ASSERT_EQ(WriteDataSetHeader(pieces, 2, 1, 1, 1, 3), SUCCESS);
  ASSERT_EQ(AppendDataRows(pieces, first.get(), second.get()), SUCCESS);
  ASSERT_EQ(WriteDataSetTrailer(pieces), SUCCESS);
  EXPECT_EQ(ReadFile(pieces), ReadFile(whole));
}

TEST(Filer, LabelListsAreWrittenWithTheirValues) {
  const struct {
    TLabelList list;
    const char* text;
  } cases[] = {
      {TLabelList(), "[] "},
      {[] {
         TLabelList l("Yes", 1.0);
         l.AppendLabel("No", 0.25);
         return l;
       }(),
       "[Yes No=0.250000000 ] "},
      {TLabelList("x", -1.5e-10), "[x=-0.000000000 ] "},
      {TLabelList("Two", 2.0), "[Two=2.000000000 ] "},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    WriteLabelList(out, c.list);
    EXPECT_EQ(out.str(), c.text);
  }
}

TEST(Filer, LabelListsReadBackAccumulatingRepeatedNames) {
  const struct {
    const char* text;
    std::vector<TLabel> labels;
  } cases[] = {
      {"[A B=0.5 A ]", {{2.0, "A"}, {0.5, "B"}}},
      {"[ ]", {}},
      {"[]", {}},
      {" /* a /* nested */ comment */\n[Yes No=0.250000000 ] ", {{1.0, "Yes"}, {0.25, "No"}}},
      {"[a A=3,]", {{1.0, "a"}, {3.0, "A"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ScratchBuffer buffer;
    std::istringstream in(c.text);
    const TLabelList list = ReadLabelList(buffer, in);
    EXPECT_EQ(std::vector<TLabel>(list.Labels().begin(), list.Labels().end()), c.labels);
  }
  const struct {
    const char* text;
    const char* message;
  } errors[] = {
      {"A ]", "Label list expected"},
      {"", "Label list expected"},
      {"[~Data]", "Label list expected"},
      {"[A=x]", "number-expected"},
      {"[A", "Unexpected end of file"},
      {"[A=]", "Unexpected special character"},
  };
  for (const auto& bad : errors) {
    SCOPED_TRACE(bad.text);
    ScratchBuffer buffer;
    std::istringstream in(bad.text);
    EXPECT_FILE_ERROR(ReadLabelList(buffer, in), bad.message);
  }
}

TEST(Filer, NamesThatWouldNotReadBackAreRefusedBeforeWriting) {
  const std::string path = Path("badname.dat");
  for (const char* name : {"a b", "x]", "", "k=v", "tab\t"}) {
    SCOPED_TRACE(name);
    WriteFile(path, "untouched");
    Data d(1, 1, 0, true);
    d.AppendLabel(0, 1.0, "fine");
    d.AppendLabel(0, 1.0, name);
    EXPECT_TEXCEPTION(SaveDataSets(path, &d, nullptr), "Label name is not a single token",
                      "Bad Parameter", "SaveDataSets");
    EXPECT_TEXCEPTION(AppendDataRows(path, &d, nullptr), "Label name is not a single token",
                      "Bad Parameter", "AppendDataRows");
    std::ostringstream out;
    EXPECT_TEXCEPTION(WriteLabelList(out, *d.GetLabels(0)), "Label name is not a single token",
                      "Bad Parameter", "WriteLabelList");
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(ReadFile(path), "untouched");
  }
}

TEST(Filer, AFirstNameWithATildeIsNotMistakenForAnEndTag) {
  TLabelList first("~a", 1.0), later("a", 1.0);
  first.AppendLabel("~b", 0.5);
  later.AppendLabel("~b", 0.5);
  const std::string entries = "[Rows = 2]\n[ExpectedOutputs = Labels]\n[Error = 1]";
  std::string rows;
  for (const TLabelList* list : {&first, &later}) {
    std::ostringstream out;
    WriteLabelList(out, *list);
    rows += out.str() + " 1\n";
  }
  EXPECT_EQ(rows, "[ ~a ~b=0.500000000 ]  1\n[a ~b=0.500000000 ]  1\n");
  const Loaded back = ReadText(DataSetText(entries, rows));
  ASSERT_EQ(back.status, SUCCESS);
  EXPECT_EQ(*back.first->GetLabels(0), first);
  EXPECT_EQ(*back.first->GetLabels(1), later);
}

TEST(Filer, WhatIsSavedLoadsEqualAndSavesToTheSameBytes) {
  // Numbers and labels in every combination of the two objects.
  auto labelled = [](int rows, int inputs, int outputs) {
    auto d = std::make_unique<Data>(rows, inputs, outputs, true);
    for (int r = 0; r < rows; ++r) {
      std::vector<double> in(static_cast<std::size_t>(inputs), r - 0.75),
          out(static_cast<std::size_t>(outputs), (r + 3) * 0.0625);
      TLabelList list("Yes", 1.0);
      if (r % 2 == 1) list.AppendLabel("Maybe", 0.5);
      if (r == 2) list = TLabelList();
      d->AppendRow(in, out, &list);
    }
    return d;
  };
  struct Case {
    const char* name;
    std::unique_ptr<Data> first, second;
  };
  Case cases[] = {
      {"numbers", First(4), Second(4)},
      {"first only", First(3), nullptr},
      {"second only", nullptr, Second(3)},
      {"expected labels", labelled(4, 2, 0), Second(4)},
      {"generated labels with errors", First(4), labelled(4, 0, 2)},
      {"both labelled", labelled(3, 1, 0), labelled(3, 0, 1)},
      {"labels alone", labelled(3, 0, 0), nullptr},
      {"no rows", First(0), Second(0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = Path("roundtrip.dat"), again = Path("roundtrip2.dat");
    ASSERT_EQ(SaveDataSets(path, c.first.get(), c.second.get()), SUCCESS);
    ScratchBuffer buffer;
    std::unique_ptr<Data> first, second;
    ASSERT_EQ(LoadDataSets(buffer, path, first, second), SUCCESS);
    ExpectSameData(first.get(), c.first.get());
    ExpectSameData(second.get(), c.second.get());
    if (first) {
      EXPECT_EQ(first->GetCurrentRow(), first->GetLastRow());
    }
    ASSERT_EQ(SaveDataSets(again, first.get(), second.get()), SUCCESS);
    EXPECT_EQ(ReadFile(again), ReadFile(path));
  }
}

TEST(Filer, ListsAfterTheNumbersStillRead) {
  // The writer's order and the order of older files read the same.
  const std::string entries =
      "[Rows = 2]\n[Inputs = 1]\n[ExpectedOutputs = Labels]\n"
      "[GeneratedOutputs = 1]\n[Error = 1]";
  const Loaded written =
      ReadText(DataSetText(entries, "1   [A ]   2   3 \n4   [B=0.5 ]   5   6 \n"));
  const Loaded older = ReadText(DataSetText(entries, "1 2 3 [A ]\n4 5 6 [B=0.5]\n"));
  ASSERT_EQ(written.status, SUCCESS);
  ASSERT_EQ(older.status, SUCCESS);
  ExpectSameData(older.first.get(), written.first.get());
  ExpectSameData(older.second.get(), written.second.get());
  EXPECT_EQ(written.first->GetLabels(1)->Labels()[0], (TLabel{0.5, "B"}));
  EXPECT_EQ(written.second->GetOutputDatum(1, 0), 6.0);
}

TEST(Filer, HeaderEntriesFollowTheirOrder) {
  const struct {
    const char* text;
    int status;
    DataSetHeader header;
    const char* next;  // name of the statement handed back
  } cases[] = {
      {"[Inputs = 2] [Rows = 3] [ExpectedOutputs = 1] [Data]", SUCCESS, {3, 2, 1, 0, 0}, "Data"},
      {"[rows = 7] [EXPECTEDOUTPUTS = labels] [error = 2] [Data]", SUCCESS, {7, 0, -1, 0, 2},
       "Data"},
      {"[Rows = 2] [Rows = 5] [GeneratedOutputs = Labels] [x]", SUCCESS, {5, 0, 0, -1, 0}, "x"},
      {"[Rows = 3] [ExpectedOutputs = 1] [Inputs = 2] [Data]", ERR_FORMAT, {3, 0, 1, 0, 0},
       "Inputs"},
      {"[Inputs = 1] [Inputs = 1]", ERR_FORMAT, {-1, 1, 0, 0, 0}, "Inputs"},
      {"[Errors = 1]", ERR_FORMAT, {}, "Errors"},
      {"[Rows = 1 Inputs = 2]", ERR_FORMAT, {}, "Rows"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ScratchBuffer buffer;
    std::istringstream in(c.text);
    DataSetHeader h;
    Statement next;
    EXPECT_EQ(ReadDataSetHeader(buffer, in, "DataSet", h, next), c.status);
    EXPECT_EQ(next.name, c.next);
    if (c.status == SUCCESS) {
      EXPECT_EQ(h.rows, c.header.rows);
      EXPECT_EQ(h.inputs, c.header.inputs);
      EXPECT_EQ(h.expectedOutputs, c.header.expectedOutputs);
      EXPECT_EQ(h.generatedOutputs, c.header.generatedOutputs);
      EXPECT_EQ(h.errors, c.header.errors);
    }
  }
  for (const char* text : {"[Inputs = Labels]", "[Error = -1]", "[Rows = labels]"}) {
    ScratchBuffer buffer;
    std::istringstream in(text);
    DataSetHeader h;
    Statement next;
    EXPECT_FILE_ERROR(ReadDataSetHeader(buffer, in, "DataSet", h, next), "No labels in inputs");
  }
}

TEST(Filer, MalformedFilesAreRefusedWithTheirMessage) {
  const std::string numbers = "[Rows = 2]\n[Inputs = 2]\n[ExpectedOutputs = 1]";
  const struct {
    const char* name;
    std::string text;
    const char* message;
  } cases[] = {
      {"no data set block", "[Data]\n", "[DATASET] expected"},
      {"header out of order",
       DataSetText("[Rows = 2]\n[ExpectedOutputs = 1]\n[Inputs = 2]", "1 2 3\n4 5 6\n"),
       "[DATA] expected"},
      {"no rows entry", DataSetText("[Inputs = 1]", "1\n"), "[Rows = <integer>] expected"},
      {"rows end early", DataSetText(numbers, "1 2 3\n4 5\n"), "Token (number) expected"},
      {"a row too many", DataSetText(numbers, "1 2 3\n4 5 6\n7\n"), "End Tag expected"},
      {"not a number", DataSetText(numbers, "1 2 3\n4 five 6\n"), "number-expected"},
      {"no list", DataSetText("[Rows = 1]\n[Inputs = 1]\n[ExpectedOutputs = Labels]", "1 A\n"),
       "Label list expected"},
      {"text after the block", DataSetText(numbers, "1 2 3\n4 5 6\n") + "extra\n",
       "End Tag expected"},
      {"no end tags", "[DataSet]\n[Rows = 1]\n[Inputs = 1]\n[Data]\n1\n", "Unexpected end of file"},
      {"more rows than the bytes hold",
       DataSetText("[Rows = 2000000000]\n[Inputs = 3]\n[Error = 1]", "1 2 3\n"),
       "Data set declares more rows than the file holds"},
      {"labels need bytes too",
       DataSetText("[Rows = 100]\n[ExpectedOutputs = Labels]\n[GeneratedOutputs = Labels]",
                   "[][]\n"),
       "Data set declares more rows than the file holds"},
      {"rows beyond int", DataSetText("[Rows = 3000000000]\n[Inputs = 1]", ""),
       "Data set size out of range"},
      {"columns beyond int", DataSetText("[Rows = 1]\n[Inputs = 99999999999]", ""),
       "Data set size out of range"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchBuffer buffer;
    std::istringstream in(c.text);
    std::unique_ptr<Data> first = std::make_unique<Data>(1, 1, 1, false), second;
    EXPECT_FILE_ERROR(ReadDataSets(buffer, in, first, second), c.message);
    EXPECT_EQ(first, nullptr);
  }
}

TEST(Filer, FileAsLargeAsItClaimsStillMeetsTheBudget) {
  const std::string text = DataSetText("[Rows = 3]\n[Inputs = 1]", "1\n2\n3\n");
  EXPECT_EQ(ReadText(text, DataSetLimits{24}).status, SUCCESS);
  ScratchBuffer buffer;
  std::istringstream in(text);
  std::unique_ptr<Data> first, second;
  EXPECT_FILE_ERROR(ReadDataSets(buffer, in, first, second, DataSetLimits{23}),
                    "Data set exceeds the reader's limit of 23 bytes");
}

TEST(Filer, ShortestRowsAreNotMistakenForTooFewBytes) {
  // Numbers packed as tightly as the syntax allows, lists with no blanks.
  const Loaded packed = ReadText(
      "[DataSet][Rows=3][Inputs=1][ExpectedOutputs=Labels][GeneratedOutputs=1][Data]"
      "1[]2 3[]4 5[A]6[~Data][~DataSet]");
  ASSERT_EQ(packed.status, SUCCESS);
  EXPECT_EQ(packed.second->GetInputDatum(2, 0), 6.0);
  EXPECT_EQ(packed.first->GetLabels(2)->Count(), 1);
}

TEST(Filer, LoadDataSetWantsAFirstObjectOnly) {
  const std::string path = Path("one.dat");
  WriteFile(path, DataSetText("[Rows = 3]\n[Inputs = 2]\n[ExpectedOutputs = 1]",
                              "1 2 3\n4 5 6\n7 8 9\n"));
  ScratchBuffer buffer;
  std::unique_ptr<Data> data;
  ASSERT_EQ(LoadDataSet(buffer, path, data), SUCCESS);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->GetNumRows(), 3);
  EXPECT_EQ(data->GetNumDataRows(), 3);
  EXPECT_EQ(data->GetOutputDatum(2, 0), 9.0);

  WriteFile(path, DataSetText("[Rows = 1]\n[Inputs = 2]\n[ExpectedOutputs = 1]\n[Error = 1]",
                              "1 2 3 4\n"));
  EXPECT_EQ(LoadDataSet(buffer, path, data), ERR_FORMAT);
  EXPECT_EQ(data, nullptr);
}

TEST(Filer, FilesThatCannotBeOpenedAreReported) {
  ScratchBuffer buffer;
  std::unique_ptr<Data> first, second;
  const std::string missing = Path("no such folder/x.dat");
  const std::string folder = fs::path(Path("x")).parent_path().string();
  for (const std::string& path : {missing, folder}) {
    EXPECT_EQ(LoadDataSets(buffer, path, first, second), ERR_FILE_OPEN);
    std::int64_t offset = 0;
    EXPECT_EQ(LoadDataSetsRows(buffer, path, offset, 5, first, second), ERR_FILE_OPEN);
    EXPECT_EQ(IdentifyFile(buffer, path)->ToText(), "(error :type file-read-error)");
  }
  auto d = First(2);
  EXPECT_EQ(SaveDataSets(missing, d.get(), nullptr), ERR_FILE_OPEN);
  EXPECT_EQ(WriteDataSetHeader(missing, 1, 1, 1, 1, 1), ERR_FILE_OPEN);
  EXPECT_EQ(AppendDataRows(missing, d.get(), nullptr), ERR_FILE_OPEN);
  EXPECT_EQ(WriteDataSetTrailer(missing), ERR_FILE_OPEN);
}

TEST(Filer, WriteFailuresAreNotReportedAsSuccess) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  auto d = First(2000);
  EXPECT_EQ(SaveDataSets("/dev/full", d.get(), nullptr), ERR_FILE_WRITE);
  EXPECT_EQ(WriteDataSetHeader("/dev/full", 1, 1, 1, 1, 1), ERR_FILE_WRITE);
  EXPECT_EQ(AppendDataRows("/dev/full", d.get(), nullptr), ERR_FILE_WRITE);
  EXPECT_EQ(WriteDataSetTrailer("/dev/full"), ERR_FILE_WRITE);
}

TEST(Filer, SizeFaultsLeaveTheFileUntouched) {
  const std::string path = Path("size.dat");
  auto five = First(5);
  auto four = Second(4);
  const std::function<int()> calls[] = {
      [&] { return SaveDataSets(path, five.get(), four.get()); },
      [&] { return SaveDataSets(path, nullptr, nullptr); },
      [&] { return AppendDataRows(path, five.get(), four.get()); },
      [&] { return WriteDataSetHeader(path, 1, 1, 1, 1, -1); },
  };
  for (const auto& call : calls) {
    WriteFile(path, "untouched");
    EXPECT_EQ(call(), ERR_SIZE);
    EXPECT_EQ(ReadFile(path), "untouched");
  }
}

// A file of 100 rows: two inputs and one output, one generated output and
// one error; comments between some rows.
std::string HundredRows() {
  const std::string path = Path("hundred.dat");
  auto first = First(100);
  auto second = Second(100);
  EXPECT_EQ(SaveDataSets(path, first.get(), second.get()), SUCCESS);
  return path;
}

TEST(Filer, StretchesGiveTheSameRowsAsOneRead) {
  const std::string path = HundredRows();
  ScratchBuffer buffer;
  std::unique_ptr<Data> all, allSecond;
  std::int64_t offset = 0;
  ASSERT_EQ(LoadDataSetsRows(buffer, path, offset, 100, all, allSecond), SUCCESS);
  ASSERT_EQ(all->GetNumDataRows(), 100);
  const std::int64_t end = offset;

  for (int stretch : {50, 40, 1}) {
    SCOPED_TRACE(stretch);
    offset = 0;
    int row = 0;
    for (;;) {
      std::unique_ptr<Data> first, second;
      ASSERT_EQ(LoadDataSetsRows(buffer, path, offset, stretch, first, second), SUCCESS);
      ASSERT_NE(first, nullptr);
      ASSERT_NE(second, nullptr);
      const int n = first->GetNumDataRows();
      EXPECT_EQ(second->GetNumDataRows(), n);
      EXPECT_LE(n, stretch);
      if (n == 0) break;
      for (int r = 0; r < n; ++r, ++row) {
        EXPECT_EQ(first->GetInputDatum(r, 1), all->GetInputDatum(row, 1));
        EXPECT_EQ(first->GetOutputDatum(r, 0), all->GetOutputDatum(row, 0));
        EXPECT_EQ(second->GetOutputDatum(r, 0), allSecond->GetOutputDatum(row, 0));
      }
      ASSERT_LE(row, 100);
    }
    EXPECT_EQ(row, 100);
    EXPECT_EQ(offset, end);
  }
}

TEST(Filer, StretchesReadListsOfObjectsNotCreated) {
  const std::string path = Path("labelstretch.dat");
  Data labels(3, 0, 0, true), second(3, 1, 1, false);
  for (int r = 0; r < 3; ++r) {
    TLabelList list("L", r);
    const double g[] = {double(r)}, e[] = {r * 10.0};
    labels.AppendRow({}, {}, &list);
    second.AppendRow(g, e);
  }
  ASSERT_EQ(SaveDataSets(path, &labels, &second), SUCCESS);
  ScratchBuffer buffer;
  std::unique_ptr<Data> a, b, only;
  std::int64_t offset = 0;
  ASSERT_EQ(LoadDataSetsRows(buffer, path, offset, 2, a, b), SUCCESS);
  EXPECT_EQ(a, nullptr);
  ASSERT_EQ(b->GetNumDataRows(), 2);
  EXPECT_EQ(b->GetOutputDatum(1, 0), 10.0);
  ASSERT_EQ(LoadDataSetRows(buffer, path, offset, 2, only), SUCCESS);
  EXPECT_EQ(only, nullptr);
  // Room for the rows asked for, but never more than the file can hold.
  offset = 0;
  ASSERT_EQ(LoadDataSetsRows(buffer, path, offset, 5, a, b), SUCCESS);
  EXPECT_EQ(b->GetNumRows(), 5);
  EXPECT_EQ(b->GetNumDataRows(), 3);
  offset = 0;
  ASSERT_EQ(LoadDataSetsRows(buffer, path, offset, INT_MAX, a, b), SUCCESS);
  EXPECT_EQ(b->GetNumDataRows(), 3);
  EXPECT_LT(b->GetNumRows(), static_cast<int>(fs::file_size(path)));

  for (std::int64_t bad : {std::int64_t{-1}, std::int64_t{1} << 40}) {
    offset = bad;
    EXPECT_EQ(LoadDataSetsRows(buffer, path, offset, 2, a, b), ERR_SIZE);
  }
  offset = 0;
  EXPECT_EQ(LoadDataSetsRows(buffer, path, offset, -1, a, b), ERR_SIZE);
}

TEST(Filer, IdentifyFileTellsDataSetsFromNetworks) {
  ScratchBuffer buffer;
  const std::string path = Path("identify.dat");
  const struct {
    std::string text;
    const char* result;
  } cases[] = {
      {DataSetText("[Rows = 3]\n[Inputs = 2]\n[ExpectedOutputs = Labels]\n[Error = 1]", ""),
       "(data :rows 3 :inputs 2 :actual-outputs -1 :calc-outputs 0 :errors 1)"},
      {"[dataset]\n[Error = 1]\n[Inputs = 2]\n", "(error :type bad-header)"},
      {"/* a network */ [Network]\n", "network"},
      {"[FormatVersion = 1.0]\n[NeuralNetwork]\n[NetworkType = Mirk]\n", "network"},
      {"[MirkLabels]\n", "(error :type unknown-header :header MirkLabels)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.result);
    WriteFile(path, c.text);
    EXPECT_EQ(IdentifyFile(buffer, path)->ToText(), c.result);
  }
  WriteFile(path, "words first\n");
  EXPECT_FILE_ERROR(IdentifyFile(buffer, path), "start of block expected");
}

}  // namespace
}  // namespace mirk
