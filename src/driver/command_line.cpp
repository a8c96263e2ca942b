#include "driver/command_line.h"

#include <cctype>

namespace corvina {
namespace {

// corvina4's one option: only its second character counts, so -y, -Y and -yes all
// choose zhuyin order.
void read_order_option(const std::string& option, CommandLine& line) {
  if (option.size() >= 2 && std::toupper(static_cast<unsigned char>(option[1])) == 'Y') {
    line.order = SortOrder::kZhuyin;
  } else {
    line.bad_option = option;
  }
}

constexpr std::string_view kOutputDirectory = "--output-directory";

// Takes "--output-directory DIR" or "--output-directory=DIR" at args[at]; returns how
// many arguments it used, 0 when args[at] is not that option, -1 when its value is missing.
int take_output_directory(const std::vector<std::string>& args, size_t at, CommandLine& line) {
  const std::string& option = args[at];
  if (!option.starts_with(kOutputDirectory)) return 0;
  if (option.size() > kOutputDirectory.size() && option[kOutputDirectory.size()] == '=') {
    line.output_directory = option.substr(kOutputDirectory.size() + 1);
    return 1;
  }
  if (option.size() != kOutputDirectory.size() || at + 1 >= args.size()) return -1;
  line.output_directory = args[at + 1];
  return 2;
}

}  // namespace

CommandLine parse_command_line(const Build& build, const std::vector<std::string>& args) {
  CommandLine line;
  if (args.size() == 1 && args[0] == "--help") {
    line.action = CommandLine::Action::kHelp;
    return line;
  }
  if (args.size() == 1 && args[0] == "--version") {
    line.action = CommandLine::Action::kVersion;
    return line;
  }
  // Options stand before the document name; corvina4's one short option may stand among
  // the long ones, once. Anything after the name is ignored, as it always was in corvina4.
  size_t at = 0;
  bool short_option_read = false;
  while (at < args.size()) {
    int used = take_output_directory(args, at, line);
    if (used < 0) return line;
    if (used > 0) {
      at += static_cast<size_t>(used);
    } else if (build.takes_order_option && !short_option_read && !args[at].empty() && args[at][0] == '-') {
      read_order_option(args[at++], line);
      short_option_read = true;
    } else {
      break;
    }
  }
  if (at >= args.size()) return line;  // no document name
  if (!build.takes_order_option && at + 1 != args.size()) return line;  // corvina takes one name
  line.action = CommandLine::Action::kRun;
  line.document = args[at];
  return line;
}

std::string help_text(const Build& build) {
  const std::string& name = build.program;
  std::string text = "Usage: " + name + " [--chinese-first] [--output-directory DIR]" +
                     (build.takes_order_option ? " [-y]" : "") + " NAME\n\n";
  text += "Runs the bibliography back end (biber, or " + build.bibtex_without_bcf.front() +
          ") so that Chinese names and titles sort\n"
          "by stroke count" + std::string(build.takes_order_option ? " (or by zhuyin)" : "") +
          ". Run it where you would run biber or bibtex, after\n"
          "LaTeX has written NAME.bcf or NAME.aux. The databases come back exactly as they were.\n\n"
          "  NAME                     the document: NAME.vdk for the Chinese preprocessor,\n"
          "                           else NAME.tex (NAME.tex may be given as it is), whose\n"
          "                           NAME.bbl gets the sorted, decoded text directly\n";
  if (build.takes_order_option) {
    text += "  -y                       sort by zhuyin instead of by strokes\n";
  }
  text += "  --chinese-first          put the Chinese entries before the others (default: after)\n"
          "  --output-directory DIR   NAME.bcf, NAME.aux and NAME.bbl are in DIR (as biber's);\n"
          "                           latexmk's DIR/NAME.bcf or DIR/NAME.aux may be given too\n"
          "  --help                   print this text\n"
          "  --version                print the version\n\n"
          "Exit status: 0 done, 1 usage, document or control file not found (LaTeX not run\n"
          "yet), or a file for the other program, 2 no bibliography command,\n"
          "3 remote resource, 4 database not found, 5 an outside program failed,\n"
          "6 a file could not be read or written.\n\n"
          "The manual: man " + name + "\n";
  return text;
}

}  // namespace corvina
