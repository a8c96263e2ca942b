#pragma once

#include <string>
#include <vector>

#include "core/build.h"

namespace corvina {

struct CommandLine {
  enum class Action { kRun, kHelp, kVersion, kUsage, kExplain };
  Action action = Action::kUsage;
  std::string document;  // the name as typed, without ".vdk"
  SortOrder order = SortOrder::kStrokes;
  ChineseBlock block = ChineseBlock::kLast;
  std::string explain_database;  // with kExplain: the .bib file to explain
  bool explain_asked = false;    // --explain was given, also when the rest is a usage error
  bool all_entries = false;  // the back end gets the entries the document does not cite too
  std::string output_directory;  // where the back end's files are; empty: here
  std::string bad_option;  // an option that was not understood, to be reported
  // With kUsage: what was wrong, naming the argument, for the line before the usage text;
  // empty when the arguments were simply too few or too many.
  std::string usage_error;
};

// Turns the arguments after the program name into the run's settings.
CommandLine parse_command_line(const Build& build, const std::vector<std::string>& args);

// The text printed for --help.
std::string help_text(const Build& build);

}  // namespace corvina
