#include "MirkTool/Json.h"

#include <cmath>

#include "Common/Check.h"
#include "MirkTool/Text.h"

namespace mirk::tool {

void AppendJsonString(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (u < 0x20) {
          out += "\\u00";
          out += kHex[u >> 4];
          out += kHex[u & 15];
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

void JsonWriter::Indent() {
  out_ += '\n';
  out_.append(levels_.size() * 2, ' ');
}

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (levels_.empty()) return;
  Level& level = levels_.back();
  if (!level.empty) out_ += level.compact ? ", " : ",";
  if (!level.compact) Indent();
  level.empty = false;
}

void JsonWriter::Begin(char open, bool compact) {
  BeforeValue();
  out_ += open;
  // A container inside a compact one stays on its line too.
  levels_.push_back(Level{compact || (!levels_.empty() && levels_.back().compact)});
}

void JsonWriter::End(char close) {
  MIRK_CHECK(!levels_.empty() && !afterKey_);
  const Level level = levels_.back();
  levels_.pop_back();
  if (!level.compact && !level.empty) Indent();
  out_ += close;
}

void JsonWriter::BeginObject(bool compact) { Begin('{', compact); }
void JsonWriter::EndObject() { End('}'); }
void JsonWriter::BeginArray(bool compact) { Begin('[', compact); }
void JsonWriter::EndArray() { End(']'); }

void JsonWriter::Key(std::string_view key) {
  BeforeValue();
  AppendJsonString(out_, key);
  out_ += ": ";
  afterKey_ = true;
}

void JsonWriter::String(std::string_view value) {
  BeforeValue();
  AppendJsonString(out_, value);
}

void JsonWriter::Number(double value) {
  BeforeValue();
  if (std::isfinite(value)) {
    AppendShortest(out_, value);
  } else {
    out_ += "null";
  }
}

void JsonWriter::Integer(long value) {
  BeforeValue();
  out_ += std::to_string(value);
}

void JsonWriter::Bool(bool value) {
  BeforeValue();
  out_ += value ? "true" : "false";
}

void JsonWriter::Null() {
  BeforeValue();
  out_ += "null";
}

void JsonWriter::Finish() {
  MIRK_CHECK(levels_.empty());
  out_ += '\n';
}

}  // namespace mirk::tool
