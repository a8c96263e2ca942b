// What a run killed at any instant leaves of one database, and what the next run makes
// of it. The leftovers are written with the run's own record writer, then cut where a
// kill would cut them.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>

#include "core/run_error.h"
#include "platform/platform.h"
#include "staging/intent_record.h"
#include "staging/recovery.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace corvina {
namespace {

namespace fs = std::filesystem;
using testing::file_exists;
using testing::read_file;
using testing::write_file;
using State = IntentRecord::State;

const std::string kOriginal = "@book{a, author = {王小明}, title = {中文書名}}\n";

// The state of a recovering run, its console kept.
struct Recovering {
  std::ostringstream console, log;
  Build build;
  RunState state{build, console, log};
};

void cut_record(size_t bytes_off_the_end) {
  fs::resize_file("refs.bib-restore.txt", fs::file_size("refs.bib-restore.txt") - bytes_off_the_end);
}

// The backup written and recorded as the run writes it, the database's time before it.
int64_t back_up() {
  int64_t time = *write_time("refs.bib");
  EXPECT_EQ(start_record("refs.bib", State::kBackingUp), "");
  write_file("refs.bib-backup.bib", kOriginal);
  EXPECT_EQ(complete_record("refs.bib", *digest_file("refs.bib-backup.bib"), time), "");
  return time;
}

// The backup as a run makes it where hard links can be made: the database under a second
// name, recorded as complete once the encoder has read it.
int64_t link_backup() {
  int64_t time = *write_time("refs.bib");
  EXPECT_EQ(start_record("refs.bib", State::kBackingUp), "");
  fs::create_hard_link("refs.bib", "refs.bib-backup.bib");
  write_file("refs.bib-tmp.bib", "@book{a, author = {ZzzDx");
  EXPECT_EQ(complete_record("refs.bib", *digest_file("refs.bib-backup.bib"), time), "");
  return time;
}

TEST(Recovery, EveryStateAKillLeavesEndsWithTheDatabaseAsItWas) {
  struct Case {
    const char* name;
    std::function<void()> leave;  // the database, its working files and record as left
    State state;                  // what the record says
    std::string message;          // what the recovering run says, if anything
  };
  const Case cases[] = {
      {"record cut before its first line ended",
       [] { start_record("refs.bib", State::kBackingUp); cut_record(3); }, State::kStarted, ""},
      {"backup cut short",
       [] { start_record("refs.bib", State::kBackingUp); write_file("refs.bib-backup.bib", kOriginal.substr(0, 10)); },
       State::kBackingUp, "removing refs.bib-backup.bib, an incomplete backup"},
      {"record of the complete backup cut short",
       [] { back_up(); cut_record(4); }, State::kBackingUp, "an incomplete backup"},
      {"database emptied by the encoder", [] { back_up(); write_file("refs.bib", ""); },
       State::kBackedUp, "refs.bib was left with sort keys by a run that was stopped: restoring it"},
      {"database half encoded",
       [] { back_up(); write_file("refs.bib-tmp.bib", kOriginal); write_file("refs.bib", "@book{a, author = {Zzz"); },
       State::kBackedUp, "restoring it from refs.bib-backup.bib ...done."},
      {"database half written back",
       [] { back_up(); write_file("refs.bib", kOriginal.substr(0, 20)); }, State::kBackedUp, "restoring it"},
      {"linked backup, encoding under way",
       [] {
         start_record("refs.bib", State::kBackingUp);
         fs::create_hard_link("refs.bib", "refs.bib-backup.bib");
         write_file("refs.bib-tmp.bib", "@book{a, au");
       },
       State::kBackingUp, "an incomplete backup"},
      // Writing the backup back over the database would empty the one file both names are.
      {"linked backup recorded, encoded text not yet renamed over the database", [] { link_backup(); },
       State::kBackedUp, ""},
      {"encoded text renamed over the database",
       [] { link_backup(); fs::rename("refs.bib-tmp.bib", "refs.bib"); }, State::kBackedUp, "restoring it"},
      {"record of an earlier version, its sum over bytes",
       [] {
         const int64_t time = *write_time("refs.bib");
         start_record("refs.bib", State::kBackingUp);
         write_file("refs.bib-backup.bib", kOriginal);
         complete_record("refs.bib", *digest_file("refs.bib-backup.bib", FileDigest::Kind::kBytes), time);
         write_file("refs.bib", "@book{a, author = {Zzz");
       },
       State::kBackedUp, "restoring it"},
      {"written back, record not yet removed",
       [] { back_up(); fs::remove("refs.bib-backup.bib"); }, State::kBackedUp, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDir dir;
    write_file("refs.bib", kOriginal);
    // Less than a second back, in the units of either system: a restore that keeps only
    // whole seconds would show.
    const int64_t time_before = *write_time("refs.bib") - 1234567;
    ASSERT_TRUE(set_write_time("refs.bib", time_before));
    c.leave();
    EXPECT_EQ(read_record("refs.bib").state, c.state);
    Recovering r;
    recover_entry(r.state, "refs.bib");
    EXPECT_EQ(read_file("refs.bib"), kOriginal);
    EXPECT_EQ(write_time("refs.bib"), time_before);
    if (c.message.empty()) EXPECT_EQ(r.console.str(), ""); else EXPECT_NE(r.console.str().find(c.message), std::string::npos) << r.console.str();
    for (const char* left : {"refs.bib-backup.bib", "refs.bib-tmp.bib", "refs.bib-restore.txt"}) EXPECT_FALSE(file_exists(left)) << left;
  }
}

// The working folder holds the sorting copy of a database found elsewhere, with its
// record, and files of the user's that only bear the names of a backup and a record.
TEST(Recovery, SortingCopyLeftOrAFileThatOnlyBearsARecordsNameTouched) {
  testing::TempDir dir;
  ASSERT_EQ(start_record("lib.bib", State::kEncodedCopy), "");
  write_file("lib.bib-tmp.bib", kOriginal);
  write_file("lib.bib", "@book{a, author = {Zzz");
  write_file("refs.bib", "sort keys?");
  write_file("refs.bib-backup.bib", kOriginal);
  write_file("refs.bib-restore.txt", "my notes on how to restore my thesis\n");
  Recovering r;
  RunLocks locks("test");
  recover_working_folder(r.state, locks);
  EXPECT_NE(r.console.str().find("lib.bib is the sorting copy of an interrupted run: removing it ...done."),
            std::string::npos);
  EXPECT_EQ(testing::listing("."), "refs.bib\nrefs.bib-backup.bib\nrefs.bib-restore.txt\n");
  EXPECT_EQ(read_file("refs.bib"), "sort keys?");
  EXPECT_EQ(read_file("refs.bib-restore.txt"), "my notes on how to restore my thesis\n");
}

TEST(Recovery, BackupThatNoLongerMatchesItsRecordIsLeftWithTheDatabase) {
  testing::TempDir dir;
  write_file("refs.bib", kOriginal);
  back_up();
  write_file("refs.bib", "sort keys");
  write_file("refs.bib-backup.bib", "changed by hand\n");
  Recovering r;
  try {
    recover_entry(r.state, "refs.bib");
    ADD_FAILURE() << "no error";
  } catch (const RunError& error) {
    EXPECT_EQ(error.status(), kExitFileError);
    EXPECT_NE(std::string(error.what()).find("refs.bib-backup.bib does not match its record"), std::string::npos);
  }
  EXPECT_EQ(read_file("refs.bib"), "sort keys");
  EXPECT_EQ(read_file("refs.bib-backup.bib"), "changed by hand\n");
  EXPECT_EQ(read_record("refs.bib").state, State::kBackedUp);
}

}  // namespace
}  // namespace corvina
