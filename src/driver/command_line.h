#pragma once

#include <string>
#include <vector>

#include "driver/build.h"

namespace corvina {

struct CommandLine {
  enum class Action { kRun, kHelp, kVersion, kUsage };
  Action action = Action::kUsage;
  std::string document;  // the name as typed, without ".vdk"
  SortOrder order = SortOrder::kStrokes;
  std::string bad_option;  // an option that was not understood, to be reported
  // Where the back end's files (NAME.bcf, NAME.aux, NAME.bbl) are, as biber's option of
  // the same name; empty for the working directory.
  std::string output_directory;
};

// Turns the arguments after the program name into the run's settings.
CommandLine parse_command_line(const Build& build, const std::vector<std::string>& args);

// The text printed for --help.
std::string help_text(const Build& build);

}  // namespace corvina
