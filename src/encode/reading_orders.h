#pragma once
// corvina4's two reading orders, each binding its tables: the reading of a character, its
// stroke count in that order, its reading as a surname, and the token written for it. The
// encoder sorts by them and --explain spells them, so both read the same bindings.

#include <optional>
#include <string>
#include <utility>

#include "encode/pinyin_key.h"
#include "encode/tables/reading_tables.h"
#include "encode/zhuyin_key.h"

namespace corvina {

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

}  // namespace corvina
