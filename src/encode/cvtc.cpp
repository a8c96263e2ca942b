#include "encode/cvtc.h"

#include "platform/file_io.h"
#include "platform/interrupt.h"
#include "core/run_error.h"

namespace corvina {

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
  std::string chunk, encoded;
  while (in.read_chunk(chunk, 1 << 16)) {
    throw_if_interrupted();
    read(chunk);
    encoded.clear();
    encoder.encode(chunk, encoded);
    if (!out.write(encoded)) break;
  }
  if (in.failed()) throw RunError(kExitFileError, file_error("read", file1, in.error()));
  encoded.clear();
  encoder.finish(encoded);
  // A working copy that cannot be written leaves its database unsorted; the run goes on.
  if (!out.write(encoded) || !out.close()) {
    *error = file_error("write", file2, out.error());
    return false;
  }
  return true;
}

}  // namespace corvina
