#include "KQmessage/KQML.h"

#include <iostream>
#include <sstream>

#include "Common/Check.h"
#include "Common/Exceptions.h"
#include "Common/NumberText.h"

namespace mirk {

TKQstructure::TKQstructure() : name_("unknown") {}

TKQstructure::TKQstructure(std::string_view name) : name_(name) {}

TKQstructure::TKQstructure(const TKQstructure& other)
    : name_(other.name_), capacity_(other.GetCount()) {
  fields_.reserve(other.fields_.size());
  for (const auto& [key, value] : other.fields_)
    fields_.emplace_back(key, std::make_unique<TKQstructure>(*value));
}

TKQstructure& TKQstructure::operator=(const TKQstructure& other) {
  if (this != &other) {
    TKQstructure copy(other);
    name_ = std::move(copy.name_);
    fields_ = std::move(copy.fields_);
    capacity_ = copy.capacity_;
  }
  return *this;
}

TKQstructure::~TKQstructure() = default;

const std::string& TKQstructure::GetKey(int i) const {
  MIRK_CHECK(i >= 0 && i < GetCount());
  return fields_[static_cast<std::size_t>(i)].first;
}

TKQstructure* TKQstructure::GetValue(int i) const {
  MIRK_CHECK(i >= 0 && i < GetCount());
  return fields_[static_cast<std::size_t>(i)].second.get();
}

int TKQstructure::Find(std::string_view key) const {
  for (int i = GetCount() - 1; i >= 0; --i)
    if (strcasecmp(fields_[static_cast<std::size_t>(i)].first, key) == 0) return i;
  return -1;
}

void TKQstructure::Set(std::string_view key, std::unique_ptr<TKQstructure> value) {
  MIRK_CHECK(value != nullptr);
  const int i = Find(key);
  if (i >= 0) {
    fields_[static_cast<std::size_t>(i)].second = std::move(value);
    return;
  }
  if (GetCount() == capacity_) {
    capacity_ = capacity_ * 2 < 16 ? 16 : capacity_ * 2;
    fields_.reserve(static_cast<std::size_t>(capacity_));
  }
  fields_.emplace_back(std::string(key), std::move(value));
}

void TKQstructure::SetString(std::string_view key, std::string_view text) {
  Set(key, std::make_unique<TKQstructure>(text));
}

void TKQstructure::SetInteger(std::string_view key, long value) {
  SetString(key, FormatLong(value));
}

void TKQstructure::SetNumber(std::string_view key, double value) {
  SetString(key, FormatFixed(value, 6));
}

void TKQstructure::SetBoolean(std::string_view key, bool value) {
  SetString(key, value ? "true" : "false");
}

TKQstructure* TKQstructure::Lookup(std::string_view key) const {
  const int i = Find(key);
  return i < 0 ? nullptr : fields_[static_cast<std::size_t>(i)].second.get();
}

TKQstructure* TKQstructure::Get(std::string_view key) const {
  TKQstructure* value = Lookup(key);
  MIRK_CHECK(value != nullptr);
  return value;
}

namespace {

[[noreturn]] void ThrowError(std::string_view type, std::initializer_list<std::pair<std::string_view, std::string_view>> fields) {
  auto detail = KQNewError(type);
  for (const auto& [key, value] : fields) detail->SetString(key, value);
  throw TKQstructure::Error(std::move(detail));
}

}  // namespace

TKQstructure* TKQstructure::Require(std::string_view key) const {
  TKQstructure* value = Lookup(key);
  if (value == nullptr) ThrowError("invalid-message", {{"expected", key}});
  return value;
}

void TKQstructure::Expect(std::string_view key, std::string_view value) const {
  const TKQstructure* found = Lookup(key);
  if (found == nullptr) ThrowError("invalid-message", {{"expected", key}});
  if (!value.empty() && strcasecmp(found->name_, value) != 0)
    ThrowError("invalid-message", {{"tag", key}, {"expected-value", value}});
}

void TKQstructure::Remove(std::string_view key) {
  const int i = Find(key);
  if (i < 0) return;
  auto& slot = fields_[static_cast<std::size_t>(i)];
  if (static_cast<std::size_t>(i) + 1 != fields_.size()) slot = std::move(fields_.back());
  fields_.pop_back();
}

void TKQstructure::Print(std::ostream& out) const {
  if (fields_.empty()) {
    out << name_;
    return;
  }
  out << '(' << name_;
  for (const auto& [key, value] : fields_) {
    out << " :" << key << ' ';
    value->Print(out);
  }
  out << ')';
}

void TKQstructure::Print() const { Print(std::cout); }

void TKQstructure::PrintLine(std::ostream& out) const {
  Print(out);
  out << '\n';
}

void TKQstructure::PrintLine() const { PrintLine(std::cout); }

std::string TKQstructure::ToText() const {
  std::ostringstream out;
  Print(out);
  return out.str();
}

// ---- Parsing -------------------------------------------------------------

namespace {

class KQTokenizer {
 public:
  explicit KQTokenizer(std::string_view text) : text_(text) {}

  // An empty token at the end of the text.
  std::string_view Next() {
    while (pos_ < text_.size() && !IsPrintable(text_[pos_])) ++pos_;
    if (pos_ == text_.size()) return {};
    const std::size_t start = pos_;
    if (IsSpecial(text_[pos_])) return text_.substr(pos_++, 1);
    while (pos_ < text_.size() && IsPrintable(text_[pos_]) && text_[pos_] != '(' &&
           text_[pos_] != ')')
      ++pos_;
    return text_.substr(start, pos_ - start);
  }

 private:
  static bool IsPrintable(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x21 && u <= 0x7E;
  }
  static bool IsSpecial(char c) { return c == '(' || c == ')' || c == ':'; }

  std::string_view text_;
  std::size_t pos_ = 0;
};

bool IsName(std::string_view token) {
  return !token.empty() && token[0] != '(' && token[0] != ')' && token[0] != ':';
}

[[noreturn]] void SyntaxError(std::string_view what) {
  ThrowError("syntax-error", {{"reason", what}});
}

std::string_view RequireName(std::string_view token) {
  if (!IsName(token)) {
    std::cerr << "special character unexpected" << std::endl;
    SyntaxError(token.empty() ? "name-missing" : "special-character");
  }
  return token;
}

// Nesting is bounded so that a hostile text cannot exhaust the stack.
constexpr int kMaxDepth = 256;

std::unique_ptr<TKQstructure> ParseValue(KQTokenizer& tokens, std::string_view first, int depth) {
  if (first.empty() || first[0] != '(') return std::make_unique<TKQstructure>(RequireName(first));
  if (depth >= kMaxDepth) SyntaxError("nesting-too-deep");
  auto result = std::make_unique<TKQstructure>(RequireName(tokens.Next()));
  for (;;) {
    const std::string_view token = tokens.Next();
    if (token == ")") return result;
    if (token != ":") SyntaxError(token.empty() ? "unexpected-end" : "field-expected");
    const std::string_view key = RequireName(tokens.Next());
    auto value = ParseValue(tokens, tokens.Next(), depth + 1);
    result->Set(key, std::move(value));
  }
}

}  // namespace

std::unique_ptr<TKQstructure> TKQstructure::Parse(std::string_view text) {
  KQTokenizer tokens(text);
  auto result = ParseValue(tokens, tokens.Next(), 0);
  if (!tokens.Next().empty()) SyntaxError("text-after-structure");
  return result;
}

// ---- Error -----------------------------------------------------------------

TKQstructure::Error::Error(std::unique_ptr<TKQstructure> detail) : detail_(std::move(detail)) {
  MIRK_CHECK(detail_ != nullptr);
}

TKQstructure::Error::Error(const Error& other)
    : detail_(std::make_unique<TKQstructure>(*other.detail_)) {}

TKQstructure::Error& TKQstructure::Error::operator=(const Error& other) {
  if (this != &other) detail_ = std::make_unique<TKQstructure>(*other.detail_);
  return *this;
}

TKQstructure::Error::~Error() = default;

// ---- Leaf conversions --------------------------------------------------------

bool KQParseBoolean(std::string_view text) {
  if (strcasecmp(text, "TRUE") == 0) return true;
  if (strcasecmp(text, "FALSE") == 0) return false;
  ThrowError("type-error", {{"expected", "boolean"}});
}

long KQParseLong(std::string_view text) {
  long value = 0;
  if (!ParseLongPrefix(text, value)) ThrowError("invalid-message", {{"integer-expected", text}});
  return value;
}

double KQParseDouble(std::string_view text) {
  double value = 0.0;
  if (!ParseDoublePrefix(text, value)) ThrowError("invalid-message", {{"number-expected", text}});
  return value;
}

long KQToLong(std::string_view text) {
  long value = 0;
  const bool converted = ParseLongPrefix(text, value);
  MIRK_CHECK(converted);
  return value;
}

double KQToDouble(std::string_view text) {
  double value = 0.0;
  const bool converted = ParseDoublePrefix(text, value);
  MIRK_CHECK(converted);
  return value;
}

std::unique_ptr<TKQstructure> KQNewError(std::string_view type) {
  auto error = std::make_unique<TKQstructure>("error");
  error->SetString("type", type);
  return error;
}

std::string KQJoinArguments(int count, const char* const* words) {
  std::string joined;
  for (int i = 1; i < count; ++i) {
    joined += words[i];
    joined += ' ';
  }
  return joined;
}

}  // namespace mirk
