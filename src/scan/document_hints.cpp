#include "scan/document_hints.h"

#include <cctype>

#include "scan/line_rules.h"

namespace corvina {
namespace {

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool has(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// "% !TEX program = xelatex" (TeXShop, TeXstudio, VS Code's LaTeX Workshop).
void note_magic_line(std::string_view line, DocumentHints& hints) {
  const std::string text = lower(line);
  const size_t at = text.find("!tex program");
  if (at == std::string::npos || text.find('%') > at) return;
  const size_t equals = text.find('=', at);
  if (equals == std::string::npos) return;
  std::string engine;
  for (char c : text.substr(equals + 1)) {
    if (!std::isspace(static_cast<unsigned char>(c))) engine += c;
  }
  if (!engine.empty()) hints.magic_engine = engine;
}

void note_packages(std::string_view code, DocumentHints& hints) {
  if (!has(code, "\\usepackage") && !has(code, "\\RequirePackage")) return;
  if (has(code, "xeCJK") || has(code, "xltxtra")) hints.package_engine = "xelatex";
  if (has(code, "luatexja") || has(code, "luatexko")) hints.package_engine = "lualatex";
  if (has(code, "{CJKutf8}") || has(code, "{CJK}")) hints.package_engine = "pdflatex";
  if (has(code, "biblatex")) {
    hints.biblatex = true;
    if (has(code, "backend=bibtex")) hints.biblatex_bibtex = true;
  }
}

}  // namespace

void note_hints(std::string_view line, DocumentHints& hints) {
  line = without_line_end(line);
  note_magic_line(line, hints);
  const std::string_view code = line.substr(0, line.find('%'));
  note_packages(code, hints);
  if (has(code, "\\printbibliography") || has(code, "\\bibliography{") || has(code, "\\addbibresource") ||
      has(code, "\\addglobalbib") || has(code, "\\addsectionbib")) {
    hints.bibliography = true;
  }
}

}  // namespace corvina
