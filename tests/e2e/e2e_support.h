#pragma once

// Helpers for the whole-run tests: starting outside programs, reading a .bbl, and the
// sort keys that the back end is expected to order by.

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace corvina::e2e {

struct RunResult {
  int status = -1;     // exit status; 128 + signal when killed; -1 when it could not start
  std::string output;  // standard output and standard error, interleaved
  bool timed_out = false;
};

// Runs argv[0] (searched on PATH) in `cwd` (the current directory when empty) with the
// variables of `env` set on top of this process's environment, standard input from
// /dev/null. A program still running after `limit` is killed with its process group.
RunResult run(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env = {},
              const std::filesystem::path& cwd = {},
              std::chrono::seconds limit = std::chrono::seconds(240));

// The full path of an executable on PATH, if there is one.
std::optional<std::filesystem::path> find_on_path(const std::string& name);

// The first of `tools` that is not on PATH, or nothing when all are. "biblatex" stands for
// the LaTeX package, looked for with kpsewhich.
std::optional<std::string> first_missing(const std::vector<std::string>& tools);

// PATH with the directory of the built programs and stand-ins first.
std::string path_with_programs();

// Runs a built program (corvina or corvina4) with the stand-ins first on PATH.
RunResult run_program(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env = {});

// The keys of the \entry lines of a .bbl, in file order.
std::vector<std::string> entry_keys(const std::string& bbl);

// The text of one entry of a .bbl, from its \entry line to its \endentry line.
std::string entry_text(const std::string& bbl, const std::string& key);

// The brace-balanced argument that follows `head` (for example "\field{title}{" or
// "family={") in `text`, each one in order. `head` ends with the opening brace. With `big5`
// the byte after a Big5 lead byte is never taken for a brace (Big5 trail bytes include
// "{", "}" and "\").
std::vector<std::string> braced_after(const std::string& text, const std::string& head, bool big5 = false);

// The decoder writes "\mbox{}" in front of a closing brace that follows a decoded character
// (so that a trailing Chinese character keeps its spacing); for comparing text it is noise.
std::string without_mbox(std::string text);

// bibtex and bibtex8 wrap a long line at a blank: the blank becomes a line end and the
// next line starts with two blanks. Undoing that gives the field back as it was written.
std::string unwrap_bibtex(std::string text);

// Telling characters of the UTF-8 tables: stroke count and zhuyin value.
struct Telling {
  const char* utf8;
  char32_t code_point;
  int strokes;
  int zhuyin;
};
const std::vector<Telling>& telling_characters();

// The corvina4 group code of a value: "0", "A".."Z" for 1..26, "Zza".."Zzk" for 27..37.
std::string utf8_group_code(int value);

// The corvina4 sort token of a run of telling characters and of characters outside the
// ideograph tables, which have no group (`zhuyin` chooses the order). Fails the test for
// any other ideograph, whose group it does not know.
std::string utf8_token(const std::string& run, bool zhuyin);

// The corvina sort token of a run of Big5 characters, from the Big5 stroke ranges.
std::string big5_token(const std::string& big5_run);

// The group suffix of a Big5 code ("0", "A".."Z", "A1".."A3").
std::string big5_group(unsigned code);

// A byte string lower-cased in ASCII; what the back ends compare in the end.
std::string ascii_lower(std::string text);

// Document text of a biblatex document that cites everything in `resources`.
std::string biblatex_document(const std::string& options, const std::vector<std::string>& resource_lines);

}  // namespace corvina::e2e
