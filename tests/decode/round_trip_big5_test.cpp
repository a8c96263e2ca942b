#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "codec_io.h"
#include "decode/big5_decoder.h"
#include "encode/big5_encoder.h"

namespace corvina {
namespace {

unsigned char pick(std::mt19937& rng, unsigned low, unsigned high) {
  return static_cast<unsigned char>(low + rng() % (high - low + 1));
}

// ASCII near token text, Big5 pairs with any trail byte, plain bytes 80..A0 and FF, and
// now and then a lead byte left alone at the end; half the texts have lines over 600.
std::string random_big5_text(std::mt19937& rng) {
  const std::size_t length = rng() % 3000;
  const bool long_lines = rng() % 2 == 0;
  std::string text;
  bool after_character = false;
  while (text.size() < length) {
    const unsigned kind = rng() % 8;
    if (kind < 2) {
      text.push_back(static_cast<char>(pick(rng, after_character ? 0xA0 : 0xA1, 0xFE)));
      text.push_back(static_cast<char>(pick(rng, 0, 0xFF)));
      after_character = true;
      continue;
    }
    if (kind == 2) {
      const unsigned char b = pick(rng, 0x80, after_character ? 0xA0 : 0xA1);
      text.push_back(static_cast<char>(b >= 0xA0 ? 0xFF : b));
    } else if (kind == 3 && !long_lines) {
      text.push_back('\n');
    } else {
      text.push_back(testing::near_token_byte(rng, after_character));
    }
    after_character = false;
  }
  if (rng() % 4 == 0) text.push_back(static_cast<char>(pick(rng, 0xA1, 0xFE)));
  return text;
}

const std::regex kCompleteRun("xxx(0|[a-z][1-3]?)x[0-9]{5}", std::regex::icase);

TEST(encodeDecodeBig5, RandomTextComesBackByteForByteWhateverThePieces) {
  int checked = 0;
  for (unsigned seed = 1; seed <= 300; ++seed) {
    std::mt19937 rng(seed);
    const std::string text = random_big5_text(rng);
    if (std::regex_search(text, kCompleteRun)) continue;
    ++checked;
    const std::string whole = testing::encode_in_pieces(
        *make_big5_encoder(SortOrder::kStrokes), text, rng, text.size() + 1);
    const std::string pieces = testing::encode_in_pieces(
        *make_big5_encoder(SortOrder::kStrokes), text, rng, 1 + rng() % 16);
    ASSERT_EQ(pieces, whole) << "seed " << seed;
    // Only a lead byte at the very end may stay a raw byte of a character.
    for (std::size_t i = 0; i + 1 < whole.size(); ++i) {
      const auto b = static_cast<unsigned char>(whole[i]);
      ASSERT_FALSE(b >= 0xA1 && b <= 0xFE) << "seed " << seed << " at " << i;
    }
    ASSERT_EQ(testing::decode_lines(*make_big5_decoder(false), whole), text) << "seed " << seed;
  }
  EXPECT_GT(checked, 250);
}

}  // namespace
}  // namespace corvina
