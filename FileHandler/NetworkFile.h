// Reading network description files: the header, the network information,
// one section per layer (with the membership sections of Mirk layers) and
// the connection layers. The grammar is in doc/NetworkFile.md.
//
// A malformed file never ends the process: every fault is a FileTools::Error
// carrying the stream, and the network built so far is released. What
// declared sizes would allocate is checked against ReaderLimits first.
// A TException raised by a constructor of the network core passes through
// unchanged.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "FileHandler/ParseTools.h"
#include "KQmessage/KQML.h"

namespace mirk {

class TBasicNetwork;

// Bounds on what a file may ask the reader to allocate. Every count a file
// gives must also lie in 0..INT_MAX, and no connection set may hold more
// than INT_MAX arc positions, whatever the limits say.
struct ReaderLimits {
  // Bytes the network may take as it will be stored: the layers x layers
  // sets, neurons with their outputs, membership blocks, and the storage of
  // each connection set (padding and flags included; a fully connected or
  // pruneable set holds every from x to position whatever the file lists),
  // with the reader's own marks per neuron. Each part is counted before it
  // is allocated; a file that needs more is a format error naming the need
  // and the budget. Real networks fit by a wide margin: 64 inputs of 7
  // functions, 1024 rules and 8 outputs of 7 take about 5 MB.
  long long memoryBudget = 1LL << 30;
};

// Opens fileName for reading ("Error on File Open" when that fails or it
// names a directory) and returns ReadNetwork of it. The parameter structure
// is released at once and has no effect. The file's stream ends with the
// call, so a FileTools::Error leaving LoadNetwork carries no stream (null).
std::unique_ptr<TBasicNetwork> LoadNetwork(ScratchBuffer& buffer, const std::string& fileName,
                                           std::unique_ptr<TKQstructure> params = nullptr,
                                           const ReaderLimits& limits = {});

// Reads one network from the stream's current position: a TBasicNetwork,
// TConnectedNetwork or TMirk by the file's network type. Nothing but blanks
// and comments may follow the network block.
std::unique_ptr<TBasicNetwork> ReadNetwork(ScratchBuffer& buffer, std::istream& in,
                                           std::unique_ptr<TKQstructure> params = nullptr,
                                           const ReaderLimits& limits = {});

}  // namespace mirk
