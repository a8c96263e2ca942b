#include "encode/zhuyin_characters.h"

#include "encode/reading_orders.h"
#include "encode/surname_characters.h"

namespace corvina {

std::unique_ptr<CharacterSet> make_zhuyin_characters(std::string opening) {
  return std::make_unique<SurnameCharacters<ZhuyinOrder>>(std::move(opening));
}

}  // namespace corvina
