#include "encode/utf8_encoder.h"

#include "encode/run_encoder.h"
#include "encode/tables/character_tables.h"
#include "encode/utf8_reader.h"

namespace corvina {

namespace {

// Five digits for a code point up to 0xFFFF; "Y" and six digits for a four-byte ideograph.
// "Y" sorts after every digit, folded or not, so code point order holds within a group.
void append_code_point(std::string& out, char32_t code_point) {
  if (code_point <= 0xFFFF) return append_code(out, code_point);
  out.push_back('Y');
  out.push_back(static_cast<char>('0' + code_point / 100000));
  append_code(out, code_point % 100000);
}

// Unlike Big5 each token carries its character's own group code, so the order inside a
// run follows the groups as well as the code points.
class Utf8Characters final : public CharacterSet {
 public:
  explicit Utf8Characters(utf8::GroupLookup lookup) : lookup_(lookup) {}

  Token get_tokena(std::string_view bytes, bool, bool at_end) const override {
    return utf8::get_tokena(bytes, at_end);
  }

  void write_character(std::string_view character, bool opens_run,
                       std::string& out) override {
    const utf8::Classified c = utf8::readn2p(character, lookup_, last_group_);
    last_group_ = c.group;
    if (opens_run) {
      out.append("xxx");
      append_group_code(out, c.group);
    }
    out.push_back('x');
    append_group_code(out, c.group);
    append_code_point(out, c.code_point);
  }

 private:
  utf8::GroupLookup lookup_;
  // Carried from database to database: a byte-order mark at the start of a later
  // database takes the group of the last character of the one before.
  int last_group_ = 0;
};

}  // namespace

std::unique_ptr<Encoder> make_utf8_encoder(SortOrder order) {
  return make_utf8_encoder_with(order == SortOrder::kZhuyin ? tables::zhuyin
                                                            : tables::strokes);
}

std::unique_ptr<Encoder> make_utf8_encoder_with(utf8::GroupLookup lookup) {
  return std::make_unique<RunEncoder>(std::make_unique<Utf8Characters>(lookup));
}

}  // namespace corvina
