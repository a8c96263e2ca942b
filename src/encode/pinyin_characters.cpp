#include "encode/pinyin_characters.h"

#include "encode/reading_orders.h"
#include "encode/surname_characters.h"

namespace corvina {

std::unique_ptr<CharacterSet> make_pinyin_characters(std::string opening) {
  return std::make_unique<SurnameCharacters<PinyinOrder>>(std::move(opening));
}

}  // namespace corvina
