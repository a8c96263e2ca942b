#include "encode/big5_groups.h"
#include "encode/big5_reader.h"
#include "encode/character_uses.h"

namespace corvina {

// Big5 lays its characters out by strokes, so a character's place in the key is its
// stroke count; symbols (group 0) are not counted.
std::vector<CharacterUse> big5_character_uses(std::string_view value, const std::vector<std::size_t>&, SortOrder) {
  std::vector<CharacterUse> uses;
  bool in_run = false;
  for (std::size_t pos = 0; pos < value.size();) {
    const Token token = big5::get_tokena(value.substr(pos), in_run, true);
    in_run = token.kind == TokenKind::kCharacter;
    if (in_run) {
      const unsigned code = static_cast<unsigned char>(value[pos]) * 256u + static_cast<unsigned char>(value[pos + 1]);
      const int strokes = big5::group(code);
      // The last group holds every count from 29 on.
      if (strokes > 0)
        uses.push_back({std::string(value.substr(pos, 2)), std::to_string(strokes) + (strokes == 29 ? "+" : "")});
    }
    pos += token.size;
  }
  return uses;
}

}  // namespace corvina
