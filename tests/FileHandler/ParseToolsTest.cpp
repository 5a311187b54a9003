#include "FileHandler/ParseTools.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "FileHandler/ReaderTestKit.h"
#include "support/TestUtil.h"

namespace mirk {
namespace {

// ---- Helpers ---------------------------------------------------------------

std::string Describe(const Statement& s) {
  std::string text;
  switch (s.kind) {
    case StEnd: text = "E"; break;
    case StWord: text = "W:" + s.name; break;
    case StBlock: text = "B:" + s.name; break;
    case StAssign: text = "A:" + s.name + "=" + s.value; break;
    default: text = "?"; break;
  }
  return s.more ? text + "+" : text;
}

// The statements of a walk over the text, and "!message" on a format error.
std::string Walk(std::istream& in) {
  std::string out;
  try {
    test::WalkStatements(in, [&](ScratchBuffer&, const Statement& s) { out += Describe(s) + " "; });
  } catch (const FileTools::Error& e) {
    EXPECT_EQ(e.GetStream(), &in);
    out += "!" + e.GetMessage();
  }
  return out;
}

// The streams every reading test runs over: a string stream, streambufs with
// 1- and 3-character buffers, and one without a buffer.
std::vector<std::unique_ptr<std::streambuf>> Streambufs(const std::string& text) {
  std::vector<std::unique_ptr<std::streambuf>> bufs;
  bufs.push_back(std::make_unique<std::stringbuf>(text, std::ios::in));
  for (std::size_t chunk : {1, 3, 0}) bufs.push_back(std::make_unique<test::ChunkedStreambuf>(text, chunk));
  return bufs;
}

void ForEachStream(const std::string& text, const std::function<void(std::istream&)>& check) {
  for (auto& buf : Streambufs(text)) {
    std::istream in(buf.get());
    check(in);
  }
}

std::string WalkText(const std::string& text) {
  std::string first;
  bool haveFirst = false;
  ForEachStream(text, [&](std::istream& in) {
    const std::string walked = Walk(in);
    if (!haveFirst) {
      first = walked;
      haveFirst = true;
    } else {
      EXPECT_EQ(walked, first) << "stream kinds disagree on: " << text;
    }
  });
  return first;
}

struct WalkCase {
  const char* text;
  const char* walk;
};

void ExpectWalks(std::initializer_list<WalkCase> cases) {
  for (const auto& c : cases) EXPECT_EQ(WalkText(c.text), c.walk) << "text: " << c.text;
}

// ---- Statements -------------------------------------------------------------

TEST(ParseTools, StatementForms) {
  ExpectWalks({
      {"", "E "},
      {"word", "W:word E "},
      {"[NeuralNetwork] [~NeuralNetwork]", "B:NeuralNetwork E E "},
      {"[A][NumberOfLayers = 6][~A]", "B:A A:NumberOfLayers=6 E E "},
      {"[A]\n[Key=Value]\n[~A]\n", "B:A A:Key=Value E E "},
      {"[A] 0.5 - 1e-3 [~A]", "B:A W:0.5 W:- W:1e-3 E E "},
      // Compound statements come part by part.
      {"[A][Neuron = 3 ActivationFunction = linear][~A]",
       "B:A A:Neuron=3+ A:ActivationFunction=linear E E "},
      {"[A][Matrix Weights TrainableInfo][~A]", "B:A B:Matrix+ B:Weights+ B:TrainableInfo E E "},
      {"[A][All ActivationFunction=sigmoid ][~A]", "B:A B:All+ A:ActivationFunction=sigmoid E E "},
      // Commas and control characters are blanks; bytes above 0x7E too.
      {"[A][Key = v ,]\t,[~A]", "B:A A:Key=v E E "},
      {"[A]\x01w\x7F\xC3\xA9x[~A]", "B:A W:w W:x E E "},
      // A special character ends a token and is read again.
      {"[A][Name = a/b][~A]", "B:A A:Name=a+ !Unexpected special character"},
      {"[A] a<b [~A]", "B:A W:a W:< W:b E E "},
      {"[A] = [~A]", "B:A W:= E E "},
      // Comments are skipped wherever a token may begin, and nest.
      {"/* c */[A]/* x /* nested */ still */[~A]/**/", "B:A E E "},
      {"[A] /*/*a*//  b [~A]", "B:A W:b E E "},
      {"[A = /* c */ v][B]", "A:A=v B:B !Unexpected end of file"},
      // Letter case does not matter for end tags.
      {"[Layer][~LAYER]", "B:Layer E E "},
      {"[a][b][~B][~A]", "B:a B:b E E E "},
  });
}

TEST(ParseTools, FormatVersionHeaderIsPassedOver) {
  ExpectWalks({
      {"[FormatVersion = 1.0]\n\n[A][~A]", "B:A E E "},
      {"[FORMATVERSION = 0.5][A][~A]", "B:A E E "},
      {"[FormatVersion = 1.0][FormatVersion = 1]", "E "},
      {"[A][FormatVersion = 1.0][~A]", "B:A E E "},
      {"[FormatVersion = 1.5][A][~A]", "!Illegal Format Version"},
      {"[FormatVersion = x]", "!number-expected"},
      {"[FormatVersion = 1.0 B]", "!Illegal Format of FormatVersion"},
      // As a later part of a bracket it is an ordinary entry.
      {"[A B FormatVersion = 2]", "B:A+ B:B+ A:FormatVersion=2 E "},
  });
}

TEST(ParseTools, FormatErrors) {
  ExpectWalks({
      {"[A]", "B:A !Unexpected end of file"},
      {"[", "!Unexpected end of file"},
      {"[]", "!Unexpected special character"},
      {"[A = ]", "!Unexpected special character"},
      {"[A = ", "!Unexpected end of file"},
      {"[A][~B]", "B:A !Unexpected End Tag"},
      {"[A][~A extra]", "B:A !Expected ']'"},
      {"[A][~", "B:A !Unexpected End Tag"},
      {"[A][~A", "B:A !Expected ']'"},
      {"/* open", "!Unexpected end of file during comment"},
      {"/* /* */", "!Unexpected end of file during comment"},
      // The end of input inside a bracket is found at once.
      {"[Name", "!Unexpected end of file"},
      {"[Name   \n", "!Unexpected end of file"},
      {"[Key = value", "!Unexpected end of file"},
      {"[Key = value  ", "!Unexpected end of file"},
      {"[a /* c */", "B:a+ !Unexpected end of file"},
      // Internal conditions of the reader that a file can reach.
      {"]", "!Unexpected ']' where a statement begins"},
      {"[A] ] [~A]", "B:A !Unexpected ']' where a statement begins"},
      {"[~A]", "!End Tag without an open block"},
      {"[A][~A][~A]", "B:A E !End Tag without an open block"},
      // Inside a bracket a new bracket is no name.
      {"[a [b]", "B:a+ !Unexpected special character"},
  });
}

TEST(ParseTools, TokensOfAnyLength) {
  const std::string longName(100000, 'n');
  const std::string longValue(5000, '7');
  const std::string text = "[" + longName + " = " + longValue + "] " + longName + "x";
  ForEachStream(text, [&](std::istream& in) {
    ScratchBuffer buffer;
    const Statement entry = ReadStatement(buffer, in, kNoBlock, false);
    EXPECT_EQ(entry.name, longName);
    EXPECT_EQ(entry.value, longValue);
    const Statement word = ReadStatement(buffer, in, kNoBlock, false);
    EXPECT_EQ(word.name, longName + "x");
  });
}

TEST(ParseTools, NestedCommentsNeverExhaustTheStack) {
  std::string opens;
  for (int i = 0; i < 1000000; ++i) opens += "/*";
  EXPECT_EQ(WalkText(opens), "!Unexpected end of file during comment");
  std::string closed = opens;
  for (int i = 0; i < 1000000; ++i) closed += "*/";
  EXPECT_EQ(WalkText(closed + " word"), "W:word E ");
}

TEST(ParseTools, StreamPositionIsExactAfterEachStatement) {
  struct Case {
    const char* text;
    int statements;
    long position;
  } cases[] = {
      {"[A = 1]  rest", 1, 7},
      {"[A = 1 B = 2]", 1, 7},    // the next part starts at "B"
      {"[Name = a/b]", 1, 9},     // the slash stays in the stream
      {"[Matrix Weights]", 1, 8},
      {"abc def", 1, 4},          // the blank after a word is consumed
      {"abc[x]", 1, 3},           // a special character is not
      {"[A]/* c */", 1, 3},
      {"[FormatVersion = 1.0] x", 1, 23},
      {" /* c */ ", 1, 9},
  };
  for (const auto& c : cases) {
    ForEachStream(c.text, [&](std::istream& in) {
      ScratchBuffer buffer;
      bool continued = false;
      for (int i = 0; i < c.statements; ++i)
        continued = ReadStatement(buffer, in, kNoBlock, continued).more;
      EXPECT_EQ(static_cast<long>(in.tellg()), c.position) << c.text;
    });
  }
}

TEST(ParseTools, ReadsABlockThatStartsMidFile) {
  const std::string text = "garbage ] [~X]\n[Layer = 2]\n[Gain = 0.5]\n[~Layer]\ntail";
  ForEachStream(text, [&](std::istream& in) {
    in.seekg(static_cast<std::streamoff>(text.find("[Layer")));
    ScratchBuffer buffer;
    const Statement start = ReadStatement(buffer, in, kNoBlock, false);
    EXPECT_EQ(GetIntegerEntry(buffer, in, start, "layer"), 2);
    EXPECT_EQ(GetNumberEntry(buffer, in, ReadStatement(buffer, in, start.name, false), "GAIN"), 0.5);
    ExpectBlockEnd(buffer, in, ReadStatement(buffer, in, start.name, false));
    EXPECT_EQ(static_cast<long>(in.tellg()), static_cast<long>(text.find("\ntail")));
    EXPECT_EQ(ReadToken(buffer, in), "tail");
    EXPECT_EQ(ReadToken(buffer, in), "");
    EXPECT_TRUE(in.good());
    EXPECT_EQ(static_cast<long>(in.tellg()), static_cast<long>(text.size()));
  });
}

TEST(ParseTools, ReadTokenSplitsAtSpecialCharacters) {
  ForEachStream("[~Layer]ab/*x*/cd=e,f [ ~", [](std::istream& in) {
    ScratchBuffer buffer;
    std::vector<std::string> tokens;
    for (std::string_view t = ReadToken(buffer, in); !t.empty(); t = ReadToken(buffer, in))
      tokens.emplace_back(t);
    EXPECT_EQ(tokens, (std::vector<std::string>{"[~", "Layer", "]", "ab", "cd", "=", "e", "f", "[",
                                                 "~"}));
  });
}

TEST(ParseTools, SkipCommentConsumesThroughTheMatchingEnd) {
  ForEachStream(" a /* b */ */ c", [](std::istream& in) {
    ScratchBuffer buffer;
    SkipComment(buffer, in);
    EXPECT_EQ(ReadToken(buffer, in), "c");
  });
}

TEST(ParseTools, FillingAStatementInPlaceMatchesTheReturnedOne) {
  std::istringstream in("[A = 1 B] w");
  ScratchBuffer buffer;
  Statement s;
  ReadStatement(buffer, in, kNoBlock, false, s);
  EXPECT_EQ(Describe(s), "A:A=1+");
  ReadStatement(buffer, in, kNoBlock, true, s);
  EXPECT_EQ(Describe(s), "B:B");
  EXPECT_EQ(s.value, "");
  ReadStatement(buffer, in, kNoBlock, false, s);
  EXPECT_EQ(Describe(s), "W:w");
}

// ---- Entry readers ------------------------------------------------------------

Statement Parse(const std::string& text, bool continued = false) {
  std::istringstream in(text);
  ScratchBuffer buffer;
  return ReadStatement(buffer, in, kNoBlock, continued);
}

TEST(ParseTools, ExpectBlockStart) {
  std::istringstream in;
  ScratchBuffer b;
  EXPECT_EQ(ExpectBlockStart(b, in, Parse("[NeuralNetwork]"), "NEURALNETWORK"), "NeuralNetwork");
  EXPECT_EQ(ExpectBlockStart(b, in, Parse("[Matrix Weights]"), kNoBlock), "Matrix");
  EXPECT_FILE_ERROR(ExpectBlockStart(b, in, Parse("[Layer]"), "NEURALNETWORK"),
                    "[NEURALNETWORK] expected");
  EXPECT_FILE_ERROR(ExpectBlockStart(b, in, Parse("[NeuralNetwork = 1]"), "NEURALNETWORK"),
                    "[NEURALNETWORK] expected");
  EXPECT_FILE_ERROR(ExpectBlockStart(b, in, Parse("word"), kNoBlock), "start of block expected");
  ExpectBlockEnd(b, in, Parse(""));
  EXPECT_FILE_ERROR(ExpectBlockEnd(b, in, Parse("[A]")), "End Tag expected");
}

TEST(ParseTools, EntryReadersCheckKindAndKey) {
  std::istringstream in;
  ScratchBuffer b;
  EXPECT_EQ(GetIntegerEntry(b, in, Parse("[NumberOfLayers = 6]"), "numberoflayers"), 6);
  EXPECT_EQ(GetIntegerEntry(b, in, Parse("[N = 6abc]"), "N"), 6);
  EXPECT_EQ(GetIntegerEntry(b, in, Parse("[N = -7 more]"), "N"), -7);  // `more` is not examined
  EXPECT_FILE_ERROR(GetIntegerEntry(b, in, Parse("[N = six]"), "N"), "integer-expected");
  EXPECT_FILE_ERROR(GetIntegerEntry(b, in, Parse("[M = 6]"), "N"), "[N = <integer>] expected");
  EXPECT_EQ(GetNumberEntry(b, in, Parse("[Gain = 0.1]"), "GAIN"), 0.1);  // full precision
  EXPECT_FILE_ERROR(GetNumberEntry(b, in, Parse("[Gain]"), "Gain"), "[Gain = <number>] expected");
  EXPECT_FILE_ERROR(GetNumberEntry(b, in, Parse("[Gain = x]"), "Gain"), "number-expected");
  EXPECT_EQ(GetNumberToken(b, in, Parse("-2.5e-3")), -2.5e-3);
  EXPECT_EQ(GetNumberToken(b, in, Parse("1.5x")), 1.5);
  EXPECT_FILE_ERROR(GetNumberToken(b, in, Parse("-")), "number-expected");
  EXPECT_FILE_ERROR(GetNumberToken(b, in, Parse("[A]")), "Token (number) expected");
}

TEST(ParseTools, GetStringEntryNamesWhatItFound) {
  std::istringstream in;
  ScratchBuffer b;
  EXPECT_EQ(GetStringEntry(b, in, Parse("[NetworkType = Mirk]"), "NETWORKTYPE"), "Mirk");
  GetStringEntry(b, in, Parse("[NetworkType = Mirk]"), "NetworkType", "MIRK");
  EXPECT_FILE_ERROR(GetStringEntry(b, in, Parse("[Layer]"), "NetworkType"),
                    "[NetworkType = <string>] expectedLayer");
  EXPECT_FILE_ERROR(GetStringEntry(b, in, Parse(""), "NetworkType"),
                    "[NetworkType = <string>] expected");
  EXPECT_FILE_ERROR(GetStringEntry(b, in, Parse("[NetworkType = Basic]"), "NetworkType", "Mirk"),
                    "[NetworkType = Mirk] expected");
}

TEST(ParseTools, ComposedMessagesAreNeverTruncated) {
  std::istringstream in;
  ScratchBuffer b;
  const std::string key(3000, 'k');
  const std::string found(3000, 'f');
  EXPECT_FILE_ERROR(GetStringEntry(b, in, Parse("[" + found + "]"), key),
                    "[" + key + " = <string>] expected" + found);
  EXPECT_FILE_ERROR(ExpectBlockStart(b, in, Parse("[x]"), key), "[" + key + "] expected");
}

TEST(ParseTools, ParseIntegerAndNumber) {
  std::istringstream in;
  ScratchBuffer b;
  EXPECT_EQ(ParseInteger(b, in, "99999999999999999999"), LONG_MAX);
  EXPECT_EQ(ParseInteger(b, in, "+12x"), 12);
  EXPECT_FILE_ERROR(ParseInteger(b, in, ""), "integer-expected");
  EXPECT_EQ(ParseNumber(b, in, "0.123456789012345678"), 0.123456789012345678);
  EXPECT_EQ(ParseNumber(b, in, "7."), 7.0);
  EXPECT_FILE_ERROR(ParseNumber(b, in, "e5"), "number-expected");
}

// ---- Writer -------------------------------------------------------------------

std::string Written(const std::function<void(ScratchBuffer&, std::ostream&)>& write) {
  std::ostringstream out;
  ScratchBuffer buffer;
  write(buffer, out);
  return out.str();
}

TEST(ParseTools, WriteStatementForms) {
  struct Case {
    StatementKind kind;
    const char* name;
    const char* value;
    bool bracket;
    const char* text;
  } cases[] = {
      {StEnd, "Layer", "", true, "[~Layer]\n"},
      {StEnd, "", "", true, ""},
      {StEnd, "", "", false, ""},
      {StWord, "w", "", true, "w "},
      {StWord, "w", "", false, "w "},
      {StBlock, "NeuralNetwork", "", true, "[NeuralNetwork]\n"},
      {StBlock, "All", "", false, "All "},
      {StAssign, "NetworkType", "Mirk", true, "[NetworkType = Mirk]\n"},
      {StAssign, "ActivationFunction", "sigmoid", false, "ActivationFunction=sigmoid "},
      {StFormatVersion, "", "", true, "[FormatVersion = 1.0]\n\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Written([&](ScratchBuffer& b, std::ostream& o) {
                WriteStatement(b, c.kind, c.name, c.value, o, c.bracket);
              }),
              c.text);
  }
}

TEST(ParseTools, WriteOperations) {
  EXPECT_EQ(Written([](ScratchBuffer& b, std::ostream& o) {
              WriteFormatVersion(b, o);
              WriteBlockStart(b, o, "NeuralNetwork", true);
              WriteIntegerEntry(b, o, "NumberOfLayers", 6, true);
              WriteNumberEntry(b, o, "Gain", 1.0, 15, true);
              WriteOpenBracket(b, o, true);
              WriteBlockStart(b, o, "All", false);
              WriteStringEntry(b, o, "ActivationFunction", "sigmoid", false);
              WriteCloseBracket(b, o, true, true);
              WriteOpenBracket(b, o, true);
              WriteIntegerEntry(b, o, "Input", 0, false);
              WriteIntegerEntry(b, o, "MF", 3, false);
              WriteCloseBracket(b, o, true, false);
              WriteNewLine(b, o);
              WriteOpenBracket(b, o, false);
              WriteCloseBracket(b, o, false, true);
              WriteBlockEnd(b, o, kNoBlock);
              WriteBlockEnd(b, o, "NeuralNetwork");
            }),
            "[FormatVersion = 1.0]\n\n[NeuralNetwork]\n[NumberOfLayers = 6]\n"
            "[Gain = 1.000000000000000]\n[All ActivationFunction=sigmoid ]\n[Input=0 MF=3 ]\n"
            "[~NeuralNetwork]\n");
}

// A token just read can be written with the same buffer, and stays intact.
TEST(ParseTools, WriterLeavesTheReadersTokenAlone) {
  std::istringstream in("sigmoid");
  ScratchBuffer b;
  std::ostringstream out;
  const std::string_view token = ReadToken(b, in);
  WriteStringEntry(b, out, "ActivationFunction", token, true);
  WriteIntegerEntry(b, out, "Count", 3, false);
  WriteStringEntry(b, out, "Again", token, false);
  EXPECT_EQ(out.str(), "[ActivationFunction = sigmoid]\nCount=3 Again=sigmoid ");
  EXPECT_EQ(token, "sigmoid");
}

TEST(ParseTools, WrittenNumbersHaveExactDigitsAtAnyMagnitude) {
  struct Case {
    double value;
    int precision;
    const char* text;
  } cases[] = {
      {-0.5, 3, "[V = -0.500]\n"},
      {0.1, 15, "[V = 0.100000000000000]\n"},
      {-123456.5, 15, "[V = -123456.500000000000000]\n"},
      {2.5, 0, "[V = 2]\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Written([&](ScratchBuffer& b, std::ostream& o) {
                WriteNumberEntry(b, o, "V", c.value, c.precision, true);
              }),
              c.text);
  }
  const std::string huge = Written([](ScratchBuffer& b, std::ostream& o) {
    WriteNumberEntry(b, o, "V", -1e300, 15, false);
  });
  EXPECT_EQ(huge.size(), 2 + 1 + 301 + 1 + 15 + 1u);
  EXPECT_EQ(huge.substr(0, 5), "V=-10");
  EXPECT_EQ(Written([](ScratchBuffer& b, std::ostream& o) {
              WriteIntegerEntry(b, o, "K", -7, false);
              WriteIntegerEntry(b, o, "Min", LONG_MIN, true);
            }),
            "K=-7 [Min = -9223372036854775808]\n");
}

TEST(ParseTools, FieldsAreRightAligned) {
  std::string line;
  AppendGeneralField(line, 0.1, 15, 20);
  EXPECT_EQ(line, std::string(17, ' ') + "0.1");
  line.clear();
  AppendGeneralField(line, -1.25, 15, 20);
  AppendField(line, "-", 20);
  AppendGeneralField(line, 1.0 / 3.0, 15, 20);
  AppendGeneralField(line, 1e-300, 15, 4);  // longer than its field: kept whole
  AppendIntegerField(line, 12, 13);
  AppendIntegerField(line, -5, 0);
  EXPECT_EQ(line, std::string(15, ' ') + "-1.25" + std::string(19, ' ') + "-" + "   " +
                      "0.333333333333333" + "1e-300" + std::string(11, ' ') + "12" + "-5");
}

TEST(ParseTools, WrittenTextReadsBackIntoTheSameStatements) {
  const std::string text = Written([](ScratchBuffer& b, std::ostream& o) {
    WriteFormatVersion(b, o);
    WriteBlockStart(b, o, "Layer", true);
    WriteNumberEntry(b, o, "Gain", -0.25, 15, true);
    WriteOpenBracket(b, o, true);
    WriteIntegerEntry(b, o, "Neuron", 2, false);
    WriteStringEntry(b, o, "ActivationFunction", "sigmoid", false);
    WriteCloseBracket(b, o, true, true);
    WriteOpenBracket(b, o, true);
    WriteBlockStart(b, o, "Attributes", false);
    WriteStatement(b, StWord, "Pruneable", kNoBlock, o, false);
    WriteCloseBracket(b, o, true, true);
    WriteBlockStart(b, o, "Matrix", true);
    std::string row;
    AppendGeneralField(row, 0.1, 15, 20);
    row += ' ';
    AppendField(row, "-", 20);
    row += "  /* 0 */";
    WriteLine(b, o, row);
    WriteBlockEnd(b, o, "Matrix");
    WriteBlockEnd(b, o, "Layer");
  });
  EXPECT_EQ(WalkText(text),
            "B:Layer A:Gain=-0.250000000000000 A:Neuron=2+ A:ActivationFunction=sigmoid "
            "B:Attributes+ B:Pruneable B:Matrix W:0.1 W:- E E E ");
}

TEST(ParseTools, ReadsWhatWasJustWrittenToTheSameStream) {
  std::stringstream io;
  ScratchBuffer b;
  WriteBlockStart(b, io, "A", true);
  EXPECT_EQ(Describe(ReadStatement(b, io, kNoBlock, false)), "B:A");
  WriteIntegerEntry(b, io, "N", 12, true);
  WriteBlockEnd(b, io, "A");
  EXPECT_EQ(GetIntegerEntry(b, io, ReadStatement(b, io, "A", false), "N"), 12);
  ExpectBlockEnd(b, io, ReadStatement(b, io, "A", false));
  EXPECT_EQ(ReadStatement(b, io, kNoBlock, false).kind, StEnd);
}

// Counts the flushes that reach it.
class SyncCounter : public std::stringbuf {
 public:
  int syncs = 0;

 protected:
  int sync() override {
    ++syncs;
    return std::stringbuf::sync();
  }
};

TEST(ParseTools, LineBreaksFlushOnlyTheConsole) {
  auto writeLines = [](std::ostream& out) {
    ScratchBuffer b;
    WriteBlockStart(b, out, "A", true);
    WriteIntegerEntry(b, out, "N", 1, true);
    WriteNewLine(b, out);
    WriteLine(b, out, "x");
    WriteOpenBracket(b, out, true);
    WriteCloseBracket(b, out, true, true);
    WriteBlockEnd(b, out, "A");
  };
  SyncCounter fileLike;
  std::ostream out(&fileLike);
  writeLines(out);
  EXPECT_EQ(fileLike.syncs, 0);
  EXPECT_EQ(fileLike.str(), "[A]\n[N = 1]\n\nx\n[]\n[~A]\n");

  SyncCounter console;
  std::streambuf* old = std::cout.rdbuf(&console);
  writeLines(std::cout);
  std::cout.rdbuf(old);
  EXPECT_EQ(console.syncs, 6);
}

}  // namespace
}  // namespace mirk
