#include "Common/Exceptions.h"

#include "KQmessage/KQML.h"

namespace mirk {

namespace {

std::optional<std::string> CopyText(const char* text) {
  if (text == nullptr) return std::nullopt;
  return std::string(text);
}

const char* TextOf(const std::optional<std::string>& text) noexcept {
  return text ? text->c_str() : nullptr;
}

std::unique_ptr<TKQstructure> CopyDetail(const std::unique_ptr<TKQstructure>& detail) {
  return detail ? std::make_unique<TKQstructure>(*detail) : nullptr;
}

}  // namespace

TException::TException() = default;

TException::TException(const char* message, const char* category)
    : message_(CopyText(message)), category_(CopyText(category)) {}

TException::TException(const char* message, const char* category, const char* where)
    : message_(CopyText(message)), category_(CopyText(category)), where_(CopyText(where)) {}

TException::TException(const char* message, const char* category, const char* where,
                       std::unique_ptr<TKQstructure> detail)
    : message_(CopyText(message)),
      category_(CopyText(category)),
      detail_(std::move(detail)),
      where_(CopyText(where)) {}

TException::TException(const TException& other)
    : message_(other.message_),
      category_(other.category_),
      detail_(CopyDetail(other.detail_)),
      where_(other.where_) {}

TException& TException::operator=(const TException& other) {
  if (this != &other) {
    auto detail = CopyDetail(other.detail_);
    message_ = other.message_;
    category_ = other.category_;
    detail_ = std::move(detail);
    where_ = other.where_;
  }
  return *this;
}

TException::TException(TException&& other) noexcept = default;
TException& TException::operator=(TException&& other) noexcept = default;
TException::~TException() = default;

const char* TException::GetMessage() const noexcept { return TextOf(message_); }
const char* TException::GetCategory() const noexcept { return TextOf(category_); }
const char* TException::GetWhere() const noexcept { return TextOf(where_); }

int strcasecmp(std::string_view a, std::string_view b) noexcept {
  auto upper = [](char c) {
    auto u = static_cast<unsigned char>(c);
    return static_cast<unsigned char>(u >= 'a' && u <= 'z' ? u - ('a' - 'A') : u);
  };
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char ca = upper(a[i]);
    const unsigned char cb = upper(b[i]);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace mirk
