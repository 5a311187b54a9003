#include "MirkTool/Inputs.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <new>
#include <vector>

#include "Common/Exceptions.h"
#include "FileHandler/LabelFile.h"
#include "FileHandler/NetworkFile.h"
#include "FileHandler/ParseTools.h"
#include "Mirk/RuleExtraction/DefaultLabels.h"
#include "MirkTool/CommandError.h"

namespace mirk::tool {

namespace {

// The line of the reader's position: a reader that failed just after a line
// break still stands on the line before it. 0 when the stream cannot seek.
long LineOfPosition(std::istream& in) {
  std::streambuf& buf = *in.rdbuf();
  const std::streamoff end = buf.pubseekoff(0, std::ios::cur, std::ios::in);
  if (end < 0 || buf.pubseekpos(0, std::ios::in) != 0) return 0;
  long line = 1;
  std::vector<char> chunk(1 << 16);
  for (std::streamoff left = end > 0 ? end - 1 : 0; left > 0;) {
    const std::streamsize n =
        buf.sgetn(chunk.data(), std::min<std::streamoff>(left, static_cast<std::streamoff>(chunk.size())));
    if (n <= 0) break;
    for (std::streamsize i = 0; i < n; ++i) line += chunk[static_cast<size_t>(i)] == '\n';
    left -= n;
  }
  return line;
}

bool SameCounts(std::span<const int> a, std::span<const int> b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

}  // namespace

void OpenForReading(std::ifstream& in, const std::string& path) {
  in.open(path, std::ios::binary);
  if (!in) throw CommandError("cannot open " + path + ": " + std::strerror(errno));
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec))
    throw CommandError("cannot open " + path + ": " + std::strerror(EISDIR));
}

void RethrowAbout(const std::string& path, std::istream* in) {
  try {
    throw;
  } catch (const FileTools::Error& e) {
    const long line = in != nullptr ? LineOfPosition(*in) : 0;
    throw CommandError(path + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " +
                       e.GetMessage());
  } catch (const TException& e) {
    throw CommandError(path + ": " + (e.GetMessage() != nullptr ? e.GetMessage() : "rejected"));
  }
}

std::unique_ptr<TBasicNetwork> LoadAnyNetwork(const std::string& path) {
  std::ifstream in;
  std::vector<char> streamBuffer(1 << 16);
  in.rdbuf()->pubsetbuf(streamBuffer.data(), static_cast<std::streamsize>(streamBuffer.size()));
  OpenForReading(in, path);
  ScratchBuffer scratch;
  return AboutFile(path, &in, [&] { return ReadNetwork(scratch, in); });
}

std::unique_ptr<TMirk> LoadMirkNetwork(const std::string& path) {
  std::unique_ptr<TBasicNetwork> network = LoadAnyNetwork(path);
  auto* mirk = dynamic_cast<TMirk*>(network.get());
  if (mirk == nullptr) {
    throw CommandError(path + ": not a Mirk network: the file holds a network of type " +
                       network->GetNetworkNType());
  }
  network.release();
  std::unique_ptr<TMirk> result(mirk);
  // A file may leave parts of the plan out; find that here, once.
  AboutFile(path, nullptr, [&] {
    int inputs, conditions, rules, actions, outputs;
    std::vector<int> inputMF, outputMF;
    result->GetStructure(inputs, conditions, inputMF, rules, actions, outputMF, outputs);
  });
  return result;
}

std::unique_ptr<TMirkLabel> LabelsFor(const std::string& path, const TMirk& network) {
  if (path.empty()) return GenerateLabels(network);
  std::ifstream in;
  OpenForReading(in, path);
  std::unique_ptr<TMirkLabel> labels;
  AboutFile(path, &in, [&] { ReadLabels(in, labels); });
  int inputs, conditions, rules, actions, outputs;
  std::vector<int> inputMF, outputMF;
  network.GetStructure(inputs, conditions, inputMF, rules, actions, outputMF, outputs);
  if (labels->GetNumInputs() != inputs || labels->GetNumOutputs() != outputs ||
      !SameCounts(labels->GetInputMF(), inputMF) || !SameCounts(labels->GetOutputMF(), outputMF)) {
    throw CommandError(path +
                       ": the labels do not fit the network (other inputs, outputs or membership counts)");
  }
  return labels;
}

}  // namespace mirk::tool
