#include "encode/pinyin_characters.h"

#include "encode/pinyin_key.h"
#include "encode/surname_characters.h"
#include "encode/tables/reading_tables.h"

namespace corvina {

namespace {

struct PinyinOrder {
  using Reading = tables::Pinyin;
  static Reading reading(char32_t cp) { return tables::pinyin(cp).reading; }
  // The mainland count goes with the mainland reading; a character without a reading sorts
  // among the others without one by the count that stroke order gives it.
  static int strokes(char32_t cp, int taiwan_strokes) {
    const tables::PinyinEntry e = tables::pinyin(cp);
    return e.reading.tone == 0 ? taiwan_strokes : e.strokes;
  }
  static std::optional<Reading> surname_reading(char32_t cp) { return tables::pinyin_surname_reading(cp); }
  static bool begins_compound_surname(char32_t cp) { return tables::begins_pinyin_compound_surname(cp); }
  static std::optional<std::pair<Reading, Reading>> compound_surname(char32_t first, char32_t second) {
    const auto both = tables::pinyin_compound_surname(first, second);
    if (!both) return std::nullopt;
    return std::pair{both->first, both->second};
  }
  static int group(const Reading& r) { return pinyin::first_letter(r); }
  static void append_token(std::string& out, char32_t cp, const Reading& r, int strokes) {
    pinyin::append_token(out, cp, r, strokes);
  }
};

}  // namespace

std::unique_ptr<CharacterSet> make_pinyin_characters(std::string opening) {
  return std::make_unique<SurnameCharacters<PinyinOrder>>(std::move(opening));
}

}  // namespace corvina
