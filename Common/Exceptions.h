// The three failure records of the system and its case-insensitive
// comparison. The records share no base class: the command catches
// FileTools::Error and TException separately and prints each its own way.
#pragma once

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace mirk {

class TKQstructure;

// An operation rejected an argument. Any text may be null (a default-built
// exception has none); accessors return nullptr for a null text. Copies share
// nothing with their source.
class TException {
 public:
  TException();
  TException(const char* message, const char* category);
  // Every throw of the library uses this form, without detail.
  TException(const char* message, const char* category, const char* where);
  TException(const char* message, const char* category, const char* where,
             std::unique_ptr<TKQstructure> detail);
  TException(const TException& other);
  TException& operator=(const TException& other);
  TException(TException&& other) noexcept;
  TException& operator=(TException&& other) noexcept;
  ~TException();

  const char* GetMessage() const noexcept;
  const char* GetCategory() const noexcept;
  const char* GetWhere() const noexcept;
  const TKQstructure* GetDetail() const noexcept { return detail_.get(); }

 private:
  std::optional<std::string> message_;
  std::optional<std::string> category_;
  std::unique_ptr<TKQstructure> detail_;
  std::optional<std::string> where_;
};

namespace FileTools {

// A text file does not follow its format, or cannot be opened. The stream is
// the one being read (not owned; may be null).
class Error {
 public:
  Error(std::string message, std::istream* stream) : message_(std::move(message)), stream_(stream) {}

  const std::string& GetMessage() const noexcept { return message_; }
  std::istream* GetStream() const noexcept { return stream_; }

 private:
  std::string message_;
  std::istream* stream_;
};

}  // namespace FileTools

// Compares after ASCII upper-casing, byte by byte as unsigned values; a text
// that is a prefix of the other sorts first. Returns -1, 0 or 1.
int strcasecmp(std::string_view a, std::string_view b) noexcept;

}  // namespace mirk
