#include "driver/decoded_bbl.h"

#include <filesystem>

#include "decode/cvte.h"
#include "driver/document_name.h"
#include "platform/file_io.h"
#include "platform/names.h"
#include "platform/pure_write.h"
#include "core/run_error.h"

namespace corvina {

std::string bbl_name(const RunState& state) {
  return in_directory(state.output_directory, state.purename) + ".bbl";
}

void decode_in_place(RunState& state) {
  const std::string bbl = bbl_name(state);
  const std::string decoded = in_directory(state.output_directory, state.purename) + "-tmp.bbl";
  // "\mbox{}" is for the preprocessor alone: read by LaTeX itself it is a blank that
  // styles print ("[thesis]" set apart from a title ending in a Chinese character).
  auto decoder = state.build.make_decoder(false);
  try {
    cvte(state, *decoder, bbl, decoded);
  } catch (...) {
    std::error_code ignored;
    if (regular_file(decoded)) std::filesystem::remove(to_path(decoded), ignored);
    throw;
  }
  std::error_code error;
  std::filesystem::rename(to_path(decoded), to_path(bbl), error);
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(to_path(decoded), ignored);
    throw RunError(kExitFileError, "! cannot replace " + bbl + " by " + decoded + ": " + error.message() + ".\n");
  }
  state.bbl_holds_sort_keys = false;
}

void keep_decoded_text(RunState& state, const std::string& decoded, const std::string& bbl) {
  const std::string& preprocessor = state.build.preprocessor.front();
  std::string error = pure_write(decoded, bbl);
  if (!error.empty()) throw RunError(kExitFileError, error);
  state.console << "\n! " << bbl << " holds the decoded text of " << decoded << ", without "
                << preprocessor << "'s work.\n";
}

void drop_undecoded_bbl(RunState& state) {
  if (!state.bbl_holds_sort_keys) return;
  const std::string bbl = bbl_name(state);
  std::error_code error;
  if (std::filesystem::remove(to_path(bbl), error)) {
    state.console << "\n! " << bbl << " still held sort keys and is removed; run " << state.build.program
                  << " again.\n";
  }
}

}  // namespace corvina
