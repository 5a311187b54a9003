#include "FileHandler/Filer.h"

#include <algorithm>
#include <array>
#include <climits>
#include <filesystem>
#include <fstream>
#include <istream>
#include <limits>
#include <ostream>
#include <span>
#include <string_view>
#include <vector>

#include "Common/Check.h"
#include "Common/Exceptions.h"
#include "Common/NumberText.h"

namespace mirk {

namespace {

using Traits = std::char_traits<char>;
constexpr int kEof = Traits::eof();
constexpr int kSignificant = 15;
constexpr int kLabelDecimals = 9;

[[noreturn]] void Fail(std::istream& in, std::string message) {
  throw FileTools::Error(std::move(message), &in);
}

bool IsSeparator(int c) noexcept { return c < 0x21 || c > 0x7E || c == ','; }

bool IsSpecial(int c) noexcept {
  return c == '[' || c == ']' || c == '/' || c == '*' || c == '=' || c == '<' || c == '>';
}

bool IsSingleToken(std::string_view name) noexcept {
  if (name.empty()) return false;
  for (char ch : name) {
    const int c = static_cast<unsigned char>(ch);
    if (IsSeparator(c) || IsSpecial(c)) return false;
  }
  return true;
}

bool IsWritable(const TLabelList& labels) noexcept {
  const auto names = labels.Labels();
  return std::all_of(names.begin(), names.end(),
                     [](const TLabel& label) { return IsSingleToken(label.Name); });
}

// Puts back the character just consumed; a stream that cannot is treated as
// malformed rather than read from the wrong place.
void PutBack(std::istream& in) {
  if (in.rdbuf()->sungetc() == kEof) Fail(in, "Unexpected special character");
}

// Skips separators and comments; returns the next character without
// consuming it, or kEof.
int SkipBlank(ScratchBuffer& buffer, std::istream& in) {
  std::streambuf& sb = *in.rdbuf();
  for (;;) {
    const int c = sb.sgetc();
    if (c == kEof) return kEof;
    if (IsSeparator(c)) {
      sb.sbumpc();
      continue;
    }
    if (c != '/') return c;
    sb.sbumpc();
    if (sb.sgetc() != '*') {
      PutBack(in);
      return c;
    }
    sb.sbumpc();
    SkipComment(buffer, in);
  }
}

// After separators and comments: whether an end tag "[~" comes next. Nothing
// but the blanks is consumed.
bool AtEndTag(ScratchBuffer& buffer, std::istream& in) {
  if (SkipBlank(buffer, in) != '[') return false;
  std::streambuf& sb = *in.rdbuf();
  sb.sbumpc();
  const bool end = sb.sgetc() == '~';
  PutBack(in);
  return end;
}

// The parts of a label list after its "[".
TLabelList ReadLabelParts(ScratchBuffer& buffer, std::istream& in) {
  TLabelList list;
  std::streambuf& sb = *in.rdbuf();
  int c = sb.sgetc();
  while (c != kEof && IsSeparator(c)) {
    sb.sbumpc();
    c = sb.sgetc();
  }
  if (c == ']') {
    sb.sbumpc();
    return list;
  }
  Statement part;
  do {
    ReadStatement(buffer, in, kNoBlock, true, part);
    if (part.kind == StAssign) {
      list.AppendLabel(part.name, ParseNumber(buffer, in, part.value));
    } else {
      list.AppendLabel(part.name, 1.0);
    }
  } while (part.more);
  return list;
}

// ---- Sizes ------------------------------------------------------------------

// The header's layout of one row.
struct RowShape {
  int inputs = 0;            // of the first object
  int expected = 0;          // numbers, 0 when labels
  bool expectedLabels = false;
  int generated = 0;         // numbers, 0 when labels
  bool generatedLabels = false;
  int errors = 0;

  bool FirstExists() const noexcept { return inputs > 0 || expected > 0 || expectedLabels; }
  bool SecondExists() const noexcept { return generated > 0 || errors > 0 || generatedLabels; }
  std::uint64_t Numbers() const noexcept {
    return std::uint64_t(inputs) + std::uint64_t(expected) + std::uint64_t(generated) +
           std::uint64_t(errors);
  }
  std::uint64_t Lists() const noexcept {
    return unsigned(expectedLabels) + unsigned(generatedLabels);
  }
  // The fewest bytes a row can take: a number and what ends it, except that
  // a following list's "[" may end it; a list at least "[]".
  std::uint64_t MinBytes() const noexcept {
    const std::uint64_t n = Numbers(), l = Lists();
    return n + 2 * l + (n > l ? n - l : 0);
  }
};

RowShape ShapeOf(std::istream& in, const DataSetHeader& h) {
  const auto count = [&](long v) {
    if (v > INT_MAX) Fail(in, "Data set size out of range");
    return static_cast<int>(std::max(v, 0L));
  };
  RowShape s;
  s.inputs = count(h.inputs);
  s.expected = count(h.expectedOutputs);
  s.expectedLabels = h.expectedOutputs < 0;
  s.generated = count(h.generatedOutputs);
  s.generatedLabels = h.generatedOutputs < 0;
  s.errors = count(h.errors);
  return s;
}

// Bytes from the stream's position to its end, or -1 when it cannot tell.
std::int64_t RemainingBytes(std::istream& in) {
  std::streambuf& sb = *in.rdbuf();
  const auto here = sb.pubseekoff(0, std::ios::cur, std::ios::in);
  if (here == std::streampos(-1)) return -1;
  const auto end = sb.pubseekoff(0, std::ios::end, std::ios::in);
  sb.pubseekpos(here, std::ios::in);
  if (end == std::streampos(-1)) return -1;
  return static_cast<std::int64_t>(end - here);
}

// How many of `rows` rows fit the remaining bytes: all of them unless the
// file is too short for them.
std::int64_t RowsThatFit(const RowShape& shape, std::int64_t rows, std::int64_t remaining) {
  const std::uint64_t perRow = shape.MinBytes();
  if (perRow == 0 || remaining < 0) return rows;
  // The last number of the data may be ended by the end tag's "[".
  const std::uint64_t fit = (static_cast<std::uint64_t>(remaining) + 1) / perRow;
  return static_cast<std::int64_t>(std::min<std::uint64_t>(fit, static_cast<std::uint64_t>(rows)));
}

void CheckBudget(std::istream& in, const RowShape& shape, std::int64_t rows,
                 const DataSetLimits& limits) {
  const auto objectBytes = [&](int columns, bool labels) -> long double {
    return static_cast<long double>(rows) *
           (static_cast<long double>(columns) * sizeof(double) + (labels ? sizeof(TLabelList) : 0));
  };
  long double bytes = 0;
  if (shape.FirstExists())
    bytes += objectBytes(shape.inputs + shape.expected, shape.expectedLabels);
  if (shape.SecondExists())
    bytes += objectBytes(shape.generated + shape.errors, shape.generatedLabels);
  if (bytes > static_cast<long double>(limits.maxBytes))
    Fail(in, "Data set exceeds the reader's limit of " + std::to_string(limits.maxBytes) +
                 " bytes");
}

// ---- Rows ---------------------------------------------------------------------

// Reads rows into the objects (either may be null: its values are read and
// dropped). In a row, in the order the writer puts them: the inputs; the
// expected outputs or the first list; the generated outputs or the second
// list; the errors. A list that is not found in its place is read after the
// row's numbers, where older files put it.
class RowReader {
 public:
  RowReader(ScratchBuffer& buffer, std::istream& in, std::string_view block, const RowShape& shape,
            Data* first, Data* second)
      : buffer_(buffer), in_(in), block_(block), shape_(shape), first_(first), second_(second),
        in1_(static_cast<std::size_t>(shape.inputs)),
        out1_(static_cast<std::size_t>(shape.expected)),
        in2_(static_cast<std::size_t>(shape.generated)),
        out2_(static_cast<std::size_t>(shape.errors)) {}

  void ReadRow() {
    bool late1 = false, late2 = false;
    ReadNumbers(in1_);
    if (shape_.expectedLabels) {
      late1 = !ListHere(list1_);
    } else {
      ReadNumbers(out1_);
    }
    if (shape_.generatedLabels) {
      late2 = !ListHere(list2_);
    } else {
      ReadNumbers(in2_);
    }
    ReadNumbers(out2_);
    if (late1) list1_ = ReadLabelList(buffer_, in_);
    if (late2) list2_ = ReadLabelList(buffer_, in_);
    if (first_ != nullptr)
      first_->AppendRow(in1_, out1_, shape_.expectedLabels ? &list1_ : nullptr);
    if (second_ != nullptr)
      second_->AppendRow(in2_, out2_, shape_.generatedLabels ? &list2_ : nullptr);
  }

 private:
  void ReadNumbers(std::vector<double>& values) {
    for (double& v : values) {
      ReadStatement(buffer_, in_, block_, false, st_);
      v = GetNumberToken(buffer_, in_, st_);
    }
  }

  // Reads a list when one starts here.
  bool ListHere(TLabelList& list) {
    if (SkipBlank(buffer_, in_) != '[') return false;
    std::streambuf& sb = *in_.rdbuf();
    sb.sbumpc();
    if (sb.sgetc() == '~') {
      PutBack(in_);
      return false;
    }
    list = ReadLabelParts(buffer_, in_);
    return true;
  }

  ScratchBuffer& buffer_;
  std::istream& in_;
  std::string_view block_;
  const RowShape& shape_;
  Data* first_;
  Data* second_;
  std::vector<double> in1_, out1_, in2_, out2_;
  TLabelList list1_, list2_;
  Statement st_;
};

std::unique_ptr<Data> NewFirst(const RowShape& s, int rows) {
  return std::make_unique<Data>(rows, s.inputs, s.expected, s.expectedLabels);
}
std::unique_ptr<Data> NewSecond(const RowShape& s, int rows) {
  return std::make_unique<Data>(rows, s.generated, s.errors, s.generatedLabels);
}

// The start of a data set file up to and including the data block's start
// tag. Returns the data set block's name as written; `data` receives the
// data block's.
std::string ReadUpToData(ScratchBuffer& buffer, std::istream& in, DataSetHeader& header,
                         std::string& data) {
  Statement st = ReadStatement(buffer, in, kNoBlock, false);
  std::string dataSet = ExpectBlockStart(buffer, in, st, "DATASET");
  ReadDataSetHeader(buffer, in, dataSet, header, st);  // a bad header fails just below
  data = ExpectBlockStart(buffer, in, st, "DATA");
  if (header.rows < 0) Fail(in, "[Rows = <integer>] expected");
  return dataSet;
}

bool OpenForReading(std::ifstream& file, std::vector<char>& streamBuffer,
                    const std::string& fileName) {
  // Data sets run to hundreds of megabytes: read in large pieces.
  streamBuffer.resize(std::size_t{1} << 18);
  file.rdbuf()->pubsetbuf(streamBuffer.data(), static_cast<std::streamsize>(streamBuffer.size()));
  file.open(fileName, std::ios::in | std::ios::binary);
  // A directory opens as a stream that reads nothing.
  std::error_code ec;
  return file.is_open() && !std::filesystem::is_directory(fileName, ec);
}

// ---- Writing ----------------------------------------------------------------------

[[noreturn]] void RejectLabelName(const char* where) {
  throw TException("Label name is not a single token", "Bad Parameter", where);
}

void CheckLabelNames(const Data* d, const char* where) {
  if (d == nullptr || !d->HasLabels()) return;
  for (int r = 0; r < d->GetNumRows(); ++r)
    if (!IsWritable(*d->GetLabels(r))) RejectLabelName(where);
}

void AppendLabelList(std::string& line, const TLabelList& labels) {
  line += '[';
  // "[~" would read as an end tag.
  if (!labels.Empty() && labels.Labels().front().Name.front() == '~') line += ' ';
  for (const TLabel& label : labels.Labels()) {
    line += label.Name;
    if (label.Value != 1.0) {
      line += '=';
      AppendFixed(line, label.Value, kLabelDecimals);
    }
    line += ' ';
  }
  line += "] ";
}

// The row count of what is written, or ERR_SIZE.
int RowsToWrite(const Data* first, const Data* second, int& rows) {
  rows = -1;
  if (first != nullptr) {
    rows = first->GetNumRows();
    MIRK_CHECK(!first->HasLabels() || first->GetNumOutputs() == 0);
  }
  if (second != nullptr) {
    if (first != nullptr && second->GetNumRows() != rows) return ERR_SIZE;
    rows = second->GetNumRows();
    MIRK_CHECK(!second->HasLabels() || second->GetNumInputs() == 0);
  }
  return rows < 0 ? ERR_SIZE : SUCCESS;
}

void WriteHeaderTo(std::ostream& out, int inputs, int expected, int generated, int errors,
                   int rows) {
  ScratchBuffer b;
  const auto outputs = [&](std::string_view key, int value) {
    if (value == kLabelColumns) {
      WriteStringEntry(b, out, key, "Labels", true);
    } else {
      WriteIntegerEntry(b, out, key, value, true);
    }
  };
  WriteFormatVersion(b, out);
  WriteBlockStart(b, out, "DataSet", true);
  WriteIntegerEntry(b, out, "Rows", rows, true);
  WriteIntegerEntry(b, out, "Inputs", inputs, true);
  outputs("ExpectedOutputs", expected);
  outputs("GeneratedOutputs", generated);
  WriteIntegerEntry(b, out, "Error", errors, true);
  WriteNewLine(b, out);
  WriteBlockStart(b, out, "Data", true);
}

void AppendRowsTo(std::ostream& out, const Data* first, const Data* second, int rows) {
  std::string text;
  std::vector<double> values;
  const auto numbers = [&](const Data& d, int row, bool inputs) {
    values.resize(static_cast<std::size_t>(inputs ? d.GetNumInputs() : d.GetNumOutputs()));
    if (inputs) {
      d.GetInputRow(row, values);
    } else {
      d.GetOutputRow(row, values);
    }
    for (double v : values) {
      AppendGeneralFinite(text, v, kSignificant);
      text += ' ';
    }
  };
  for (int r = 0; r < rows; ++r) {
    if (first != nullptr) {
      numbers(*first, r, true);
      text += "  ";
      if (first->HasLabels()) {
        AppendLabelList(text, *first->GetLabels(r));
      } else {
        numbers(*first, r, false);
      }
    }
    if (second != nullptr) {
      text += "  ";
      if (second->HasLabels()) {
        AppendLabelList(text, *second->GetLabels(r));
      } else {
        numbers(*second, r, true);
      }
      text += "  ";
      numbers(*second, r, false);
    }
    text += '\n';
    if (text.size() >= (std::size_t{1} << 16)) {
      out.write(text.data(), static_cast<std::streamsize>(text.size()));
      text.clear();
    }
  }
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void WriteTrailerTo(std::ostream& out) {
  ScratchBuffer b;
  WriteBlockEnd(b, out, "Data");
  WriteNewLine(b, out);
  WriteBlockEnd(b, out, "DataSet");
}

// Closes the file and tells whether everything reached it.
int Finish(std::ofstream& file) {
  file.close();
  return file.fail() ? ERR_FILE_WRITE : SUCCESS;
}

// The whole file to `out`, which `open` readies once the arguments are
// known to be good.
template <typename Open>
int WriteWhole(std::ostream& out, const Data* first, const Data* second, const char* where,
               Open open) {
  int rows = 0;
  if (const int status = RowsToWrite(first, second, rows); status != SUCCESS) return status;
  CheckLabelNames(first, where);
  CheckLabelNames(second, where);
  int inputs = 0, expected = 0, generated = 0, errors = 0;
  if (first != nullptr) {
    inputs = first->GetNumInputs();
    expected = first->HasLabels() ? kLabelColumns : first->GetNumOutputs();
  }
  if (second != nullptr) {
    generated = second->HasLabels() ? kLabelColumns : second->GetNumInputs();
    errors = second->GetNumOutputs();
  }
  if (!open()) return ERR_FILE_OPEN;
  WriteHeaderTo(out, inputs, expected, generated, errors, rows);
  AppendRowsTo(out, first, second, rows);
  WriteTrailerTo(out);
  return out.good() ? SUCCESS : ERR_FILE_WRITE;
}

}  // namespace

// ---- Reading ------------------------------------------------------------------------

int ReadDataSetHeader(ScratchBuffer& buffer, std::istream& in, std::string_view block,
                      DataSetHeader& header, Statement& next) {
  static constexpr std::array<std::string_view, 4> kOrdered = {"Inputs", "ExpectedOutputs",
                                                               "GeneratedOutputs", "Error"};
  header = DataSetHeader{};
  std::size_t nextKey = 0;
  for (ReadStatement(buffer, in, block, false, next); next.kind == StAssign;
       ReadStatement(buffer, in, block, false, next)) {
    if (next.more) return ERR_FORMAT;
    const bool rows = strcasecmp(next.name, "Rows") == 0;
    std::size_t key = 0;
    if (!rows) {
      while (key < kOrdered.size() && strcasecmp(next.name, kOrdered[key]) != 0) ++key;
      if (key == kOrdered.size() || key < nextKey) return ERR_FORMAT;
      nextKey = key + 1;
    }
    const long value = strcasecmp(next.value, "Labels") == 0
                           ? kLabelColumns
                           : ParseInteger(buffer, in, next.value);
    const bool numeric = rows || key == 0 || key == 3;
    if (numeric && value < 0) Fail(in, "No labels in inputs");
    if (rows) {
      header.rows = value;
      continue;
    }
    switch (key) {
      case 0: header.inputs = value; break;
      case 1: header.expectedOutputs = std::max(value, kLabelColumns); break;
      case 2: header.generatedOutputs = std::max(value, kLabelColumns); break;
      default: header.errors = value; break;
    }
  }
  return SUCCESS;
}

TLabelList ReadLabelList(ScratchBuffer& buffer, std::istream& in) {
  if (SkipBlank(buffer, in) != '[') Fail(in, "Label list expected");
  in.rdbuf()->sbumpc();
  if (in.rdbuf()->sgetc() == '~') Fail(in, "Label list expected");
  return ReadLabelParts(buffer, in);
}

int ReadDataSets(ScratchBuffer& buffer, std::istream& in, std::unique_ptr<Data>& first,
                 std::unique_ptr<Data>& second, const DataSetLimits& limits) {
  first.reset();
  second.reset();
  DataSetHeader header;
  std::string data;
  const std::string dataSet = ReadUpToData(buffer, in, header, data);
  const RowShape shape = ShapeOf(in, header);
  if (header.rows > INT_MAX) Fail(in, "Data set size out of range");
  const int rows = static_cast<int>(header.rows);
  if (RowsThatFit(shape, rows, RemainingBytes(in)) < rows)
    Fail(in, "Data set declares more rows than the file holds");
  CheckBudget(in, shape, rows, limits);

  std::unique_ptr<Data> a, b;
  if (shape.FirstExists()) a = NewFirst(shape, rows);
  if (shape.SecondExists()) b = NewSecond(shape, rows);
  if (a || b) {
    RowReader reader(buffer, in, data, shape, a.get(), b.get());
    for (int r = 0; r < rows; ++r) reader.ReadRow();
  }
  Statement st;
  ReadStatement(buffer, in, data, false, st);
  ExpectBlockEnd(buffer, in, st);
  ReadStatement(buffer, in, dataSet, false, st);
  ExpectBlockEnd(buffer, in, st);
  ReadStatement(buffer, in, kNoBlock, false, st);
  ExpectBlockEnd(buffer, in, st);

  if (a) a->SetCurrentRow(a->GetLastRow());
  if (b) b->SetCurrentRow(b->GetLastRow());
  first = std::move(a);
  second = std::move(b);
  return SUCCESS;
}

int LoadDataSets(ScratchBuffer& buffer, const std::string& fileName, std::unique_ptr<Data>& first,
                 std::unique_ptr<Data>& second, std::unique_ptr<TKQstructure> params,
                 const DataSetLimits& limits) {
  params.reset();
  first.reset();
  second.reset();
  std::vector<char> streamBuffer;
  std::ifstream file;
  if (!OpenForReading(file, streamBuffer, fileName)) return ERR_FILE_OPEN;
  return ReadDataSets(buffer, file, first, second, limits);
}

int LoadDataSet(ScratchBuffer& buffer, const std::string& fileName, std::unique_ptr<Data>& data,
                const DataSetLimits& limits) {
  std::unique_ptr<Data> second;
  const int status = LoadDataSets(buffer, fileName, data, second, nullptr, limits);
  if (status == SUCCESS && second) {
    data.reset();
    return ERR_FORMAT;
  }
  return status;
}

int LoadDataSetsRows(ScratchBuffer& buffer, const std::string& fileName, std::int64_t& offset,
                     int rowCount, std::unique_ptr<Data>& first, std::unique_ptr<Data>& second,
                     const DataSetLimits& limits) {
  first.reset();
  second.reset();
  if (offset < 0 || rowCount < 0) return ERR_SIZE;
  std::vector<char> streamBuffer;
  std::ifstream file;
  if (!OpenForReading(file, streamBuffer, fileName)) return ERR_FILE_OPEN;
  DataSetHeader header;
  std::string data;
  ReadUpToData(buffer, file, header, data);
  const RowShape shape = ShapeOf(file, header);
  const std::int64_t start = file.tellg();
  const std::int64_t remaining = RemainingBytes(file);
  if (start < 0 || remaining < 0 || offset > remaining) return ERR_SIZE;
  file.seekg(offset, std::ios::cur);
  const int rows = static_cast<int>(RowsThatFit(shape, rowCount, remaining - offset));
  CheckBudget(file, shape, rows, limits);

  std::unique_ptr<Data> a, b;
  if (shape.inputs > 0 || shape.expected > 0) a = NewFirst(shape, rows);
  if (shape.generated > 0 || shape.errors > 0) b = NewSecond(shape, rows);
  RowReader reader(buffer, file, data, shape, a.get(), b.get());
  for (int r = 0; shape.MinBytes() > 0 && r < rowCount && !AtEndTag(buffer, file); ++r) {
    // More rows than the bytes could hold means the file is malformed.
    if (r == rows) Fail(file, "Data set declares more rows than the file holds");
    reader.ReadRow();
  }
  // The offset names the next row's first character, however the stretch
  // ended, so that stretches of any length meet at the same places.
  SkipBlank(buffer, file);
  offset = static_cast<std::int64_t>(file.tellg()) - start;

  if (a) a->SetCurrentRow(a->GetLastRow());
  if (b) b->SetCurrentRow(b->GetLastRow());
  first = std::move(a);
  second = std::move(b);
  return SUCCESS;
}

int LoadDataSetRows(ScratchBuffer& buffer, const std::string& fileName, std::int64_t& offset,
                    int rowCount, std::unique_ptr<Data>& data, const DataSetLimits& limits) {
  std::unique_ptr<Data> second;
  return LoadDataSetsRows(buffer, fileName, offset, rowCount, data, second, limits);
}

std::unique_ptr<TKQstructure> IdentifyFile(ScratchBuffer& buffer, const std::string& fileName) {
  std::vector<char> streamBuffer;
  std::ifstream file;
  if (!OpenForReading(file, streamBuffer, fileName)) return KQNewError("file-read-error");
  const Statement st = ReadStatement(buffer, file, kNoBlock, false);
  const std::string block = ExpectBlockStart(buffer, file, st, kNoBlock);
  if (strcasecmp(block, "DataSet") == 0) {
    DataSetHeader h;
    Statement next;
    if (ReadDataSetHeader(buffer, file, block, h, next) != SUCCESS) return KQNewError("bad-header");
    auto result = std::make_unique<TKQstructure>("data");
    result->SetInteger("rows", h.rows);
    result->SetInteger("inputs", h.inputs);
    result->SetInteger("actual-outputs", h.expectedOutputs);
    result->SetInteger("calc-outputs", h.generatedOutputs);
    result->SetInteger("errors", h.errors);
    return result;
  }
  if (strcasecmp(block, "Network") == 0 || strcasecmp(block, "NeuralNetwork") == 0)
    return std::make_unique<TKQstructure>("network");
  auto error = KQNewError("unknown-header");
  error->SetString("header", block);
  return error;
}

// ---- Writing --------------------------------------------------------------------------

void WriteLabelList(std::ostream& out, const TLabelList& labels) {
  if (!IsWritable(labels)) RejectLabelName("WriteLabelList");
  std::string text;
  AppendLabelList(text, labels);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

int WriteDataSetHeader(const std::string& fileName, int inputs, int expectedOutputs,
                       int generatedOutputs, int errors, int rows) {
  if (rows < 0) return ERR_SIZE;
  std::ofstream file(fileName, std::ios::out | std::ios::trunc | std::ios::binary);
  if (!file) return ERR_FILE_OPEN;
  WriteHeaderTo(file, inputs, expectedOutputs, generatedOutputs, errors, rows);
  return Finish(file);
}

int AppendDataRows(const std::string& fileName, const Data* first, const Data* second,
                   std::unique_ptr<TKQstructure> params) {
  params.reset();
  int rows = 0;
  if (const int status = RowsToWrite(first, second, rows); status != SUCCESS) return status;
  CheckLabelNames(first, "AppendDataRows");
  CheckLabelNames(second, "AppendDataRows");
  std::ofstream file(fileName, std::ios::out | std::ios::app | std::ios::binary);
  if (!file) return ERR_FILE_OPEN;
  AppendRowsTo(file, first, second, rows);
  return Finish(file);
}

int WriteDataSetTrailer(const std::string& fileName) {
  std::ofstream file(fileName, std::ios::out | std::ios::app | std::ios::binary);
  if (!file) return ERR_FILE_OPEN;
  WriteTrailerTo(file);
  return Finish(file);
}

int WriteDataSets(std::ostream& out, const Data* first, const Data* second) {
  return WriteWhole(out, first, second, "WriteDataSets", [] { return true; });
}

int SaveDataSets(const std::string& fileName, const Data* first, const Data* second,
                 std::unique_ptr<TKQstructure> params) {
  params.reset();
  std::ofstream file;
  const int status = WriteWhole(file, first, second, "SaveDataSets", [&] {
    file.open(fileName, std::ios::out | std::ios::trunc | std::ios::binary);
    return file.is_open();
  });
  if (status != SUCCESS) return status;
  return Finish(file);
}

}  // namespace mirk
