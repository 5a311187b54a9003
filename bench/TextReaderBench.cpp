// Reading speed of the structured text reader on the bulk of a network file:
// a weight matrix written as the network writer writes it. The baseline reads
// the same bytes into memory and converts every number with std::from_chars.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "FileHandler/ParseTools.h"
#include "bench/FromCharsBaseline.h"

namespace {

using namespace mirk;
using bench::ReadWithFromChars;

constexpr int kColumns = 1000;
constexpr int kRows = 2400;  // about 50 MB

// [FormatVersion], a network block with a connection layer whose matrix
// holds kRows x kColumns cells: general format, 15 significant digits,
// right-aligned in 20 characters and a blank, "-" for an absent arc, and a
// comment with the row number at each row end.
const std::string& Text() {
  static const std::string text = [] {
    std::ostringstream out;
    ScratchBuffer b;
    WriteFormatVersion(b, out);
    WriteBlockStart(b, out, "NeuralNetwork", true);
    WriteStringEntry(b, out, "NetworkType", "Connected", true);
    WriteBlockStart(b, out, "ConnectionLayer", true);
    WriteIntegerEntry(b, out, "LayerFrom", 1, true);
    WriteIntegerEntry(b, out, "LayerTo", 2, true);
    WriteOpenBracket(b, out, true);
    WriteBlockStart(b, out, "Matrix", false);
    WriteBlockStart(b, out, "Weights", false);
    WriteCloseBracket(b, out, true, true);
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> weight(-4.0, 4.0);
    std::string line;
    for (int i = 0; i < kRows; ++i) {
      line.clear();
      for (int j = 0; j < kColumns; ++j) {
        if ((i + j) % 17 == 0) {
          AppendField(line, "-", 20);
        } else {
          AppendGeneralField(line, weight(random), 15, 20);
        }
        line += ' ';
      }
      line += " /* ";
      line += std::to_string(i);
      line += " */";
      WriteLine(b, out, line);
    }
    WriteBlockEnd(b, out, "Matrix");
    WriteBlockEnd(b, out, "ConnectionLayer");
    WriteBlockEnd(b, out, "NeuralNetwork");
    return out.str();
  }();
  return text;
}

const std::string& TextFile() {
  static const std::string path = [] {
    const auto file = std::filesystem::temp_directory_path() / "mirk_text_reader_bench.txt";
    std::ofstream out(file, std::ios::binary);
    out << Text();
    return file.string();
  }();
  return path;
}

// Walks the whole text: blocks by name, compound statements part by part,
// every cell converted with GetNumberToken.
double ReadWithParseTools(std::istream& in) {
  ScratchBuffer buffer;
  std::vector<std::string> blocks;
  Statement s;
  bool continued = false;
  bool bracketStart = true;
  double sum = 0.0;
  for (;;) {
    ReadStatement(buffer, in, blocks.empty() ? kNoBlock : std::string_view(blocks.back()),
                  continued, s);
    if (s.kind == StWord) {
      if (s.name.size() != 1 || s.name[0] != '-') sum += GetNumberToken(buffer, in, s);
    } else if (s.kind == StEnd) {
      if (blocks.empty()) break;
      blocks.pop_back();
    } else if (s.kind == StBlock && bracketStart && s.name != "Attributes") {
      blocks.push_back(s.name);
    }
    continued = s.more;
    bracketStart = !s.more;
  }
  return sum;
}

void BM_TextReader_ParseTools_StringStream(benchmark::State& state) {
  const std::string& text = Text();
  std::istringstream check(text);
  if (ReadWithParseTools(check) != ReadWithFromChars(text.data(), text.data() + text.size()))
    state.SkipWithError("the reader and the baseline disagree");
  for (auto _ : state) {
    state.PauseTiming();
    std::istringstream in(text);
    state.ResumeTiming();
    benchmark::DoNotOptimize(ReadWithParseTools(in));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_TextReader_ParseTools_StringStream)->Unit(benchmark::kMillisecond);

void BM_TextReader_ParseTools_File(benchmark::State& state) {
  const std::string& path = TextFile();
  for (auto _ : state) {
    std::ifstream in(path, std::ios::binary);
    benchmark::DoNotOptimize(ReadWithParseTools(in));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(Text().size()));
}
BENCHMARK(BM_TextReader_ParseTools_File)->Unit(benchmark::kMillisecond);

void BM_TextReader_FromChars_Memory(benchmark::State& state) {
  const std::string& text = Text();
  std::string bytes;
  for (auto _ : state) {
    bytes.assign(text);  // the bytes read into memory
    benchmark::DoNotOptimize(ReadWithFromChars(bytes.data(), bytes.data() + bytes.size()));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_TextReader_FromChars_Memory)->Unit(benchmark::kMillisecond);

void BM_TextReader_FromChars_File(benchmark::State& state) {
  const std::string& path = TextFile();
  std::string bytes;
  for (auto _ : state) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    bytes.resize(Text().size());
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    benchmark::DoNotOptimize(ReadWithFromChars(bytes.data(), bytes.data() + got));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(Text().size()));
}
BENCHMARK(BM_TextReader_FromChars_File)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
