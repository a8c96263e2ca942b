#include "encode/cvtc.h"

#include "platform/file_io.h"
#include "platform/interrupt.h"
#include "platform/write_behind.h"
#include "core/run_error.h"

namespace corvina {

constexpr std::size_t kChunk = 1 << 18;

bool cvtc(RunState& state, Encoder& encoder, const std::string& file1, const std::string& file2,
          std::string* error, const std::function<void(std::string_view)>& read) {
  state.console << "Preprocessing " << file1 << " to " << file2 << " ... \n";
  InputFile in(file1);
  if (!in.is_open()) throw RunError(kExitFileError, file_error("read", file1, in.error()));
  OutputFile out(file2);
  if (!out.is_open()) {
    *error = file_error("write", file2, out.error());
    return false;
  }
  // While a chunk is read and encoded, the thread behind shows the chunk before to `read`
  // and writes its encoding.
  std::string chunk, encoded, shown, written;
  WriteBehind writer;
  const auto hand_over = [&] {
    writer.wait();
    if (out.error() != 0) throw RunError(kExitFileError, file_error("write", file2, out.error()));
    chunk.swap(shown);
    encoded.swap(written);
    encoded.clear();
    writer.start([&] {
      if (!shown.empty()) read(shown);
      out.write(written);
    });
  };
  while (in.read_chunk(chunk, kChunk)) {
    throw_if_interrupted();
    encoder.encode(chunk, encoded);
    hand_over();
  }
  if (in.failed()) throw RunError(kExitFileError, file_error("read", file1, in.error()));
  chunk.clear();
  encoder.finish(encoded);
  hand_over();
  writer.wait();
  if (out.error() != 0 || !out.close()) {
    throw RunError(kExitFileError, file_error("write", file2, out.error()));
  }
  return true;
}

}  // namespace corvina
