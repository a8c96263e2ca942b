#include "driver/encode_databases.h"

#include <optional>

#include "driver/backend_choice.h"
#include "driver/document_name.h"
#include "driver/encoding_check.h"
#include "driver/needed_entries.h"
#include "encode/cvtc.h"
#include "encode/encoding_census.h"
#include "encode/pruned_copy.h"
#include "platform/file_io.h"
#include "platform/interrupt.h"
#include "platform/names.h"
#include "scan/control_files.h"
#include "scan/sorting_templates.h"
#include "staging/encoded_swap.h"
#include "staging/file_digest.h"
#include "staging/intent_record.h"

namespace corvina {
namespace {

using Staged = RunState::Staged;

void warn_left_alone(RunState& state, const std::string& entry, const std::string& error) {
  // A call cut short by a signal ends in the signal's restore, not in a warning.
  throw_if_interrupted();
  state.database_left_unsorted = true;
  state.console << error << "!Warning: " << entry << " is left as it is, and its Chinese entries are not sorted.\n";
}

// The name a refusal gives: the user's entry, or the file the locator found.
const std::string& database_path(const RunState& state, size_t m) {
  return state.staged[m] == Staged::kBackedUp ? state.orgbib[m] : state.encoder_input[m];
}

// Returns what the encoder read, once the working copy is whole; nothing when it could
// not be made. The digest and the census see the database whole, the encoder only the
// entries needed (never with a malformed entry, so the lines its warnings name are the
// database's own).
std::optional<FileDigest> encode_to_working_copy(RunState& state, Encoder& encoder, size_t m,
                                                 const std::optional<NeededEntries>& needed) {
  const std::string& entry = state.orgbib[m];
  Digester input;
  EncodingCensus census;
  std::string error;
  encoder.on_malformed([&state, &name = database_path(state, m)](std::size_t line, std::string_view reason) {
    state.console << "!Warning: " << name << ", line " << line << ": " << reason
                  << "; it goes to the back end as it is.\n";
  });
  std::optional<PrunedCopy> pruned;
  if (needed) pruned.emplace(needed->needed, needed->first[m], bib::ReaderOptions{.big5 = !state.build.reads_utf8});
  if (!cvtc(state, encoder, state.encoder_input[m], working_copy_name(entry), &error,
            [&input, &census](std::string_view bytes) {
              input.add(bytes);
              census.feed(bytes);
            },
            pruned ? &*pruned : nullptr)) {
    refuse_other_encoding(state, database_path(state, m));
    warn_left_alone(state, entry, error);
    return std::nullopt;
  }
  census.finish();
  refuse_census(state, database_path(state, m), census);
  return input.result();
}

// A user's file takes its encoded text only once the intent record says what the backup
// holds; the run's own copy of a database found elsewhere needs no record of that.
void put_in_place(RunState& state, size_t m, const FileDigest& input) {
  const std::string& entry = state.orgbib[m];
  const bool made_by_run = state.staged[m] == Staged::kLocated;
  std::string error = made_by_run ? "" : complete_backup_record(entry, input);
  if (error.empty()) {
    // Recorded before the rename: from then on every way out restores it.
    state.rewritten.push_back({entry, made_by_run});
    error = put_encoded_in_place(entry);
    if (error.empty()) return;
    state.rewritten.pop_back();
  }
  warn_left_alone(state, entry, error);
}

// What biber or biblatex's bibtex style sorts by, where the user's fields can stay as they
// are. Everything is encoded where that is not known: for a classic .bst, which sorts by the
// text it formats, and for a control file that names no sorting. A Big5 database keeps its
// fields only where biber is told to read it as Big5: read as UTF-8 (biber's default) its
// text would be mangled, and bibtex8 under biblatex's own style takes Big5 bytes as Latin
// letters (an initial cut from the first byte of a character, a hash from trail bytes), so
// there every field still goes to it encoded.
std::optional<SortSettings> sort_settings(const RunState& state, RunMark mark) {
  if (mark == RunMark::kIdeograph) return std::nullopt;
  const std::string base = in_directory(state.output_directory, state.purename);
  if (choose_backend(state.build, probe_control_files(base), base).front() != "biber") {
    if (!state.build.reads_utf8 || aux_bibstyle(base + ".aux") != "biblatex") return std::nullopt;
    return default_sort_settings();
  }
  std::string bcf;
  InputFile in(base + ".bcf");
  for (std::string chunk; in.is_open() && in.read_chunk(chunk, 1 << 16);) bcf += chunk;
  if (in.failed()) return std::nullopt;
  if (!state.build.reads_utf8 && !bcf_reads_big5(bcf)) return std::nullopt;
  return read_sort_settings(bcf);
}

}  // namespace

void encode_databases(RunState& state) {
  state.debug << "\nbibno: " << state.orgbib.size() << "\n";
  const RunMark mark = runs_classic_style(state.build, state.purename, state.output_directory) ? RunMark::kIdeograph
                                                                                               : RunMark::kNone;
  auto encoder = state.build.make_encoder(state.order, state.block, mark);
  if (const auto settings = sort_settings(state, mark)) encoder->keep_fields_as_written(*settings);
  std::vector<std::optional<FileDigest>> encoded(state.orgbib.size());
  const std::optional<NeededEntries> needed = needed_entries_of_run(state);
  for (size_t m = 0; m < state.orgbib.size(); ++m) {
    // One left alone is not encoded, but is still refused as before.
    if (state.staged[m] == Staged::kLeftAlone) {
      refuse_other_encoding_of_entry(state, state.orgbib[m]);
    } else {
      encoded[m] = encode_to_working_copy(state, *encoder, m, needed);
    }
  }
  for (size_t m = 0; m < state.orgbib.size(); ++m) {
    if (encoded[m]) put_in_place(state, m, *encoded[m]);
  }
}

}  // namespace corvina
