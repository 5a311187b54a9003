// Helpers for tests of the structured text reader: a streambuf that hands
// out its text in small pieces, so the reader meets the end of a buffer (or
// no buffer at all) in every possible place, and a walk over a text in the
// manner of the file readers.
#pragma once

#include <algorithm>
#include <cstddef>
#include <istream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "FileHandler/ParseTools.h"

namespace mirk::test {

class ChunkedStreambuf : public std::streambuf {
 public:
  // chunk > 0: a get area of at most `chunk` characters at a time.
  // chunk == 0: no get area; every character comes through underflow/uflow.
  ChunkedStreambuf(std::string text, std::size_t chunk) : text_(std::move(text)), chunk_(chunk) {
    SetArea(0, 0);
  }

 protected:
  int_type underflow() override {
    const std::size_t pos = Position();
    if (pos >= text_.size()) return traits_type::eof();
    if (chunk_ == 0) return traits_type::to_int_type(text_[pos]);
    SetArea(pos, std::min(chunk_, text_.size() - pos));
    return traits_type::to_int_type(*gptr());
  }

  int_type uflow() override {
    if (chunk_ != 0) return std::streambuf::uflow();
    if (unbuffered_ >= text_.size()) return traits_type::eof();
    return traits_type::to_int_type(text_[unbuffered_++]);
  }

  pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode) override {
    const off_type base = dir == std::ios_base::beg   ? 0
                          : dir == std::ios_base::cur ? static_cast<off_type>(Position())
                                                      : static_cast<off_type>(text_.size());
    const off_type target = base + off;
    if (target < 0 || target > static_cast<off_type>(text_.size())) return pos_type(off_type(-1));
    SetArea(static_cast<std::size_t>(target), 0);
    return pos_type(target);
  }

  pos_type seekpos(pos_type pos, std::ios_base::openmode which) override {
    return seekoff(off_type(pos), std::ios_base::beg, which);
  }

 private:
  std::size_t Position() const {
    return chunk_ == 0 ? unbuffered_ : static_cast<std::size_t>(gptr() - text_.data());
  }

  void SetArea(std::size_t pos, std::size_t size) {
    if (chunk_ == 0) {
      unbuffered_ = pos;
      return;
    }
    char* p = text_.data() + pos;
    setg(p, p, p + size);
  }

  std::string text_;
  std::size_t chunk_;
  std::size_t unbuffered_ = 0;
};

// Reads statements as a file reader does: a whole bracket "[NAME]" opens a
// block, an end tag closes the innermost one, and a part with `more` is
// followed by its continuation. Calls visit(buffer, statement) after each
// statement and returns after the end at top level. Format errors propagate.
template <typename Visit>
void WalkStatements(std::istream& in, Visit&& visit) {
  ScratchBuffer buffer;
  std::vector<std::string> blocks;
  Statement s;
  bool continued = false;
  for (;;) {
    const bool wasContinued = continued;
    ReadStatement(buffer, in, blocks.empty() ? kNoBlock : std::string_view(blocks.back()),
                  continued, s);
    visit(buffer, s);
    if (s.kind == StEnd) {
      if (blocks.empty()) return;
      blocks.pop_back();
    } else if (s.kind == StBlock && !s.more && !wasContinued) {
      blocks.push_back(s.name);
    }
    continued = s.more;
  }
}

}  // namespace mirk::test
