#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "codec_io.h"
#include "decode/utf8_decoder.h"
#include "encode/utf8_encoder.h"

namespace corvina {
namespace {

char pick(std::mt19937& rng, unsigned low, unsigned high) {
  return static_cast<char>(low + rng() % (high - low + 1));
}

char continuation(std::mt19937& rng) { return pick(rng, 0x80, 0xBF); }

// ASCII near token text, three-byte characters (overlong and surrogate forms included),
// four-byte sequences, stray bytes, and three-byte sequences cut short; half the texts
// have lines over 600 bytes.
std::string random_utf8_text(std::mt19937& rng) {
  const std::size_t length = rng() % 3000;
  const bool long_lines = rng() % 2 == 0;
  std::string text;
  bool after_character = false;
  while (text.size() < length) {
    const unsigned kind = rng() % 9;
    if (kind < 2) {
      text += {pick(rng, 0xE0, 0xEF), continuation(rng), continuation(rng)};
      after_character = true;
      continue;
    }
    if (kind == 2) {
      text += {pick(rng, 0xF0, 0xF4), continuation(rng), continuation(rng), continuation(rng)};
    } else if (kind == 3) {
      const std::string strays = {continuation(rng), pick(rng, 0xC0, 0xDF), pick(rng, 0xF5, 0xFF)};
      text.push_back(strays[rng() % strays.size()]);
    } else if (kind == 4) {
      text.push_back(pick(rng, 0xE0, 0xEF));
      if (rng() % 2) text.push_back(continuation(rng));
      text.push_back(testing::near_token_byte(rng, false));
    } else if (kind == 5 && !long_lines) {
      text.push_back('\n');
    } else {
      text.push_back(testing::near_token_byte(rng, after_character));
    }
    after_character = false;
  }
  if (rng() % 4 == 0) text += {pick(rng, 0xE0, 0xEF), continuation(rng)};
  return text;
}

const std::regex kCompleteRun("xxx(0|zz[a-k]|[a-z])x(0|zz[a-k]|[a-z])[0-9]{5}",
                              std::regex::icase);

bool holds_character(const std::string& s) {
  for (std::size_t i = 0; i + 2 < s.size(); ++i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
    if ((b(0) & 0xF0) == 0xE0 && (b(1) & 0xC0) == 0x80 && (b(2) & 0xC0) == 0x80) return true;
  }
  return false;
}

// Removes each "\mbox{}" and fails unless a "}" stands behind it.
std::string without_mbox(std::string s, int& removed) {
  const std::string mbox = "\\mbox{}";
  for (std::size_t p = s.find(mbox); p != std::string::npos; p = s.find(mbox, p)) {
    EXPECT_EQ(s.substr(p + mbox.size(), 1), "}");
    s.erase(p, mbox.size());
    ++removed;
  }
  return s;
}

TEST(encodeDecodeUtf8, RandomTextComesBackByteForByteWhateverThePieces) {
  int checked = 0, mboxes = 0;
  for (unsigned seed = 1; seed <= 300; ++seed) {
    std::mt19937 rng(seed);
    const std::string text = random_utf8_text(rng);
    if (std::regex_search(text, kCompleteRun)) continue;
    ++checked;
    const SortOrder order = seed % 2 ? SortOrder::kStrokes : SortOrder::kZhuyin;
    const std::string whole =
        testing::encode_in_pieces(*make_utf8_encoder(order), text, rng, text.size() + 1);
    const std::string pieces =
        testing::encode_in_pieces(*make_utf8_encoder(order), text, rng, 1 + rng() % 16);
    ASSERT_EQ(pieces, whole) << "seed " << seed;
    ASSERT_FALSE(holds_character(whole)) << "seed " << seed;
    ASSERT_EQ(testing::decode_lines(*make_utf8_decoder(false), whole), text) << "seed " << seed;
    const std::string marked = testing::decode_lines(*make_utf8_decoder(true), whole);
    ASSERT_EQ(without_mbox(marked, mboxes), text) << "seed " << seed;
  }
  EXPECT_GT(checked, 250);
  EXPECT_GT(mboxes, 0);
}

}  // namespace
}  // namespace corvina
