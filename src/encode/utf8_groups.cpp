#include "encode/utf8_groups.h"

namespace corvina::utf8 {

namespace {

constexpr char32_t kByteOrderMark = 0xFEFF;

}  // namespace

Classified readn2p(std::string_view character, GroupLookup lookup, int previous_group) {
  const auto payload = [&](std::size_t i) { return static_cast<unsigned char>(character[i]) & 0x3Fu; };
  char32_t code = static_cast<unsigned char>(character[0]) & (character.size() == 4 ? 0x07u : 0x0Fu);
  for (std::size_t i = 1; i < character.size(); ++i) code = code << 6 | payload(i);
  if (code == kByteOrderMark) return {code, previous_group};
  return {code, lookup(code)};
}

}  // namespace corvina::utf8
