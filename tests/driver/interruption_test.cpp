// A run stopped while the back end works: by a signal it can handle (the databases are
// restored before it ends), or killed outright (the next run puts things right).

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "driver/run_harness.h"
#include "support/files.h"

namespace corvina::testing {
namespace {

namespace fs = std::filesystem;

const std::string kDatabase = "@book{a, author = {王小明}, title = {中文書名}}\n";

// A back end that says it has started (writing its process id) and then sleeps.
void sleeping_backend(RunHarness& h) {
  h.stand_in("biber", "echo $$ > '" + h.outside("started").string() + "'\nexec sleep 30");
}

void prepare(RunHarness& h) {
  write_file("thesis.vdk", "\\addbibresource{refs.bib}\n");
  write_file("thesis.bcf", "");
  write_file("refs.bib", kDatabase);
  fs::last_write_time("refs.bib", fs::last_write_time("refs.bib") - std::chrono::hours(1));
}

// The process id of the back end once it runs, or 0 after ten seconds.
pid_t wait_for_backend(RunHarness& h) {
  for (int i = 0; i < 1000; ++i) {
    if (file_exists(h.outside("started"))) {
      std::string text = read_file(h.outside("started"));
      if (!text.empty() && text.back() == '\n') return std::stoi(text);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return 0;
}

TEST(Interruption, TerminatedRunRestoresThenEndsBySignal) {
  RunHarness h;
  prepare(h);
  const auto time_before = fs::last_write_time("refs.bib");
  sleeping_backend(h);
  pid_t run = h.start("corvina4", {"thesis"});
  ASSERT_NE(wait_for_backend(h), 0);
  EXPECT_NE(read_file("refs.bib"), kDatabase);  // encoded while the back end runs
  kill(run, SIGTERM);
  int status = 0;
  waitpid(run, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << h.console();
  EXPECT_EQ(read_file("refs.bib"), kDatabase);
  EXPECT_EQ(fs::last_write_time("refs.bib"), time_before);
  EXPECT_EQ(h.listing(), "refs.bib\nthesis.bcf\nthesis.vdk\n");
}

TEST(Interruption, RunAfterAKilledRunRestoresTheEncodedDatabase) {
  RunHarness h;
  prepare(h);
  sleeping_backend(h);
  pid_t run = h.start("corvina4", {"thesis"});
  pid_t backend = wait_for_backend(h);
  ASSERT_NE(backend, 0);
  kill(run, SIGKILL);
  waitpid(run, nullptr, 0);
  kill(backend, SIGKILL);
  ASSERT_NE(read_file("refs.bib"), kDatabase);
  ASSERT_TRUE(file_exists("refs.bib-backup.bib"));

  h.copying_backend("biber", "refs.bib");
  EXPECT_EQ(exit_status(h.run("corvina4", {"thesis"})), 0) << h.console();
  EXPECT_NE(h.console().find("*** refs.bib holds the sort keys of an interrupted run: restoring it "
                             "from refs.bib-backup.bib ...done."),
            std::string::npos)
      << h.console();
  EXPECT_EQ(read_file("refs.bib"), kDatabase);
  EXPECT_EQ(read_file("thesis.bbl").find("xxx"), std::string::npos);
  EXPECT_FALSE(file_exists("refs.bib-backup.bib"));
  EXPECT_FALSE(file_exists("refs.bib-backup-1.bib"));
}

TEST(Interruption, KilledRunsCopyOfADatabaseFoundElsewhereIsRemovedNextTime) {
  RunHarness h;
  fs::create_directory(h.outside("shared"));
  const fs::path elsewhere = h.outside("shared") / "lib.bib";
  write_file(elsewhere, kDatabase);
  write_file("thesis.vdk", "\\addbibresource{lib.bib}\n");
  write_file("thesis.bcf", "");
  h.stand_in("kpsewhich", "echo '" + elsewhere.string() + "'");
  sleeping_backend(h);
  pid_t run = h.start("corvina4", {"thesis"});
  pid_t backend = wait_for_backend(h);
  ASSERT_NE(backend, 0);
  kill(run, SIGKILL);
  waitpid(run, nullptr, 0);
  kill(backend, SIGKILL);
  ASSERT_TRUE(file_exists("lib.bib"));  // the encoded copy, which would hide the real one

  h.copying_backend("biber", "lib.bib");
  EXPECT_EQ(exit_status(h.run("corvina4", {"thesis"})), 0) << h.console();
  EXPECT_NE(h.console().find("lib.bib is the sorting copy of an interrupted run: removing it"),
            std::string::npos);
  EXPECT_EQ(h.args_of("kpsewhich"), "lib.bib\n");
  EXPECT_FALSE(file_exists("lib.bib"));
  EXPECT_EQ(read_file(elsewhere), kDatabase);
}

}  // namespace
}  // namespace corvina::testing
