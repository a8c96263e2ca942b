#include "decode/cvte.h"

#include "decode/bbl_lines.h"
#include "decode/long_line.h"
#include "platform/file_io.h"
#include "platform/interrupt.h"
#include "core/run_error.h"

namespace corvina {

void cvte(RunState& state, Decoder& decoder, const std::string& file1, const std::string& file2) {
  state.console << "Postprocessing " << file1 << " to " << file2 << " ...\n";
  InputFile in(file1);
  if (!in.is_open()) throw RunError(kExitFileError, file_error("read", file1, in.error()));
  remove_before_rewrite(file2);
  OutputFile out(file2);
  if (!out.is_open()) throw RunError(kExitFileError, file_error("write", file2, out.error()));
  BblLines lines(in, file1);
  DecodedOutput output(out, file2, state.debug);
  std::string_view line;
  for (BblLines::Next next; (next = lines.next(line)) != BblLines::Next::kEnd;) {
    if (next == BblLines::Next::kLine) {
      decoder.decode_line(line, output.decoded, &output.log);
    } else {
      throw_if_interrupted();
      lines.resume_at(decode_long_line(in, file1, lines.long_line_start(), decoder, output));
    }
    if (output.decoded.size() + output.log.size() >= BblLines::kBlock) {
      throw_if_interrupted();
      output.flush();
    }
  }
  output.flush();
  if (!out.close()) throw RunError(kExitFileError, file_error("write", file2, out.error()));
  // The log is whole before the preprocessor runs, should anyone need to read it.
  state.debug.flush();
  state.console << "done.\n\n";
}

}  // namespace corvina
