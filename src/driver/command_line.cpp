#include "driver/command_line.h"

#include <cctype>

namespace corvina {
namespace {

constexpr std::string_view kOutputDirectory = "--output-directory";

bool is_long_option(const std::string& arg) { return arg.starts_with("--"); }

// The order an option names: only its second character counts, so -y, -Y and -yes all
// choose zhuyin order, -p and -P pinyin order. Strokes for anything else.
SortOrder order_named(const std::string& option) {
  const int second = option.size() >= 2 ? std::toupper(static_cast<unsigned char>(option[1])) : 0;
  return second == 'Y' ? SortOrder::kZhuyin : second == 'P' ? SortOrder::kPinyin : SortOrder::kStrokes;
}

// corvina4's one option.
void read_order_option(const std::string& option, CommandLine& line) {
  line.order = order_named(option);
  if (line.order == SortOrder::kStrokes) line.bad_option = option;
}

// Whether `arg`, standing after the order option `first`, asks for the other order: the
// user meant both, and either choice would sort against half of what was asked.
bool names_other_order(const std::string& arg, const CommandLine& line) {
  if (!arg.starts_with("-") || line.order == SortOrder::kStrokes) return false;
  const SortOrder other = order_named(arg);
  return other != SortOrder::kStrokes && other != line.order;
}

// Reads the long option at args[at] (and its value, which may be the next argument);
// returns the index after it, or 0 with `line.usage_error` set.
size_t read_long_option(const std::vector<std::string>& args, size_t at, CommandLine& line) {
  const std::string& arg = args[at];
  if (arg == "--chinese-first") {
    line.block = ChineseBlock::kFirst;
    return at + 1;
  }
  if (arg == kOutputDirectory) {
    if (at + 1 >= args.size() || args[at + 1].empty()) {
      line.usage_error = arg + ": a folder name must follow.";
      return 0;
    }
    line.output_directory = args[at + 1];
    return at + 2;
  }
  if (arg.starts_with(std::string(kOutputDirectory) + "=") && arg.size() > kOutputDirectory.size() + 1) {
    line.output_directory = arg.substr(kOutputDirectory.size() + 1);
    return at + 1;
  }
  line.usage_error = arg + ": unknown option.";
  return 0;
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
  // Long options may stand anywhere before the document name; corvina4's order option is
  // the first other argument when it begins with "-".
  bool order_option_read = !build.takes_order_option;
  std::string order_option;
  size_t at = 0;
  while (at < args.size()) {
    if (is_long_option(args[at])) {
      at = read_long_option(args, at, line);
      if (at == 0) return line;
    } else if (!order_option_read && args[at].starts_with("-")) {
      read_order_option(args[at], line);
      order_option = args[at];
      order_option_read = true;
      ++at;
    } else if (build.takes_order_option && names_other_order(args[at], line)) {
      line.usage_error = order_option + " and " + args[at] + ": choose one order, zhuyin or pinyin.";
      return line;
    } else {
      break;
    }
  }
  if (at >= args.size()) return line;  // no document name
  // corvina takes exactly one name; corvina4 ignores whatever follows it.
  if (!build.takes_order_option && at + 1 != args.size()) return line;
  line.action = CommandLine::Action::kRun;
  line.document = args[at];
  return line;
}

std::string help_text(const Build& build) {
  const std::string& name = build.program;
  std::string text = "Usage: " + name + " [--chinese-first] [--output-directory DIR]" +
                     (build.takes_order_option ? " [-y | -p]" : "") + " NAME\n\n";
  text += "Runs the bibliography back end (biber, or " + build.bibtex_without_bcf.front() +
          ") so that Chinese names and titles sort\n"
          "by stroke count" +
          (build.takes_order_option ? " (or by zhuyin, or by pinyin). Run it where you would run biber\n"
                                      "or bibtex, after LaTeX has written NAME.bcf or NAME.aux. The databases come\n"
                                      "back exactly as they were.\n\n"
                                    : ". Run it where you would run biber or bibtex, after\n"
                                      "LaTeX has written NAME.bcf or NAME.aux. The databases come back exactly as they were.\n\n") +
          "  NAME                     the document: NAME.vdk for the Chinese preprocessor,\n"
          "                           else NAME.tex (NAME.tex may be given as it is), whose\n"
          "                           NAME.bbl gets the sorted, decoded text directly\n";
  if (build.takes_order_option) {
    text += "  -y                       sort by zhuyin instead of by strokes\n"
            "  -p                       sort by pinyin (mainland readings), as GB/T 7714 asks\n";
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
