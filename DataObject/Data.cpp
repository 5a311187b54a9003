#include "DataObject/Data.h"

#include <algorithm>
#include <cstddef>
#include <limits>

#include "Common/Check.h"
#include "Common/Exceptions.h"

namespace mirk {

namespace {

constexpr const char* kBadParameter = "Bad Parameter";

[[noreturn]] void Reject(const char* message, const char* where) {
  throw TException(message, kBadParameter, where);
}

// The non-negative remainder of a / m, m > 0.
std::int64_t Wrap(std::int64_t a, std::int64_t m) noexcept {
  const std::int64_t r = a % m;
  return r < 0 ? r + m : r;
}

// An empty span asks for nothing; otherwise it must hold `needed` values.
void CheckArray(std::size_t size, int needed, const char* where) {
  if (size != 0 && size < static_cast<std::size_t>(needed)) Reject("Array too short", where);
}

void CheckColumns(std::span<const int> columns, int count, const char* message,
                  const char* where) {
  for (int c : columns)
    if (c < 0 || c >= count) Reject(message, where);
}

void CopyColumns(const double* row, std::span<double> dest, std::span<const int> columns) {
  for (std::size_t k = 0; k < columns.size(); ++k) dest[k] = row[columns[k]];
}

void CopyAll(const double* row, int count, std::span<double> dest, const char* where) {
  if (dest.size() < static_cast<std::size_t>(count)) Reject("Array too short", where);
  std::copy_n(row, count, dest.data());
}

void CopySelected(const double* row, int count, std::span<double> dest,
                  std::span<const int> columns, const char* message, const char* where) {
  CheckColumns(columns, count, message, where);
  if (dest.size() < columns.size()) Reject("Array too short", where);
  CopyColumns(row, dest, columns);
}

}  // namespace

Data::Data(int rows, int inputs, int outputs, bool keepLabels)
    : MbrNdxRows(rows),
      MbrNdxInputs(std::max(inputs, 0)),
      MbrNdxOutputs(std::max(outputs, 0)),
      MbrFlgLabels(keepLabels) {
  if (rows < 0) Reject("Invalid Data Size", "Data::Data");
  const std::size_t stride =
      static_cast<std::size_t>(MbrNdxInputs) + static_cast<std::size_t>(MbrNdxOutputs);
  // Two int factors cannot overflow 64 bits; the vector's own limit can be hit.
  const std::size_t cells = static_cast<std::size_t>(rows) * stride;
  if (cells > MbrDyaCells.max_size()) Reject("Invalid Data Size", "Data::Data");
  MbrDyaCells.assign(cells, 0.0);
  if (keepLabels) MbrDyaLabels.resize(static_cast<std::size_t>(rows));
}

Data::~Data() = default;

std::unique_ptr<Data> Data::Clone() const { return std::unique_ptr<Data>(new Data(*this)); }

void Data::SetCurrentRow(int row) {
  if (!IsValidRow(row) && !(row == 0 && MbrNdxRows == 0))
    Reject("Invalid Data Row", "Data::SetCurrentRow");
  MbrNdxCurrentRow = row;
}

double* Data::Inputs(int row) noexcept {
  return MbrDyaCells.data() + static_cast<std::size_t>(row) * (MbrNdxInputs + MbrNdxOutputs);
}
const double* Data::Inputs(int row) const noexcept {
  return MbrDyaCells.data() + static_cast<std::size_t>(row) * (MbrNdxInputs + MbrNdxOutputs);
}
double* Data::Outputs(int row) noexcept { return Inputs(row) + MbrNdxInputs; }
const double* Data::Outputs(int row) const noexcept { return Inputs(row) + MbrNdxInputs; }

void Data::CheckRow(int row, const char* where) const {
  if (!IsValidRow(row)) Reject("Invalid Data Row", where);
}

void Data::Changed() noexcept {
  // Wraps: the conversion back to a signed value is modular.
  MbrNdxChanges = static_cast<std::int32_t>(static_cast<std::uint32_t>(MbrNdxChanges) + 1u);
}

double Data::GetInputDatum(int row, int column) const {
  CheckRow(row, "Data::GetInputDatum");
  if (column < 0 || column >= MbrNdxInputs)
    Reject("Invalid Input Data Column", "Data::GetInputDatum");
  return Inputs(row)[column];
}

double Data::GetOutputDatum(int row, int column) const {
  CheckRow(row, "Data::GetOutputDatum");
  if (column < 0 || column >= MbrNdxOutputs)
    Reject("Invalid Output Data Column", "Data::GetOutputDatum");
  return Outputs(row)[column];
}

void Data::SetInputDatum(int row, int column, double value) {
  CheckRow(row, "Data::SetInputDatum");
  if (column < 0 || column >= MbrNdxInputs)
    Reject("Invalid Input Data Column", "Data::SetInputDatum");
  Inputs(row)[column] = value;
  Changed();
}

void Data::SetOutputDatum(int row, int column, double value) {
  CheckRow(row, "Data::SetOutputDatum");
  if (column < 0 || column >= MbrNdxOutputs)
    Reject("Invalid Output Data Column", "Data::SetOutputDatum");
  Outputs(row)[column] = value;
  Changed();
}

const TLabelList* Data::GetLabels(int row) const {
  CheckRow(row, "Data::GetLabels");
  return MbrFlgLabels ? &MbrDyaLabels[static_cast<std::size_t>(row)] : nullptr;
}

void Data::CheckLabelStore(const TLabelList* labels, const char* where) const {
  // Dropping labels silently would report a failure as success.
  if (labels != nullptr && !MbrFlgLabels) Reject("Object keeps no labels", where);
}

void Data::SetLabels(int row, const TLabelList* labels) {
  CheckRow(row, "Data::SetLabels");
  CheckLabelStore(labels, "Data::SetLabels");
  if (!MbrFlgLabels) return;
  TLabelList& list = MbrDyaLabels[static_cast<std::size_t>(row)];
  if (labels == nullptr) {
    list.Clear();
  } else {
    list = *labels;
  }
  Changed();
}

void Data::ClearLabels(int row) {
  CheckRow(row, "Data::ClearLabels");
  if (!MbrFlgLabels) return;
  MbrDyaLabels[static_cast<std::size_t>(row)].Clear();
  Changed();
}

void Data::AppendLabel(int row, double value, std::string_view name) {
  CheckRow(row, "Data::AppendLabel");
  if (!MbrFlgLabels) Reject("Object keeps no labels", "Data::AppendLabel");
  MbrDyaLabels[static_cast<std::size_t>(row)].AppendLabel(name, value);
  Changed();
}

void Data::StoreRow(int row, std::span<const double> inputs, std::span<const double> outputs,
                    const TLabelList* labels) {
  if (!inputs.empty()) std::copy_n(inputs.data(), MbrNdxInputs, Inputs(row));
  if (!outputs.empty()) std::copy_n(outputs.data(), MbrNdxOutputs, Outputs(row));
  if (MbrFlgLabels) {
    TLabelList& list = MbrDyaLabels[static_cast<std::size_t>(row)];
    if (labels == nullptr) {
      list.Clear();
    } else {
      list = *labels;
    }
  }
  Changed();
}

void Data::SetRow(int row, std::span<const double> inputs, std::span<const double> outputs,
                  const TLabelList* labels) {
  CheckRow(row, "Data::SetRow");
  CheckArray(inputs.size(), MbrNdxInputs, "Data::SetRow");
  CheckArray(outputs.size(), MbrNdxOutputs, "Data::SetRow");
  CheckLabelStore(labels, "Data::SetRow");
  StoreRow(row, inputs, outputs, labels);
}

void Data::GetInputRow(int row, std::span<double> dest) const {
  CheckRow(row, "Data::GetInputRow");
  CopyAll(Inputs(row), MbrNdxInputs, dest, "Data::GetInputRow");
}

void Data::GetInputRow(int row, std::span<double> dest, std::span<const int> columns) const {
  CheckRow(row, "Data::GetInputRow");
  CopySelected(Inputs(row), MbrNdxInputs, dest, columns, "Invalid Input Data Column",
               "Data::GetInputRow");
}

void Data::GetOutputRow(int row, std::span<double> dest) const {
  CheckRow(row, "Data::GetOutputRow");
  CopyAll(Outputs(row), MbrNdxOutputs, dest, "Data::GetOutputRow");
}

void Data::GetOutputRow(int row, std::span<double> dest, std::span<const int> columns) const {
  CheckRow(row, "Data::GetOutputRow");
  CopySelected(Outputs(row), MbrNdxOutputs, dest, columns, "Invalid Output Data Column",
               "Data::GetOutputRow");
}

void Data::GetBlock(std::span<const std::span<double>> inRows,
                    std::span<const std::span<double>> outRows, int from, int to,
                    int& count) const {
  count = 0;
  if (!IsValidRow(from)) Reject("Data Block Fault", "Data::GetBlock");
  to = std::min(to, MbrNdxLastRow);
  if (from > to) return;
  const std::size_t rows = static_cast<std::size_t>(to - from) + 1;
  const auto tooShort = [&](std::span<const std::span<double>> dest, int columns) {
    if (dest.empty()) return false;
    if (dest.size() < rows) return true;
    return std::any_of(dest.begin(), dest.begin() + static_cast<std::ptrdiff_t>(rows),
                       [&](std::span<double> d) {
                         return d.size() < static_cast<std::size_t>(columns);
                       });
  };
  if (tooShort(inRows, MbrNdxInputs) || tooShort(outRows, MbrNdxOutputs))
    Reject("Array too short", "Data::GetBlock");
  for (std::size_t k = 0; k < rows; ++k) {
    const int row = from + static_cast<int>(k);
    if (!inRows.empty()) std::copy_n(Inputs(row), MbrNdxInputs, inRows[k].data());
    if (!outRows.empty()) std::copy_n(Outputs(row), MbrNdxOutputs, outRows[k].data());
  }
  count = static_cast<int>(rows);
}

void Data::AppendRow(std::span<const double> inputs, std::span<const double> outputs,
                     const TLabelList* labels) {
  MIRK_CHECK(MbrNdxDataRows <= MbrNdxRows);
  if (MbrNdxRows == 0) Reject("Invalid Data Row", "Data::AppendRow");
  CheckArray(inputs.size(), MbrNdxInputs, "Data::AppendRow");
  CheckArray(outputs.size(), MbrNdxOutputs, "Data::AppendRow");
  CheckLabelStore(labels, "Data::AppendRow");
  int row;
  if (MbrNdxDataRows < MbrNdxRows) {
    row = MbrNdxDataRows++;
    MbrNdxLastRow = row;
  } else {
    MbrNdxFirstRow = MbrNdxFirstRow + 1 == MbrNdxRows ? 0 : MbrNdxFirstRow + 1;
    MbrNdxLastRow = MbrNdxLastRow + 1 == MbrNdxRows ? 0 : MbrNdxLastRow + 1;
    row = MbrNdxLastRow;
  }
  StoreRow(row, inputs, outputs, labels);
}

void Data::AppendRows(std::span<const std::span<const double>> inputs,
                      std::span<const std::span<const double>> outputs, int count,
                      std::span<const TLabelList> labels) {
  if (count <= 0) return;
  const auto rows = static_cast<std::size_t>(count);
  const auto tooShort = [&](std::size_t size) { return size != 0 && size < rows; };
  if (tooShort(inputs.size()) || tooShort(outputs.size()) || tooShort(labels.size()))
    Reject("Array too short", "Data::AppendRows");
  for (std::size_t i = 0; i < rows; ++i) {
    AppendRow(inputs.empty() ? std::span<const double>() : inputs[i],
              outputs.empty() ? std::span<const double>() : outputs[i],
              labels.empty() ? nullptr : &labels[i]);
  }
}

void Data::MoveCursor(int n) {
  if (MbrNdxDataRows == 0) return;
  const std::int64_t rows = MbrNdxRows;
  const std::int64_t occupied = MbrNdxDataRows;
  // The cursor's place in ring order, counted from the oldest row.
  const std::int64_t place =
      Wrap(MbrNdxCurrentRow - std::int64_t{MbrNdxFirstRow}, rows) % occupied;
  const std::int64_t moved = Wrap(place + n, occupied);
  MbrNdxCurrentRow = static_cast<std::int32_t>((MbrNdxFirstRow + moved) % rows);
}

void Data::CheckCursorDestinations(std::span<double> inputs, std::span<double> outputs,
                                   const char* where) const {
  const int in =
      MbrDyaSelInputs.empty() ? MbrNdxInputs : static_cast<int>(MbrDyaSelInputs.size());
  const int out = !MbrDyaSelInputs.empty() && !MbrDyaSelOutputs.empty()
                      ? static_cast<int>(MbrDyaSelOutputs.size())
                      : MbrNdxOutputs;
  CheckArray(inputs.size(), in, where);
  CheckArray(outputs.size(), out, where);
}

void Data::CopyCursorRow(std::span<double> inputs, std::span<double> outputs,
                         const TLabelList** labels) const {
  if (MbrNdxDataRows == 0) return;
  const int row = MbrNdxCurrentRow;
  if (MbrDyaSelInputs.empty()) {
    if (!inputs.empty()) std::copy_n(Inputs(row), MbrNdxInputs, inputs.data());
    if (!outputs.empty()) std::copy_n(Outputs(row), MbrNdxOutputs, outputs.data());
    if (labels != nullptr)
      *labels = MbrFlgLabels ? &MbrDyaLabels[static_cast<std::size_t>(row)] : nullptr;
    return;
  }
  if (!inputs.empty()) CopyColumns(Inputs(row), inputs, MbrDyaSelInputs);
  if (outputs.empty()) return;
  if (MbrDyaSelOutputs.empty()) {
    std::copy_n(Outputs(row), MbrNdxOutputs, outputs.data());
  } else {
    CopyColumns(Outputs(row), outputs, MbrDyaSelOutputs);
  }
}

void Data::GetNextRow(std::span<double> inputs, std::span<double> outputs,
                      const TLabelList** labels) {
  CheckCursorDestinations(inputs, outputs, "Data::GetNextRow");
  MoveCursor(1);
  CopyCursorRow(inputs, outputs, labels);
}

void Data::GetPreviousRow(std::span<double> inputs, std::span<double> outputs) {
  CheckCursorDestinations(inputs, outputs, "Data::GetPreviousRow");
  MoveCursor(-1);
  CopyCursorRow(inputs, outputs, nullptr);
}

void Data::SetInputSelection(std::span<const int> columns) {
  CheckColumns(columns, MbrNdxInputs, "Invalid Input Data Column", "Data::SetInputSelection");
  MbrDyaSelInputs.assign(columns.begin(), columns.end());
}

std::vector<int> Data::GetInputSelection() const { return MbrDyaSelInputs; }

void Data::SetColumnSelections(std::span<const int> inputColumns,
                               std::span<const int> outputColumns) {
  CheckColumns(inputColumns, MbrNdxInputs, "Invalid Input Data Column",
               "Data::SetColumnSelections");
  CheckColumns(outputColumns, MbrNdxOutputs, "Invalid Output Data Column",
               "Data::SetColumnSelections");
  MbrDyaSelInputs.assign(inputColumns.begin(), inputColumns.end());
  MbrDyaSelOutputs.assign(outputColumns.begin(), outputColumns.end());
}

}  // namespace mirk
