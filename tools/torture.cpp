// Kills whole runs of corvina4 at random instants and checks that the next run gives
// every database back byte for byte, with its modification time, and leaves no working
// file; or starts two runs at once in one folder and checks the same.
//
//   torture --kills N   N SIGKILLs (about a third of them hit the recovery run itself)
//   torture --pairs N   N pairs of runs started together
//   [--seed S] [--entries E]   E entries in the large database (default 6000)
//
// It runs the corvina4 and pellam4 beside it, with a slow stand-in back end and a
// stand-in locator, in a fresh folder under the system's temporary folder. The exit
// status is 0 when no database was lost or changed and every complete run ended with 0.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
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

using tool_files::read_file;
using tool_files::write_file;

void write_script(const fs::path& path, const std::string& body) {
  write_file(path, "#!/bin/sh\n" + body + "\n");
  fs::permissions(path, fs::perms::owner_all);
}

std::string utf8(char32_t c) {
  std::string out;
  out += static_cast<char>(0xE0 | (c >> 12));
  out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out += static_cast<char>(0x80 | (c & 0x3F));
  return out;
}

std::string chinese(std::mt19937& random, int length) {
  std::uniform_int_distribution<int> character(0x4E00, 0x9FA5);
  std::string text;
  for (int i = 0; i < length; ++i) text += utf8(static_cast<char32_t>(character(random)));
  return text;
}

std::string database(std::mt19937& random, int entries, const std::string& key) {
  std::string text;
  for (int i = 0; i < entries; ++i) {
    text += "@book{" + key + std::to_string(i) + ", author = {" + chinese(random, 3) + " and Smith, John}, title = {" +
            chinese(random, 12) + " Title " + std::to_string(i) + "}, year = {2024}}\n";
  }
  return text;
}

// A database as the user left it: bytes and modification time.
struct Original {
  fs::path path;
  std::string bytes;
  fs::file_time_type time;
};

Original make_database(const fs::path& path, const std::string& bytes) {
  write_file(path, bytes);
  // An old time with a fraction of a second, so that a restore that loses either is seen.
  auto time = fs::last_write_time(path) - std::chrono::hours(30) - std::chrono::nanoseconds(123456789);
  fs::last_write_time(path, time);
  return {path, bytes, time};
}

// The folder this program was started from, where corvina4 and pellam4 are built. Not
// every system can name a process's own file (/proc is Linux's), so it is found as a
// shell would have found argv[0].
fs::path own_folder(const std::string& argv0) {
  if (argv0.find('/') != std::string::npos) return fs::canonical(argv0).parent_path();
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  for (size_t at = 0, end = 0; end != std::string::npos; at = end + 1) {
    end = path.find(':', at);
    const fs::path folder = path.substr(at, end == std::string::npos ? std::string::npos : end - at);
    if (access((folder / argv0).c_str(), X_OK) == 0) return fs::canonical(folder / argv0).parent_path();
  }
  return fs::current_path();
}

std::set<std::string> listing(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& file : fs::directory_iterator(folder)) names.insert(file.path().filename().string());
  return names;
}

std::string join(const std::set<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += name + " ";
  return text;
}

class Bench {
 public:
  Bench(const fs::path& programs, int entries, unsigned seed) : root_(make_root()), random_(seed) {
    fs::create_directories(root_ / "bin");
    for (const char* folder : {"doc", "shared", "texmf"}) fs::create_directories(root_ / folder);
    // Slow enough that kills land while it works; it reads the encoded databases.
    write_script(root_ / "bin/biber",
                 "echo '[back end]'\nsleep 0.05\nfor last; do :; done\ncat refs.bib lib.bib > \"$last.bbl\"\nsleep 0.03");
    write_script(root_ / "bin/kpsewhich", "[ \"$1\" = lib.bib ] && echo '" + (root_ / "texmf/lib.bib").string() + "'");
    setenv("PATH", ((root_ / "bin").string() + ":" + programs.string() + ":/usr/bin:/bin").c_str(), 1);
    corvina4_ = (programs / "corvina4").string();
    write_file(root_ / "doc/thesis.vdk",
               "\\addbibresource{refs.bib}\n\\addbibresource{lib.bib}\n\\addbibresource{../shared/out.bib}\n");
    write_file(root_ / "doc/thesis.bcf", "");
    originals_ = {make_database(root_ / "doc/refs.bib", database(random_, entries, "r")),
                  make_database(root_ / "shared/out.bib", database(random_, entries / 10 + 1, "o")),
                  make_database(root_ / "texmf/lib.bib", database(random_, entries / 10 + 1, "l"))};
    fs::current_path(root_ / "doc");
  }
  ~Bench() {
    fs::current_path(root_.parent_path());
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  // Starts corvina4 thesis in a process group of its own; its console goes to `console`.
  pid_t start(const std::string& console) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, (root_ / console).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    std::string name = "corvina4", document = "thesis";
    char* argv[] = {name.data(), document.data(), nullptr};
    pid_t pid = -1;
    posix_spawn(&pid, corvina4_.c_str(), &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }

  // The wait status, or -1 when the run did not end within a minute (it is killed then).
  int wait(pid_t pid) {
    int status = 0;
    for (auto end = Clock::now() + std::chrono::seconds(60); Clock::now() < end;) {
      if (waitpid(pid, &status, WNOHANG) == pid) return status;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    kill(-pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
  }

  void kill_at(pid_t pid, Clock::duration after) {
    std::this_thread::sleep_for(after);
    kill(-pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }

  std::string console(const std::string& name) const { return read_file(root_ / name); }

  // Counts what is lost or changed, names it on standard error, and puts the originals
  // back for the next try.
  int check(const std::string& context) {
    int damaged = 0;
    for (const Original& original : originals_) {
      std::error_code error;
      bool same = fs::exists(original.path, error) && read_file(original.path) == original.bytes;
      bool same_time = same && fs::last_write_time(original.path, error) == original.time;
      if (same && same_time) continue;
      ++damaged;
      std::cerr << context << ": " << original.path.filename().string() << (same ? " has a new modification time\n" : " lost or changed\n");
      write_file(original.path, original.bytes);
      fs::last_write_time(original.path, original.time);
    }
    const std::set<std::string> expected[] = {
        {"refs.bib", "thesis.vdk", "thesis.bcf", "thesis.bbl", "temp21-tmp.bbl"}, {"out.bib"}, {"lib.bib"}};
    const char* folders[] = {"doc", "shared", "texmf"};
    for (int i = 0; i < 3; ++i) {
      if (listing(root_ / folders[i]) == expected[i]) continue;
      ++leftovers_;
      std::cerr << context << ": " << folders[i] << " holds " << join(listing(root_ / folders[i])) << "\n";
      for (const std::string& name : listing(root_ / folders[i])) {
        if (!expected[i].count(name)) fs::remove(root_ / folders[i] / name);
      }
    }
    return damaged;
  }

  Clock::duration run_time() {
    auto begin = Clock::now();
    wait(start("console.txt"));
    return Clock::now() - begin;
  }

  std::mt19937& random() { return random_; }
  int leftovers() const { return leftovers_; }

 private:
  static fs::path make_root() {
    std::string pattern = (fs::temp_directory_path() / "corvina-torture-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    return pattern;
  }

  fs::path root_;
  std::mt19937 random_;
  std::string corvina4_;
  std::vector<Original> originals_;
  int leftovers_ = 0;
};

// The step a killed run was in, from the last thing it printed.
std::string step_of(const std::string& console) {
  const std::pair<const char*, const char*> markers[] = {
      {"Searching \\bibliography", "scan"},       {"waiting for", "lock"},
      {"sort keys by a run", "recovery"},         {"incomplete backup", "recovery"},
      {"sorting copy of an interrupted", "recovery"},
      {"*** backup from", "backup"},              {"Preprocessing", "encode"},
      {"[back end]", "back end"},                 {"Postprocessing", "decode"},
      {"*** remove", "clean-up"},                 {"*** copy   ", "write-back"},
      {"*** remove3", "write-back"}};
  std::string step = "start";
  size_t last = 0;
  for (const auto& [marker, name] : markers) {
    size_t at = console.rfind(marker);
    if (at != std::string::npos && at >= last) {
      last = at;
      step = name;
    }
  }
  return step;
}

bool ended_well(int status) { return status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0; }

int torture_kills(Bench& bench, int kills) {
  Clock::duration full = bench.run_time();
  int damaged = bench.check("first run"), failed_runs = 0, done = 0, tries = 0;
  std::map<std::string, int> steps;
  std::uniform_real_distribution<double> instant(0.0, 1.1);
  auto random_instant = [&] {
    return std::chrono::duration_cast<Clock::duration>(full * instant(bench.random()));
  };
  while (done < kills) {
    ++tries;
    // The killed run, then with one chance in two a recovery run killed as well.
    bench.kill_at(bench.start("console.txt"), random_instant());
    ++steps[step_of(bench.console("console.txt"))];
    ++done;
    if (done < kills && bench.random()() % 2 == 0) {
      bench.kill_at(bench.start("console.txt"), random_instant());
      ++steps["(recovery) " + step_of(bench.console("console.txt"))];
      ++done;
    }
    int status = bench.wait(bench.start("console.txt"));
    if (!ended_well(status)) {
      ++failed_runs;
      std::cerr << "try " << tries << ": the run after the kill ended with status " << status << "\n"
                << bench.console("console.txt") << "\n";
    }
    damaged += bench.check("try " + std::to_string(tries));
  }
  std::cout << "kills: " << done << " in " << tries << " tries; where they landed:\n";
  for (const auto& [step, count] : steps) std::cout << "  " << step << ": " << count << "\n";
  std::cout << "databases lost or changed (modification time included): " << damaged << "\n"
            << "checks that found files left over: " << bench.leftovers() << "\n"
            << "recovering runs that did not end with status 0: " << failed_runs << "\n";
  return damaged == 0 && bench.leftovers() == 0 && failed_runs == 0 ? 0 : 1;
}

int torture_pairs(Bench& bench, int pairs) {
  int damaged = 0, failed_runs = 0, waited = 0;
  for (int i = 1; i <= pairs; ++i) {
    pid_t first = bench.start("console-1.txt");
    pid_t second = bench.start("console-2.txt");
    int status1 = bench.wait(first), status2 = bench.wait(second);
    for (int status : {status1, status2}) failed_runs += ended_well(status) ? 0 : 1;
    if (!ended_well(status1) || !ended_well(status2)) {
      std::cerr << "pair " << i << ": statuses " << status1 << " and " << status2 << "\n"
                << bench.console("console-1.txt") << "\n" << bench.console("console-2.txt") << "\n";
    }
    for (const char* console : {"console-1.txt", "console-2.txt"}) {
      waited += bench.console(console).find("*** waiting for corvina4 on thesis (process ") != std::string::npos;
    }
    damaged += bench.check("pair " + std::to_string(i));
  }
  std::cout << "pairs: " << pairs << "; runs that waited for the other: " << waited << "\n"
            << "databases lost or changed (modification time included): " << damaged << "\n"
            << "checks that found files left over: " << bench.leftovers() << "\n"
            << "runs that did not end with status 0: " << failed_runs << "\n";
  return damaged == 0 && bench.leftovers() == 0 && failed_runs == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  int kills = 0, pairs = 0, entries = 6000;
  unsigned seed = std::random_device{}();
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string option = argv[i];
    int value = std::atoi(argv[i + 1]);
    if (option == "--kills") kills = value;
    else if (option == "--pairs") pairs = value;
    else if (option == "--entries") entries = value;
    else if (option == "--seed") seed = static_cast<unsigned>(value);
  }
  if (kills <= 0 && pairs <= 0) {
    std::cerr << "usage: torture --kills N | --pairs N [--seed S] [--entries E]\n";
    return 2;
  }
  std::cout << "seed " << seed << ", " << entries << " entries\n";
  Bench bench(own_folder(argv[0]), entries, seed);
  int status = 0;
  if (kills > 0) status |= torture_kills(bench, kills);
  if (pairs > 0) status |= torture_pairs(bench, pairs);
  return status;
}
