#pragma once

// A document folder for one whole run: the document as NAME.vdk and NAME.tex, its
// databases, pdflatex for the control files, the program, and the checks that every
// complete run must pass.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace corvina::e2e {

// Skips the current test, saying which tool is missing. Must stand in a test body or SetUp.
#define CORVINA_SKIP_WITHOUT(...)                                                         \
  do {                                                                                    \
    if (const auto missing_tool = ::corvina::e2e::first_missing({__VA_ARGS__}))           \
      GTEST_SKIP() << "skipped: " << *missing_tool << " not found";                       \
  } while (false)

enum class Backend { kBiber, kBibtex, kBibtex8 };

inline void PrintTo(Backend b, std::ostream* out) {
  *out << (b == Backend::kBiber ? "biber" : b == Backend::kBibtex ? "bibtex" : "bibtex8");
}

inline const char* backend_option(Backend b) { return b == Backend::kBiber ? "biber" : "bibtex"; }

// What the first line of NAME.blg says for each back end.
inline const char* backend_log_mark(Backend b) {
  switch (b) {
    case Backend::kBiber:
      return "This is Biber";
    case Backend::kBibtex:
      return "This is BibTeX,";
    case Backend::kBibtex8:
      return "This is 8-bit Big BibTeX";
  }
  return "";
}

class DocumentFolder : public ::testing::Test {
 protected:
  std::filesystem::path folder() const { return dir_.path(); }

  // Writes the document under both names: the program reads NAME.vdk, pdflatex NAME.tex.
  void write_document(const std::string& text, const std::string& name = "thesis") {
    testing::write_file(folder() / (name + ".vdk"), text);
    testing::write_file(folder() / (name + ".tex"), text);
  }

  // Writes a database and remembers its bytes and time for the check after the run.
  void write_database(const std::filesystem::path& path, const std::string& bytes) {
    testing::write_file(path, bytes);
    // An old time, so that a database rewritten during the run cannot keep it by chance.
    const auto old_time = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 30);
    std::filesystem::last_write_time(path, old_time);
    databases_[path] = {bytes, old_time};
  }

  // Runs pdflatex and checks that biblatex asked for the intended back end: NAME.bcf alone
  // for biber, NAME-blx.bib alone for bibtex and bibtex8.
  void make_control_files(Backend backend, const std::string& name = "thesis") {
    const RunResult latex = run({"pdflatex", "-interaction=nonstopmode", name + ".tex"});
    ASSERT_EQ(latex.status, 0) << "pdflatex failed:\n" << tail(latex.output);
    const bool bcf = testing::file_exists(folder() / (name + ".bcf"));
    const bool blx = testing::file_exists(folder() / (name + "-blx.bib"));
    if (backend == Backend::kBiber) {
      ASSERT_TRUE(bcf && !blx) << "biblatex did not leave " << name << ".bcf alone";
    } else {
      ASSERT_TRUE(!bcf && blx) << "biblatex did not leave " << name << "-blx.bib alone";
    }
  }

  // Runs the program and checks what every complete run promises: status 0, the intended
  // back end ran, a .bbl exists, every database is back byte for byte with its old time,
  // and no working file is left. Returns the final .bbl.
  std::string run_and_check(const std::vector<std::string>& argv, Backend backend,
                            const std::map<std::string, std::string>& env = {},
                            const std::string& name = "thesis") {
    const RunResult result = run_program(argv, env);
    last_output_ = result.output;
    EXPECT_EQ(result.status, 0) << "run did not end with status 0:\n" << tail(result.output);
    const std::filesystem::path blg = folder() / (name + ".blg");
    if (testing::file_exists(blg)) {
      const std::string log = testing::read_file(blg);
      EXPECT_NE(log.substr(0, 200).find(backend_log_mark(backend)), std::string::npos)
          << "another back end ran: " << log.substr(0, log.find('\n'));
    } else {
      ADD_FAILURE() << "no back end ran (no " << blg.filename() << ")";
    }
    check_databases_restored();
    for (const char* leftover : {"bug.txt", "findbib@.txt"}) {
      EXPECT_FALSE(testing::file_exists(folder() / leftover)) << leftover << " left behind";
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder())) {
      const std::string file = entry.path().filename().string();
      EXPECT_FALSE(file.ends_with("-backup.bib") || file.ends_with("-tmp.bib")) << file << " left behind";
    }
    const std::filesystem::path bbl = folder() / (name + ".bbl");
    if (!testing::file_exists(bbl)) {
      ADD_FAILURE() << "no " << bbl.filename() << "\n" << tail(result.output);
      return {};
    }
    return testing::read_file(bbl);
  }

  void check_databases_restored() {
    for (const auto& [path, before] : databases_) {
      if (!testing::file_exists(path)) {
        ADD_FAILURE() << path << " lost";
        continue;
      }
      EXPECT_TRUE(testing::read_file(path) == before.bytes) << path << " not restored byte for byte";
      EXPECT_TRUE(std::filesystem::last_write_time(path) == before.time)
          << path << " restored with a new modification time";
    }
  }

  static std::string tail(const std::string& text, size_t keep = 4000) {
    return text.size() <= keep ? text : "..." + text.substr(text.size() - keep);
  }

  std::string last_output_;

 private:
  struct Snapshot {
    std::string bytes;
    std::filesystem::file_time_type time;
  };
  testing::TempDir dir_;
  std::map<std::filesystem::path, Snapshot> databases_;
};

}  // namespace corvina::e2e
