#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/file_io.h"
#include "platform/names.h"
#include "platform/platform.h"

namespace corvina {

bool path_exists(const std::string& path) {
  std::error_code ignored;
  return !path.empty() && std::filesystem::exists(std::filesystem::symlink_status(to_path(path), ignored));
}

bool regular_file(const std::string& path) { return !path.empty() && file_kind(path) == FileKind::kRegular; }

namespace {

// "N": the programs we start do not inherit the file.
std::FILE* open_wide(const std::string& path, const wchar_t* mode) {
  return _wfopen(to_path(path).c_str(), mode);
}

// Only a regular file is read: a device (CON, NUL) or a folder is never a document, a
// database or a .bbl; the errno given for them names what is there.
std::FILE* open_regular(const std::string& path, int& error) {
  switch (file_kind(path)) {
    case FileKind::kRegular: break;
    case FileKind::kMissing: error = ENOENT; return nullptr;
    case FileKind::kDirectory: error = EISDIR; return nullptr;
    case FileKind::kFifo: error = ESPIPE; return nullptr;
    default: error = ENODEV; return nullptr;
  }
  std::FILE* file = open_wide(path, L"rbN");
  if (!file) error = errno;
  return file;
}

}  // namespace

InputFile::InputFile(const std::string& path) : file_(nullptr) { file_ = open_regular(path, error_); }

long long InputFile::tell() {
  const long long offset = _ftelli64(file_);
  if (offset < 0) error_ = errno ? errno : EIO;
  return offset;
}

bool InputFile::seek(long long offset) {
  if (_fseeki64(file_, offset, SEEK_SET) == 0) return true;
  error_ = errno ? errno : EIO;
  return false;
}

// This C runtime has no getline; the stream's own buffer makes a byte at a time cheap.
bool InputFile::read_line(std::string& line) {
  line.clear();
  errno = 0;
  for (int c; (c = std::getc(file_)) != EOF;) {
    line += static_cast<char>(c);
    if (c == '\n') return true;
  }
  if (std::ferror(file_)) error_ = errno ? errno : EIO;
  return !line.empty();
}

OutputFile::OutputFile(const std::string& path, bool append) : file_(open_wide(path, append ? L"abN" : L"wbN")) {
  if (!file_) error_ = errno;
}

}  // namespace corvina
