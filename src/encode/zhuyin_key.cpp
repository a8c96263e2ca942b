#include "encode/zhuyin_key.h"

#include "encode/token.h"

namespace corvina::zhuyin {

namespace {

constexpr int kFirstMedial = 22;  // ㄧ; ㄨ ㄩ follow, then the finals ㄚ..ㄦ from 25
constexpr int kFirstFinal = 25;

// The second symbol: "A" for none, then ㄧ ㄨ ㄩ ㄚ .. ㄦ as "B".."Q".
char second_letter(const tables::Reading& r) {
  const int second = r.initial != 0 ? (r.medial != 0 ? r.medial : r.final_) : (r.medial != 0 ? r.final_ : 0);
  return static_cast<char>('A' + (second == 0 ? 0 : second - kFirstMedial + 1));
}

// The third symbol, always a final: "A" for none, ㄚ .. ㄦ as "B".."N".
char third_letter(const tables::Reading& r) {
  const int third = r.initial != 0 && r.medial != 0 ? r.final_ : 0;
  return static_cast<char>('A' + (third == 0 ? 0 : third - kFirstFinal + 1));
}

}  // namespace

int first_symbol(const tables::Reading& r) {
  return r.initial != 0 ? r.initial : r.medial != 0 ? r.medial : r.final_;
}

void append_token(std::string& out, char32_t code_point, const tables::Reading& reading, int strokes) {
  out.push_back('x');
  append_group_code(out, first_symbol(reading));
  out.push_back(second_letter(reading));
  out.push_back(third_letter(reading));
  out.push_back(static_cast<char>('0' + reading.tone));
  append_group_code(out, strokes);
  append_code_point(out, code_point);
}

}  // namespace corvina::zhuyin
