// A database written for the other program is told during the encoder's one read of it,
// after staging: the run must still stop with the refusal and give every database back as
// it was, without the back end ever running.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "driver/run_harness.h"
#include "support/files.h"

namespace corvina::testing {
namespace {

namespace fs = std::filesystem;

struct Database {
  std::string name, text;
  bool read_only = false;
};

struct Seen {
  ino_t inode;
  timespec mtime;
};

Seen seen(const std::string& name) {
  struct stat s {};
  EXPECT_EQ(stat(name.c_str(), &s), 0) << name;
  return {s.st_ino, s.st_mtim};
}

TEST(OtherEncoding, DatabaseStagedBeforeTheRefusalRenamedOverOrItsWorkingFilesLeft) {
  struct Case {
    std::string program;
    std::vector<Database> databases;
    std::string message;
  };
  const Case cases[] = {
      {"corvina4", {{"refs.bib", kUtf8}, {"other.bib", kBig5}},
       "\n! other.bib is written in Big5: use corvina for it (corvina4 reads UTF-8).\n"},
      {"corvina4", {{"other.bib", kBig5}, {"refs.bib", kUtf8}},
       "\n! other.bib is written in Big5: use corvina for it (corvina4 reads UTF-8).\n"},
      {"corvina", {{"refs.bib", kBig5}, {"more.bib", kBig5}, {"other.bib", kUtf8}},
       "\n! other.bib is written in UTF-8: use corvina4 for it (corvina reads Big5).\n"},
      // Left alone, so never encoded: still refused, after the others were staged.
      {"corvina4", {{"refs.bib", kUtf8}, {"other.bib", kBig5, true}},
       "\n! other.bib is written in Big5: use corvina for it (corvina4 reads UTF-8).\n"},
      // The first refusal in the document's order is the one reported.
      {"corvina", {{"first.bib", kUtf8}, {"refs.bib", kBig5}, {"second.bib", kUtf8}},
       "\n! first.bib is written in UTF-8: use corvina4 for it (corvina reads Big5).\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    RunHarness h;
    std::string document;
    for (const Database& d : c.databases) {
      write_file(d.name, d.text);
      if (d.read_only) fs::permissions(d.name, fs::perms::owner_read);
      document += "\\addbibresource{" + d.name + "}\n";
    }
    write_file("thesis.tex", document);
    write_file("thesis.bcf", "");
    for (const char* backend : {"biber", "bibtex", "bibtex8"}) h.stand_in(backend, "touch ran.txt");
    std::vector<Seen> before;
    for (const Database& d : c.databases) before.push_back(seen(d.name));
    const std::string listing = h.listing();

    EXPECT_EQ(exit_status(h.run(c.program, {"thesis"})), 1) << h.console();
    EXPECT_NE(h.console().find(c.message), std::string::npos) << h.console();
    EXPECT_EQ(h.listing(), "bug.txt\n" + listing);
    for (size_t i = 0; i < c.databases.size(); ++i) {
      const Database& d = c.databases[i];
      EXPECT_EQ(read_file(d.name), d.text) << d.name;
      const Seen after = seen(d.name);
      EXPECT_EQ(after.inode, before[i].inode) << d.name << " was replaced";
      EXPECT_EQ(after.mtime.tv_sec, before[i].mtime.tv_sec) << d.name;
      EXPECT_EQ(after.mtime.tv_nsec, before[i].mtime.tv_nsec) << d.name;
    }
  }
}

TEST(OtherEncoding, DatabaseFoundElsewhereLeavesItsSortingCopyOrRecord) {
  RunHarness h;
  write_file("refs.bib", kUtf8);
  write_file(h.outside("lib.bib"), kBig5);
  h.stand_in("kpsewhich", "echo '" + h.outside("lib.bib").string() + "'");
  h.stand_in("biber", "touch ran.txt");
  write_file("thesis.tex", "\\addbibresource{refs.bib}\n\\addbibresource{lib.bib}\n");
  write_file("thesis.bcf", "");
  const std::string listing = h.listing();

  EXPECT_EQ(exit_status(h.run("corvina4", {"thesis"})), 1) << h.console();
  EXPECT_NE(h.console().find("\n! " + h.outside("lib.bib").string() +
                             " is written in Big5: use corvina for it (corvina4 reads UTF-8).\n"),
            std::string::npos)
      << h.console();
  EXPECT_EQ(h.listing(), "bug.txt\n" + listing);
  EXPECT_EQ(read_file(h.outside("lib.bib")), kBig5);
  EXPECT_EQ(read_file("refs.bib"), kUtf8);
}

}  // namespace
}  // namespace corvina::testing
