#include "driver/run.h"

#include <stdlib.h>

#include <cerrno>

#include <filesystem>
#include <fstream>
#include <iostream>

#include "decode/cvte.h"
#include "driver/backend_choice.h"
#include "driver/command_line.h"
#include "driver/control_databases.h"
#include "driver/decoded_bbl.h"
#include "driver/document_name.h"
#include "driver/encode_databases.h"
#include "driver/encoding_check.h"
#include "platform/file_io.h"
#include "platform/interrupt.h"
#include "platform/names.h"
#include "platform/platform.h"
#include "core/run_error.h"
#include "core/run_state.h"
#include "scan/search_bibliography.h"
#include "scan/search_inpinc.h"
#include "staging/copybib.h"
#include "staging/intent_record.h"
#include "staging/locator.h"
#include "staging/recovery.h"
#include "staging/restore.h"
#include "staging/run_lock.h"

namespace corvina {
namespace {

constexpr const char* kLog = "bug.txt";

void print_banner(const Build& build, std::ostream& console) {
  console << "\n" << build.banner << "\n"
          << "Copyright (C) the corvina authors. Free software, without any warranty.\n\n";
}

// Tells the user that an outside program failed, and remembers it for the exit status.
void report_program(RunState& state, const std::string& program, const ProgramResult& result) {
  if (result.ok()) return;
  state.console << "\n! " << result.describe(program) << ".";
  if (result.outcome == ProgramResult::Outcome::kNotStarted) {
    state.console << " Is it installed and on PATH?";
  }
  state.console << "\n";
  state.outside_program_failed = true;
}

void discover_databases(RunState& state) {
  state.console << "\n Searching \\input{...}, \\include(...) ... \n";
  search_inpinc(state);
  for (size_t g = 1; g <= state.inpinc.size(); ++g) search_bibliography(state, static_cast<int>(g));
  state.console << "\n Searching \\bibliography, \\nobibliography, \\addbibresource, "
                   "\\addglobalbib, or \\addsectionbib ... \n";
  search_bibliography(state, 0);
  add_control_file_databases(state);
}

// The encoded copy of a database found elsewhere stands in the working directory, but
// bibtex searches BIBINPUTS in its own order and a folder named there would hand it the
// original. The working directory goes first; then the output directory, where biblatex
// leaves NAME-blx.bib for bibtex; the rest of the search stays as it was (an empty entry
// at the end means TeX's default path, as when BIBINPUTS is unset).
void search_working_directory_first(const std::string& output_directory) {
  std::vector<std::string> first = {"."};
  if (!output_directory.empty()) first.push_back(output_directory);
  prepend_to_search_path("BIBINPUTS", first);
}

// Returns false when the back end could not be started at all.
bool run_backend(RunState& state) {
  std::string bibinputs_folder;
  std::vector<std::string> argv =
      backend_command(state.build, state.purename, state.output_directory, bibinputs_folder);
  search_working_directory_first(bibinputs_folder);
  state.bbl_holds_sort_keys = true;  // from its first write, also when interrupted meanwhile
  ProgramResult result = run_program(argv);
  report_program(state, argv[0], result);
  state.bbl_holds_sort_keys = result.outcome != ProgramResult::Outcome::kNotStarted;
  return state.bbl_holds_sort_keys;
}

bool backend_left_bbl(RunState& state, bool backend_started, const std::string& skipped) {
  const std::string bbl = bbl_name(state);
  InputFile written(bbl);
  if (backend_started && written.is_open()) return true;
  // One that is there and cannot be read was written all the same.
  if (backend_started && written.error() != ENOENT) {
    throw RunError(kExitFileError, "\n" + file_error("read", bbl, written.error()));
  }
  state.console << "\n! " << bbl << " was not written by the back end: " << skipped << ".\n";
  state.outside_program_failed = true;
  return false;
}

void decode_and_preprocess(RunState& state, bool backend_started) {
  const std::string bbl = bbl_name(state);
  const std::string temp = state.build.temp_bbl(state.purename);
  const std::string& preprocessor = state.build.preprocessor.front();
  if (!backend_left_bbl(state, backend_started, "decoding and " + preprocessor + " are skipped")) return;
  auto decoder = state.build.make_decoder(true);
  cvte(state, *decoder, bbl, temp);
  std::vector<std::string> argv = state.build.preprocessor;
  argv.push_back(temp);
  argv.push_back(bbl);
  ProgramResult result = run_program(argv);
  report_program(state, preprocessor, result);
  if (!result.ok()) keep_decoded_text(state, temp, bbl);
  state.bbl_holds_sort_keys = false;
}

void run_steps(RunState& state, RunLocks& locks) {
  // Whatever a killed run left is put right first, a document that fails to scan included.
  recover_working_folder(state, locks);
  throw_if_interrupted();
  refuse_other_encoding(state, state.fullname);
  discover_databases(state);
  copybib(state, locks);
  encode_databases(state);
  bool backend_started = run_backend(state);
  if (state.direct) {
    if (backend_left_bbl(state, backend_started, "nothing is decoded")) decode_in_place(state);
    return;
  }
  decode_and_preprocess(state, backend_started);
  if (state.build.rewrite_font_families) state.build.rewrite_font_families();
}

// Removes the run's files and restores the databases; the status says whether all of
// the user's text is back in place.
int finish(RunState& state, std::ofstream& log, int status) {
  bool restored = remove_and_restore(state);
  log.close();
  std::error_code ignored;
  std::filesystem::remove(kLog, ignored);
  std::filesystem::remove(kLocatorOutput, ignored);
  return restored ? status : kExitFileError;
}

// After an interrupt: the run is put back as the signal's restore does, and the caller
// then ends it by the signal.
int stop_by_signal(RunState& state, std::ofstream& log) {
  drop_undecoded_bbl(state);
  if (!state.recorded.empty()) finish(state, log, 0);
  return 0;
}

int complete_status(const RunState& state) {
  if (state.database_left_unsorted) return kExitFileError;
  return state.outside_program_failed ? kExitOutsideProgram : kExitOk;
}

// An interrupted run returns after its restore; the caller then ends it by the signal. A
// call that a signal cut short fails with a message about its file, which is not said:
// the signal is the reason.
int run_sequence(RunState& state, std::ofstream& log, RunLocks& locks) {
  try {
    run_steps(state, locks);
  } catch (const OtherEncoding& error) {
    if (pending_interrupt()) return stop_by_signal(state, log);
    // Refused while staged: every database is put back as it was, and the log stays, as
    // after a stop before anything was staged.
    state.console << error.what();
    std::error_code ignored;
    std::filesystem::remove(kLocatorOutput, ignored);
    return state.recorded.empty() || remove_and_restore(state) ? error.status() : kExitFileError;
  } catch (const RunError& error) {
    if (pending_interrupt()) return stop_by_signal(state, log);
    state.console << error.what();
    drop_undecoded_bbl(state);
    // Before the first record nothing of the user's has changed: the log stays for
    // inspection, as after any early stop.
    if (state.recorded.empty()) return error.status();
    return finish(state, log, error.status());
  } catch (const Interrupted&) {
    return stop_by_signal(state, log);
  } catch (const std::exception& error) {
    if (pending_interrupt()) return stop_by_signal(state, log);
    state.console << "\n! " << error.what() << "\n";
    drop_undecoded_bbl(state);
    if (state.recorded.empty()) return kExitFileError;
    return finish(state, log, kExitFileError);
  }
  return finish(state, log, complete_status(state));
}

int run_document(const Build& build, int argc, char** argv) {
  std::cout.setf(std::ios::unitbuf);  // keep our lines in order with the programs we start
  install_interrupt_handlers();
  set_name_encoding(build.reads_utf8 ? NameEncoding::kUtf8 : NameEncoding::kAnsiCodePage);
  CommandLine line = parse_command_line(build, program_arguments(argc, argv));
  if (line.action == CommandLine::Action::kHelp) {
    std::cout << help_text(build);
    return kExitOk;
  }
  if (line.action == CommandLine::Action::kVersion) {
    std::cout << build.version << "\n";
    return kExitOk;
  }
  print_banner(build, std::cout);
  // The lock comes before the log: a second run would truncate and remove this one's.
  RunLocks locks(build.program + " on " + (line.document.empty() ? "no document" : line.document));
  try {
    locks.take_working_folder(std::cout);
  } catch (const Interrupted&) {
    return 0;  // ended by the signal once the locks are let go
  } catch (const RunError& error) {
    if (pending_interrupt()) return 0;
    std::cout << error.what();
    return error.status();
  }
  std::ofstream log(kLog, std::ios::binary | std::ios::trunc);
  if (line.action == CommandLine::Action::kUsage) {
    if (!line.usage_error.empty()) std::cout << "\n! " << line.usage_error << "\n";
    std::cout << build.usage;
    return kExitUsage;
  }
  if (!line.bad_option.empty()) std::cout << "\n! " << line.bad_option << ": parameter error. Ignore.\n";
  RunState state(build, std::cout, log);
  state.order = line.order;
  DocumentName name = resolve_document_name(line.document, line.output_directory, path_exists);
  state.block = line.block;
  state.fullname = name.fullname;
  state.purename = name.purename;
  state.output_directory = name.output_directory;
  state.direct = name.direct;
  return run_sequence(state, log, locks);
}

}  // namespace

int corvina_main(const Build& build, int argc, char** argv) {
  const int status = run_document(build, argc, argv);  // the locks are let go by now
  std::cout.flush();
  // A signal that came at any point, the restore included, ends the run once everything
  // is put back; from the last look on, a signal waits until the process has gone.
  if (int signal_number = final_interrupt()) die_by_signal(signal_number);
  return status;
}

}  // namespace corvina
