// The membership sections of network files: how many membership functions
// each input of a condition layer ("InputMF") and each output of a
// defuzzifying layer ("OutputMF") has. Written one line per variable:
//
//   [InputMF]
//   [Input=0 MF=3 ]
//   [Input=1 MF=2 ]
//   [~InputMF]
//
// and the same with "OutputMF" and "Output". The grammar is in
// doc/NetworkFile.md.
#pragma once

#include <iosfwd>
#include <string_view>

#include "FileHandler/NetworkFile.h"

namespace mirk {

class TBasicLayer;
class TConditionLayer;
class TMirkOutputLayer;
class TReaderBudget;

// Reads a section whose block start the caller has read; blockName is the
// name as the file wrote it: "InputMF" (any case) for a TConditionLayer,
// "OutputMF" for a TMirkOutputLayer (both checked). Installs the counts in
// the layer and consumes the section's end tag.
//
// Every variable from 0 to the highest index must appear exactly once with a
// count of at least 2; the counts of an "InputMF" section must add up to the
// layer's neuron count, an "OutputMF" section needs one count per neuron and
// the blocks of its sum (the action count) must fit limits.memoryBudget.
// Faults are FileTools::Error with the stream.
void ReadMembership(std::istream& in, TBasicLayer& layer, std::string_view blockName,
                    const ReaderLimits& limits = {});
// The same within the network reader, whose budget counts the action blocks.
void ReadMembership(std::istream& in, TBasicLayer& layer, std::string_view blockName, TReaderBudget& budget);

// The "InputMF" section of the layer: one [Input=i MF=count ] line per input.
void WriteInputMF(std::ostream& out, const TConditionLayer& layer);
// The "OutputMF" section: one [Output=k MF=count ] line per output neuron.
void WriteOutputMF(std::ostream& out, const TMirkOutputLayer& layer);

}  // namespace mirk
