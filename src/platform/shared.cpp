// What both sides share: reading and writing an opened file, and how a program's end is
// told.

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/file_io.h"
#include "platform/names.h"
#include "platform/platform.h"

namespace corvina {

InputFile::~InputFile() {
  if (file_) std::fclose(file_);
  std::free(line_buffer_);
}

bool InputFile::read_chunk(std::string& chunk, size_t size) {
  chunk.clear();
  return read_more(chunk, size);
}

bool InputFile::read_more(std::string& buffer, size_t size) {
  const size_t kept = buffer.size();
  buffer.resize(kept + size);
  const size_t got = std::fread(buffer.data() + kept, 1, size, file_);
  buffer.resize(kept + got);
  if (got == 0 && std::ferror(file_)) error_ = errno ? errno : EIO;
  return got > 0;
}

Look look_at(const std::string& path, bool follow_links) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::file_status status;
  do {
    error.clear();
    status = follow_links ? fs::status(to_path(path), error) : fs::symlink_status(to_path(path), error);
  } while (error == std::errc::interrupted);
  if (status.type() == fs::file_type::not_found) return {};
  if (error) return {FileKind::kMissing, error.default_error_condition().value()};
  switch (status.type()) {
    case fs::file_type::regular: return {FileKind::kRegular};
    case fs::file_type::directory: return {FileKind::kDirectory};
    case fs::file_type::fifo: return {FileKind::kFifo};
    case fs::file_type::block:
    case fs::file_type::character: return {FileKind::kDevice};
    case fs::file_type::socket: return {FileKind::kSocket};
    default: return {FileKind::kOther};
  }
}

void remove_before_rewrite(const std::string& path) {
  std::error_code ignored;
  if (std::filesystem::is_regular_file(std::filesystem::symlink_status(to_path(path), ignored))) {
    std::filesystem::remove(to_path(path), ignored);
  }
}

OutputFile::~OutputFile() {
  if (file_) std::fclose(file_);
}

bool OutputFile::write(std::string_view bytes) {
  if (error_ != 0 || !file_) return false;
  if (bytes.empty()) return true;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
    error_ = errno ? errno : EIO;
    return false;
  }
  return true;
}

bool OutputFile::close() {
  if (!file_) return false;
  bool flushed = std::fflush(file_) == 0;
  if (!flushed && error_ == 0) error_ = errno ? errno : EIO;
  bool closed = std::fclose(file_) == 0;
  if (!closed && error_ == 0) error_ = errno ? errno : EIO;
  file_ = nullptr;
  return error_ == 0;
}

std::string ProgramResult::describe(const std::string& program) const {
  switch (outcome) {
    case Outcome::kExited:
      return program + " exited with status " + std::to_string(value);
    case Outcome::kSignaled:
      return program + " was killed by signal " + std::to_string(value);
    case Outcome::kNotStarted:
      break;
  }
  return program + " cannot be started: " + std::strerror(value);
}

}  // namespace corvina
