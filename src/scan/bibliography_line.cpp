#include "scan/bibliography_line.h"

#include <algorithm>
#include <string>

namespace corvina {
namespace {

struct Form {
  std::string_view pattern;
  bool has_options;  // the pattern ends in '[': an option list comes before the names
  bool logged;       // \bibliography{ alone writes "tmp:" and "comment out!" records
};

// Tried in this order; the order decides which command a line with several yields.
constexpr Form kForms[] = {
    {"\\bibliography{", false, true},   {"\\nobibliography{", false, false},
    {"\\addbibresource{", false, false}, {"\\addbibresource[", true, false},
    {"\\addglobalbib{", false, false},  {"\\addglobalbib[", true, false},
    {"\\addsectionbib{", false, false}, {"\\addsectionbib[", true, false},
};

std::string without_spaces(std::string_view text) {
  std::string kept;
  for (char c : text) {
    if (c != ' ') kept += c;
  }
  return kept;
}

// Finds the first form that occurs in `line`; sets `at` to where its match begins.
const Form* find_form(std::string_view line, std::size_t& at) {
  for (const Form& form : kForms) {
    at = line.find(form.pattern);
    if (at != std::string_view::npos) return &form;
  }
  return nullptr;
}

}  // namespace

LineScan scan_bibliography_line(std::string_view line, int line_no, std::size_t recorded) {
  line = without_line_end(line);
  LineScan scan;
  std::size_t at = 0;
  const Form* form = find_form(line, at);
  if (form == nullptr) {
    scan.log = counter_record(line_no);
    return scan;
  }
  if (commented_out(line, at)) {
    scan.kind = LineKind::kCommented;
    if (form->logged) scan.log = "comment out! " + counter_record(line_no) + "\n";
    return scan;
  }
  std::size_t names_at = at + form->pattern.size();
  if (form->has_options) {
    std::size_t close = line.find(']', names_at);
    if (close == std::string_view::npos) {
      scan.log = counter_record(line_no);
      return scan;
    }
    if (without_spaces(line.substr(names_at, close - names_at)) == "location=remote") {
      scan.kind = LineKind::kRemote;
      return scan;
    }
    names_at = std::min(close + 2, line.size());
  }
  scan.kind = LineKind::kCommand;
  scan.names = read_name_list(line, names_at);
  if (form->logged) {
    scan.log = tmp_record(scan.names.back(), recorded + scan.names.size());
  }
  scan.log += counter_record(line_no);
  return scan;
}

}  // namespace corvina
