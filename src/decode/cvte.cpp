#include "decode/cvte.h"

#include <cstring>

#include "driver/file_io.h"
#include "driver/interrupt.h"
#include "driver/run_error.h"

namespace corvina {

namespace {

// Reads and writes go in blocks of about this size: small lines cost no call each.
constexpr std::size_t kBlock = 1 << 20;

// The .bbl's lines, taken from blocks read whole; a line that a block cuts is completed
// from the next one.
class BlockLines {
 public:
  BlockLines(InputFile& in, const std::string& name) : in_(in), name_(name) {}

  // The next line with its line end (the last may have none); false at the end.
  bool next(std::string_view& line) {
    for (;;) {
      const char* start = buffer_.data() + at_;
      const void* end = std::memchr(start, '\n', buffer_.size() - at_);
      if (end) {
        const std::size_t size = static_cast<const char*>(end) - start + 1;
        line = std::string_view(start, size);
        at_ += size;
        return true;
      }
      if (!refill()) {
        line = std::string_view(buffer_).substr(at_);
        at_ = buffer_.size();
        return !line.empty();
      }
    }
  }

 private:
  bool refill() {
    buffer_.erase(0, at_);
    at_ = 0;
    if (!in_.read_chunk(block_, kBlock)) {
      if (in_.failed()) throw RunError(kExitFileError, file_error("read", name_, in_.error()));
      return false;
    }
    buffer_.append(block_);
    return true;
  }

  InputFile& in_;
  const std::string& name_;
  std::string buffer_, block_;
  std::size_t at_ = 0;
};

}  // namespace

void cvte(RunState& state, Decoder& decoder, const std::string& file1, const std::string& file2) {
  state.console << "Postprocessing " << file1 << " to " << file2 << " ...\n";
  InputFile in(file1);
  if (!in.is_open()) throw RunError(kExitFileError, file_error("read", file1, in.error()));
  OutputFile out(file2);
  if (!out.is_open()) throw RunError(kExitFileError, file_error("write", file2, out.error()));
  BlockLines lines(in, file1);
  std::string decoded, log;
  const auto write_out = [&] {
    if (!out.write(decoded)) throw RunError(kExitFileError, file_error("write", file2, out.error()));
    state.debug.write(log.data(), static_cast<std::streamsize>(log.size()));
    decoded.clear();
    log.clear();
  };
  for (std::string_view line; lines.next(line);) {
    decoder.decode_line(line, decoded, &log);
    if (decoded.size() + log.size() >= kBlock) {
      throw_if_interrupted();
      write_out();
    }
  }
  write_out();
  if (!out.close()) throw RunError(kExitFileError, file_error("write", file2, out.error()));
  state.debug.flush();
  state.console << "done.\n\n";
}

}  // namespace corvina
