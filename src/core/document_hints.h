#pragma once
// What the source lines tell about how the document is built, so that a run started too
// early can say what to run first ("run xelatex thesis first").

#include <string>

namespace corvina {

struct DocumentHints {
  std::string magic_engine;    // from a "% !TEX program = xelatex" line
  std::string package_engine;  // from a package that needs one engine (xeCJK, luatexja, CJKutf8)
  bool biblatex = false;         // biblatex is loaded
  bool biblatex_bibtex = false;  // ... with backend=bibtex (or bibtex8)
  bool bibliography = false;     // some bibliography command stands in the text

  // The engine to name: the magic line's, else the package's, else "LaTeX".
  std::string engine() const {
    if (!magic_engine.empty()) return magic_engine;
    if (!package_engine.empty()) return package_engine;
    return "LaTeX";
  }
};

}  // namespace corvina
