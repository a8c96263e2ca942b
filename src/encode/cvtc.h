#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/run_state.h"
#include "core/encoder.h"

namespace corvina {

// Encodes the file `file1` into `file2`, streaming it through `encoder`; `read` is shown
// every piece of `file1` as it is read. Returns false, with `error` set, when `file2`
// cannot be created or written: it is not whole then, and its database stays unsorted.
// Throws RunError when reading `file1` fails, and Interrupted when a signal arrives; the
// caller restores the databases in both cases.
bool cvtc(RunState& state, Encoder& encoder, const std::string& file1, const std::string& file2,
          std::string* error, const std::function<void(std::string_view)>& read);

}  // namespace corvina
