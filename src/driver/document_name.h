#pragma once
// Which file is the document and where the back end's files are, from the name typed.

#include <functional>
#include <string>

namespace corvina {

struct DocumentName {
  std::string fullname;  // the document to read: NAME.vdk, or NAME.tex in direct mode
  std::string purename;  // NAME: the document's base name, as typed, without extension
  // Where NAME.bcf, NAME.aux and NAME.bbl are; empty for the working directory.
  std::string output_directory;
  // No preprocessor source: the document is LaTeX's own NAME.tex, and the decoded
  // text goes straight to NAME.bbl.
  bool direct = false;
};

// `typed` is the name on the command line; `exists` tells whether a file is there.
// - NAME.tex: that file, in direct mode.
// - DIR/NAME.bcf or DIR/NAME.aux (as latexmk names the back end's input): the back end's
//   files are in DIR (below `output_directory`, if one is given), the document is NAME in
//   the working directory, found as below.
// - NAME: NAME.vdk when it exists; else NAME.tex, in direct mode, when that exists; else
//   NAME.vdk (which then cannot be opened, and the run says so).
DocumentName resolve_document_name(const std::string& typed, const std::string& output_directory,
                                   const std::function<bool(const std::string&)>& exists);

// DIR/NAME, or NAME when `directory` is empty: the name the back end is given.
std::string in_directory(const std::string& directory, const std::string& name);

}  // namespace corvina
