#include "driver/control_databases.h"

#include <cerrno>
#include <filesystem>
#include <set>

#include "driver/backend_choice.h"
#include "driver/document_name.h"
#include "platform/file_io.h"
#include "platform/names.h"
#include "platform/platform.h"
#include "core/run_error.h"
#include "scan/control_files.h"

namespace corvina {
namespace {

// What a database name stands for once staging has added ".bib" where it must.
std::string database_key(const std::string& name) {
  std::string file = name.ends_with(".bib") || regular_file(name) ? name : name + ".bib";
  return from_path(to_path(file).lexically_normal());
}

std::string backend_base(const RunState& state) { return in_directory(state.output_directory, state.purename); }

std::string run_first(const RunState& state, const std::string& why) {
  return "\n! run " + state.hints.engine() + " " + state.purename + " first: " + why + ".\n";
}

// The control file the back end will read; throws when it is not there. One that is
// there but cannot be read is not one that LaTeX has yet to write.
std::string control_file(const RunState& state) {
  const std::string base = backend_base(state);
  const ControlFiles files = probe_control_files(base);
  if (files.bcf && choose_backend(state.build, files, base).front() == "biber") return base + ".bcf";
  const Look aux = look_at(base + ".aux", true);
  if (aux.error != 0) throw RunError(kExitFileError, "\n" + file_error("read", base + ".aux", aux.error));
  if (aux.kind == FileKind::kRegular) return base + ".aux";
  const bool biber = !files.bcf && state.hints.biblatex && !state.hints.biblatex_bibtex;
  throw RunError(kExitUsage, run_first(state, base + (biber ? ".bcf" : ".aux") + " is missing"));
}

std::vector<std::string> databases_in(const std::string& control) {
  if (control.ends_with(".aux")) return aux_databases(control);
  std::vector<std::string> names;
  int err = 0;
  if (!bcf_databases(control, names, &err)) throw RunError(kExitFileError, "\n" + file_error("read", control, err));
  return names;
}

}  // namespace

void add_control_file_databases(RunState& state) {
  const std::string control = control_file(state);
  const std::string own = from_path(to_path(state.purename).filename()) + "-blx.bib";
  std::set<std::string> known;
  for (const std::string& entry : state.orgbib) known.insert(database_key(entry));
  for (const std::string& name : databases_in(control)) {
    if (from_path(to_path(name).filename()) == own) continue;
    if (known.insert(database_key(name)).second) state.orgbib.push_back(name);
  }
  bool any = false;
  for (const std::string& entry : state.orgbib) any = any || !entry.empty();
  if (!any && state.hints.bibliography) {
    throw RunError(kExitDatabaseMissing,
                   run_first(state, "neither the document nor " + control + " names a database"));
  }
}

}  // namespace corvina
