#pragma once

// Whole runs with pdflatex and the real back ends: a document folder, a shell to start the
// programs in, and readers for the .bbl the run leaves.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/temp_dir.h"

namespace corvina::e2e {

namespace fs = std::filesystem;
using testing::file_exists;
using testing::read_file;
using testing::write_file;

struct Shell { int status; std::string output; };  // output: standard output and error together

// Runs a command line with sh in the current folder, input from /dev/null. `timeout` kills
// a hung TeX run together with every program it started.
inline Shell sh(const std::string& line) {
  std::string quoted;
  for (const char c : line) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  FILE* pipe = popen(("timeout -s KILL 240 sh -c '" + quoted + "' </dev/null 2>&1").c_str(), "r");
  if (!pipe) return {-1, "popen failed"};
  Shell result{-1, {}};
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, n);
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

// Skips the test, naming the first tool it needs ("biblatex": the LaTeX package) that is missing.
#define CORVINA_SKIP_WITHOUT(...)                                                              \
  for (const std::string needed : std::initializer_list<std::string>{__VA_ARGS__})            \
    if (::corvina::e2e::sh(needed == "biblatex" ? "kpsewhich biblatex.sty" : "command -v " + needed).status) \
    GTEST_SKIP() << "skipped: " << needed << " not found"

// A fresh working folder with the built programs and preprocessor stand-ins first on PATH.
class DocumentFolder : public ::testing::Test {
 protected:
  DocumentFolder() {
    static const std::string path = std::string(CORVINA_BIN_DIR ":") + std::getenv("PATH");
    setenv("PATH", path.c_str(), 1);
  }
  testing::TempDir dir_;
};

inline std::string biblatex_document(const std::string& options, const std::string& resource_line) {
  // No \printbibliography: pdflatex has no fonts for the Chinese text in the .bbl.
  return "\\documentclass{article}\n\\usepackage[" + options + "]{biblatex}\n" + resource_line +
         "\n\\begin{document}\nA test document.\n\\nocite{*}\n\\end{document}\n";
}

// The keys of the \entry lines of a .bbl, in file order.
inline std::vector<std::string> entry_keys(const std::string& bbl) {
  std::vector<std::string> keys;
  for (size_t at = bbl.find("\\entry{"); at != std::string::npos; at = bbl.find("\\entry{", at + 1))
    keys.push_back(bbl.substr(at + 7, bbl.find('}', at) - at - 7));
  return keys;
}

inline std::string entry_text(const std::string& bbl, const std::string& key) {
  const size_t start = bbl.find("\\entry{" + key + "}");
  return start == std::string::npos ? "" : bbl.substr(start, bbl.find("\\endentry", start) - start);
}

// The brace-balanced argument after `head` (which ends with "{"). With `big5` the byte after
// a Big5 lead byte is never a brace: Big5 trail bytes include "{", "}" and "\".
inline std::string braced_after(const std::string& text, const std::string& head, bool big5) {
  const size_t at = text.find(head);
  if (at == std::string::npos) return "<no " + head + ">";
  std::string value;
  int depth = 1;
  for (size_t i = at + head.size(); i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (big5 && c >= 0xA1 && c <= 0xFE && i + 1 < text.size()) {
      value += text.substr(i++, 2);  // a trail byte, even a brace or a backslash
      continue;
    }
    depth += c == '{' ? 1 : c == '}' ? -1 : 0;
    if (depth == 0) break;
    value += static_cast<char>(c);
  }
  return value;
}

// Removes what the decoder and bibtex add to a field: "\mbox{}" behind a decoded character
// before a closing brace, and bibtex's line wrap (a blank becomes a line end and two blanks).
inline std::string without(std::string text, const std::string& noise, const std::string& by = "") {
  for (size_t at = text.find(noise); at != std::string::npos; at = text.find(noise, at + by.size()))
    text.replace(at, noise.size(), by);
  return text;
}

}  // namespace corvina::e2e
