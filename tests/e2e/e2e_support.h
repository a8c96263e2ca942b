#pragma once

// Whole runs with pdflatex and the real back ends: a document folder, a shell to start the
// programs in, and readers for the .bbl the run leaves.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>
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

// The first line of the .blg of each back end a test asks for.
inline const char* backend_mark(const std::string& tool) {
  return tool == "biber" ? "This is Biber" : tool == "bibtex" ? "This is BibTeX," : "This is 8-bit Big BibTeX";
}

// A sort token of either run prefix, in any case: the prefix, group codes, then "x" and the
// code's digits. Initials and hashes the back end builds from a token are not.
inline bool holds_sort_key(const std::string& text) {
  static const std::regex token("(zzz|0zz)[0-9a-z]*x[0-9a-z]*[0-9]{5}", std::regex::icase);
  return std::regex_search(text, token);
}

// What a run must not leave anywhere under the folder: backups, encoded copies, the program's
// working files, and paths that end with one of `also`.
inline void expect_no_working_files(const std::vector<std::string>& also = {}) {
  for (const auto& entry : fs::recursive_directory_iterator(".")) {
    const std::string name = entry.path().filename().string(), path = entry.path().string();
    bool left = name.ends_with("-backup.bib") || name.ends_with("-tmp.bib") || name == "bug.txt" ||
                name == "findbib@.txt" || name == "cinput.tex";
    for (const std::string& end : also) left = left || (!end.empty() && path.ends_with(end));
    EXPECT_FALSE(left) << path << " left behind";
  }
}

// Gives `path` a time a month old, so that a file rewritten during the run cannot keep it by chance.
inline fs::file_time_type make_old(const fs::path& path) {
  const auto old_time = fs::file_time_type::clock::now() - std::chrono::hours(24 * 30);
  fs::last_write_time(path, old_time);
  return old_time;
}

// Writes the document as thesis.tex and as the preprocessor's thesis.vdk, runs pdflatex and
// then `command` (the program and its arguments, " thesis" appended) under a time limit: a
// back end that loops for good fails the test, and the program, sent SIGTERM, restores the
// databases. Returns the program's run.
inline Shell latex_then(const std::string& document, const std::string& command) {
  write_file("thesis.tex", document);
  write_file("thesis.vdk", document);
  const Shell latex = sh("pdflatex -interaction=nonstopmode thesis.tex");
  EXPECT_EQ(latex.status, 0) << "pdflatex failed:\n" << latex.output;
  return sh("timeout 200 " + command + " thesis");
}

// Names each case of a parameterised suite by its `name` field.
#define CORVINA_INSTANTIATE_BY_NAME(prefix, suite, cases) \
  INSTANTIATE_TEST_SUITE_P(prefix, suite, ::testing::ValuesIn(cases), \
                           [](const auto& info) { return std::string(info.param.name); })

// Why `engine` cannot typeset Chinese here, or "": pdflatex needs CJKutf8, the others the
// font the examples name.
inline std::string chinese_typesetting_missing(const std::string& engine) {
  if (engine == "pdflatex")
    return sh("kpsewhich CJKutf8.sty").status ? "CJKutf8.sty not found (Debian: latex-cjk-chinese)" : "";
  return sh("fc-list | grep -q 'AR PL UMing TW'").status ? "font AR PL UMing TW not found (Debian: fonts-arphic-uming)"
                                                         : "";
}
#define CORVINA_SKIP_WITHOUT_CHINESE(engine)                                                          \
  if (const std::string missing = ::corvina::e2e::chinese_typesetting_missing(engine); !missing.empty()) \
  GTEST_SKIP() << "skipped: " << missing

// Runs the command lines in turn; returns the first that fails, with its status and output, or "".
inline std::string run_steps(const std::vector<std::string>& steps) {
  for (const std::string& step : steps) {
    const Shell result = sh(step);
    if (result.status != 0) return step + " ended with status " + std::to_string(result.status) + ":\n" + result.output;
  }
  return "";
}

// Writes the UTF-8 text `utf8` at `path`, or with `big5` its Big5 twin (the UTF-8 text
// beside it as PATH.utf8); false when iconv finds a character that Big5 lacks.
inline bool write_database(const fs::path& path, const std::string& utf8, bool big5) {
  if (!big5) {
    write_file(path, utf8);
    return true;
  }
  const std::string source = path.string() + ".utf8";
  write_file(source, utf8);
  return sh("iconv -f UTF-8 -t BIG5 -o '" + path.string() + "' '" + source + "'").status == 0;
}

// The database as it was: its bytes and its modification time.
inline void expect_kept(const fs::path& database, const std::string& bytes, fs::file_time_type time) {
  EXPECT_TRUE(read_file(database) == bytes) << database << " not restored byte for byte";
  EXPECT_TRUE(fs::last_write_time(database) == time) << database << " restored with a new modification time";
}

// The back end that ran, by the first line of thesis.blg.
#define CORVINA_EXPECT_RAN(tool) \
  EXPECT_LT(read_file("thesis.blg").find(::corvina::e2e::backend_mark(tool)), 200u) << (tool) << " did not run"

inline std::string biblatex_document(const std::string& options, const std::string& resource_line) {
  // No \printbibliography: pdflatex has no fonts for the Chinese text in the .bbl.
  return "\\documentclass{article}\n\\usepackage[" + options + "]{biblatex}\n" + resource_line +
         "\n\\begin{document}\nA test document.\n\\nocite{*}\n\\end{document}\n";
}

// An entry of a test database; one without author has no author field.
struct Book {
  std::string key, author, title;
};

// The books as a database, each with the fields `more` ("  year = {2001},\n") after its title.
inline std::string database_of(const std::vector<Book>& books, const std::string& more) {
  std::string bib;
  for (const Book& b : books)
    bib += "@book{" + b.key + ",\n" + (b.author.empty() ? "" : "  author = {" + b.author + "},\n") + "  title = {" +
           b.title + "},\n" + more + "}\n\n";
  return bib;
}

inline std::vector<std::string> keys_of(const std::vector<Book>& books) {
  std::vector<std::string> keys;
  for (const Book& b : books) keys.push_back(b.key);
  return keys;
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
