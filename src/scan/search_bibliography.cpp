#include "scan/search_bibliography.h"

#include "driver/run_error.h"
#include "scan/bibliography_line.h"
#include "scan/source_lines.h"

namespace corvina {
namespace {

const char kRemoteRefused[] =
    "\nError: \"location=remote\" option is not supported by corvina.\n";

const char kNoCommand[] =
    "\n Error: cannot find \\bibliography, \\nobibliography,  \\addbibresource,\n"
    " \\addglobalbib, or \\addsectionbib command\n"
    ", \n"
    " Maybe you are not using biblatex at all?\n";

}  // namespace

bool search_bibliography(RunState& state, int g) {
  int line_no = 0;
  auto visit = [&](std::string_view line) {
    LineScan scan = scan_bibliography_line(line, line_no, state.orgbib.size());
    if (scan.kind == LineKind::kRemote) throw RunError(kExitRemote, kRemoteRefused);
    state.debug << scan.log;
    if (scan.kind == LineKind::kCommented) return;
    ++line_no;
    if (scan.kind != LineKind::kCommand) return;
    state.findj = true;
    state.orgbib.insert(state.orgbib.end(), scan.names.begin(), scan.names.end());
  };
  if (g == 0) {
    if (!for_each_line(state.fullname, visit)) {
      throw RunError(kExitUsage, "cannot open " + state.fullname + ", give up.....\n");
    }
  } else {
    const std::string& name = state.inpinc.at(g - 1);
    for (const std::string& file : {name + ".vdk", name + ".tex"}) {
      state.console << unusual_file_note(file);
    }
    if (!for_each_line(name + ".vdk", visit) && !for_each_line(name + ".tex", visit)) {
      return false;
    }
  }
  if (!state.findj) throw RunError(kExitNoCommand, kNoCommand);
  return true;
}

}  // namespace corvina
