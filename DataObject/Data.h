// One data set in memory: a ring of rows, each with input values, output
// values and, when the object keeps labels, a label list; a cursor for
// sequential reading and optional column selections for it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "DataObject/TLabelList.h"

namespace mirk {

// Rows are numbered by their place in the ring, 0 to GetNumRows() - 1. Once
// every row is occupied, each append overwrites the oldest row; the occupied
// rows in ring order run from GetFirstRow() to GetLastRow(), wrapping.
//
// Every rejected argument throws TException with category "Bad Parameter"
// and the operation's name ("Data::GetInputDatum"); the row is checked
// before anything else, and a call that throws has changed nothing. A row is
// valid when 0 <= row < GetNumRows(), occupied or not (a row never appended
// reads 0.0). Arrays passed in are spans: an empty span stands for "none"
// (nothing copied), a non-empty one must hold at least the values the call
// copies ("Array too short").
class Data {
 public:
  // rows must not be negative ("Invalid Data Size"); a negative column count
  // counts as none. Every cell starts at 0.0, every label list empty, the
  // ring empty, the cursor at row 0, no selections.
  Data(int rows, int inputs, int outputs, bool keepLabels);
  virtual ~Data();
  Data& operator=(const Data&) = delete;

  // A new independent object equal to this one: cells, labels, ring state,
  // cursor, change counter and selections.
  std::unique_ptr<Data> Clone() const;

  int GetNumRows() const noexcept { return MbrNdxRows; }
  int GetNumDataRows() const noexcept { return MbrNdxDataRows; }
  int GetNumInputs() const noexcept { return MbrNdxInputs; }
  int GetNumOutputs() const noexcept { return MbrNdxOutputs; }
  bool HasLabels() const noexcept { return MbrFlgLabels; }
  int GetFirstRow() const noexcept { return MbrNdxFirstRow; }
  int GetLastRow() const noexcept { return MbrNdxLastRow; }
  // Increases (wrapping) with every change of cells, labels or rows.
  int GetChanges() const noexcept { return MbrNdxChanges; }
  // The row sequential reading returned last.
  int GetCurrentRow() const noexcept { return MbrNdxCurrentRow; }
  // Positions the cursor; row must be valid (0 is accepted when there are no
  // rows). SetCurrentRow(GetLastRow()) and GetNumDataRows() calls of
  // GetNextRow read every occupied row once, oldest first.
  void SetCurrentRow(int row);
  bool IsValidRow(int row) const noexcept { return row >= 0 && row < MbrNdxRows; }

  double GetInputDatum(int row, int column) const;
  double GetOutputDatum(int row, int column) const;
  void SetInputDatum(int row, int column, double value);
  void SetOutputDatum(int row, int column, double value);

  // The row's own list, valid while the object lives (label storage never
  // moves); nullptr when the object keeps no labels.
  const TLabelList* GetLabels(int row) const;
  // The row's list becomes a copy of *labels; nullptr empties it. On an
  // object that keeps no labels, emptying does nothing and storing a list
  // throws ("Object keeps no labels"), as does AppendLabel.
  void SetLabels(int row, const TLabelList* labels);
  void ClearLabels(int row);
  // TLabelList::AppendLabel(name, value) on the row's list.
  void AppendLabel(int row, double value, std::string_view name);

  // Copies the inputs and outputs given (all columns) and, when the object
  // keeps labels, sets the row's list (nullptr empties it).
  void SetRow(int row, std::span<const double> inputs, std::span<const double> outputs,
              const TLabelList* labels);
  // All columns, or the listed columns in list order to dest[0..n).
  void GetInputRow(int row, std::span<double> dest) const;
  void GetInputRow(int row, std::span<double> dest, std::span<const int> columns) const;
  void GetOutputRow(int row, std::span<double> dest) const;
  void GetOutputRow(int row, std::span<double> dest, std::span<const int> columns) const;
  // Copies rows from..to (to clipped at GetLastRow()) into inRows[k] and
  // outRows[k], k from 0; count is the number of rows copied. An empty outer
  // span copies no values of its kind. count is 0 when it throws
  // ("Data Block Fault" for an invalid from).
  void GetBlock(std::span<const std::span<double>> inRows,
                std::span<const std::span<double>> outRows, int from, int to, int& count) const;

  // Stores one row after the newest (overwriting the oldest once full), as
  // SetRow does. An object without rows stores nothing and throws.
  void AppendRow(std::span<const double> inputs, std::span<const double> outputs,
                 const TLabelList* labels = nullptr);
  // AppendRow(inputs[i], outputs[i], &labels[i]) for i below count; an empty
  // outer span stands for none of its kind.
  void AppendRows(std::span<const std::span<const double>> inputs,
                  std::span<const std::span<const double>> outputs, int count,
                  std::span<const TLabelList> labels = {});

  // Moves the cursor n occupied rows along the ring order, wrapping; without
  // occupied rows the cursor stays. Constant time for any n.
  void MoveCursor(int n);
  // MoveCursor(1), then copies the cursor row. Without an input selection:
  // all inputs, all outputs and (when labels is not null) the row's list,
  // whatever the output selection. With an input selection: the selected
  // inputs, the selected outputs (all outputs without an output selection),
  // and *labels is left as it is.
  virtual void GetNextRow(std::span<double> inputs, std::span<double> outputs,
                          const TLabelList** labels = nullptr);
  // MoveCursor(-1), then copies the cursor row as GetNextRow does.
  void GetPreviousRow(std::span<double> inputs, std::span<double> outputs);

  // Selections are checked when set ("Invalid Input Data Column", "Invalid
  // Output Data Column"); an empty list removes the selection.
  void SetInputSelection(std::span<const int> columns);
  // A copy; empty when there is no selection.
  std::vector<int> GetInputSelection() const;
  // The output selection; empty when there is none.
  std::span<const int> GetOutputSelection() const noexcept { return MbrDyaSelOutputs; }
  void SetColumnSelections(std::span<const int> inputColumns, std::span<const int> outputColumns);

 private:
  Data(const Data& other) = default;  // Clone's copy
  double* Inputs(int row) noexcept;
  const double* Inputs(int row) const noexcept;
  double* Outputs(int row) noexcept;
  const double* Outputs(int row) const noexcept;
  void CheckRow(int row, const char* where) const;
  void CheckLabelStore(const TLabelList* labels, const char* where) const;
  void StoreRow(int row, std::span<const double> inputs, std::span<const double> outputs,
                const TLabelList* labels);
  void CopyCursorRow(std::span<double> inputs, std::span<double> outputs,
                     const TLabelList** labels) const;
  void CheckCursorDestinations(std::span<double> inputs, std::span<double> outputs,
                               const char* where) const;
  void Changed() noexcept;

  // Row r holds its inputs, then its outputs, at r * (inputs + outputs).
  std::vector<double> MbrDyaCells;
  std::vector<TLabelList> MbrDyaLabels;  // one per row when labels are kept
  std::int32_t MbrNdxRows = 0;
  std::int32_t MbrNdxDataRows = 0;
  std::int32_t MbrNdxInputs = 0;
  std::int32_t MbrNdxOutputs = 0;
  bool MbrFlgLabels = false;
  std::int32_t MbrNdxFirstRow = 0;
  std::int32_t MbrNdxLastRow = 0;
  std::int32_t MbrNdxChanges = 0;
  std::int32_t MbrNdxCurrentRow = 0;
  std::vector<int> MbrDyaSelInputs;   // empty: no input selection
  std::vector<int> MbrDyaSelOutputs;  // empty: no output selection
};

}  // namespace mirk
