// Writes a network to a network file in the grammar that LoadNetwork reads
// (doc/NetworkFile.md): header, network information, one section per layer,
// one section per connected pair of layers. A written file reads back into a
// network with the same layers, functions, parameters, arcs, weights (to 15
// significant digits) and trainable flags.
//
// Layout: one statement per line. A layer gets "[All ...]" lines for its
// common function and for each parameter all its neurons share exactly, and
// a "Neurons" block for the rest. A connected set is written as a matrix
// when it is fully connected or at least 35% of its possible arcs exist,
// otherwise as a weight list. Matrix cells hold the weight in the general
// form with 15 significant digits (17 near the largest double, where 15
// would read back as an infinity) right-aligned in 20 characters, or "-"
// for no arc, then a blank; a set that is not fully connected adds the
// trainable column ("T ", "F " or "- "). Weight-list weights and neuron
// parameters have 15 decimals, whatever their magnitude.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "FileHandler/ParseTools.h"
#include "KQmessage/KQML.h"
#include "NeuralNets/TIterateObj.h"

namespace mirk {

class TBasicNetwork;

// Counts the arcs it is shown.
class TIterateObjCount : public TIterateObj {
 public:
  void Visit() override { ++count; }
  int count = 0;
};

// Writes one weight-list line per arc:
//   [From=0 To=3 Weight=-0.250000000000000 UnTrainable ]
// the trainable word only when writeTrainable is set; the weight with
// `precision` decimals.
class TIterateObjSaveWeights : public TIterateObj {
 public:
  TIterateObjSaveWeights(std::ostream& out, ScratchBuffer& buffer, bool writeTrainable,
                         int precision)
      : out(out), buffer(buffer), writeTrainable(writeTrainable), precision(precision) {}
  void Visit() override;

  std::ostream& out;
  ScratchBuffer& buffer;
  bool writeTrainable;
  int precision;
};

// Creates (or empties) the file and writes the network into it, flushing
// once at the end. Throws FileTools::Error "Error on File Open" when the file
// cannot be created, "Error on File Write" when writing it fails (a full
// disk), and whatever WriteNetwork throws. The parameter structure is taken
// over and released at once; it has no effect.
void SaveNetwork(ScratchBuffer& buffer, const std::string& fileName, TBasicNetwork& net,
                 std::unique_ptr<TKQstructure> parameters = nullptr);

// Writes the whole file at the stream's position. Every layer of the network
// must be set. A layer whose common function is "bias" must have at most one
// neuron, else FileTools::Error "Illegal number of bias nodes" (thrown after
// the header is written, before any layer; the stream field is the output
// stream when it is also an input stream, else null). Stream failures are
// left in the stream's state for the caller to test. Sets the stream's
// precision to 15. The parameter structure is released at once.
void WriteNetwork(ScratchBuffer& buffer, std::ostream& out, TBasicNetwork& net,
                  std::unique_ptr<TKQstructure> parameters = nullptr);

}  // namespace mirk
