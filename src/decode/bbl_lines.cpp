#include "decode/bbl_lines.h"

#include <cstring>

#include "core/run_error.h"

namespace corvina {

BblLines::Next BblLines::next(std::string_view& line) {
  for (;;) {
    const char* start = buffer_.data() + at_;
    if (const void* end = std::memchr(start, '\n', buffer_.size() - at_)) {
      const std::size_t size = static_cast<std::size_t>(static_cast<const char*>(end) - start) + 1;
      line = std::string_view(start, size);
      at_ += size;
      return Next::kLine;
    }
    if (buffer_.size() - at_ >= kBlock) return Next::kLongLine;
    if (!refill()) {
      line = std::string_view(buffer_).substr(at_);
      at_ = buffer_.size();
      return line.empty() ? Next::kEnd : Next::kLine;
    }
  }
}

long long BblLines::long_line_start() {
  const long long read = in_.tell();
  if (read < 0) throw RunError(kExitFileError, file_error("read", name_, in_.error()));
  return read - static_cast<long long>(buffer_.size() - at_);
}

void BblLines::resume_at(long long offset) {
  if (!in_.seek(offset)) throw RunError(kExitFileError, file_error("read", name_, in_.error()));
  buffer_.clear();
  at_ = 0;
}

bool BblLines::refill() {
  buffer_.erase(0, at_);
  at_ = 0;
  if (in_.read_more(buffer_, kBlock)) return true;
  if (in_.failed()) throw RunError(kExitFileError, file_error("read", name_, in_.error()));
  return false;
}

void DecodedOutput::flush() {
  if (!out_.write(decoded)) throw RunError(kExitFileError, file_error("write", name_, out_.error()));
  log_stream_.write(log.data(), static_cast<std::streamsize>(log.size()));
  decoded.clear();
  log.clear();
}

}  // namespace corvina
