// The "ConnectionLayer" sections of a network file, for the network file
// reader (FileHandler/NetworkFile.h). The grammar is in doc/NetworkFile.md.
#pragma once

#include <iosfwd>
#include <string_view>

#include "FileHandler/NetworkFile.h"
#include "FileHandler/ParseTools.h"

namespace mirk {

class TBasicNetwork;

// `statement` is the block start "ConnectionLayer". Reads the block, builds
// its set and installs it in the network, whose layers must all exist. On
// return `statement` holds the statement after the block's end tag, read
// inside networkBlock. The set's arc positions are added to arcPositions,
// which must stay within limits.maxArcPositions.
void ReadConnectionLayer(ScratchBuffer& buffer, std::istream& in, TBasicNetwork& network,
                         std::string_view networkBlock, Statement& statement,
                         const ReaderLimits& limits, long& arcPositions);

}  // namespace mirk
