#include "make_tables_unihan.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <stdexcept>

extern char** environ;

namespace make_tables {
namespace {

constexpr const char* kFiles[] = {"Unihan_Readings", "Unihan_OtherMappings", "Unihan_IRGSources", "Unihan_Variants",
                                  "Unihan_DictionaryLikeData"};

// Lines of the form "U+4E00<TAB>kField<TAB>value"; comments and blank lines are skipped.
void take_line(const std::string& line, const std::vector<std::string>& wanted, UnihanFields& out) {
  if (line.size() < 3 || line[0] != 'U' || line[1] != '+') return;
  const auto tab1 = line.find('\t');
  const auto tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
  if (tab2 == std::string::npos) return;
  const std::string field = line.substr(tab1 + 1, tab2 - tab1 - 1);
  if (std::find(wanted.begin(), wanted.end(), field) == wanted.end()) return;
  const char32_t cp = static_cast<char32_t>(std::stoul(line.substr(2, tab1 - 2), nullptr, 16));
  std::string value = line.substr(tab2 + 1);
  if (!value.empty() && value.back() == '\r') value.pop_back();
  out[field][cp] = std::move(value);
}

void read_plain(const std::filesystem::path& path, const std::vector<std::string>& wanted, UnihanFields& out) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  for (std::string line; std::getline(in, line);) take_line(line, wanted, out);
}

// The build machine has bzcat wherever it has the compressed files (both come with
// unicode-data), so decompression is left to it rather than to a library.
void read_compressed(const std::filesystem::path& path, const std::vector<std::string>& wanted, UnihanFields& out) {
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  posix_spawn_file_actions_addclose(&actions, fds[1]);
  std::string program = "bzcat";
  std::string argument = path.string();
  char* argv[] = {program.data(), argument.data(), nullptr};
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, "bzcat", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (spawned != 0) {
    close(fds[0]);
    throw std::runtime_error("cannot start bzcat for " + path.string());
  }
  std::unique_ptr<FILE, int (*)(FILE*)> in(fdopen(fds[0], "r"), &fclose);
  std::string line;
  for (int c; in && (c = std::getc(in.get())) != EOF;) {
    if (c == '\n') {
      take_line(line, wanted, out);
      line.clear();
    } else {
      line += static_cast<char>(c);
    }
  }
  take_line(line, wanted, out);
  in.reset();
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error("bzcat failed on " + path.string());
  }
}

}  // namespace

UnihanFields read_unihan(const std::filesystem::path& folder, const std::vector<std::string>& wanted) {
  UnihanFields out;
  bool any_file = false;
  for (const char* stem : kFiles) {
    const auto plain = folder / (std::string(stem) + ".txt");
    const auto compressed = folder / (std::string(stem) + ".txt.bz2");
    if (std::filesystem::exists(plain)) {
      read_plain(plain, wanted, out);
      any_file = true;
    } else if (std::filesystem::exists(compressed)) {
      read_compressed(compressed, wanted, out);
      any_file = true;
    }
  }
  if (!any_file) throw std::runtime_error("no Unihan files in " + folder.string());
  for (const auto& field : wanted) {
    if (out.find(field) == out.end()) throw std::runtime_error("field " + field + " not found in " + folder.string());
  }
  return out;
}

}  // namespace make_tables
