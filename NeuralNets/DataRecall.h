// Recall of a whole data set through a network, shared by the networks'
// recall operations: every occupied row, oldest first, through the block
// pass, gathered into a new data set or into an error measure.
#pragma once

#include <memory>

namespace mirk {

class Data;
class TBasicNetwork;
class TErrorObj;

// data itself, or TException ("Null data pointer", category "Null Pointer
// Parameter", where) when it is null.
Data& RequireData(Data* data, const char* where);

// Each function below checks data first: null throws TException ("Null data
// pointer", category "Null Pointer Parameter", where). It then sets the
// cursor of data to its newest row and reads every occupied row with
// GetNextRow, oldest first; data is otherwise unchanged, and the network
// keeps the values of the last row recalled.
//
// A row delivers all input columns of data, or its selected ones; the
// network reads the first as many as its input layer has nodes. A data set
// that delivers fewer throws TException ("Data set has too few inputs",
// category "Bad Parameter", where) before anything is read; the error form
// likewise needs as many outputs ("Data set has too few outputs").

// A new data set of one row per occupied row, in the order read: the inputs
// the network read (when withInputs; otherwise no input columns) and its
// outputs. No labels.
std::unique_ptr<Data> RecallDataSet(TBasicNetwork& net, Data* data, bool withInputs, const char* where);

// Accumulate(expected outputs, produced outputs) of measure for every row;
// the measure is not reset first. A measure for another number of outputs
// than the network's throws TException ("Error measure does not fit the
// network", category "Bad Parameter", where).
void RecallIntoMeasure(TBasicNetwork& net, Data* data, TErrorObj& measure, const char* where);

}  // namespace mirk
