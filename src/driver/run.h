#pragma once

#include "core/build.h"

namespace corvina {

// The whole run of one program: banner, command line, the run sequence, clean-up.
// Returns the process exit status (or ends the process by a signal it received).
int corvina_main(const Build& build, int argc, char** argv);

}  // namespace corvina
