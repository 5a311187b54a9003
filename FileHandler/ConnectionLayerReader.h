// Internal to the network file reader (FileHandler/NetworkFile.h), not part
// of the library's interface: the "ConnectionLayer" sections of a network
// file. The grammar is in doc/NetworkFile.md.
#pragma once

#include <iosfwd>
#include <string_view>

#include "FileHandler/ParseTools.h"

namespace mirk {

class TBasicNetwork;
class TReaderBudget;

// `statement` is the block start "ConnectionLayer". Reads the block, builds
// its set and installs it in the network, whose layers must all exist. On
// return `statement` holds the statement after the block's end tag, read
// inside networkBlock. The set's storage is taken from budget before the
// set is built.
void ReadConnectionLayer(ScratchBuffer& buffer, std::istream& in, TBasicNetwork& network,
                         std::string_view networkBlock, Statement& statement, TReaderBudget& budget);

}  // namespace mirk
