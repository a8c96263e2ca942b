#include "encode/zhuyin_characters.h"

#include "encode/surname_characters.h"
#include "encode/tables/reading_tables.h"
#include "encode/zhuyin_key.h"

namespace corvina {

namespace {

struct ZhuyinOrder {
  using Reading = tables::Reading;
  static Reading reading(char32_t cp) { return tables::reading(cp); }
  static int strokes(char32_t, int taiwan_strokes) { return taiwan_strokes; }
  static std::optional<Reading> surname_reading(char32_t cp) { return tables::surname_reading(cp); }
  static bool begins_compound_surname(char32_t cp) { return tables::begins_compound_surname(cp); }
  static std::optional<std::pair<Reading, Reading>> compound_surname(char32_t first, char32_t second) {
    const auto both = tables::compound_surname(first, second);
    if (!both) return std::nullopt;
    return std::pair{both->first, both->second};
  }
  static int group(const Reading& r) { return zhuyin::first_symbol(r); }
  static void append_token(std::string& out, char32_t cp, const Reading& r, int strokes) {
    zhuyin::append_token(out, cp, r, strokes);
  }
};

}  // namespace

std::unique_ptr<CharacterSet> make_zhuyin_characters(std::string opening) {
  return std::make_unique<SurnameCharacters<ZhuyinOrder>>(std::move(opening));
}

}  // namespace corvina
