#pragma once
// What the source lines tell about how the document is built, so that a run started too
// early can say what to run first ("run xelatex thesis first").

#include <string>
#include <string_view>

namespace corvina {

struct DocumentHints {
  std::string magic_engine;    // from a "% !TEX program = xelatex" line
  std::string package_engine;  // from a package that needs one engine (xeCJK, luatexja, CJKutf8)
  bool biblatex = false;         // biblatex is loaded
  bool biblatex_bibtex = false;  // ... with backend=bibtex (or bibtex8)
  bool bibliography = false;     // some bibliography command stands in the text

  // The engine to name: the magic line's, else the package's, else "LaTeX".
  std::string engine() const;
};

// Notes what one source line (with or without its line end) tells. Commented-out text
// counts only for the magic line.
void note_hints(std::string_view line, DocumentHints& hints);

}  // namespace corvina
