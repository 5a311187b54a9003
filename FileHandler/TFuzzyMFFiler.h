// The membership-function list file: one TMFSetList with its sets and MFs as
// an "MFList" block of the structured text. Grammar, layout and errors are in
// doc/MFListFile.md. Neither operation opens or closes a file.
#pragma once

#include <iosfwd>
#include <memory>

#include "MembershipFunctions/TMFSetList.h"

namespace mirk {

class TFuzzyMFFiler {
 public:
  // What a file may ask the reader to allocate. Whatever the limits, a count
  // must also fit in what the rest of a seekable stream can hold.
  struct Limits {
    long maxSets = 1L << 20;      // set slots of the list
    long maxMFPerSet = 1L << 20;  // MF slots of one set
  };

  TFuzzyMFFiler() = default;
  explicit TFuzzyMFFiler(const Limits& limits) : limits_(limits) {}

  // Writes the whole list at the stream's position and flushes the stream.
  // Numbers get 7 decimals, or as many more as they need to read back
  // unchanged. Missing names and types are left out; an empty MF slot is
  // written as an MF block without a shape. Refused before anything is
  // written, with TException ("Bad Parameter", "TFuzzyMFFiler::SaveMFList"):
  // an empty set slot ("MF set slot empty") and a name or type that is not a
  // single token ("Name is not a single token"). A stream that fails
  // throws FileTools::Error "Error on File Write" (no stream).
  void SaveMFList(std::ostream& out, const TMFSetList& list) const;

  // Reads one list from the stream's position into a new list stored in
  // `list` as soon as its header is read; sets are stored as they are
  // completed, so after a failure `list` holds the sets read so far. Format
  // errors throw FileTools::Error; implausible values throw TException with
  // category "Bad File Data"; an MF Index outside its set throws the set's
  // "Bad MF Number".
  void LoadMFList(std::istream& in, std::unique_ptr<TMFSetList>& list) const;

 private:
  Limits limits_;
};

}  // namespace mirk
