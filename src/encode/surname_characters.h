#pragma once
// The characters of the orders that sort by whole readings (zhuyin, pinyin): each sorts by
// its reading, and the first character (or two, for a compound surname) of each name in a
// name field by its reading as a surname. What the readings are and how a token spells one
// is the order's; finding where a name begins and holding back a character that may begin
// a compound surname is shared here.

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "encode/run_encoder.h"
#include "encode/tables/character_tables.h"
#include "encode/utf8_groups.h"
#include "encode/utf8_reader.h"

namespace corvina {

// `Order` has
//   using Reading = ...;
//   static Reading reading(char32_t cp);
//   static int strokes(char32_t cp, int taiwan_strokes);  the count its tokens carry
//   static std::optional<Reading> surname_reading(char32_t cp);
//   static bool begins_compound_surname(char32_t cp);
//   static std::optional<std::pair<Reading, Reading>> compound_surname(char32_t, char32_t);
//   static int group(const Reading&);  the group code of a run that opens with it
//   static void append_token(std::string&, char32_t cp, const Reading&, int strokes);
template <typename Order>
class SurnameCharacters final : public CharacterLoop<SurnameCharacters<Order>> {
  using Reading = typename Order::Reading;

 public:
  explicit SurnameCharacters(std::string opening) : opening_(std::move(opening)) {}

  Token get_tokena(std::string_view bytes, bool, bool at_end) const { return utf8::get_tokena(bytes, at_end); }

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
    const bool initial = this->initials_.take(opens_run);
    if (completes_held_surname(c, out)) return;
    if (c.code_point == kByteOrderMark) {
      write(c.code_point, opens_run, initial, last_.reading, last_.strokes, out);
    } else if (!starts_name) {
      write(c.code_point, opens_run, initial, Order::reading(c.code_point), strokes(c), out);
    } else if (Order::begins_compound_surname(c.code_point)) {
      // Whether it is a compound surname shows only with the next character.
      held_ = {true, c.code_point, opens_run, initial, strokes(c)};
    } else {
      write_as_surname(c.code_point, opens_run, initial, strokes(c), out);
    }
  }

 private:
  static constexpr char32_t kByteOrderMark = 0xFEFF;
  static constexpr std::string_view kBlanks = " \t\n\r\f\v";

  static bool is_blank(char c) { return kBlanks.find(c) != std::string_view::npos; }

  static int strokes(const utf8::Classified& c) { return Order::strokes(c.code_point, c.group); }

  void write_as_surname(char32_t cp, bool opens_run, bool initial, int strokes, std::string& out) {
    write(cp, opens_run, initial, Order::surname_reading(cp).value_or(Order::reading(cp)), strokes, out);
  }

  // Writes the held character: with `c` as the compound surname they make (then true),
  // else as a surname of its own.
  bool completes_held_surname(const utf8::Classified& c, std::string& out) {
    if (!held_.waiting) return false;
    held_.waiting = false;
    const auto both = Order::compound_surname(held_.code_point, c.code_point);
    if (!both) {
      write_as_surname(held_.code_point, held_.opens_run, held_.initial, held_.strokes, out);
      return false;
    }
    write(held_.code_point, held_.opens_run, held_.initial, both->first, held_.strokes, out);
    write(c.code_point, false, false, both->second, strokes(c), out);
    return true;
  }

  void write_held(std::string& out) {
    if (!held_.waiting) return;
    held_.waiting = false;
    write_as_surname(held_.code_point, held_.opens_run, held_.initial, held_.strokes, out);
  }

  void write(char32_t cp, bool opens_run, bool initial, const Reading& reading, int strokes, std::string& out) {
    this->initials_.write(initial, out, [&] {
      if (opens_run) {
        out.append(opening_);
        append_group_code(out, Order::group(reading));
      }
      Order::append_token(out, cp, reading, strokes);
    });
    last_ = {reading, strokes};
  }

  const std::string opening_;  // run_opening()
  // A name of a name list begins here, unless a byte other than a blank comes first.
  bool name_start_ = false;
  // The first character of a name that may begin a compound surname, not yet written.
  struct Held {
    bool waiting = false;
    char32_t code_point = 0;
    bool opens_run = false;
    bool initial = false;  // the first character of a given name's word
    int strokes = -1;
  } held_;
  // A byte-order mark sorts as the character before it, as in stroke order.
  struct Last {
    Reading reading{};
    int strokes = 0;
  } last_;
};

}  // namespace corvina
