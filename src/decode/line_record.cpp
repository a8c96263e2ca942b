#include "decode/line_record.h"

namespace corvina {

LineParts split_line_end(std::string_view line) {
  std::size_t cut = line.size();
  if (cut > 0 && line[cut - 1] == '\n') {
    --cut;
    if (cut > 0 && line[cut - 1] == '\r') --cut;
  }
  return {line.substr(0, cut), line.substr(cut)};
}

void append_line_record(std::string_view line, std::string& log) {
  const std::string_view text = split_line_end(line).text;
  long balance = 1;
  for (char c : text) {
    if (c == '}') ++balance;
    if (c == '{') --balance;
  }
  const std::size_t percent = text.rfind('%');
  const long last_percent = percent == std::string_view::npos ? -1 : static_cast<long>(percent);
  log += std::to_string(text.size()) + ' ' + std::to_string(balance) + ' ' +
         std::to_string(last_percent) + " 0 $";
  log.append(line);
}

}  // namespace corvina
