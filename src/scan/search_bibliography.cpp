#include "scan/search_bibliography.h"


#include "platform/file_io.h"
#include "core/run_error.h"
#include "scan/bibliography_line.h"
#include "scan/document_hints.h"
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

// An include is the preprocessor's NAME.vdk, else LaTeX's NAME.tex; a document without a
// preprocessor has no .vdk files. A name written with its extension ("setup/preamble.tex")
// is also tried as written.
bool scan_include(const std::string& name, bool direct,
                  const std::function<void(std::string_view)>& visit) {
  if (!direct && for_each_line(name + ".vdk", visit)) return true;
  if (for_each_line(name + ".tex", visit)) return true;
  return regular_file(name) && for_each_line(name, visit);
}

}  // namespace

bool search_bibliography(RunState& state, int g) {
  int line_no = 0;
  auto visit = [&](std::string_view line) {
    note_hints(line, state.hints);
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
    if (!state.direct) state.console << unusual_file_note(name + ".vdk");
    state.console << unusual_file_note(name + ".tex");
    if (!scan_include(name, state.direct, visit)) return false;
  }
  // A document whose databases are named only where the scan does not look (a .sty)
  // still prints a bibliography: the back end's control file names them.
  if (!state.findj && !state.hints.bibliography) throw RunError(kExitNoCommand, kNoCommand);
  return true;
}

}  // namespace corvina
