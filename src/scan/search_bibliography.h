#pragma once

#include "core/run_state.h"

namespace corvina {

// Reads one source file line by line and appends the database names of its bibliography
// commands to `state.orgbib` in the order found; sets `state.findj` when it accepts one.
// Writes a record for each line to `state.debug`, and notes in `state.hints` what each
// line tells of the engine and the bibliography packages.
//   g == 0: the document `state.fullname`.
//   g >= 1: the include `state.inpinc[g - 1]`, opened as NAME.vdk (not in direct mode),
//           else NAME.tex, else NAME as written when that is a file; when none opens,
//           returns false at once, with no message and no final check.
//           REQUIRES: g <= state.inpinc.size().
// Returns true when the file was read to its end.
// Throws RunError with
//   kExitUsage      when the document cannot be opened;
//   kExitRemote     for a resource with the option location=remote;
//   kExitNoCommand  at the end of the file when no include line or bibliography command
//                   has been accepted anywhere so far (`state.findj` still false) and
//                   no line has asked for a bibliography (\printbibliography, say);
//   kExitFileError  when reading fails partway.
bool search_bibliography(RunState& state, int g);

}  // namespace corvina
