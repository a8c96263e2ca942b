#include "encode/zhuyin_characters.h"

#include <string>
#include <string_view>
#include <utility>

#include "encode/tables/character_tables.h"
#include "encode/tables/reading_tables.h"
#include "encode/utf8_groups.h"
#include "encode/utf8_reader.h"
#include "encode/zhuyin_key.h"

namespace corvina {

namespace {

class ZhuyinCharacters final : public CharacterLoop<ZhuyinCharacters> {
 public:
  explicit ZhuyinCharacters(std::string opening) : opening_(std::move(opening)) {}

  Token get_tokena(std::string_view bytes, bool, bool at_end) const {
    return utf8::get_tokena(bytes, at_end);
  }

  void before_plain_byte(char byte, std::string& out) {
    write_held(out);
    if (!is_blank(byte)) name_start_ = false;
  }

  void before_plain_bytes(std::string_view bytes, std::string& out) override {
    write_held(out);
    if (name_start_ && bytes.find_first_not_of(kBlanks) != std::string_view::npos) name_start_ = false;
  }

  void end_of_input(std::string& out) override {
    write_held(out);
    name_start_ = false;  // a database cut off inside an entry ends it
  }

  void name_starts_here() override { name_start_ = true; }

  void write_character(std::string_view character, bool opens_run, std::string& out) {
    const utf8::Classified c = utf8::readn2p(character, tables::strokes, last_.strokes);
    const bool starts_name = std::exchange(name_start_, false);
    if (completes_held_surname(c, out)) return;
    if (c.code_point == kByteOrderMark) {
      write(c.code_point, opens_run, last_.reading, last_.strokes, out);
    } else if (!starts_name) {
      write(c.code_point, opens_run, tables::reading(c.code_point), c.group, out);
    } else if (tables::begins_compound_surname(c.code_point)) {
      // Whether it is a compound surname shows only with the next character.
      held_ = {true, c.code_point, opens_run, c.group};
    } else {
      write_as_surname(c.code_point, opens_run, c.group, out);
    }
  }

 private:
  static constexpr char32_t kByteOrderMark = 0xFEFF;
  static constexpr std::string_view kBlanks = " \t\n\r\f\v";

  static bool is_blank(char c) { return kBlanks.find(c) != std::string_view::npos; }

  void write_as_surname(char32_t cp, bool opens_run, int strokes, std::string& out) {
    write(cp, opens_run, tables::surname_reading(cp).value_or(tables::reading(cp)), strokes, out);
  }

  // Writes the held character: with `c` as the compound surname they make (then true),
  // else as a surname of its own.
  bool completes_held_surname(const utf8::Classified& c, std::string& out) {
    if (!held_.waiting) return false;
    held_.waiting = false;
    const auto both = tables::compound_surname(held_.code_point, c.code_point);
    if (!both) {
      write_as_surname(held_.code_point, held_.opens_run, held_.strokes, out);
      return false;
    }
    write(held_.code_point, held_.opens_run, both->first, held_.strokes, out);
    write(c.code_point, false, both->second, c.group, out);
    return true;
  }

  void write_held(std::string& out) {
    if (!held_.waiting) return;
    held_.waiting = false;
    write_as_surname(held_.code_point, held_.opens_run, held_.strokes, out);
  }

  void write(char32_t cp, bool opens_run, const tables::Reading& reading, int strokes, std::string& out) {
    if (opens_run) {
      out.append(opening_);
      append_group_code(out, zhuyin::first_symbol(reading));
    }
    zhuyin::append_token(out, cp, reading, strokes);
    last_ = {reading, strokes};
  }

  const std::string opening_;
  // A name begins at the next character, unless a byte other than a blank comes first.
  bool name_start_ = false;
  // The first character of a name that may begin a compound surname, not yet written.
  struct Held {
    bool waiting = false;
    char32_t code_point = 0;
    bool opens_run = false;
    int strokes = -1;
  } held_;
  // A byte-order mark sorts as the character before it, as in stroke order.
  struct Last {
    tables::Reading reading;
    int strokes = 0;
  } last_;
};

}  // namespace

std::unique_ptr<CharacterSet> make_zhuyin_characters(std::string opening) {
  return std::make_unique<ZhuyinCharacters>(std::move(opening));
}

}  // namespace corvina
