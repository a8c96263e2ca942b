#pragma once

#include "core/run_state.h"

namespace corvina {

// Adds the databases that the back end will read, as its control file names them
// (NAME.bcf for biber, NAME.aux for bibtex, in the output directory), to state.orgbib,
// after the scanned ones and each once: a name that the scan found as well, with or
// without ".bib", is not added again. biblatex's own NAME-blx.bib is no database of the
// user's and is left out.
// Throws RunError(kExitUsage) when the control file is missing: LaTeX has not run yet,
// and the message says which engine to run. Throws RunError(kExitDatabaseMissing) when
// the document asks for a bibliography and no database is named anywhere.
void add_control_file_databases(RunState& state);

// The control file that the back end will read. Throws RunError(kExitUsage) when it is
// missing, as above, and RunError(kExitFileError) when it is there but cannot be looked at.
std::string control_file(const RunState& state);

}  // namespace corvina
