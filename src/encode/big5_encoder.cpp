#include "encode/big5_encoder.h"

#include <utility>

#include "encode/big5_groups.h"
#include "encode/big5_reader.h"
#include "encode/entry_encoder.h"
#include "encode/run_encoder.h"

namespace corvina {

namespace {

// A run is sorted by the stroke group of its first character only; the characters
// themselves are ordered by their Big5 codes, which Big5 already lays out by strokes.
class Big5Characters final : public CharacterLoop<Big5Characters> {
 public:
  explicit Big5Characters(std::string opening) : opening_(std::move(opening)) {}

  Token get_tokena(std::string_view bytes, bool in_run, bool at_end) const {
    return big5::get_tokena(bytes, in_run, at_end);
  }

  void write_character(std::string_view character, bool opens_run,
                       std::string& out) {
    const unsigned code = static_cast<unsigned char>(character[0]) * 256u +
                          static_cast<unsigned char>(character[1]);
    initials_.write(initials_.take(opens_run), out, [&] {
      if (opens_run) {
        out.append(opening_);
        append_group_code(out, big5::group(code));
      }
      append_x_code(out, code);
    });
  }

 private:
  const std::string opening_;
};

}  // namespace

std::unique_ptr<Encoder> make_big5_encoder(SortOrder, ChineseBlock block, RunMark mark) {
  // Only a classic style abbreviates given names itself, and only its runs are marked.
  return std::make_unique<EntryEncoder>(std::make_unique<Big5Characters>(run_opening(block, mark, kBig5RunMark)),
                                        bib::ReaderOptions{.big5 = true}, false, mark == RunMark::kIdeograph);
}

}  // namespace corvina
