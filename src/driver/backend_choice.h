#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/build.h"

namespace corvina {

// What the control files next to the document say. `bcf_newer` compares NAME.bcf with
// NAME-blx.bib when both exist (positive: the .bcf is newer); empty when a time could
// not be read.
struct ControlFiles {
  bool bcf = false;
  bool blx = false;
  std::optional<int> bcf_newer;
};

// The back end's argument vector for the document `purename`. biblatex writes NAME.bcf
// for biber and NAME-blx.bib for bibtex; when both are left over, the newer one tells
// which back end the last LaTeX run asked for.
std::vector<std::string> choose_backend(const Build& build, const ControlFiles& files,
                                        const std::string& purename);

// The same for the back end's files in `output_directory` (empty: the working directory):
// biber is told the folder with its --output-directory; bibtex and bibtex8 are given
// DIR/NAME, and `bibinputs_folder` is set to DIR, where biblatex's NAME-blx.bib lies,
// for the caller to add to their database search.
std::vector<std::string> backend_command(const Build& build, const std::string& purename,
                                         const std::string& output_directory,
                                         std::string& bibinputs_folder);

// Whether the back end of the document `purename` hands the entries to a classic .bst style
// (bibtex or bibtex8 with a \bibstyle other than biblatex's), which sorts by the text it
// formats from the fields; biber and biblatex's own style sort by fields biblatex names.
bool runs_classic_style(const Build& build, const std::string& purename, const std::string& output_directory);

// Looks at NAME.bcf and NAME-blx.bib in the working directory. Throws RunError naming
// the file when one is there but cannot be read: no back end can be chosen then.
ControlFiles probe_control_files(const std::string& purename);

}  // namespace corvina
