// Reads arbitrary text as a data set file and as a label list. A malformed
// text must end in a FileTools::Error or a status code, never in a crash, an
// abort, a TException or an allocation the text only announces. What loads
// is written and read again: the second reading matches the first (same
// shape and labels, numbers to the digits written), writes the same bytes,
// and reading the file in stretches gives the same rows as one read.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

#include "Common/Exceptions.h"
#include "Common/NumberText.h"
#include "DataObject/Data.h"
#include "FileHandler/Filer.h"

namespace {

using namespace mirk;

// Small enough that no input can exhaust the fuzzer's memory limit.
const DataSetLimits kLimits{std::uint64_t{1} << 26};

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "round trip: %s\n", what);
    std::abort();
  }
}

bool SameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

bool SameList(const TLabelList& a, const TLabelList& b) {
  if (a.Count() != b.Count()) return false;
  for (int i = 0; i < a.Count(); ++i)
    if (a.Labels()[i].Name != b.Labels()[i].Name ||
        !SameBits(a.Labels()[i].Value, b.Labels()[i].Value))
      return false;
  return true;
}

// a as written (15 digits, 9 decimals in lists) and read back is b.
bool Close(double a, double b, double tolerance) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  if (std::isinf(a) || std::isinf(b)) return a == b;
  return std::fabs(a - b) <= tolerance * std::fmax(1.0, std::fabs(a)) || std::fabs(a - b) < 1e-300;
}

bool SameShape(const Data* a, const Data* b) {
  if (a == nullptr || b == nullptr) return a == b;
  return a->GetNumRows() == b->GetNumRows() && a->GetNumInputs() == b->GetNumInputs() &&
         a->GetNumOutputs() == b->GetNumOutputs() && a->HasLabels() == b->HasLabels() &&
         a->GetNumDataRows() == b->GetNumDataRows();
}

// Every allocated row of b matches a's: exactly, or within what the
// writer's digits keep.
bool Matches(const Data* a, const Data* b, bool exact) {
  if (!SameShape(a, b)) return false;
  if (a == nullptr) return true;
  const auto same = [&](double x, double y, double tolerance) {
    return exact ? SameBits(x, y) : Close(x, y, tolerance);
  };
  for (int r = 0; r < a->GetNumRows(); ++r) {
    for (int c = 0; c < a->GetNumInputs(); ++c)
      if (!same(a->GetInputDatum(r, c), b->GetInputDatum(r, c), 1e-14)) return false;
    for (int c = 0; c < a->GetNumOutputs(); ++c)
      if (!same(a->GetOutputDatum(r, c), b->GetOutputDatum(r, c), 1e-14)) return false;
    if (!a->HasLabels()) continue;
    const auto la = a->GetLabels(r)->Labels(), lb = b->GetLabels(r)->Labels();
    if (la.size() != lb.size()) return false;
    for (std::size_t i = 0; i < la.size(); ++i)
      if (la[i].Name != lb[i].Name || !same(la[i].Value, lb[i].Value, 1e-9)) return false;
  }
  return true;
}

// A list value written with 9 decimals that reads back as exactly 1.0 is
// written bare the second time: the only way two writings may differ.
bool HasNearOne(const Data* d) {
  if (d == nullptr || !d->HasLabels()) return false;
  for (int r = 0; r < d->GetNumRows(); ++r)
    for (const TLabel& label : d->GetLabels(r)->Labels())
      if (label.Value != 1.0 && FormatFixed(label.Value, 9) == "1.000000000") return true;
  return false;
}

std::string Write(const Data* first, const Data* second) {
  std::ostringstream out;
  Check(WriteDataSets(out, first, second) == SUCCESS, "write");
  return out.str();
}

void Read(const std::string& text, std::unique_ptr<Data>& first, std::unique_ptr<Data>& second) {
  ScratchBuffer buffer;
  std::istringstream in(text);
  Check(ReadDataSets(buffer, in, first, second, kLimits) == SUCCESS, "read back");
}

// Reads the text from a file in stretches of `stretch` rows and compares
// each row with the whole read. Stretches create only objects with columns.
void CheckStretches(const std::string& text, int stretch, const Data* first, const Data* second) {
  const auto kept = [](const Data* d) {
    return d != nullptr && (d->GetNumInputs() > 0 || d->GetNumOutputs() > 0) ? d : nullptr;
  };
  first = kept(first);
  second = kept(second);
  if (!first && !second) return;
  const int rows = (first ? first : second)->GetNumRows();
  static const std::string path = "/tmp/mirk_fuzz_dataset_" + std::to_string(getpid());
  {
    std::ofstream out(path, std::ios::binary);
    out << text;
  }
  ScratchBuffer buffer;
  std::int64_t offset = 0;
  int row = 0;
  for (;;) {
    std::unique_ptr<Data> a, b;
    Check(LoadDataSetsRows(buffer, path, offset, stretch, a, b, kLimits) == SUCCESS, "stretch");
    Check((a != nullptr) == (first != nullptr) && (b != nullptr) == (second != nullptr),
          "stretch objects");
    const int n = (a ? a : b)->GetNumDataRows();
    if (n == 0) break;
    Check(n <= stretch, "stretch too long");
    for (int r = 0; r < n; ++r, ++row) {
      Check(row < rows, "more rows in stretches");
      const auto same = [&](const Data* whole, const Data* part) {
        if (part == nullptr) return;
        for (int c = 0; c < part->GetNumInputs(); ++c)
          Check(SameBits(whole->GetInputDatum(row, c), part->GetInputDatum(r, c)), "stretch input");
        for (int c = 0; c < part->GetNumOutputs(); ++c)
          Check(SameBits(whole->GetOutputDatum(row, c), part->GetOutputDatum(r, c)),
                "stretch output");
        if (part->HasLabels())
          Check(SameList(*whole->GetLabels(row), *part->GetLabels(r)), "stretch list");
      };
      same(first, a.get());
      same(second, b.get());
    }
  }
  Check(row == rows, "fewer rows in stretches");
}

void FuzzLabelList(const std::string& text) {
  ScratchBuffer buffer;
  std::istringstream in(text);
  TLabelList list;
  try {
    list = ReadLabelList(buffer, in);
  } catch (const FileTools::Error&) {
    return;
  }
  std::ostringstream out;
  WriteLabelList(out, list);
  std::istringstream again(out.str());
  const TLabelList back = ReadLabelList(buffer, again);
  Check(back.Count() == list.Count(), "list count");
  for (int i = 0; i < list.Count(); ++i) {
    Check(back.Labels()[i].Name == list.Labels()[i].Name, "list name");
    Check(Close(list.Labels()[i].Value, back.Labels()[i].Value, 1e-9), "list value");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  FuzzLabelList(text);

  ScratchBuffer buffer;
  std::istringstream in(text);
  std::unique_ptr<Data> first, second;
  try {
    if (ReadDataSets(buffer, in, first, second, kLimits) != SUCCESS) return 0;
  } catch (const FileTools::Error&) {
    return 0;
  }
  if (!first && !second) return 0;

  const std::string written = Write(first.get(), second.get());
  std::unique_ptr<Data> first2, second2;
  Read(written, first2, second2);
  Check(Matches(first.get(), first2.get(), false), "first object");
  Check(Matches(second.get(), second2.get(), false), "second object");
  const std::string again = Write(first2.get(), second2.get());
  if (!HasNearOne(first.get()) && !HasNearOne(second.get())) Check(again == written, "bytes");
  std::unique_ptr<Data> first3, second3;
  Read(again, first3, second3);
  Check(Matches(first2.get(), first3.get(), true), "first object again");
  Check(Matches(second2.get(), second3.get(), true), "second object again");

  CheckStretches(text, 1 + static_cast<int>(size % 7), first.get(), second.get());
  return 0;
}
