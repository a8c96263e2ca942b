#include "staging/locator.h"

#include "platform/file_io.h"
#include "platform/platform.h"

namespace corvina {

std::string locate_database(RunState& state, const std::string& entry) {
  ProgramResult result = run_program({"kpsewhich", entry}, kLocatorOutput);
  if (result.outcome == ProgramResult::Outcome::kNotStarted) {
    state.console << "\n! " << result.describe("kpsewhich") << ".\n";
    return "";
  }
  InputFile output(kLocatorOutput);
  std::string path;
  if (!output.is_open() || !output.read_line(path)) return "";
  while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
  if (path.empty()) return "";
  if (file_kind(path) != FileKind::kRegular) {
    if (file_kind(path) != FileKind::kMissing) {
      state.console << "\n! " << path << " is " << describe(file_kind(path)) << ", not a regular file: it is not read.\n";
    }
    return "";
  }
  if (!InputFile(path).is_open()) return "";
  return path;
}

}  // namespace corvina
