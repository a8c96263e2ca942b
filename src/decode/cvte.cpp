#include "decode/cvte.h"

#include "driver/file_io.h"
#include "driver/interrupt.h"
#include "driver/run_error.h"

namespace corvina {

void cvte(RunState& state, Decoder& decoder, const std::string& file1, const std::string& file2) {
  state.console << "Postprocessing " << file1 << " to " << file2 << " ...\n";
  InputFile in(file1);
  if (!in.is_open()) throw RunError(kExitFileError, file_error("read", file1, in.error()));
  OutputFile out(file2);
  if (!out.is_open()) throw RunError(kExitFileError, file_error("write", file2, out.error()));
  std::string line, decoded, log;
  while (in.read_line(line)) {
    throw_if_interrupted();
    decoded.clear();
    log.clear();
    decoder.decode_line(line, decoded, &log);
    state.debug << log;
    if (!out.write(decoded)) throw RunError(kExitFileError, file_error("write", file2, out.error()));
  }
  if (in.failed()) throw RunError(kExitFileError, file_error("read", file1, in.error()));
  if (!out.close()) throw RunError(kExitFileError, file_error("write", file2, out.error()));
  state.console << "done.\n\n";
}

}  // namespace corvina
