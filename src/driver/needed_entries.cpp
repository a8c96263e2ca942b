#include "driver/needed_entries.h"

#include <algorithm>
#include <utility>

#include "bib/entry_reader.h"
#include "driver/control_databases.h"
#include "encode/pruned_copy.h"
#include "platform/file_io.h"
#include "platform/interrupt.h"
#include "scan/citations.h"

namespace corvina {
namespace {

// Why every entry goes to the back end, or an empty text when only the needed ones do.
std::string reason_to_keep_all(const Citations& citations) {
  if (citations.all) return "\"*\" is cited";
  if (!citations.entry_changing_map.empty()) return "a source map changes entries: " + citations.entry_changing_map;
  if (!citations.unread_source.empty()) return "a data source is not read here: " + citations.unread_source;
  if (citations.keys.empty()) return "the control file lists no citations";
  return "";
}

// False when the file cannot be read through; the encoding pass then says why.
bool read_links(const RunState& state, const std::string& path, LinkTable& table) {
  InputFile in(path);
  if (!in.is_open()) return false;
  bib::EntryReader reader(table, {.big5 = !state.build.reads_utf8});
  std::string chunk;
  while (in.read_chunk(chunk, 1 << 16)) {
    throw_if_interrupted();
    reader.feed(chunk);
  }
  reader.finish();
  return !in.failed();
}

using Range = std::pair<size_t, size_t>;  // of entries in the table

// Reads the links of every database of the run into `table`, noting where each begins in
// `first` and which of them are encoded in `encoded`; returns why it cannot, if it cannot.
std::string read_all_links(const RunState& state, LinkTable& table, std::vector<size_t>& first,
                           std::vector<Range>& encoded) {
  for (size_t m = 0; m < state.orgbib.size(); ++m) {
    first.push_back(table.links().size());
    // A database left alone reaches the back end whole, and what its entries name counts.
    // One that cannot be read here is a second name of a database staged under the first.
    const bool staged = !state.encoder_input[m].empty();
    const std::string& path = staged ? state.encoder_input[m] : state.orgbib[m];
    if (path.empty()) continue;
    if (!read_links(state, path, table) && staged) return "cannot read " + path;
    if (staged) encoded.emplace_back(first.back(), table.links().size());
  }
  return table.malformed() > 0 ? "an entry could not be read" : "";
}

void tell_left_out(RunState& state, const std::vector<bool>& needed, const std::vector<Range>& encoded) {
  size_t total = 0, left_out = 0;
  for (const auto& [begin, end] : encoded) {
    total += end - begin;
    left_out += std::count(needed.begin() + begin, needed.begin() + end, false);
  }
  if (left_out == 0) return;
  state.console << with_thousands(left_out) << " of " << with_thousands(total)
                << " entries are not cited and stay out of the back end's way\n";
}

}  // namespace

std::optional<NeededEntries> needed_entries_of_run(RunState& state) {
  if (state.all_entries) return std::nullopt;
  const std::string control = control_file(state);
  Citations citations;
  std::string why = control_file_citations(control, citations) ? reason_to_keep_all(citations) : "cannot read " + control;
  NeededEntries result;
  LinkTable table;
  std::vector<Range> encoded;
  if (why.empty()) why = read_all_links(state, table, result.first, encoded);
  if (!why.empty()) {
    state.debug << "\nevery entry goes to the back end: " << why << "\n";
    return std::nullopt;
  }
  result.needed = needed_entries(table.links(), citations.keys);
  tell_left_out(state, result.needed, encoded);
  return result;
}

}  // namespace corvina
