// KQML-style structures: named trees of key/value fields with the text form
// "(name :key value ...)". They carry parameters to algorithms and describe
// errors as structures named "error" with a field "type".
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mirk {

class TKQstructure {
 public:
  class Error;

  TKQstructure();  // named "unknown"
  explicit TKQstructure(std::string_view name);  // a leaf
  // Deep copy; the copy's capacity equals the source's field count.
  TKQstructure(const TKQstructure& other);
  TKQstructure& operator=(const TKQstructure& other);
  TKQstructure(TKQstructure&&) noexcept = default;
  TKQstructure& operator=(TKQstructure&&) noexcept = default;
  virtual ~TKQstructure();

  const std::string& GetName() const noexcept { return name_; }
  int GetCount() const noexcept { return static_cast<int>(fields_.size()); }
  int GetCapacity() const noexcept { return capacity_; }
  // Fields in the order their keys were first stored.
  const std::string& GetKey(int i) const;
  TKQstructure* GetValue(int i) const;

  // Keys compare without regard to case; replacing a value keeps the key's
  // first spelling and position. Takes ownership of value (never null).
  void Set(std::string_view key, std::unique_ptr<TKQstructure> value);
  void SetString(std::string_view key, std::string_view text);
  void SetInteger(std::string_view key, long value);   // "%ld"
  void SetNumber(std::string_view key, double value);  // "%f"
  void SetBoolean(std::string_view key, bool value);   // "true" / "false"

  // The stored value (owned by this structure), or null.
  TKQstructure* Lookup(std::string_view key) const;
  // The key must exist (checked).
  TKQstructure* Get(std::string_view key) const;
  // The value, or throws TKQstructure::Error (invalid-message, expected).
  TKQstructure* Require(std::string_view key) const;
  // Returns when the key exists and value is empty or equals its name.
  void Expect(std::string_view key, std::string_view value) const;
  // Moves the last field into the removed one's place.
  void Remove(std::string_view key);

  // A structure without fields prints as its bare name. No line break.
  void Print() const;
  void Print(std::ostream& out) const;
  void PrintLine() const;
  void PrintLine(std::ostream& out) const;
  std::string ToText() const;

  // Builds a structure from its text form; the whole text must be one
  // structure. Malformed text throws TKQstructure::Error (type "syntax-error").
  static std::unique_ptr<TKQstructure> Parse(std::string_view text);

 private:
  int Find(std::string_view key) const;

  std::string name_;
  std::vector<std::pair<std::string, std::unique_ptr<TKQstructure>>> fields_;
  int capacity_ = 16;
};

// Carries an "error" structure that describes what was wrong.
class TKQstructure::Error {
 public:
  explicit Error(std::unique_ptr<TKQstructure> detail);
  Error(const Error& other);
  Error& operator=(const Error& other);
  Error(Error&&) noexcept = default;
  Error& operator=(Error&&) noexcept = default;
  ~Error();

  const TKQstructure& GetDetail() const noexcept { return *detail_; }

 private:
  std::unique_ptr<TKQstructure> detail_;
};

// Conversions of leaf texts; a leading number converts, the rest is ignored.
bool KQParseBoolean(std::string_view text);  // "TRUE"/"FALSE", any case
long KQParseLong(std::string_view text);
double KQParseDouble(std::string_view text);
// The caller guarantees a number (checked).
long KQToLong(std::string_view text);
double KQToDouble(std::string_view text);

// A new structure named "error" with the field "type".
std::unique_ptr<TKQstructure> KQNewError(std::string_view type);
// Words 1 to count-1, each followed by one blank.
std::string KQJoinArguments(int count, const char* const* words);

}  // namespace mirk
