// The data set file: the rows of up to two data objects side by side (input
// values with expected outputs or a label list; generated outputs or a label
// list with their errors), read whole or a stretch at a time, and written.
// The grammar is in doc/DataSetFile.md.
//
// A malformed file never ends the process: the header's faults are status
// codes, every other fault a FileTools::Error. Declared sizes are checked
// against the file's remaining bytes and DataSetLimits before anything is
// allocated.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include "DataObject/Data.h"
#include "FileHandler/ParseTools.h"
#include "KQmessage/KQML.h"

namespace mirk {

// Status codes of the data set file operations.
inline constexpr int SUCCESS = 0;
inline constexpr int ERR_FILE_OPEN = -81;   // cannot be opened (or created)
inline constexpr int ERR_FORMAT = -82;      // header not as required, or an unwanted second object
inline constexpr int ERR_SIZE = -83;        // negative row count, objects of different row counts
inline constexpr int ERR_FILE_WRITE = -84;  // writing failed (disk full, file gone)

// A "Labels" column in the header.
inline constexpr long kLabelColumns = -1;

// The header's five values. rows is -1 when the file gives none; an output
// count of kLabelColumns means a label list per row in place of numbers.
struct DataSetHeader {
  long rows = -1;
  long inputs = 0;
  long expectedOutputs = 0;
  long generatedOutputs = 0;
  long errors = 0;
};

// Bounds on what a file may ask the reader to allocate, besides the file's
// own size (every number takes at least two bytes of it, every label list
// two). A file over the limit is a format error naming it.
struct DataSetLimits {
  std::uint64_t maxBytes = std::uint64_t{1} << 33;
};

// ---- Reading --------------------------------------------------------------

// Reads the whole file into new objects; both are reset first. The first
// object holds the inputs and the expected outputs (or their label lists),
// the second the generated outputs (or their label lists) as inputs and the
// errors as outputs; an object without columns or labels is not created.
// Each cursor stands at its newest row. The parameter structure is released
// at once. ERR_FILE_OPEN when the file cannot be opened; format errors throw
// FileTools::Error (its stream is closed once the error leaves: use the
// message).
int LoadDataSets(ScratchBuffer& buffer, const std::string& fileName, std::unique_ptr<Data>& first,
                 std::unique_ptr<Data>& second, std::unique_ptr<TKQstructure> params = nullptr,
                 const DataSetLimits& limits = {});
// The same from the stream's position; the file must end after the block.
int ReadDataSets(ScratchBuffer& buffer, std::istream& in, std::unique_ptr<Data>& first,
                 std::unique_ptr<Data>& second, const DataSetLimits& limits = {});
// LoadDataSets for a file with a first object only: ERR_FORMAT (and no
// object) when the file also holds a second.
int LoadDataSet(ScratchBuffer& buffer, const std::string& fileName, std::unique_ptr<Data>& data,
                const DataSetLimits& limits = {});

// Reads at most rowCount rows starting `offset` bytes after the data block's
// start tag; on return offset is that of the first row not read, so that
// repeated calls walk the file. The stretch ends early, without error, at
// the data block's end tag: a call past the last row reads none. Objects
// have room for the rows requested that the rest of the file can hold; an
// object is created only when it has columns, and label lists of objects
// not created are read and dropped. A negative offset or rowCount, or an
// offset past the file's end, is ERR_SIZE.
int LoadDataSetsRows(ScratchBuffer& buffer, const std::string& fileName, std::int64_t& offset,
                     int rowCount, std::unique_ptr<Data>& first, std::unique_ptr<Data>& second,
                     const DataSetLimits& limits = {});
// The first object only; the second is read and dropped.
int LoadDataSetRows(ScratchBuffer& buffer, const std::string& fileName, std::int64_t& offset,
                    int rowCount, std::unique_ptr<Data>& data, const DataSetLimits& limits = {});

// What the file is, as a new structure: "data" with the integer fields
// "rows", "inputs", "actual-outputs", "calc-outputs", "errors" (-1 for a
// "Labels" column); "network" for a "Network" or "NeuralNetwork" block;
// otherwise "error" with "type" "file-read-error", "bad-header", or
// "unknown-header" and "header" (the block name as written). A file that
// does not start with a block throws FileTools::Error.
std::unique_ptr<TKQstructure> IdentifyFile(ScratchBuffer& buffer, const std::string& fileName);

// Reads the header's entries from the stream (inside the "DataSet" block
// `block`): "Inputs", "ExpectedOutputs", "GeneratedOutputs", "Error" in this
// order, each at most once, "Rows" anywhere. Any other key, a key out of
// order or repeated, or an entry with further parts is ERR_FORMAT, with that
// entry in `next`. A negative or "Labels" value for "Inputs", "Error" or
// "Rows" throws "No labels in inputs". On SUCCESS `next` is the statement
// that ended the entries.
int ReadDataSetHeader(ScratchBuffer& buffer, std::istream& in, std::string_view block,
                      DataSetHeader& header, Statement& next);

// A label list "[", then per label its name and a blank (value exactly 1.0)
// or name=value with 9 decimals and a blank, then "]" and a blank. Names
// must be single tokens of the structured text: otherwise TException
// ("Label name is not a single token", "Bad Parameter", "WriteLabelList")
// before anything is written; the writers below check the same way. A
// first name that begins with "~" gets a blank after the "[", which would
// otherwise read as an end tag.
void WriteLabelList(std::ostream& out, const TLabelList& labels);
// Reads one list from the stream's position (separators and comments
// first): bare names count 1.0, name=value parts their value, a repeated
// name accumulates. "Label list expected" when no "[" comes.
TLabelList ReadLabelList(ScratchBuffer& buffer, std::istream& in);

// ---- Writing ----------------------------------------------------------------
// The writers return ERR_FILE_OPEN when the file cannot be created or opened
// for appending and ERR_FILE_WRITE when writing fails.

// A whole file: header, one line per allocated row (index order, occupied or
// not), trailer. ERR_SIZE, before the file is touched, when both objects
// are given with different row counts or neither is given. An object that
// keeps labels must have no columns where its list stands (checked).
int SaveDataSets(const std::string& fileName, const Data* first, const Data* second,
                 std::unique_ptr<TKQstructure> params = nullptr);
// SaveDataSets to a stream; ERR_FILE_WRITE when the stream fails.
int WriteDataSets(std::ostream& out, const Data* first, const Data* second);
// Creates or empties the file and writes the header through the data
// block's start tag. A negative row count is ERR_SIZE, nothing written.
int WriteDataSetHeader(const std::string& fileName, int inputs, int expectedOutputs,
                       int generatedOutputs, int errors, int rows);
// Appends one line per row: inputs, then the expected outputs or the first
// object's list; the generated outputs or the second object's list, then
// the errors. Numbers in the general format with 15 significant digits,
// each followed by a blank; groups parted by two more blanks.
int AppendDataRows(const std::string& fileName, const Data* first, const Data* second,
                   std::unique_ptr<TKQstructure> params = nullptr);
// Appends the end tags of the data block and the data set block.
int WriteDataSetTrailer(const std::string& fileName);

}  // namespace mirk
