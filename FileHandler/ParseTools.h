// The bracketed structured text shared by every file of the system: a
// statement reader with checked entry readers, and the matching writer.
// The syntax is described in doc/StructuredText.md.
//
// Reading works on the stream's std::streambuf: after every operation that
// returns normally, the stream stands exactly after the last character the
// operation consumed, so a caller may note positions, seek, or start reading
// a block in the middle of a file. The stream's state flags are left alone
// (the end of input shows in the results), so tellg and seekg keep working
// after the last statement. After a FileTools::Error the stream position is
// unspecified.
//
// Writing: a line break is '\n'. It flushes the stream only when the stream
// is std::cout, std::cerr or std::clog; a file writer built on these
// operations flushes once when it has written everything.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

namespace mirk {

// The values are shared with the writer.
enum StatementKind : int {
  StEnd = 0,            // end tag of the open block, or end of input at top level
  StWord = 1,           // a bare token outside brackets
  StBlock = 2,          // [NAME], or a bracket's word part
  StAssign = 3,         // [KEY = VALUE], or a bracket's KEY = VALUE part
  StNone = 4,           // initial value; never returned
  StFormatVersion = 5,  // writer only
};

struct Statement {
  StatementKind kind = StNone;
  std::string name;   // StWord: the word; StBlock: the name; StAssign: the key; empty for StEnd
  std::string value;  // StAssign only
  // The bracket continues: its next part comes from ReadStatement with
  // `continued` set.
  bool more = false;
};

// Passed to every reading and writing operation. It holds the storage in
// which tokens and lines are assembled (no length limit), so one buffer used
// for a whole file avoids an allocation per token. Not shared between threads.
class ScratchBuffer {
 public:
  ScratchBuffer() = default;
  ScratchBuffer(const ScratchBuffer&) = delete;
  ScratchBuffer& operator=(const ScratchBuffer&) = delete;
  ScratchBuffer(ScratchBuffer&&) noexcept = default;
  ScratchBuffer& operator=(ScratchBuffer&&) noexcept = default;

 private:
  friend class ScratchAccess;
  // The reader's and the writer's storage are apart, so that a token just
  // read can be written with the same buffer.
  std::string text_;    // the token being read
  std::string line_;    // the line being written
  std::string number_;  // a number text being written
};

// No open block: the block name argument of ReadStatement at top level, and
// the "any name" argument of ExpectBlockStart. Block names are never empty.
inline constexpr std::string_view kNoBlock{};

// ---- Reading ------------------------------------------------------------
// Every failure throws FileTools::Error with the stream.

// The next token, or an empty view at the end of input. Comments are
// skipped. The view points into `buffer` and lives until its next use.
std::string_view ReadToken(ScratchBuffer& buffer, std::istream& in);

// Called after "/*" was consumed: consumes through the matching "*/".
// Comments nest to any depth.
void SkipComment(ScratchBuffer& buffer, std::istream& in);

// The next statement. `block` names the innermost open block (kNoBlock at
// top level). With `continued` the reader is inside a bracket whose earlier
// parts came with `more` set, and reads its next part. A format version
// header is checked and passed over. Besides the errors of the grammar, a
// "]" where a statement begins ("Unexpected ']' where a statement begins")
// and an end tag with no open block ("End Tag without an open block") are
// refused; the end of input inside a bracket is "Unexpected end of file".
Statement ReadStatement(ScratchBuffer& buffer, std::istream& in, std::string_view block,
                        bool continued);
// The same, filling `result` in place so its strings keep their storage:
// the form for long runs of words such as weight matrices. `block` must not
// view `result`'s own strings.
void ReadStatement(ScratchBuffer& buffer, std::istream& in, std::string_view block,
                   bool continued, Statement& result);

// Catch a null pointer passed for "no block" at compile time.
Statement ReadStatement(ScratchBuffer&, std::istream&, std::nullptr_t, bool) = delete;
void ReadStatement(ScratchBuffer&, std::istream&, std::nullptr_t, bool, Statement&) = delete;

// The statement must start a block named `block` (case-insensitive; any name
// for kNoBlock). Returns the name as written, to pass to ReadStatement.
// `more` is not examined.
std::string ExpectBlockStart(ScratchBuffer& buffer, std::istream& in, const Statement& statement,
                             std::string_view block);
// The statement must be StEnd.
void ExpectBlockEnd(ScratchBuffer& buffer, std::istream& in, const Statement& statement);

// The statement must be the entry `key` (case-insensitive). Returns its
// value. With an `expected` value, the value must equal it
// (case-insensitive). None of the entry readers examines `more`.
std::string GetStringEntry(ScratchBuffer& buffer, std::istream& in, const Statement& statement,
                           std::string_view key, std::string_view expected = {});
long GetIntegerEntry(ScratchBuffer& buffer, std::istream& in, const Statement& statement,
                     std::string_view key);
double GetNumberEntry(ScratchBuffer& buffer, std::istream& in, const Statement& statement,
                      std::string_view key);
// The statement must be a word; returns ParseNumber of it.
double GetNumberToken(ScratchBuffer& buffer, std::istream& in, const Statement& statement);

// A leading decimal integer as "%ld" reads it; trailing text is ignored.
long ParseInteger(ScratchBuffer& buffer, std::istream& in, std::string_view text);
// A leading real number as "%lf" reads it, to full double precision;
// trailing text is ignored.
double ParseNumber(ScratchBuffer& buffer, std::istream& in, std::string_view text);

// ---- Writing ------------------------------------------------------------
// Names and values must be single tokens. Nothing is reported; the caller
// tests the stream.

// Whether `text` reads back as one token: not empty, and only printable
// characters other than the comma and "[]/*=<>".
bool IsSingleToken(std::string_view text) noexcept;

// With `bracket` the statement stands alone on its line; without, it is one
// part of a compound statement (no brackets, no line break):
//   kind             bracket                         no bracket
//   StEnd, name      [~name] line break              (internal check)
//   StEnd, no name   nothing                         nothing
//   StWord           name and a blank                the same
//   StBlock          [name] line break               name and a blank
//   StAssign         [name = value] line break       name=value and a blank
//   StFormatVersion  [FormatVersion = 1.0], 2 breaks (internal check)
void WriteStatement(ScratchBuffer& buffer, StatementKind kind, std::string_view name,
                    std::string_view value, std::ostream& out, bool bracket);

// A compound statement: WriteOpenBracket(.., true), the parts without
// bracket, WriteCloseBracket(.., true, true).
void WriteOpenBracket(ScratchBuffer& buffer, std::ostream& out, bool bracket);
void WriteCloseBracket(ScratchBuffer& buffer, std::ostream& out, bool bracket, bool newline);
// "[FormatVersion = 1.0]" and an empty line.
void WriteFormatVersion(ScratchBuffer& buffer, std::ostream& out);
void WriteNewLine(ScratchBuffer& buffer, std::ostream& out);
void WriteBlockStart(ScratchBuffer& buffer, std::ostream& out, std::string_view name, bool bracket);
// Always bracketed; writes nothing for kNoBlock.
void WriteBlockEnd(ScratchBuffer& buffer, std::ostream& out, std::string_view name);
void WriteStringEntry(ScratchBuffer& buffer, std::ostream& out, std::string_view key,
                      std::string_view value, bool bracket);
// "%ld".
void WriteIntegerEntry(ScratchBuffer& buffer, std::ostream& out, std::string_view key, long value,
                       bool bracket);
// "%.*f": fixed notation with `precision` decimals, any magnitude.
void WriteNumberEntry(ScratchBuffer& buffer, std::ostream& out, std::string_view key,
                      double value, int precision, bool bracket);

// Writes `text` and a line break in one call: lines assembled by the caller
// (rows of a weight matrix) with the AppendField helpers below.
void WriteLine(ScratchBuffer& buffer, std::ostream& out, std::string_view text);

// Appends `text` right-aligned in `width` characters (blanks first; a longer
// text is appended whole).
void AppendField(std::string& line, std::string_view text, int width);
// Appends `value` in the general format with `significant` digits ("%*.*g"),
// right-aligned in `width` characters.
void AppendGeneralField(std::string& line, double value, int significant, int width);
// "%*ld".
void AppendIntegerField(std::string& line, long value, int width);

}  // namespace mirk
