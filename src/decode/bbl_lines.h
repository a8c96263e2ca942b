#pragma once
// The lines of a back end's .bbl as the decoding step reads them: short lines straight
// from blocks read whole, and a line too long to hold as the file offset where it begins.

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/file_io.h"

namespace corvina {

class BblLines {
 public:
  // Reads and writes go in blocks of about this size; a longer line is a long line.
  static constexpr std::size_t kBlock = 1 << 18;

  enum class Next { kLine, kLongLine, kEnd };

  // `name` is the file's, for messages; both must outlive this object.
  BblLines(InputFile& in, const std::string& name) : in_(in), name_(name) {}

  // kLine: `line` is the next line, its line end included (the last may have none).
  // kLongLine: the next line is longer than a block; it begins at long_line_start().
  // Throws RunError when the file cannot be read.
  Next next(std::string_view& line);
  long long long_line_start();
  // Goes on reading at `offset`, after a long line read by other means.
  void resume_at(long long offset);

 private:
  bool refill();

  InputFile& in_;
  const std::string& name_;
  std::string buffer_;
  std::size_t at_ = 0;
};

// The decoded text and the log of the decoding step, gathered and written out a block at
// a time, so that short lines cost no write call each.
class DecodedOutput {
 public:
  // `name` is the decoded file's, for messages; all three must outlive this object.
  DecodedOutput(OutputFile& out, const std::string& name, std::ostream& log)
      : out_(out), name_(name), log_stream_(log) {}

  std::string decoded, log;

  void flush_if_full() {
    if (decoded.size() + log.size() >= BblLines::kBlock) flush();
  }
  // Throws RunError when the decoded file cannot be written.
  void flush();

 private:
  OutputFile& out_;
  const std::string& name_;
  std::ostream& log_stream_;
};

}  // namespace corvina
