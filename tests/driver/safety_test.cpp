// What keeps the user's files safe in a whole run: files that are not regular or cannot be
// read, runs that meet in one folder. Taken names stop a run early
// (exit_status_test.cpp), a signal is in interruption_test.cpp.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/platform.h"
#include "driver/run_harness.h"
#include "support/files.h"

namespace corvina::testing {
namespace {

namespace fs = std::filesystem;

// Neither a FIFO where an included file should be nor a lock left by a process that is
// gone may stop a run.
TEST(Safety, FifoIncludeOrLockOfAGoneProcessStopsTheRun) {
  RunHarness h;
  write_biber_document("refs.bib", kUtf8, "\\input{chapter}\n");
  mkfifo("chapter.tex", 0644);
  write_file("corvina.lock", "corvina4 on thesis (process 999999)\n");
  h.copying_backend("biber", "refs.bib");
  EXPECT_EQ(exit_status(h.run("corvina4", {"thesis"})), 0) << h.console();
  EXPECT_TRUE(contains(h.console(), "\n! chapter.tex is a FIFO, not a regular file: it is not read.\n"));
  EXPECT_FALSE(contains(h.console(), "waiting"));
  EXPECT_FALSE(file_exists("corvina.lock"));
  EXPECT_EQ(read_file("refs.bib"), kUtf8);
}

TEST(Safety, UnreadableDatabaseIsReportedWithTheReason) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads any file";
  RunHarness h;
  write_biber_document("refs.bib", kUtf8);
  fs::permissions("refs.bib", fs::perms::none);
  EXPECT_EQ(exit_status(h.run("corvina4", {"thesis"})), 6);
  EXPECT_TRUE(contains(h.console(), "\n! cannot read refs.bib: Permission denied.\n")) << h.console();
}

// A run that finds the lock of a folder it needs taken waits, naming the holder, and
// writes nothing (not even its log) until the lock is free.
TEST(Safety, SecondRunWaitsForTheFirstAndSaysForWhich) {
  struct Case {
    const char* database;
    std::string lock;  // relative to the document folder
  };
  const Case cases[] = {{"refs.bib", "corvina.lock"}, {"../shared/refs.bib", "../shared/corvina.lock"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lock);
    RunHarness h;
    fs::create_directory(h.outside("shared"));
    write_biber_document(c.database, kUtf8);
    h.copying_backend("biber", c.database);
    FileLock held;
    ASSERT_EQ(held.try_take(c.lock), FileLock::Outcome::kTaken);
    held.write("corvina on other (process 4242)\n");
    pid_t run = h.start("corvina4", {"thesis"});
    for (int i = 0; i < 500 && !contains(h.console(), "waiting"); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(contains(h.console(), "\n*** waiting for corvina on other (process 4242) to end: it holds ")) << h.console();
    EXPECT_FALSE(file_exists(std::string(c.database) + "-backup.bib"));
    EXPECT_TRUE(c.lock != "corvina.lock" || !file_exists("bug.txt"));
    held.remove_and_release(c.lock);
    int status = 0;
    waitpid(run, &status, 0);
    EXPECT_EQ(exit_status(status), 0) << h.console();
    EXPECT_TRUE(contains(h.console(), "corvina.lock ...done.\n"));
    EXPECT_EQ(read_file(c.database), kUtf8);
    EXPECT_FALSE(file_exists(c.lock));
  }
}

}  // namespace
}  // namespace corvina::testing
