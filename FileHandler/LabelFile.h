// The label file: one label set as a "MirkLabels" block of the structured
// text (grammar in doc/LabelFile.md). The structure part (inputs, outputs and
// their membership-function counts) comes first, then the four name lists.
#pragma once

#include <iosfwd>
#include <memory>

#include "Mirk/RuleExtraction/TMirkLabel.h"

namespace mirk {

// Writes the block at the stream's position and flushes the stream once at
// the end; the caller tests the stream for write failures. Every name must be
// set: otherwise TException ("Input name not set" and the like, "Bad
// Parameter", "WriteLabels") is thrown before anything is written.
void WriteLabels(std::ostream& out, const TMirkLabel& labels);

// Reads one block from the stream's position into a new label set stored in
// `labels`. Letter case does not matter and the lines of a list may come in
// any order, but every number must appear exactly once. The set is stored
// as soon as the structure part is read, so after a later failure `labels`
// holds a partly named set. Format errors throw FileTools::Error; a label
// number outside its range throws the label set's TException.
void ReadLabels(std::istream& in, std::unique_ptr<TMirkLabel>& labels);

}  // namespace mirk
