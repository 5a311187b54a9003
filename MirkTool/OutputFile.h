// Where a subcommand writes: standard output for "-", otherwise a temporary
// file beside the target that replaces it only once everything is written,
// so a failure never leaves a half-written or emptied file behind.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

namespace mirk::tool {

// A stream buffer over a file descriptor that remembers the first write
// error, so that the message can say why writing failed.
class FdStreamBuf : public std::streambuf {
 public:
  explicit FdStreamBuf(int fd);
  FdStreamBuf(const FdStreamBuf&) = delete;
  FdStreamBuf& operator=(const FdStreamBuf&) = delete;
  ~FdStreamBuf() override = default;

  // errno of the first failed write, 0 while none has failed.
  int Error() const noexcept { return error_; }

 protected:
  int_type overflow(int_type ch) override;
  int sync() override;

 private:
  bool Drain();

  int fd_;
  int error_ = 0;
  std::vector<char> buffer_;
};

class OutputFile {
 public:
  // "-" is standard output. A target that exists and is not a regular file
  // (a device such as /dev/full, a pipe) is written in place; a symbolic
  // link is followed to the file it names. Throws CommandError when the
  // temporary file cannot be created.
  explicit OutputFile(const std::string& path);
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  // Removes the temporary file unless Commit succeeded.
  ~OutputFile();

  std::ostream& Stream() noexcept { return stream_; }
  // Flushes everything and moves the file into place; throws CommandError
  // ("cannot write NAME: reason") when any write failed.
  void Commit();
  // The path, or "standard output".
  const std::string& Name() const noexcept { return file_.name; }

 private:
  struct Opened {
    std::string name;
    std::string target;  // the file to replace; empty when written in place
    std::string temp;
    int fd = -1;
    bool ownsFd = false;
  };
  static Opened Open(const std::string& path);
  [[noreturn]] void Fail(int error);

  Opened file_;
  bool committed_ = false;
  FdStreamBuf buffer_;
  std::ostream stream_;
};

// Writes text to path ("-" for standard output) through an OutputFile.
void WriteOutput(const std::string& path, std::string_view text);

}  // namespace mirk::tool
