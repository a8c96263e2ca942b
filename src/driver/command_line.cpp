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
  if (!build.takes_order_option) {
    if (args.size() != 1) return line;
    line.action = CommandLine::Action::kRun;
    line.document = args[0];
    return line;
  }
  if (args.empty()) return line;
  size_t name_at = 0;
  if (!args[0].empty() && args[0][0] == '-') {
    read_order_option(args[0], line);
    name_at = 1;
  }
  if (name_at >= args.size()) return line;  // an option and no document name
  line.action = CommandLine::Action::kRun;
  line.document = args[name_at];
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
          "                           else NAME.tex (NAME.tex may be given as it is)\n";
  if (build.takes_order_option) {
    text += "  -y                       sort by zhuyin instead of by strokes\n";
  }
  text += "  --chinese-first          put the Chinese entries before the others (default: after)\n"
          "  --output-directory DIR   NAME.bcf, NAME.aux and NAME.bbl are in DIR (latexmk -outdir)\n"
          "  --help                   print this text\n"
          "  --version                print the version\n\n"
          "Exit status: 0 done, 1 usage or document not found, 2 no bibliography command,\n"
          "3 remote resource, 4 database not found, 5 an outside program failed,\n"
          "6 a file could not be read or written.\n\n"
          "The manual: man " + name + "\n";
  return text;
}

}  // namespace corvina
