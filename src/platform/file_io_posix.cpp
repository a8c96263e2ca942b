#include "platform/file_io.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace corvina {

bool path_exists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
}

bool regular_file(const std::string& path) {
  std::error_code ignored;
  return !path.empty() && std::filesystem::is_regular_file(path, ignored);
}

namespace {

// Opens only a regular file. A FIFO would block the open until some writer came (a run
// that hangs for good), and a device or a folder is never a document, a database or a
// .bbl; the errno given for them names what is there.
std::FILE* open_regular(const std::string& path, int& error) {
  // A call cut short by a signal is made again: the run notices the signal at its next check.
  int fd;
  do fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  struct stat info {};
  int result;
  do result = fstat(fd, &info); while (result != 0 && errno == EINTR);
  if (result != 0) {
    error = errno;
    ::close(fd);
    return nullptr;
  }
  if (!S_ISREG(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? EISDIR : S_ISFIFO(info.st_mode) ? ESPIPE : ENODEV;
    ::close(fd);
    return nullptr;
  }
  int flags;
  do flags = fcntl(fd, F_GETFL); while (flags < 0 && errno == EINTR);
  if (flags >= 0) {
    do result = fcntl(fd, F_SETFL, flags & ~O_NONBLOCK); while (result != 0 && errno == EINTR);
  }
  if (flags < 0 || result != 0) {
    error = errno;
    ::close(fd);
    return nullptr;
  }
  std::FILE* file = fdopen(fd, "rb");
  if (!file) {
    error = errno;
    ::close(fd);
  }
  return file;
}

}  // namespace

InputFile::InputFile(const std::string& path) : file_(nullptr) { file_ = open_regular(path, error_); }

long long InputFile::tell() {
  const off_t offset = ftello(file_);
  if (offset < 0) error_ = errno ? errno : EIO;
  return offset;
}

bool InputFile::seek(long long offset) {
  if (fseeko(file_, static_cast<off_t>(offset), SEEK_SET) == 0) return true;
  error_ = errno ? errno : EIO;
  return false;
}

bool InputFile::read_line(std::string& line) {
  errno = 0;
  ssize_t got = getline(&line_buffer_, &line_capacity_, file_);
  if (got < 0) {
    if (std::ferror(file_)) error_ = errno ? errno : EIO;
    line.clear();
    return false;
  }
  line.assign(line_buffer_, static_cast<size_t>(got));
  return true;
}

OutputFile::OutputFile(const std::string& path, bool append)
    : file_(std::fopen(path.c_str(), append ? "ab" : "wb")) {
  if (!file_) error_ = errno;
}

}  // namespace corvina
