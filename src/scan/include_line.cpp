#include "scan/include_line.h"

#include <string>

namespace corvina {
namespace {

constexpr std::string_view kInput = "\\input{";
constexpr std::string_view kInclude = "\\include{";

}  // namespace

LineScan scan_include_line(std::string_view line, int line_no, std::size_t recorded) {
  line = without_line_end(line);
  LineScan scan;
  bool is_input = true;
  std::size_t at = line.find(kInput);
  if (at == std::string_view::npos) {
    is_input = false;
    at = line.find(kInclude);
  }
  if (at == std::string_view::npos) {
    scan.log = counter_record(line_no);
    return scan;
  }
  if (commented_out(line, at)) {
    scan.kind = LineKind::kCommented;
    if (is_input) scan.log = "comment out! " + counter_record(line_no) + "\n";
    return scan;
  }
  scan.kind = LineKind::kCommand;
  scan.names = read_name_list(line, at + (is_input ? kInput : kInclude).size());
  if (is_input) {
    scan.log = tmp_record(scan.names.back(), recorded + scan.names.size());
  }
  scan.log += counter_record(line_no);
  return scan;
}

}  // namespace corvina
