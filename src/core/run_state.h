#pragma once
// The state of one run: owned by the program's entry, handed by reference to every step.

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "core/build.h"
#include "core/encoder.h"
#include "core/document_hints.h"

namespace corvina {

struct RunState {
  RunState(const Build& b, std::ostream& console_out, std::ostream& log)
      : build(b), console(console_out), debug(log) {}

  const Build& build;
  std::ostream& console;  // progress messages (standard output)
  std::ostream& debug;    // the diagnostic log "bug.txt"

  std::string fullname;  // the document: the name as typed + ".vdk"
  std::string purename;  // the name as typed; all back-end names derive from it
  // The folder of the back end's files (NAME.bcf, NAME.aux, NAME.bbl); empty: here.
  std::string output_directory;
  // The document is LaTeX's NAME.tex: the decoded text goes straight to NAME.bbl, with no
  // preprocessor and no font-family rewrite.
  bool direct = false;
  SortOrder order = SortOrder::kStrokes;
  ChineseBlock block = ChineseBlock::kLast;

  // Set once an include line or a bibliography command has been accepted anywhere.
  bool findj = false;
  std::vector<std::string> inpinc;      // include names, in the order found
  std::vector<std::string> orgbib;      // database entries, in the order found
  std::vector<std::string> fromorgbib;  // entries backed up by staging
  DocumentHints hints;                  // what the source lines tell of engine and packages

  // How staging left each entry of orgbib (same index).
  enum class Staged {
    kBackedUp,    // the user's file, backed up: its encoded text takes its name
    kLocated,     // found elsewhere: an encoded copy is made under the entry here
    kLeftAlone,   // named twice, or no safe backup could be made: never written
  };
  std::vector<Staged> staged;
  // The file the encoder reads for each entry of orgbib (same index): the backup of a
  // user's file, the file the locator found; empty for one left alone.
  std::vector<std::string> encoder_input;

  // A database whose file under its entry holds encoded text while the back end runs.
  // `made_by_run` is true for a database found through the locator: its encoded file is
  // new and is removed at the end; a user's own file is written back from its backup.
  struct Rewritten {
    std::string entry;
    bool made_by_run;
  };
  std::vector<Rewritten> rewritten;
  bool was_rewritten(const std::string& entry, bool made_by_run) const {
    for (const Rewritten& r : rewritten) {
      if (r.entry == entry && r.made_by_run == made_by_run) return true;
    }
    return false;
  }

  // Entries whose intent record this run wrote (staging/intent_record.h); the end of the
  // run removes each record once nothing of its entry is left to put back.
  std::vector<std::string> recorded;
  // Set once this run has listed a database outside the working folder (kElsewhereList).
  bool listed_elsewhere = false;

  // Set when the back end or the preprocessor failed, or no .bbl came out of the back end.
  bool outside_program_failed = false;
  // Set when a database could not be staged or encoded and stays unsorted: the run goes
  // on and writes the bibliography, but does not end as a complete run.
  bool database_left_unsorted = false;
  // From the back end's run until NAME.bbl holds decoded text: a run that stops in
  // between removes NAME.bbl rather than leave the sort keys for LaTeX to print.
  bool bbl_holds_sort_keys = false;
};

}  // namespace corvina
