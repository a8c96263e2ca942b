#include "encode/pinyin_key.h"

#include "encode/token.h"

namespace corvina::pinyin {

int first_letter(const tables::Pinyin& r) { return r.tone == 0 || r.letters.empty() ? 0 : r.letters[0] - 'A' + 1; }

void append_token(std::string& out, char32_t code_point, const tables::Pinyin& reading, int strokes) {
  out.push_back('x');
  const int group = first_letter(reading);
  append_group_code(out, group);
  out.append(group == 0 ? std::string_view("A") : reading.letters.substr(1));
  out.push_back(static_cast<char>('0' + (group == 0 ? 0 : reading.tone)));
  append_group_code(out, strokes);
  append_code_point(out, code_point);
}

}  // namespace corvina::pinyin
