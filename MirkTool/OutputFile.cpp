#include "MirkTool/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "MirkTool/CommandError.h"

namespace mirk::tool {

namespace {

namespace fs = std::filesystem;

std::string Reason(int error) { return std::strerror(error); }

mode_t DefaultMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

FdStreamBuf::FdStreamBuf(int fd) : fd_(fd), buffer_(1 << 16) {
  setp(buffer_.data(), buffer_.data() + buffer_.size());
}

bool FdStreamBuf::Drain() {
  const char* p = pbase();
  const char* end = pptr();
  while (p < end && error_ == 0) {
    const ssize_t n = ::write(fd_, p, static_cast<size_t>(end - p));
    if (n < 0) {
      if (errno != EINTR) error_ = errno;
    } else {
      p += n;
    }
  }
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  return error_ == 0;
}

FdStreamBuf::int_type FdStreamBuf::overflow(int_type ch) {
  if (!Drain()) return traits_type::eof();
  if (!traits_type::eq_int_type(ch, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(ch);
    pbump(1);
  }
  return traits_type::not_eof(ch);
}

int FdStreamBuf::sync() { return Drain() ? 0 : -1; }

OutputFile::Opened OutputFile::Open(const std::string& path) {
  Opened file;
  if (path == "-") {
    file.name = "standard output";
    file.fd = STDOUT_FILENO;
    return file;
  }
  file.name = path;
  std::string target = path;
  struct stat st {};
  bool exists = ::stat(path.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) throw CommandError("cannot write " + path + ": " + Reason(EISDIR));
  if (exists && !S_ISREG(st.st_mode)) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) throw CommandError("cannot write " + path + ": " + Reason(errno));
    file.fd = fd;
    file.ownsFd = true;
    return file;
  }
  std::error_code ec;
  if (exists && fs::is_symlink(path, ec)) target = fs::canonical(path).string();

  const fs::path targetPath(target);
  const fs::path dir = targetPath.has_parent_path() ? targetPath.parent_path() : fs::path(".");
  std::string temp = (dir / ("." + targetPath.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) throw CommandError("cannot create " + path + ": " + Reason(errno));
  // The finished file gets the mode the replaced one had, or that of a new file.
  ::fchmod(fd, exists ? (st.st_mode & 07777) : DefaultMode());
  file.target = target;
  file.temp = temp;
  file.fd = fd;
  file.ownsFd = true;
  return file;
}

OutputFile::OutputFile(const std::string& path) : file_(Open(path)), buffer_(file_.fd), stream_(&buffer_) {}

OutputFile::~OutputFile() {
  if (file_.ownsFd) ::close(file_.fd);
  if (!committed_ && !file_.temp.empty()) ::unlink(file_.temp.c_str());
}

void OutputFile::Fail(int error) {
  if (!file_.temp.empty()) {
    ::unlink(file_.temp.c_str());
    file_.temp.clear();
  }
  throw CommandError("cannot write " + file_.name + ": " + Reason(error));
}

void OutputFile::Commit() {
  stream_.flush();
  if (buffer_.Error() != 0) Fail(buffer_.Error());
  if (!stream_) Fail(EIO);
  if (file_.temp.empty()) {
    if (file_.ownsFd) {
      file_.ownsFd = false;
      if (::close(file_.fd) != 0) Fail(errno);
    }
    committed_ = true;
    return;
  }
  // On disk before it replaces the old file, so a crash leaves one or the other.
  if (::fsync(file_.fd) != 0 && errno != EINVAL) Fail(errno);
  file_.ownsFd = false;
  if (::close(file_.fd) != 0) Fail(errno);
  if (::rename(file_.temp.c_str(), file_.target.c_str()) != 0) Fail(errno);
  committed_ = true;
}

void WriteOutput(const std::string& path, std::string_view text) {
  OutputFile out(path);
  out.Stream().write(text.data(), static_cast<std::streamsize>(text.size()));
  out.Commit();
}

}  // namespace mirk::tool
