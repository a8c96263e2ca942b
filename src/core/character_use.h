#pragma once
// What the sort token of one Chinese character of a value uses: its stroke count, or its
// reading in the order that sorts by readings. --explain shows it beside the character.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/encoder.h"

namespace corvina {

struct CharacterUse {
  std::string character;  // its bytes, as the database has them
  std::string use;        // "4", "ㄗㄥ", "zēng"
  bool as_surname = false;  // its reading as a surname is used, not its ordinary one
};

// The uses of the Chinese characters of `value`, in order. `name_starts`: the offsets in
// `value` where a name of a name list begins (increasing), as the encoder is told them.
using CharacterUses = std::vector<CharacterUse> (*)(std::string_view value,
                                                    const std::vector<std::size_t>& name_starts,
                                                    SortOrder order);

}  // namespace corvina
