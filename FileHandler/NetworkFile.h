// Reading network description files: the header, the network information,
// one section per layer (with the membership sections of Mirk layers) and
// the connection layers. The grammar is in doc/NetworkFile.md.
//
// A malformed file never ends the process: every fault is a FileTools::Error
// carrying the stream, and the network built so far is released. Declared
// sizes are checked against ReaderLimits before anything is allocated.
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

// Bounds on what a file may ask the reader to allocate. A file over a limit
// is a format error naming the limit. Every count a file gives must also lie
// in 0..INT_MAX, whatever the limits say.
struct ReaderLimits {
  // Layers of the network; the network holds layers x layers sets.
  long maxLayers = 1L << 10;
  // Neurons of all layers together; the action count of a defuzzifying
  // layer's membership section counts against it as well.
  long maxNeurons = 1L << 27;
  // Arc positions of all connection sets together: a fully connected or
  // pruneable set holds from x to positions whatever the file lists, a
  // to-condition set one per condition node, a to-output set one per action
  // node. No single set may exceed INT_MAX positions.
  long maxArcPositions = 1L << 30;
};

// Opens fileName for reading ("Error on File Open" when that fails or it
// names a directory) and returns ReadNetwork of it. The parameter structure
// is released at once and has no effect. The stream of a FileTools::Error
// thrown here is closed once the error leaves LoadNetwork: use its message.
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
