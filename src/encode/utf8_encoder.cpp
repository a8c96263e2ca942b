#include "encode/utf8_encoder.h"

#include <utility>

#include "encode/entry_encoder.h"
#include "encode/pinyin_characters.h"
#include "encode/run_encoder.h"
#include "encode/tables/character_tables.h"
#include "encode/utf8_reader.h"
#include "encode/zhuyin_characters.h"

namespace corvina {

namespace {

// Unlike Big5 each token carries its character's own group code, so the order inside a
// run follows the groups as well as the code points.
class Utf8Characters final : public CharacterLoop<Utf8Characters> {
 public:
  Utf8Characters(utf8::GroupLookup lookup, std::string opening) : lookup_(lookup), opening_(std::move(opening)) {}

  Token get_tokena(std::string_view bytes, bool, bool at_end) const {
    return utf8::get_tokena(bytes, at_end);
  }

  void write_character(std::string_view character, bool opens_run,
                       std::string& out) {
    const utf8::Classified c = utf8::readn2p(character, lookup_, last_group_);
    last_group_ = c.group;
    initials_.write(initials_.take(opens_run), out, [&] {
      if (opens_run) {
        out.append(opening_);
        append_group_code(out, c.group);
      }
      append_character_token(out, c.group, c.code_point);
    });
  }

 private:
  utf8::GroupLookup lookup_;
  const std::string opening_;
  // Carried from database to database: a byte-order mark at the start of a later
  // database takes the group of the last character of the one before.
  int last_group_ = 0;
};

}  // namespace

std::unique_ptr<Encoder> make_utf8_encoder(SortOrder order, ChineseBlock block, RunMark mark) {
  const std::string opening = run_opening(block, mark, kUtf8RunMark);
  // Only a classic style abbreviates given names itself, and only its runs are marked.
  const bool initials = mark == RunMark::kIdeograph;
  if (order == SortOrder::kZhuyin)
    return std::make_unique<EntryEncoder>(make_zhuyin_characters(opening), bib::ReaderOptions{}, true, initials);
  if (order == SortOrder::kPinyin)
    return std::make_unique<EntryEncoder>(make_pinyin_characters(opening), bib::ReaderOptions{}, true, initials);
  return std::make_unique<EntryEncoder>(std::make_unique<Utf8Characters>(tables::strokes, opening), bib::ReaderOptions{},
                                        false, initials);
}

std::unique_ptr<Encoder> make_utf8_encoder_with(utf8::GroupLookup lookup, ChineseBlock block) {
  return std::make_unique<EntryEncoder>(std::make_unique<Utf8Characters>(lookup, std::string(run_prefix(block))),
                                        bib::ReaderOptions{}, false);
}

}  // namespace corvina
