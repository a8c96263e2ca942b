#include "scan/search_inpinc.h"

#include "core/run_error.h"
#include "scan/include_line.h"
#include "scan/source_lines.h"

namespace corvina {

void search_inpinc(RunState& state) {
  int line_no = 0;
  auto visit = [&](std::string_view line) {
    LineScan scan = scan_include_line(line, line_no, state.inpinc.size());
    state.debug << scan.log;
    if (scan.kind == LineKind::kCommented) return;
    ++line_no;
    if (scan.kind != LineKind::kCommand) return;
    state.findj = true;
    state.inpinc.insert(state.inpinc.end(), scan.names.begin(), scan.names.end());
  };
  if (!for_each_line(state.fullname, visit)) {
    throw RunError(kExitUsage, unusual_file_note(state.fullname) + "cannot open " + state.fullname + ", give up.....\n");
  }
}

}  // namespace corvina
