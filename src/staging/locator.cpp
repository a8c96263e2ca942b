#include "staging/locator.h"

#include "platform/file_io.h"
#include "platform/platform.h"

namespace corvina {
namespace {

// MiKTeX's findtexmf where it is installed, else TeX Live's kpsewhich (which MiKTeX
// also ships, with other search rules).
std::string locator_program() { return on_path("findtexmf") ? "findtexmf" : "kpsewhich"; }

}  // namespace

std::string locate_database(RunState& state, const std::string& entry) {
  const std::string locator = locator_program();
  ProgramResult result = run_program({locator, entry}, kLocatorOutput);
  if (result.outcome == ProgramResult::Outcome::kNotStarted) {
    state.console << "\n! " << result.describe(locator) << ".\n";
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
