#include "decode/utf8_decoder.h"

#include "core/encoder.h"
#include "decode/token_decoder.h"
#include "decode/reading_fields.h"

namespace corvina {

namespace {

// The code field of a character token: five digits for a code point up to 0xFFFF, or "Y"
// and six digits for a four-byte ideograph of U+20000..U+3FFFF. The encoder writes nothing
// else, so any other code is no token of ours: decoding it would write bytes the encoder
// never read.
std::size_t utf8_code(std::string_view text, unsigned& code) {
  if (read_digits(text, 5, code)) return code <= 0xFFFF ? 5 : 0;
  if (text.empty() || (text[0] != 'Y' && text[0] != 'y') || !read_digits(text.substr(1), 6, code)) return 0;
  return code >= 0x20000 && code <= 0x3FFFF ? 7 : 0;
}

char byte(unsigned value) { return static_cast<char>(value); }

void put_utf8(unsigned code, std::string& out) {
  if (code > 0xFFFF) {
    const char bytes[4] = {byte(0xF0 | (code >> 18)), byte(0x80 | ((code >> 12) & 0x3F)),
                           byte(0x80 | ((code >> 6) & 0x3F)), byte(0x80 | (code & 0x3F))};
    out.append(bytes, 4);
    return;
  }
  const char bytes[3] = {byte(0xE0 | (code >> 12)), byte(0x80 | ((code >> 6) & 0x3F)), byte(0x80 | (code & 0x3F))};
  out.append(bytes, 3);
}

constexpr TokenFormat kUtf8Tokens{true, nullptr, utf8_code, put_utf8, reading_fields, kUtf8RunMark};

}  // namespace

std::string uni2utf8(unsigned code) {
  std::string bytes;
  put_utf8(code, bytes);
  return bytes;
}

std::unique_ptr<Decoder> make_utf8_decoder(bool add_mbox) {
  return std::make_unique<TokenDecoder>(kUtf8Tokens, add_mbox);
}

}  // namespace corvina
