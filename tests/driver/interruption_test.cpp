// A run stopped while the back end works: by a signal it can handle (the databases are
// restored before it ends), or killed outright (the next run puts things right).

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "driver/run_harness.h"
#include "support/files.h"

namespace corvina::testing {
namespace {

namespace fs = std::filesystem;

// Starts corvina4 on thesis with a back end that writes its process id and sleeps;
// returns once the back end runs (the databases are encoded then).
struct StoppedRun {
  pid_t run = 0, backend = 0;
};
StoppedRun start_until_backend_runs(RunHarness& h) {
  const fs::path started = h.outside("started");
  h.stand_in("biber", "echo $$ > '" + started.string() + "'\nexec sleep 30");
  StoppedRun stopped{h.start("corvina4", {"thesis"}), 0};
  for (int i = 0; i < 1000 && !stopped.backend; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::string pid = file_exists(started) ? read_file(started) : "";
    if (!pid.empty() && pid.back() == '\n') stopped.backend = std::stoi(pid);
  }
  return stopped;
}

// A signal the run can handle, while the back end works, or as the run ends: sent by the
// last program the run starts, it arrives while the run decodes, cleans up or restores (a
// backup is renamed back in no time to speak of). The run ends by it once the database is
// back, with its time.
TEST(Interruption, TerminatedRunRestoresThenEndsBySignal) {
  for (const bool as_it_ends : {false, true}) {
    SCOPED_TRACE(as_it_ends ? "as the run ends" : "while the back end works");
    RunHarness h;
    write_biber_document("refs.bib", kUtf8);
    fs::last_write_time("refs.bib", fs::last_write_time("refs.bib") - std::chrono::hours(1));
    const auto time_before = fs::last_write_time("refs.bib");
    int status = 0;
    if (as_it_ends) {
      h.stand_in("biber", "echo > \"$1.bbl\"");
      h.stand_in("pellam4", "kill -TERM $PPID");
      status = h.run("corvina4", {"thesis"});
      EXPECT_TRUE(contains(h.console(), "*** remove3 refs.bib-backup.bib ...\ndone.\n")) << h.console();
    } else {
      StoppedRun stopped = start_until_backend_runs(h);
      ASSERT_NE(stopped.backend, 0);
      EXPECT_NE(read_file("refs.bib"), kUtf8);
      kill(stopped.run, SIGTERM);
      waitpid(stopped.run, &status, 0);
    }
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status << h.console();
    EXPECT_EQ(read_file("refs.bib"), kUtf8);
    EXPECT_EQ(fs::last_write_time("refs.bib"), time_before);
    EXPECT_EQ(h.listing(), as_it_ends ? "refs.bib\ntemp21-tmp.bbl\nthesis.bcf\nthesis.vdk\n"
                                        : "refs.bib\nthesis.bcf\nthesis.vdk\n");
  }
}

// After a killed run the next one restores an encoded database, also one elsewhere that
// the document no longer names, and removes the sorting copy of a database found through
// kpsewhich before it asks for that database again.
TEST(Interruption, RunAfterAKilledRunLeavesADatabaseEncodedOrASortingCopyInTheWay) {
  RunHarness h;
  for (const char* folder : {"shared", "library"}) fs::create_directory(h.outside(folder));
  const fs::path found = h.outside("library") / "lib.bib", elsewhere = h.outside("shared") / "refs.bib";
  for (const fs::path& database : {fs::path("refs.bib"), found, elsewhere}) write_file(database, kUtf8);
  const auto time_before = fs::last_write_time(elsewhere) - std::chrono::hours(1);
  fs::last_write_time(elsewhere, time_before);
  h.stand_in("kpsewhich", "echo '" + found.string() + "'");
  write_biber_document("refs.bib", "", "\\addbibresource{lib.bib}\n\\addbibresource{../shared/refs.bib}\n");
  StoppedRun stopped = start_until_backend_runs(h);
  ASSERT_NE(stopped.backend, 0);
  kill(stopped.run, SIGKILL);  // killed outright, the back end too
  waitpid(stopped.run, nullptr, 0);
  kill(stopped.backend, SIGKILL);
  ASSERT_TRUE(read_file("refs.bib") != kUtf8 && read_file(elsewhere) != kUtf8);
  ASSERT_TRUE(file_exists("refs.bib-backup.bib") && file_exists("lib.bib"));  // lib.bib: the encoded copy, hiding the real one

  write_biber_document("refs.bib", "", "\\addbibresource{lib.bib}\n");
  h.copying_backend("biber", "refs.bib");
  EXPECT_EQ(exit_status(h.run("corvina4", {"thesis"})), 0) << h.console();
  for (const char* said : {"*** refs.bib was left with sort keys by a run that was stopped: restoring it from "
                           "refs.bib-backup.bib ...done.",
                           "lib.bib is the sorting copy of an interrupted run: removing it",
                           "*** ../shared/refs.bib was left with sort keys by a run that was stopped"})
    EXPECT_TRUE(contains(h.console(), said)) << h.console();
  for (const fs::path& database : {fs::path("refs.bib"), found, elsewhere}) EXPECT_EQ(read_file(database), kUtf8) << database;
  EXPECT_EQ(fs::last_write_time(elsewhere), time_before);
  EXPECT_EQ(read_file("thesis.bbl").find("Zzz"), std::string::npos);
  EXPECT_EQ(h.args_of("kpsewhich"), "lib.bib\n");
  EXPECT_EQ(h.listing(), "refs.bib\ntemp21-tmp.bbl\nthesis.bbl\nthesis.bcf\nthesis.vdk\n");
  EXPECT_EQ(listing(h.outside("shared")), "refs.bib\n");
}

TEST(Interruption, ConsoleThatWentAwayDoesNotStopTheRestore) {
  RunHarness h;
  write_biber_document("refs.bib", kUtf8);
  h.copying_backend("biber", "refs.bib");
  int console[2];
  ASSERT_EQ(pipe(console), 0);
  close(console[0]);  // as after `corvina4 thesis | head -1`
  pid_t run = h.start("corvina4", {"thesis"}, console[1]);
  close(console[1]);
  int status = 0;
  waitpid(run, &status, 0);
  EXPECT_EQ(exit_status(status), 0);
  EXPECT_EQ(read_file("refs.bib"), kUtf8);
  EXPECT_EQ(h.listing(), "refs.bib\ntemp21-tmp.bbl\nthesis.bbl\nthesis.bcf\nthesis.vdk\n");
}

}  // namespace
}  // namespace corvina::testing
