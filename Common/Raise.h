// The one place the library raises its failures: an argument an operation
// refuses (TException) and a text that breaks its file format
// (FileTools::Error). Every throw of the library goes through these.
#pragma once

#include <iosfwd>
#include <string>

namespace mirk {

// The categories of TException in use.
inline constexpr char kBadParameter[] = "Bad Parameter";
inline constexpr char kNullPointerParameter[] = "Null Pointer Parameter";
inline constexpr char kInvalidParameter[] = "Invalid Parameter";
inline constexpr char kBadFormat[] = "Bad Format";
inline constexpr char kBadFileData[] = "Bad File Data";

// Throws TException(message, category, where), without detail. where is the
// qualified name of the refusing operation, e.g. "TMirk::GetWeightValue".
[[noreturn]] void Refuse(const char* message, const char* category, const char* where);
// The usual case: a number or index out of range (kBadParameter).
[[noreturn]] void Refuse(const char* message, const char* where);

namespace FileTools {

// Throws Error(message, stream): stream is the one whose text broke the
// format, or null where no stream is left to point at.
[[noreturn]] void Fail(std::istream* stream, std::string message);
[[noreturn]] void Fail(std::istream& in, std::string message);

}  // namespace FileTools

}  // namespace mirk
