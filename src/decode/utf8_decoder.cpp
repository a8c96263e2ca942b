#include "decode/utf8_decoder.h"

#include "decode/token_decoder.h"

namespace corvina {

namespace {

bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool is_z(char c) { return c == 'Z' || c == 'z'; }

bool is_a_to_k(char c) { return (c >= 'a' && c <= 'k') || (c >= 'A' && c <= 'K'); }

// "0", a letter, or "Zza".."Zzk" for the groups 27..37.
std::size_t utf8_group_code(std::string_view text) {
  if (text.empty()) return 0;
  if (text[0] == '0') return 1;
  if (!is_letter(text[0])) return 0;
  if (text.size() >= 3 && is_z(text[0]) && is_z(text[1]) && is_a_to_k(text[2])) return 3;
  return 1;
}

void put_utf8(unsigned code, std::string& out) { out.append(uni2utf8(code)); }

// The encoder writes only three-byte characters, so a code above 0xFFFF is no token of
// ours: decoding it would write bytes that are not UTF-8 at all.
constexpr TokenFormat kUtf8Tokens{utf8_group_code, true, nullptr, 0xFFFF, put_utf8};

}  // namespace

std::string uni2utf8(unsigned code) {
  return {static_cast<char>(0xE0 | (code >> 12)),
          static_cast<char>(0x80 | ((code >> 6) & 0x3F)),
          static_cast<char>(0x80 | (code & 0x3F))};
}

std::unique_ptr<Decoder> make_utf8_decoder(bool add_mbox) {
  return std::make_unique<TokenDecoder>(kUtf8Tokens, add_mbox);
}

}  // namespace corvina
