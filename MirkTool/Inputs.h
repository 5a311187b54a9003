// Reading the files a subcommand is given. Every failure becomes a
// CommandError naming the file and, for a format error, the line the reader
// had reached.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "Mirk/RuleExtraction/TMirkLabel.h"
#include "Mirk/TMirk.h"
#include "NeuralNets/TBasicNetwork.h"

namespace mirk::tool {

// Any network the network file reader knows.
std::unique_ptr<TBasicNetwork> LoadAnyNetwork(const std::string& path);

// A Mirk network; any other type is refused with "not a Mirk network".
std::unique_ptr<TMirk> LoadMirkNetwork(const std::string& path);

// The labels of a label file when path is not empty, else the default
// ones. A label file must name exactly the network's inputs, outputs and
// membership functions.
std::unique_ptr<TMirkLabel> LabelsFor(const std::string& path, const TMirk& network);

// Opens path for reading, refusing a directory.
void OpenForReading(std::ifstream& in, const std::string& path);

// Called in a catch block: rethrows the exception in flight as a
// CommandError about path. A format error gets the line that `in` (the
// stream being read, or null) had reached.
[[noreturn]] void RethrowAbout(const std::string& path, std::istream* in);

// Runs step, reporting the library's failures as RethrowAbout does.
template <class Step>
auto AboutFile(const std::string& path, std::istream* in, Step&& step) -> decltype(step()) {
  try {
    return step();
  } catch (...) {
    RethrowAbout(path, in);
  }
}

}  // namespace mirk::tool
