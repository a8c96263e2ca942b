#include "driver/run_harness.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "support/files.h"

extern char** environ;

namespace corvina::testing {

RunHarness::RunHarness() {
  std::filesystem::create_directory(outside("bin"));
  std::filesystem::create_directory(outside("doc"));
  std::filesystem::current_path(outside("doc"));
  saved_path_ = getenv("PATH") ? getenv("PATH") : "";
  setenv("PATH", (outside("bin").string() + ":" + CORVINA_BIN_DIR + ":/usr/bin:/bin").c_str(), 1);
}

RunHarness::~RunHarness() { setenv("PATH", saved_path_.c_str(), 1); }

void RunHarness::hide_installed_programs() {
  setenv("PATH", (outside("bin").string() + ":" + CORVINA_BIN_DIR).c_str(), 1);
}

void RunHarness::stand_in(const std::string& name, const std::string& body) {
  auto script = outside("bin") / name;
  write_file(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + outside("args-" + name).string() + "'\n" + body + "\n");
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
}

void RunHarness::copying_backend(const std::string& name, const std::string& database) {
  stand_in(name, "cp '" + database + "' '" + outside("seen.bib").string() +
                     "'\nfor last; do :; done\ncat '" + database + "' > \"$last.bbl\"");
}

std::string RunHarness::args_of(const std::string& name) const {
  return file_exists(outside("args-" + name)) ? read_file(outside("args-" + name)) : "";
}

pid_t RunHarness::start(const std::string& program, const std::vector<std::string>& args, int console_fd) {
  std::string binary = std::string(CORVINA_BIN_DIR) + "/" + program;
  std::vector<std::string> words = wrapper_;
  words.push_back(binary);
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (console_fd >= 0) posix_spawn_file_actions_adddup2(&actions, console_fd, 1);
  else posix_spawn_file_actions_addopen(&actions, 1, outside("console.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

int RunHarness::run(const std::string& program, const std::vector<std::string>& args) {
  const pid_t pid = start(program, args);
  int status = 0;
  for (int tick = 0; tick < 3000; ++tick) {
    if (waitpid(pid, &status, WNOHANG) == pid) return status;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  ADD_FAILURE() << program << " still ran after 30 seconds:\n" << console();
  return status;
}

std::string RunHarness::console() const { return read_file(outside("console.txt")); }

std::string RunHarness::listing() const { return testing::listing(outside("doc")); }

// The modification time to the nanosecond as the system's struct stat holds it: st_mtim
// as POSIX names it, st_mtimespec on macOS.
template <typename Stat>
std::string modification_time(const Stat& s) {
  if constexpr (requires { s.st_mtim; }) {
    return std::to_string(s.st_mtim.tv_sec) + "." + std::to_string(s.st_mtim.tv_nsec);
  } else {
    return std::to_string(s.st_mtimespec.tv_sec) + "." + std::to_string(s.st_mtimespec.tv_nsec);
  }
}

std::string RunHarness::snapshot() const {
  std::istringstream names(listing());
  std::string text;
  for (std::string name; std::getline(names, name);) {
    const std::filesystem::path path = outside("doc") / name;
    struct stat s {};
    lstat(path.c_str(), &s);
    text += name + " " + std::to_string(s.st_mode) + " " + std::to_string(s.st_ino) + " " + modification_time(s) +
            "\n";
    if (S_ISREG(s.st_mode)) text += read_file(path) + "\n";
  }
  return text;
}

void write_biber_document(const std::string& database, const std::string& bytes, const std::string& more) {
  write_file("thesis.vdk", more + "\\addbibresource{" + database + "}\n");
  write_file("thesis.bcf", "");
  if (!bytes.empty()) write_file(database, bytes);
}

int exit_status(int wait_status) { return WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : -1; }

}  // namespace corvina::testing
