#include "FileHandler/ParseTools.h"

#include <array>
#include <bit>
#include <climits>
#include <iostream>
#include <streambuf>
#include <string>

#include "Common/Check.h"
#include "Common/Exceptions.h"
#include "Common/Raise.h"
#include "Common/NumberText.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace mirk {

using FileTools::Fail;

class ScratchAccess {
 public:
  static std::string& Text(ScratchBuffer& buffer) noexcept { return buffer.text_; }
  static std::string& Line(ScratchBuffer& buffer) noexcept { return buffer.line_; }
  static std::string& Number(ScratchBuffer& buffer) noexcept { return buffer.number_; }
};

namespace {

using Traits = std::char_traits<char>;
constexpr int kEof = Traits::eof();

// ---- Character classes ------------------------------------------------------

enum CharClass : unsigned char { kSeparator, kSpecial, kTokenChar };

constexpr std::array<CharClass, 256> MakeClasses() {
  std::array<CharClass, 256> classes{};
  for (int c = 0; c < 256; ++c) {
    if (c < 0x21 || c > 0x7E || c == ',') {
      classes[c] = kSeparator;
    } else if (c == '[' || c == ']' || c == '/' || c == '*' || c == '=' || c == '<' || c == '>') {
      classes[c] = kSpecial;
    } else {
      classes[c] = kTokenChar;
    }
  }
  return classes;
}

constexpr std::array<CharClass, 256> kClasses = MakeClasses();

inline CharClass ClassOf(int c) noexcept { return kClasses[static_cast<unsigned char>(c)]; }

// The end of the run of class `cls` (kTokenChar or kSeparator) that starts
// at p. Sixteen characters are classified at a time where SSE2 is there.
inline char* RunEnd(char* p, const char* end, CharClass cls) noexcept {
#if defined(__SSE2__)
  const __m128i printableFrom = _mm_set1_epi8(0x21);  // signed: also catches 0x80-0xFF
  while (end - p >= 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i separator = _mm_or_si128(_mm_cmplt_epi8(v, printableFrom),
                                     _mm_cmpeq_epi8(v, _mm_set1_epi8(0x7F)));
    separator = _mm_or_si128(separator, _mm_cmpeq_epi8(v, _mm_set1_epi8(',')));
    unsigned stops = 0;
    if (cls == kTokenChar) {
      __m128i special = _mm_cmpeq_epi8(v, _mm_set1_epi8('['));
      for (char c : {']', '/', '*', '=', '<', '>'})
        special = _mm_or_si128(special, _mm_cmpeq_epi8(v, _mm_set1_epi8(c)));
      stops = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(separator, special)));
    } else {
      stops = ~static_cast<unsigned>(_mm_movemask_epi8(separator)) & 0xFFFFu;
    }
    if (stops != 0) return p + std::countr_zero(stops);
    p += 16;
  }
#endif
  while (p < end && ClassOf(*p) == cls) ++p;
  return p;
}

// ---- Stream access ------------------------------------------------------------

// The get area of any streambuf. Naming the protected members through a
// derived class yields pointers to members of std::streambuf, which apply to
// every streambuf; the scanner can then work on plain pointers and hand the
// consumed count back once.
struct GetArea : std::streambuf {
  static char* Next(std::streambuf& b) { return (b.*&GetArea::gptr)(); }
  static char* End(std::streambuf& b) { return (b.*&GetArea::egptr)(); }
  static void Consume(std::streambuf& b, int n) { (b.*&GetArea::gbump)(n); }
};

// A read cursor over an istream. While it lives it reads the streambuf's
// buffered characters through plain pointers; it gives back what it consumed
// when it is destroyed (and before it asks the streambuf for more), so the
// stream position is exact between operations. A streambuf without a get
// area is read character by character through sgetc/sbumpc.
class Cursor {
 public:
  explicit Cursor(std::istream& in) : in_(in), buf_(in.rdbuf()) { Fetch(); }
  ~Cursor() { Commit(); }
  Cursor(const Cursor&) = delete;
  Cursor& operator=(const Cursor&) = delete;

  std::istream& Stream() const noexcept { return in_; }

  // The next character without consuming it, or kEof.
  int Peek() {
    if (next_ < end_) return static_cast<unsigned char>(*next_);
    return Refill();
  }
  // Consumes the character Peek returned.
  void Advance() {
    if (next_ < end_) {
      ++next_;
    } else {
      buf_->sbumpc();
    }
  }
  int Get() {
    const int c = Peek();
    if (c != kEof) Advance();
    return c;
  }

  // The common case on a fast road: skips separators and, when the next
  // token is a word that ends within the buffered characters, appends it to
  // `word` and consumes it with the separator that ends it. False when the
  // general road must decide (a special character, the end of the buffer).
  bool TakeBufferedWord(std::string& word) {
    char* p = RunEnd(next_, end_, kSeparator);
    next_ = p;
    if (p == end_ || ClassOf(*p) != kTokenChar) return false;
    char* q = RunEnd(p, end_, kTokenChar);
    if (q == end_) return false;
    word.append(p, static_cast<std::size_t>(q - p));
    next_ = ClassOf(*q) == kSeparator ? q + 1 : q;
    return true;
  }

  // Consumes the buffered characters of class `cls` that stand next; stops
  // at the end of the buffered characters (Peek then tells more).
  std::string_view TakeRun(CharClass cls) noexcept {
    char* start = next_;
    next_ = RunEnd(next_, end_, cls);
    return {start, static_cast<std::size_t>(next_ - start)};
  }

 private:
  int Refill() {
    Commit();
    if (buf_ == nullptr) return kEof;
    const int c = buf_->sgetc();
    if (c == kEof) return kEof;
    Fetch();
    return c;
  }

  void Fetch() {
    if (buf_ == nullptr) return;
    begin_ = next_ = GetArea::Next(*buf_);
    end_ = GetArea::End(*buf_);
    // Consume takes an int.
    if (end_ - begin_ > INT_MAX) end_ = begin_ + INT_MAX;
  }

  void Commit() noexcept {
    if (next_ != begin_) GetArea::Consume(*buf_, static_cast<int>(next_ - begin_));
    begin_ = next_;
  }

  std::istream& in_;
  std::streambuf* buf_;
  char* begin_ = nullptr;  // the streambuf's gptr as last fetched
  char* next_ = nullptr;
  char* end_ = nullptr;
};

// ---- Tokens ---------------------------------------------------------------------

void SkipCommentAt(Cursor& cur) {
  // Nesting is counted, not recursed, so no input can exhaust the stack.
  // After a nested comment closes, its opening "*" counts as the previous
  // character of the enclosing one.
  std::size_t depth = 1;
  int previous = ' ';
  for (;;) {
    const int c = cur.Get();
    if (c == kEof) Fail(cur.Stream(), "Unexpected end of file during comment");
    if (c == '/' && previous == '*') {
      if (--depth == 0) return;
      previous = '*';
    } else if (c == '*' && previous == '/') {
      ++depth;
      previous = ' ';
    } else {
      previous = c;
    }
  }
}

// Skips separators; returns the next character (not consumed) or kEof.
int SkipSeparators(Cursor& cur) {
  for (;;) {
    cur.TakeRun(kSeparator);
    const int c = cur.Peek();
    if (c == kEof || ClassOf(c) != kSeparator) return c;
    cur.Advance();
  }
}

// Reads the next token into `token` (empty at the end of input).
void ScanToken(Cursor& cur, std::string& token) {
  token.clear();
  for (;;) {
    const int c1 = SkipSeparators(cur);
    if (c1 == kEof) return;
    if (ClassOf(c1) == kSpecial) {
      cur.Advance();
      token.push_back(static_cast<char>(c1));
      const int c2 = cur.Peek();
      if (c1 == '/' && c2 == '*') {
        cur.Advance();
        SkipCommentAt(cur);
        token.clear();
        continue;
      }
      if (c1 == '[' && c2 == '~') {
        cur.Advance();
        token.push_back('~');
      }
      return;
    }
    for (;;) {
      token.append(cur.TakeRun(kTokenChar));
      const int c = cur.Peek();
      if (c == kEof) return;
      switch (ClassOf(c)) {
        case kTokenChar:  // only when the streambuf has no buffer
          token.push_back(static_cast<char>(c));
          cur.Advance();
          break;
        case kSeparator:
          cur.Advance();
          return;
        case kSpecial:
          return;
      }
    }
  }
}

bool Is(const std::string& token, char c) noexcept { return token.size() == 1 && token[0] == c; }

bool IsSpecialStart(std::string_view token) noexcept {
  return !token.empty() && ClassOf(token.front()) == kSpecial;
}

constexpr double kHighestFormatVersion = 1.0;

}  // namespace

// ---- Reading ----------------------------------------------------------------------

std::string_view ReadToken(ScratchBuffer& buffer, std::istream& in) {
  std::string& token = ScratchAccess::Text(buffer);
  Cursor cur(in);
  ScanToken(cur, token);
  return token;
}

void SkipComment(ScratchBuffer&, std::istream& in) {
  Cursor cur(in);
  SkipCommentAt(cur);
}

void ReadStatement(ScratchBuffer& buffer, std::istream& in, std::string_view block,
                   bool continued, Statement& result) {
  // Tokens are scanned straight into the statement's own strings.
  std::string& name = result.name;
  Cursor cur(in);
  for (;;) {
    result.kind = StNone;
    result.value.clear();
    result.more = false;

    name.clear();
    if (!continued && cur.TakeBufferedWord(name)) {
      result.kind = StWord;
      return;
    }
    ScanToken(cur, name);
    if (name.empty()) {
      // Inside a bracket the end of input is always premature.
      if (!block.empty() || continued) Fail(in, "Unexpected end of file");
      result.kind = StEnd;
      return;
    }

    if (continued || Is(name, '[')) {
      if (!continued) ScanToken(cur, name);
      if (name.empty()) Fail(in, "Unexpected end of file");
      if (IsSpecialStart(name)) Fail(in, "Unexpected special character");
      // Raw characters decide the form; a comment is not recognised here.
      const int c = SkipSeparators(cur);
      if (c == kEof) Fail(in, "Unexpected end of file");
      if (c == ']') {
        cur.Advance();
        result.kind = StBlock;
        return;
      }
      if (c != '=') {
        result.kind = StBlock;
        result.more = true;
        return;
      }
      cur.Advance();
      ScanToken(cur, result.value);
      if (result.value.empty()) Fail(in, "Unexpected end of file");
      if (IsSpecialStart(result.value)) Fail(in, "Unexpected special character");
      const int c2 = SkipSeparators(cur);
      if (c2 == kEof) Fail(in, "Unexpected end of file");
      if (c2 == ']') cur.Advance();
      if (!continued && strcasecmp(name, "FormatVersion") == 0) {
        if (c2 != ']') Fail(in, "Illegal Format of FormatVersion");
        if (ParseNumber(buffer, in, result.value) > kHighestFormatVersion)
          Fail(in, "Illegal Format Version");
        continue;
      }
      result.kind = StAssign;
      result.more = c2 != ']';
      return;
    }

    if (name.size() == 2 && name[0] == '[' && name[1] == '~') {
      if (block.empty()) Fail(in, "End Tag without an open block");
      std::string& token = ScratchAccess::Text(buffer);
      ScanToken(cur, token);
      if (strcasecmp(token, block) != 0) Fail(in, "Unexpected End Tag");
      ScanToken(cur, token);
      if (!Is(token, ']')) Fail(in, "Expected ']'");
      name.clear();
      result.kind = StEnd;
      return;
    }

    if (Is(name, ']')) Fail(in, "Unexpected ']' where a statement begins");

    result.kind = StWord;
    return;
  }
}

Statement ReadStatement(ScratchBuffer& buffer, std::istream& in, std::string_view block,
                        bool continued) {
  Statement result;
  ReadStatement(buffer, in, block, continued, result);
  return result;
}

std::string ExpectBlockStart(ScratchBuffer&, std::istream& in, const Statement& statement,
                             std::string_view block) {
  if (statement.kind != StBlock || (!block.empty() && strcasecmp(statement.name, block) != 0)) {
    if (block.empty()) Fail(in, "start of block expected");
    std::string message = "[";
    message.append(block).append("] expected");
    Fail(in, std::move(message));
  }
  return statement.name;
}

void ExpectBlockEnd(ScratchBuffer&, std::istream& in, const Statement& statement) {
  if (statement.kind != StEnd) Fail(in, "End Tag expected");
}

namespace {

void RequireEntry(std::istream& in, const Statement& statement, std::string_view key,
                  std::string_view what, bool nameFound) {
  if (statement.kind == StAssign && strcasecmp(statement.name, key) == 0) return;
  std::string message = "[";
  message.append(key).append(" = ").append(what).append("] expected");
  if (nameFound) message.append(statement.name);
  Fail(in, std::move(message));
}

}  // namespace

std::string GetStringEntry(ScratchBuffer&, std::istream& in, const Statement& statement,
                           std::string_view key, std::string_view expected) {
  RequireEntry(in, statement, key, "<string>", true);
  if (!expected.empty() && strcasecmp(statement.value, expected) != 0) {
    std::string message = "[";
    message.append(key).append(" = ").append(expected).append("] expected");
    Fail(in, std::move(message));
  }
  return statement.value;
}

long GetIntegerEntry(ScratchBuffer& buffer, std::istream& in, const Statement& statement,
                     std::string_view key) {
  RequireEntry(in, statement, key, "<integer>", false);
  return ParseInteger(buffer, in, statement.value);
}

double GetNumberEntry(ScratchBuffer& buffer, std::istream& in, const Statement& statement,
                      std::string_view key) {
  RequireEntry(in, statement, key, "<number>", false);
  return ParseNumber(buffer, in, statement.value);
}

double GetNumberToken(ScratchBuffer& buffer, std::istream& in, const Statement& statement) {
  if (statement.kind != StWord) Fail(in, "Token (number) expected");
  return ParseNumber(buffer, in, statement.name);
}

long ParseInteger(ScratchBuffer&, std::istream& in, std::string_view text) {
  long value = 0;
  if (!ParseLongPrefix(text, value)) Fail(in, "integer-expected");
  return value;
}

double ParseNumber(ScratchBuffer&, std::istream& in, std::string_view text) {
  double value = 0.0;
  if (!ParseDoublePrefix(text, value)) Fail(in, "number-expected");
  return value;
}

// ---- Writing ------------------------------------------------------------------------

bool IsSingleToken(std::string_view text) noexcept {
  if (text.empty()) return false;
  for (char c : text) {
    if (ClassOf(c) != kTokenChar) return false;
  }
  return true;
}

namespace {

bool IsConsole(const std::ostream& out) noexcept {
  return &out == &std::cout || &out == &std::cerr || &out == &std::clog;
}

// Writes the assembled text in one call; console streams are flushed when
// the text ends a line.
void Emit(std::ostream& out, std::string_view text) {
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (!text.empty() && text.back() == '\n' && IsConsole(out)) out.flush();
}

// The text of a statement, appended to `line`.
void AppendStatement(std::string& line, StatementKind kind, std::string_view name,
                     std::string_view value, bool bracket) {
  switch (kind) {
    case StEnd:
      if (name.empty()) return;
      MIRK_CHECK(bracket);
      line.append("[~").append(name).append("]\n");
      return;
    case StWord:
      line.append(name).push_back(' ');
      return;
    case StBlock:
      if (bracket) {
        line.append("[").append(name).append("]\n");
      } else {
        line.append(name).push_back(' ');
      }
      return;
    case StAssign:
      if (bracket) {
        line.append("[").append(name).append(" = ").append(value).append("]\n");
      } else {
        line.append(name).append("=").append(value).push_back(' ');
      }
      return;
    case StFormatVersion:
      MIRK_CHECK(bracket);
      line.append("[FormatVersion = 1.0]\n\n");
      return;
    case StNone:
      break;
  }
  MIRK_CHECK(!"unknown statement kind");
}

void WriteAssembled(ScratchBuffer& buffer, std::ostream& out, StatementKind kind,
                    std::string_view name, std::string_view value, bool bracket) {
  std::string& line = ScratchAccess::Line(buffer);
  line.clear();
  AppendStatement(line, kind, name, value, bracket);
  Emit(out, line);
}

}  // namespace

void WriteStatement(ScratchBuffer& buffer, StatementKind kind, std::string_view name,
                    std::string_view value, std::ostream& out, bool bracket) {
  WriteAssembled(buffer, out, kind, name, value, bracket);
}

void WriteOpenBracket(ScratchBuffer&, std::ostream& out, bool bracket) {
  if (bracket) Emit(out, "[");
}

void WriteCloseBracket(ScratchBuffer&, std::ostream& out, bool bracket, bool newline) {
  if (bracket) Emit(out, newline ? "]\n" : "]");
}

void WriteFormatVersion(ScratchBuffer& buffer, std::ostream& out) {
  WriteAssembled(buffer, out, StFormatVersion, {}, {}, true);
}

void WriteNewLine(ScratchBuffer&, std::ostream& out) { Emit(out, "\n"); }

void WriteBlockStart(ScratchBuffer& buffer, std::ostream& out, std::string_view name,
                     bool bracket) {
  WriteAssembled(buffer, out, StBlock, name, {}, bracket);
}

void WriteBlockEnd(ScratchBuffer& buffer, std::ostream& out, std::string_view name) {
  WriteAssembled(buffer, out, StEnd, name, {}, true);
}

void WriteStringEntry(ScratchBuffer& buffer, std::ostream& out, std::string_view key,
                      std::string_view value, bool bracket) {
  WriteAssembled(buffer, out, StAssign, key, value, bracket);
}

void WriteIntegerEntry(ScratchBuffer& buffer, std::ostream& out, std::string_view key, long value,
                       bool bracket) {
  std::string& number = ScratchAccess::Number(buffer);
  number.clear();
  AppendLong(number, value);
  WriteAssembled(buffer, out, StAssign, key, number, bracket);
}

void WriteNumberEntry(ScratchBuffer& buffer, std::ostream& out, std::string_view key,
                      double value, int precision, bool bracket) {
  std::string& number = ScratchAccess::Number(buffer);
  number.clear();
  AppendFixed(number, value, precision);
  WriteAssembled(buffer, out, StAssign, key, number, bracket);
}

void WriteLine(ScratchBuffer&, std::ostream& out, std::string_view text) {
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  Emit(out, "\n");
}

namespace {

void PadTo(std::string& line, std::size_t start, int width) {
  const std::size_t written = line.size() - start;
  if (width <= 0 || written >= static_cast<std::size_t>(width)) return;
  line.insert(start, static_cast<std::size_t>(width) - written, ' ');
}

}  // namespace

void AppendField(std::string& line, std::string_view text, int width) {
  if (width > 0 && text.size() < static_cast<std::size_t>(width))
    line.append(static_cast<std::size_t>(width) - text.size(), ' ');
  line.append(text);
}

void AppendGeneralField(std::string& line, double value, int significant, int width) {
  const std::size_t start = line.size();
  AppendGeneral(line, value, significant);
  PadTo(line, start, width);
}

void AppendIntegerField(std::string& line, long value, int width) {
  const std::size_t start = line.size();
  AppendLong(line, value);
  PadTo(line, start, width);
}

}  // namespace mirk
