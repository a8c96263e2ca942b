#pragma once

#include <string>

#include "core/run_error.h"
#include "core/run_state.h"
#include "encode/encoding_census.h"

namespace corvina {

// A file plainly written for the other program: Chinese text in UTF-8 given to corvina,
// or Big5 given to corvina4. The message names the program that fits; the status is
// kExitUsage. A database is told while the encoder reads it, so by then it may be
// staged: the caller puts every database back and, as for any stop before the back end,
// keeps the log.
class OtherEncoding : public RunError {
 public:
  using RunError::RunError;
};

// Throws OtherEncoding when `census`, fed the whole of `path`, shows the other program's
// encoding. One whose encoding cannot be told is let through.
void refuse_census(const RunState& state, const std::string& path, const EncodingCensus& census);

// The same for a file of its own reading: the document, or a database the encoder does
// not read. A file that is missing or cannot be read is let through.
void refuse_other_encoding(const RunState& state, const std::string& path);

// The same for the database of the entry `entry`, found as staging finds it (as written,
// with ".bib" added, or through the locator); nothing when it is nowhere.
void refuse_other_encoding_of_entry(RunState& state, const std::string& entry);

}  // namespace corvina
