// Fails the file-system and process calls of whole runs, one call a run (strace's fault
// injection), and checks what each run and the ordinary run after it leave: every database
// byte for byte with its modification time, no working file, a status that is not 0
// exactly when the job was not done, and then a "!" line giving the reason the call gave.
//
//   faults [--most N] [--verbose]
//
// For corvina and corvina4, a .vdk and a direct-mode document, each in a clean folder and
// in one left by a run killed while its back end ran: a normal run is traced first, then
// each call it makes is failed in turn, with EIO, ENOSPC, EACCES, EPERM or EINTR; of a
// call made more than N times (default 8) N of its instants are taken, spread out. It runs
// the programs and preprocessor stand-ins beside it, with a copying stand-in back end, in
// a fresh folder under the system's temporary folder. Exit status 0 when no run went wrong,
// 77 when strace is missing.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tool_files.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The calls of ours that touch files or processes; the loader's and the memory calls are not.
const std::set<std::string> kCalls = {
    "openat", "open", "read", "write", "close", "newfstatat", "fstat", "stat", "lstat", "statx", "fcntl", "readlink",
    "unlink", "unlinkat", "getcwd", "access", "faccessat", "faccessat2", "fsync", "fdatasync", "pread64", "pwrite64",
    "getdents64", "clone", "clone3", "vfork", "wait4", "utimensat", "rename", "renameat", "renameat2", "link",
    "linkat", "symlink", "lseek", "ftruncate", "flock", "copy_file_range", "chmod", "fchmod", "fchmodat", "mkdir",
    "rmdir", "chdir", "sendfile"};
const int kErrors[] = {EIO, ENOSPC, EACCES, EPERM, EINTR};

using tool_files::read_file;
using tool_files::write_file;

std::string listing(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& file : fs::directory_iterator(folder)) names.insert(file.path().filename().string());
  std::string text;
  for (const std::string& name : names) text += name + " ";
  return text;
}

struct Scenario {
  std::string program;  // corvina or corvina4
  bool direct;          // thesis.tex rather than thesis.vdk
  bool after_kill;      // the folder is left by a run killed while its back end ran
  std::string name() const {
    return program + (direct ? " .tex" : " .vdk") + (after_kill ? " after a kill" : "");
  }
};

struct Fault {
  std::string call;
  int when;
  int error;
};

struct Result {
  int status = 0;  // exit status, -signal, or -1000 for a run that hung
  std::string console;
};

class Bench {
 public:
  explicit Bench(const fs::path& root) : root_(root), doc_(root / "doc") {
    const fs::path programs = fs::canonical("/proc/self/exe").parent_path();
    fs::create_directories(root_ / "bin");
    // Kills the run that started it while a flag file stands, else writes the .bbl from
    // the database it was given, as biber and bibtex write its entries.
    write_script(root_ / "bin/biber", "[ -e '" + (root_ / "kill").string() +
                                          "' ] && kill -KILL $PPID && exit 1\nfor last; do :; done\n"
                                          "cp refs.bib '" + (root_ / "seen.bib").string() + "'\n"
                                          "cat refs.bib > \"$last.bbl\"");
    // The preprocessor stand-ins copy their input: only a note tells that one ran.
    for (const char* preprocessor : {"pellam", "pellam4"}) {
      write_script(root_ / "bin" / preprocessor, "touch '" + (root_ / "preprocessed").string() + "'\nexec '" +
                                                     (programs / preprocessor).string() + "' \"$@\"");
    }
    setenv("PATH", ((root_ / "bin").string() + ":" + programs.string() + ":/usr/bin:/bin").c_str(), 1);
    programs_ = programs;
  }

  // The back end sorted the encoded database (it saw no Chinese byte), the preprocessor
  // of a .vdk document ran; forgotten for the next run.
  bool sorted_and_preprocessed(const Scenario& s) {
    const std::string seen = fs::exists(root_ / "seen.bib") ? read_file(root_ / "seen.bib") : "\x80";
    const bool sorted = std::none_of(seen.begin(), seen.end(), [](char c) { return static_cast<unsigned char>(c) > 0x7F; });
    const bool preprocessed = s.direct || fs::exists(root_ / "preprocessed");
    fs::remove(root_ / "seen.bib");
    fs::remove(root_ / "preprocessed");
    return sorted && preprocessed;
  }

  // The document folder as the scenario starts from it; returns the database's bytes.
  void prepare(const Scenario& s) {
    fs::current_path(root_);
    fs::remove_all(doc_);
    fs::create_directories(doc_);
    fs::current_path(doc_);
    write_file(s.direct ? "thesis.tex" : "thesis.vdk", "\\addbibresource{refs.bib}\n");
    write_file("thesis.bcf", "");
    write_file("refs.bib", database(s));
    fs::last_write_time("refs.bib", kTime);
    if (s.after_kill) {
      write_file(root_ / "kill", "");
      run({programs_ / s.program, "thesis"});
      fs::remove(root_ / "kill");
    }
    sorted_and_preprocessed(s);
  }

  static std::string database(const Scenario& s) {
    return s.program == "corvina4" ? "@book{a, author = {\xE7\x8E\x8B\xE5\xB0\x8F\xE6\x98\x8E and Smith, John}, title = {"
                                     "\xE4\xB8\xAD\xE6\x96\x87 Title}}\n"
                                   : "@book{a, author = {\xA4\xFD\xA4\x70\xA9\xFA}, title = {\xA4\xA4\xA4\xE5}}\n";
  }

  Result run(const std::vector<std::string>& argv) {
    std::vector<std::string> words = argv;
    std::vector<char*> args;
    for (std::string& word : words) args.push_back(word.data());
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const fs::path console = root_ / "console.txt";
    posix_spawn_file_actions_addopen(&actions, 1, console.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    Result result;
    int status = 0;
    bool ended = false;
    for (auto end = Clock::now() + std::chrono::seconds(20); !ended && Clock::now() < end;) {
      ended = waitpid(pid, &status, WNOHANG) == pid;
      if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (!ended) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      result.status = -1000;
    } else {
      result.status = WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
    }
    result.console = read_file(console);
    return result;
  }

  // The program's own calls in a normal run: for each, how many come before main (the
  // loader's) and how many after.
  std::map<std::string, std::pair<int, int>> trace(const Scenario& s) {
    prepare(s);
    const fs::path log = root_ / "trace.txt";
    run({"/usr/bin/strace", "-qq", "-o", log.string(), (programs_ / s.program).string(), "thesis"});
    std::ifstream in(log);
    std::map<std::string, std::pair<int, int>> calls;
    bool in_main = false;
    for (std::string line; std::getline(in, line);) {
      // Our main begins by catching SIGINT.
      if (line.rfind("rt_sigaction(SIGINT", 0) == 0) in_main = true;
      const std::string call = line.substr(0, line.find('('));
      if (!kCalls.count(call)) continue;
      (in_main ? calls[call].second : calls[call].first) += 1;
    }
    return calls;
  }

  Result faulted(const Scenario& s, const Fault& f) {
    prepare(s);
    const std::string inject = f.call + ":error=" + errno_name(f.error) + ":when=" + std::to_string(f.when);
    return run({"/usr/bin/strace", "-qq", "-o", "/dev/null", "-e", "trace=" + f.call, "-e", "inject=" + inject,
                (programs_ / s.program).string(), "thesis"});
  }

  Result normal(const Scenario& s) { return run({(programs_ / s.program).string(), "thesis"}); }

  bool database_intact(const Scenario& s) const {
    std::error_code error;
    return read_file(doc_ / "refs.bib") == database(s) && fs::last_write_time(doc_ / "refs.bib", error) == kTime;
  }
  std::string bbl() const { return fs::exists(doc_ / "thesis.bbl") ? read_file(doc_ / "thesis.bbl") : "(none)"; }
  std::string files() const { return listing(doc_); }

  static std::string errno_name(int error) {
    switch (error) {
      case EIO: return "EIO";
      case ENOSPC: return "ENOSPC";
      case EACCES: return "EACCES";
      case EPERM: return "EPERM";
      case EINTR: return "EINTR";
    }
    return std::to_string(error);
  }

 private:
  static void write_script(const fs::path& path, const std::string& body) {
    write_file(path, "#!/bin/sh\n" + body + "\n");
    fs::permissions(path, fs::perms::owner_all);
  }

  // An old time with a fraction of a second, so that a restore that loses either is seen.
  static inline const fs::file_time_type kTime =
      fs::file_time_type::clock::now() - std::chrono::hours(30) - std::chrono::nanoseconds(123456789);

  fs::path root_, doc_, programs_;
};

// The instants of a call made `count` times after `before` calls of the loader: all of
// them, or `most` spread from the first to the last.
std::vector<int> instants(int before, int count, int most) {
  std::vector<int> picked;
  if (count <= most) {
    for (int i = 0; i < count; ++i) picked.push_back(before + 1 + i);
  } else {
    for (int k = 0; k < most; ++k) picked.push_back(before + 1 + k * (count - 1) / (most - 1));
  }
  return picked;
}

// A "!" line that gives the reason the call gave, and none that gives another reason.
std::string reason_problem(const std::string& console, int error) {
  const std::string wanted = std::strerror(error);
  bool given = false;
  std::istringstream lines(console);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("!", 0) != 0) continue;
    if (line.find(wanted) != std::string::npos) given = true;
    for (int other = 1; other < 134; ++other) {
      const std::string text = std::strerror(other);
      if (other != error && text != wanted && line.find(": " + text) != std::string::npos) {
        return "gives another reason: " + line;
      }
    }
    if (line.find(": Success") != std::string::npos) return "gives no reason: " + line;
  }
  return given ? "" : "no \"!\" line gives the reason (" + wanted + ")";
}

}  // namespace

int main(int argc, char** argv) {
  int most = 8;
  bool verbose = false;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--most" && i + 1 < argc) most = std::max(2, std::atoi(argv[++i]));
    if (std::string(argv[i]) == "--verbose") verbose = true;
  }
  if (access("/usr/bin/strace", X_OK) != 0) {
    std::cout << "strace is not installed: no faults injected\n";
    return 77;
  }
  const fs::path root = fs::temp_directory_path() / ("corvina-faults-" + std::to_string(getpid()));
  fs::create_directories(root);
  const auto began = Clock::now();
  std::map<std::string, int> outcomes;
  std::vector<std::string> problems;
  int runs = 0;
  {
    Bench bench(root);
    for (const std::string program : {"corvina", "corvina4"}) {
      for (const bool direct : {false, true}) {
        for (const bool after_kill : {false, true}) {
          const Scenario s{program, direct, after_kill};
          bench.prepare(s);
          const Result reference_run = bench.normal(s);
          const std::string expected_bbl = bench.bbl(), expected_files = bench.files();
          if (reference_run.status != 0 || !bench.sorted_and_preprocessed(s) || !bench.database_intact(s) ||
              expected_bbl.find("Zzz") != std::string::npos) {
            problems.push_back(s.name() + ": the normal run itself went wrong:\n" + reference_run.console);
            continue;
          }
          int error_turn = 0;
          for (const auto& [call, counts] : bench.trace(s)) {
            // A call made only a few times is failed with every error, the others in turn.
            const bool rare = counts.second <= 3;
            for (int when : instants(counts.first, counts.second, most)) {
              for (int e = 0; e < (rare ? 5 : 1); ++e) {
                const Fault f{call, when, kErrors[rare ? e : error_turn++ % 5]};
                const std::string what = s.name() + ", " + call + " #" + std::to_string(when) + " " +
                                         Bench::errno_name(f.error);
                const Result r = bench.faulted(s, f);
                ++runs;
                const bool done = bench.sorted_and_preprocessed(s) && bench.bbl() == expected_bbl && bench.database_intact(s) &&
                                  bench.files().find("-backup.bib") == std::string::npos &&
                                  bench.files().find("-tmp.bib") == std::string::npos &&
                                  bench.files().find("-restore.txt") == std::string::npos;
                std::string problem;
                if (r.status == -1000) {
                  problem = "hung";
                } else if (r.status < 0) {
                  problem = "ended by signal " + std::to_string(-r.status);
                } else if (r.status == 0 && !done) {
                  problem = "status 0, the job not done";
                } else if (r.status != 0 && done) {
                  problem = "status " + std::to_string(r.status) + ", the job done all the same";
                } else if (r.status != 0) {
                  problem = reason_problem(r.console, f.error);
                }
                const std::string outcome = "status " + std::to_string(r.status) +
                                            (done ? ", job done" : ", job not done");
                const Result after = bench.normal(s);
                if (problem.empty() && (after.status != 0 || !bench.sorted_and_preprocessed(s) ||
                                        !bench.database_intact(s) || bench.bbl() != expected_bbl ||
                                        bench.files() != expected_files)) {
                  problem = "the run after it: status " + std::to_string(after.status) +
                            (bench.database_intact(s) ? "" : ", refs.bib lost or changed") + ", leaves " +
                            bench.files() + "\n" + after.console;
                }
                ++outcomes[problem.empty() ? outcome : "WRONG: " + problem.substr(0, problem.find(':'))];
                if (verbose) std::cout << what << ": " << outcome << " " << problem << "\n" << r.console << "\n";
                if (!problem.empty()) problems.push_back(what + ": " + problem + "\n--- its console:\n" + r.console);
              }
            }
          }
        }
      }
    }
  }
  fs::current_path(fs::temp_directory_path());
  std::error_code ignored;
  fs::remove_all(root, ignored);
  const double seconds = std::chrono::duration<double>(Clock::now() - began).count();
  for (size_t i = 0; i < problems.size() && i < 20; ++i) std::cout << problems[i] << "\n\n";
  std::cout << runs << " faulted runs in " << static_cast<int>(seconds) << " s:\n";
  for (const auto& [outcome, count] : outcomes) std::cout << "  " << count << "  " << outcome << "\n";
  std::cout << problems.size() << " went wrong\n";
  return problems.empty() ? 0 : 1;
}
