// Single system calls of a whole run made to fail (strace's fault injection, the files
// picked by name): what the run does then, and what the next ordinary run makes of it. A
// database that could not be sorted still gets its bibliography ("Postprocessing").
// The whole sweep over every call is tools/faults.cpp.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <functional>

#include "driver/run_harness.h"
#include "platform/platform.h"
#include "support/files.h"

namespace corvina::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kSigterm = -SIGTERM;  // a run ended by SIGTERM, in Case::status

int outcome(int wait_status) { return WIFSIGNALED(wait_status) ? -WTERMSIG(wait_status) : exit_status(wait_status); }

bool holds_chinese(const std::string& text) {
  for (unsigned char c : text) if (c > 0x7F) return true;
  return false;
}

TEST(Faults, FailedCallLostADatabaseBlockedTheFolderOrToldAnUntruth) {
  if (!on_path("strace")) GTEST_SKIP() << "strace is not installed";
  struct Case {
    const char* fault;
    std::vector<std::string> paths;  // the calls that touch these are counted and failed
    std::vector<std::string> injections;
    int status;
    std::vector<std::string> said;
    std::vector<std::string> not_said = {};
    bool after_kill = false;  // the folder is first left by a run killed while the back end ran
    std::function<void()> more = nullptr;
  };
  const std::string kept_in_backup = "its text is kept in refs.bib-backup.bib";
  const Case cases[] = {
      {"an I/O error looking at the backup, recovering a killed run", {"refs.bib-backup.bib"},
       {"%%stat:error=EIO:when=1"}, 6, {"refs.bib-backup.bib: Input/output error.\n"}, {"foreign", "in the way"}, true},
      {"an I/O error looking at the working folder, before its lock is taken", {"."},
       {"%%stat:error=EIO:when=1"}, 0, {}, {"waiting"}},
      {"a copy backup that fails to sync and to be removed", {"refs.bib", "refs.bib-backup.bib"},
       {"link:error=EPERM:when=1", "fsync:error=EIO:when=1", "unlink:error=EIO:when=1"}, 6,
       {"! cannot sync refs.bib-backup.bib: Input/output error.\n",
        "! cannot remove refs.bib-backup.bib: Input/output error.\n", "is left as it is", "Postprocessing thesis.bbl"}},
      {"the record of the complete backup fails to sync", {"refs.bib-restore.txt"}, {"fsync:error=EIO:when=2"}, 6,
       {"! cannot sync refs.bib-restore.txt: Input/output error.\n", "is left as it is", "Postprocessing thesis.bbl"}},
      {"the working copy fails to be written", {"refs.bib-tmp.bib"}, {"write:error=ENOSPC:when=1"}, 6,
       {"! cannot write refs.bib-tmp.bib: No space left on device.\n", "Postprocessing thesis.bbl"}},
      {"a read-only database, the run not being root", {"refs.bib"}, {"access,faccessat,faccessat2:error=EACCES"},
       0, {}, {"left as it is"}, false, [] { fs::permissions("refs.bib", fs::perms::owner_read); }},
      {"an I/O error of fstat on the database just opened", {"refs.bib"}, {"newfstatat:error=EIO:when=2"}, 6,
       {"\n! cannot read refs.bib: Input/output error.\n"}, {"No such device"}},
      {"the restored database's time fails to be set", {"refs.bib"}, {"utimensat:error=EIO:when=1"}, 6,
       {"! cannot set the modification time of refs.bib: Input/output error.\n"}, {kept_in_backup}},
      {"an unreadable control file", {"thesis.bcf"}, {"openat:error=EIO"}, 6,
       {"\n! cannot read thesis.bcf: Input/output error.\n"}, {"first:"}},
      {"a signal while the working copy is written", {"refs.bib-tmp.bib"},
       {"write:error=EINTR:signal=SIGTERM:when=1"}, kSigterm, {}, {"Interrupted system call", "!Warning"}},
      {"a signal as the last lock is let go", {"corvina.lock"}, {"unlink:signal=SIGTERM:when=1"}, kSigterm, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    RunHarness h;
    write_biber_document("refs.bib", kUtf8);
    if (c.more) c.more();
    const auto time_before = fs::last_write_time("refs.bib") - std::chrono::hours(2);
    fs::last_write_time("refs.bib", time_before);
    const auto mode_before = fs::status("refs.bib").permissions();
    if (c.after_kill) {
      h.stand_in("biber", "kill -KILL $PPID");
      h.run("corvina4", {"thesis"});
      ASSERT_NE(read_file("refs.bib"), kUtf8);
    }
    h.copying_backend("biber", "refs.bib");
    // strace's own notes go nowhere. A call on a descriptor is known by the file's whole
    // path, a call on a name by the name.
    std::vector<std::string> strace = {"/bin/sh", "-c", "exec \"$0\" \"$@\" 2>/dev/null", "/usr/bin/strace", "-qq",
                                       "-o", "/dev/null"};
    for (const std::string& path : c.paths) {
      strace.insert(strace.end(), {"-P", path, "-P", (fs::current_path() / path).lexically_normal().string()});
    }
    for (const std::string& injection : c.injections) strace.insert(strace.end(), {"-e", "inject=" + injection});
    h.run_under(strace);
    EXPECT_EQ(outcome(h.run("corvina4", {"thesis"})), c.status) << h.console();
    for (const std::string& text : c.said) EXPECT_TRUE(contains(h.console(), text)) << text << "\n" << h.console();
    for (const std::string& text : c.not_said) EXPECT_FALSE(contains(h.console(), text)) << text << "\n" << h.console();
    if (!c.after_kill) {
      EXPECT_EQ(read_file("refs.bib"), kUtf8);
    }
    if (c.status == 0) {
      EXPECT_FALSE(holds_chinese(read_file(h.outside("seen.bib")))) << "the back end saw no sort keys";
    }

    h.run_under({});
    EXPECT_EQ(exit_status(h.run("corvina4", {"thesis"})), 0) << "the run after:\n" << h.console();
    EXPECT_FALSE(holds_chinese(read_file(h.outside("seen.bib"))));
    EXPECT_EQ(read_file("refs.bib"), kUtf8);
    EXPECT_EQ(fs::last_write_time("refs.bib"), time_before);
    EXPECT_EQ(fs::status("refs.bib").permissions(), mode_before);
    EXPECT_EQ(h.listing(), "refs.bib\ntemp21-tmp.bbl\nthesis.bbl\nthesis.bcf\nthesis.vdk\n");
  }
}

}  // namespace
}  // namespace corvina::testing
