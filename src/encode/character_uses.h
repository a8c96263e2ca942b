#pragma once
// What each build's tokens use of a character, spelled for a reader: the same tables and
// the same surname rule as the encoders, so that --explain shows what the keys hold.

#include <string>

#include "core/character_use.h"
#include "encode/tables/reading_tables.h"

namespace corvina {

std::vector<CharacterUse> utf8_character_uses(std::string_view value, const std::vector<std::size_t>& name_starts,
                                              SortOrder order);
std::vector<CharacterUse> big5_character_uses(std::string_view value, const std::vector<std::size_t>& name_starts,
                                              SortOrder order);

// "ㄗㄥ", "ㄇㄚˇ", "˙ㄉㄜ"; empty for no reading.
std::string zhuyin_text(const tables::Reading& reading);
// "zēng", "lǚ", "de"; empty for no reading.
std::string pinyin_text(const tables::Pinyin& reading);

}  // namespace corvina
