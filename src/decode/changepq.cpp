#include "decode/changepq.h"

#include <cerrno>
#include <cstdio>
#include <fstream>

#include "core/run_error.h"

namespace corvina {
namespace {

constexpr std::string_view kDefinitionsAnchor = "\\providecommand{\\cH}{\\char}";
constexpr std::string_view kDefinitions =
    "\n\\providecommand{\\pqM}{pqM}\n\\providecommand{\\pqR}{pqR}\n\n";
constexpr std::string_view kSelections[] = {"\\fontfamily{pqM}", "\\fontfamily{pqR}"};

const char kInput[] = "cinput.tex";
const char kOutput[] = "cinput@@.tex";
const char kBackup[] = "cinput.@@@";

[[noreturn]] void fail(const std::string& what, const std::string& path, int err) {
  throw RunError(kExitFileError, file_error(what, path, err));
}

// Removes the unfinished new file, then reports the failure (`err` taken beforehand).
[[noreturn]] void discard_output(const std::string& what, const std::string& path, int err) {
  std::remove(kOutput);
  fail(what, path, err);
}

// Writes the rewrite of `in` to kOutput. Throws, having removed kOutput, on any failure.
void write_rewrite(std::ifstream& in) {
  std::ofstream out(kOutput, std::ios::binary | std::ios::trunc);
  if (!out) {
    int err = errno;
    fail("create", kOutput, err);
  }
  std::string line;
  errno = 0;
  while (out && std::getline(in, line)) {
    if (!in.eof()) line += '\n';  // a last line without a line end stays without one
    out << changepq_line(line);
  }
  if (in.bad()) {
    int err = errno;
    out.close();
    discard_output("read", kInput, err);
  }
  out.close();
  if (!out) {
    int err = errno;
    discard_output("write", kOutput, err);
  }
}

// Puts the new file in the old one's place, the old one becoming the backup.
void swap_in_rewrite() {
  // POSIX rename would replace the backup itself; removing it first works everywhere.
  if (std::remove(kBackup) != 0 && errno != ENOENT) {
    int err = errno;
    discard_output("remove", kBackup, err);
  }
  if (std::rename(kInput, kBackup) != 0) {
    int err = errno;
    discard_output("rename " + std::string(kInput) + " to", kBackup, err);
  }
  if (std::rename(kOutput, kInput) != 0) {
    int err = errno;
    std::rename(kBackup, kInput);  // the file must not go missing
    discard_output("rename " + std::string(kOutput) + " to", kInput, err);
  }
}

}  // namespace

std::string changepq_line(std::string_view line) {
  std::string out(line);
  if (line.find(kDefinitionsAnchor) != std::string_view::npos) {
    // The definitions must stand on lines of their own, also behind a last line that
    // has no line end.
    if (out.empty() || out.back() != '\n') out += '\n';
    out += kDefinitions;
    return out;
  }
  for (std::string_view selection : kSelections) {
    std::size_t at = line.find(selection);
    if (at != std::string_view::npos) {
      out.insert(at + selection.find('{') + 1, 1, '\\');
      return out;
    }
  }
  return out;
}

void changepq() {
  std::ifstream in(kInput, std::ios::binary);
  if (!in) {
    int err = errno;
    if (err == ENOENT) return;
    fail("read", kInput, err);
  }
  write_rewrite(in);
  in.close();
  swap_in_rewrite();
}

}  // namespace corvina
