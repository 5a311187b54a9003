#include "Common/Raise.h"

#include <utility>

#include "Common/Exceptions.h"

namespace mirk {

void Refuse(const char* message, const char* category, const char* where) {
  throw TException(message, category, where);
}

void Refuse(const char* message, const char* where) { Refuse(message, kBadParameter, where); }

void FileTools::Fail(std::istream* stream, std::string message) { throw Error(std::move(message), stream); }

void FileTools::Fail(std::istream& in, std::string message) { Fail(&in, std::move(message)); }

}  // namespace mirk
