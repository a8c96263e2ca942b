#pragma once
// Files opened for one job. Every failure keeps errno, so that messages can say which
// file failed and why. Types that own a file cannot be copied; the destructor closes.

#include <cstdio>
#include <string>
#include <string_view>

namespace corvina {

// True when anything at all is at `path`, a dangling symbolic link included.
bool path_exists(const std::string& path);

// True when `path` is a regular file, or a link to one.
bool regular_file(const std::string& path);

// Removes the regular file at `path`, if one is there (not through a link), before the
// run writes a file of that name again. A file truncated and written again is written out
// to disk at once when it is closed on some file systems (ext4), which for a temporary
// file costs about as much as making it.
void remove_before_rewrite(const std::string& path);

class InputFile {
 public:
  explicit InputFile(const std::string& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool is_open() const { return file_ != nullptr; }
  // errno of the failed open or read.
  int error() const { return error_; }
  // Replaces `chunk` with up to `size` next bytes; false at end of file or on error.
  bool read_chunk(std::string& chunk, size_t size);
  // Appends up to `size` next bytes to `buffer`; false at end of file or on error.
  bool read_more(std::string& buffer, size_t size);
  // Replaces `line` with the next line, its line end included; false at end of file or
  // on error. Lines of any length, NUL bytes included.
  bool read_line(std::string& line);
  bool failed() const { return error_ != 0; }
  // The offset of the next byte to read, and a move to another offset, for a file read
  // more than once in parts; -1 and false on error.
  long long tell();
  bool seek(long long offset);

 private:
  std::FILE* file_;
  int error_ = 0;
  char* line_buffer_ = nullptr;
  size_t line_capacity_ = 0;
};

class OutputFile {
 public:
  // Creates the file or truncates it; with `append`, writes after its end.
  explicit OutputFile(const std::string& path, bool append = false);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool is_open() const { return file_ != nullptr; }
  int error() const { return error_; }
  // False once any write has failed; later writes are skipped.
  bool write(std::string_view bytes);
  // Flushes and closes; false when anything written did not reach the file.
  bool close();

 private:
  std::FILE* file_;
  int error_ = 0;
};

}  // namespace corvina
