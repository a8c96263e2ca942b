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
  std::string text = build.usage;
  text += "\nRun in the folder of the document, in place of biber or bibtex, after LaTeX has\n"
          "written the document's control files. The document is read as NAME.vdk; the\n"
          "databases it names are sorted in Chinese order and restored afterwards.\n"
          "Exit status: 0 done, 1 usage or document not found, 2 no bibliography command,\n"
          "3 remote resource, 4 database not found, 5 an outside program failed,\n"
          "6 a file could not be read or written.\n";
  return text;
}

}  // namespace corvina
