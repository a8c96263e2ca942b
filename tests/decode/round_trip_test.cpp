#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <regex>
#include <string>

#include "codec_io.h"
#include "decode/big5_decoder.h"
#include "decode/utf8_decoder.h"
#include "encode/big5_encoder.h"
#include "encode/utf8_encoder.h"

namespace corvina {
namespace {

char pick(std::mt19937& rng, unsigned low, unsigned high) {
  return static_cast<char>(low + rng() % (high - low + 1));
}

char trail(std::mt19937& rng) { return pick(rng, 0x80, 0xBF); }

// Builds up to 3000 bytes from `add`, which appends one item and says whether it ended
// with a character; between items go bytes close to token text and, in half the texts,
// line ends (the other half has lines over 600 bytes).
std::string random_text(std::mt19937& rng,
                        const std::function<bool(std::string&, bool after)>& add) {
  const std::size_t length = rng() % 3000;
  const bool long_lines = rng() % 2 == 0;
  std::string text;
  bool after = false;
  while (text.size() < length) {
    const unsigned kind = rng() % 3;
    if (kind == 0) {
      after = add(text, after);
    } else {
      text.push_back(kind == 1 && !long_lines ? '\n' : testing::near_token_byte(rng, after));
      after = false;
    }
  }
  return text;
}

// Pairs with any trail byte (A0 leads only inside a run), plain 80..9F and FF, and now
// and then a lead byte left alone at the end.
std::string big5_text(std::mt19937& rng) {
  std::string text = random_text(rng, [&](std::string& t, bool after) {
    if (rng() % 3 == 0) {
      t.push_back(rng() % 2 ? pick(rng, 0x80, 0x9F) : '\xFF');
      return false;
    }
    t += {pick(rng, after ? 0xA0 : 0xA1, 0xFE), pick(rng, 0, 0xFF)};
    return true;
  });
  if (rng() % 4 == 0) text.push_back(pick(rng, 0xA1, 0xFE));
  return text;
}

// Three-byte characters (overlong and surrogate forms too), four-byte sequences, stray
// bytes, and three-byte sequences cut short by a plain byte or by the end.
std::string utf8_text(std::mt19937& rng) {
  std::string text = random_text(rng, [&](std::string& t, bool) {
    switch (rng() % 4) {
      case 0: t += {pick(rng, 0xF0, 0xF4), trail(rng), trail(rng), trail(rng)}; return false;
      case 1: t += {trail(rng), pick(rng, 0xC0, 0xDF), pick(rng, 0xF5, 0xFF)}; return false;
      case 2: t += {pick(rng, 0xE0, 0xEF), trail(rng), 'a'}; return false;
      default: t += {pick(rng, 0xE0, 0xEF), trail(rng), trail(rng)}; return true;
    }
  });
  if (rng() % 4 == 0) text += {pick(rng, 0xE0, 0xEF), trail(rng)};
  return text;
}

struct Build {
  std::string (*text)(std::mt19937&);
  std::regex complete_run;       // texts holding one are out of scope
  std::regex character_byte;     // a byte of a character that the encoding must not hold
  std::unique_ptr<Encoder> (*make_encoder)(SortOrder);
  std::unique_ptr<Decoder> (*make_decoder)(bool);
};

const Build kBig5{big5_text, std::regex("xxx(0|[a-z][1-3]?)x[0-9]{5}", std::regex::icase),
                  std::regex("[\\xA1-\\xFE][^]"), make_big5_encoder, make_big5_decoder};
const Build kUtf8{utf8_text,
                  std::regex("xxx(0|zz[a-k]|[a-z])x(0|zz[a-k]|[a-z])[0-9]{5}", std::regex::icase),
                  std::regex("[\\xE0-\\xEF][\\x80-\\xBF][\\x80-\\xBF]"), make_utf8_encoder,
                  make_utf8_decoder};

// With "\mbox{}" on, the only change is "\mbox{}" before some "}".
std::string without_mbox(std::string s, int& removed) {
  const std::string mbox = "\\mbox{}";
  for (std::size_t p = s.find(mbox); p != std::string::npos; p = s.find(mbox, p), ++removed) {
    EXPECT_EQ(s.substr(p + mbox.size(), 1), "}");
    s.erase(p, mbox.size());
  }
  return s;
}

// Encodes 300 seeded texts whole and in pieces of 1..16 bytes and decodes them back.
void expect_round_trips(const Build& build, int& mboxes) {
  int checked = 0;
  for (unsigned seed = 1; seed <= 300; ++seed) {
    std::mt19937 rng(seed);
    const std::string text = build.text(rng);
    if (std::regex_search(text, build.complete_run)) continue;
    ++checked;
    const SortOrder order = seed % 2 ? SortOrder::kStrokes : SortOrder::kZhuyin;
    const auto encode = [&](std::size_t max_piece) {
      return testing::encode_in_pieces(*build.make_encoder(order), text, rng, max_piece);
    };
    const std::string whole = encode(text.size() + 1);
    ASSERT_EQ(encode(1 + rng() % 16), whole) << "seed " << seed;
    ASSERT_FALSE(std::regex_search(whole, build.character_byte)) << "seed " << seed;
    ASSERT_EQ(testing::decode_lines(*build.make_decoder(false), whole), text) << "seed " << seed;
    const std::string marked = testing::decode_lines(*build.make_decoder(true), whole);
    ASSERT_EQ(without_mbox(marked, mboxes), text) << "seed " << seed;
  }
  EXPECT_GT(checked, 250);
}

TEST(encodeDecodeBig5, RandomTextComesBackByteForByteWhateverThePieces) {
  int mboxes = 0;
  expect_round_trips(kBig5, mboxes);
  EXPECT_EQ(mboxes, 0);
}

TEST(encodeDecodeUtf8, RandomTextComesBackByteForByteWhateverThePieces) {
  int mboxes = 0;
  expect_round_trips(kUtf8, mboxes);
  EXPECT_GT(mboxes, 0);
}

}  // namespace
}  // namespace corvina
