#pragma once
// Zhuyin text as a reading, parsed here apart from the table generator's parser, and the
// order check of the encoders' tokens.

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "decode/codec_io.h"
#include "encode/tables/reading_tables.h"
#include "encode/utf8_encoder.h"

namespace corvina::testing {

// "ㄑㄧˊ" -> ㄑ ㄧ, tone 2. ㄅ..ㄙ are U+3105..U+3119, ㄚ..ㄦ U+311A..U+3126, ㄧ ㄨ ㄩ
// U+3127..U+3129; tone marks ˊ ˇ ˋ ˙, none for the first tone.
inline tables::Reading parse(const std::string& text) {
  tables::Reading r{0, 0, 0, 1};
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char b = text[i];
    const int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : 3;
    char32_t cp = n == 1 ? b : n == 2 ? b & 0x1F : b & 0x0F;
    for (int k = 1; k < n; ++k) cp = cp << 6 | (text[i + k] & 0x3F);
    i += n;
    if (cp >= 0x3105 && cp <= 0x3119) r.initial = static_cast<int>(cp - 0x3104);
    else if (cp >= 0x3127) r.medial = static_cast<int>(cp - 0x3127) + 22;
    else if (cp >= 0x311A) r.final_ = static_cast<int>(cp - 0x311A) + 25;
    else r.tone = cp == 0x2CA ? 2 : cp == 0x2C7 ? 3 : cp == 0x2CB ? 4 : 5;
  }
  return r;
}

// Tokens in the order listed must stay in that order as bytes, case-folded as biber folds
// them, and lower-cased as bibtex lowers its sort keys.
inline void expect_increasing(const std::vector<std::string>& tokens) {
  for (int fold = 0; fold < 3; ++fold) {
    for (std::size_t i = 1; i < tokens.size(); ++i) {
      std::string a = tokens[i - 1], b = tokens[i];
      for (std::string* s : {&a, &b})
        for (char& c : *s) c = static_cast<char>(fold == 0 ? c : fold == 1 ? std::toupper(c) : std::tolower(c));
      EXPECT_LT(a, b) << "fold " << fold << ": " << tokens[i - 1] << " before " << tokens[i];
    }
  }
}

// The tokens corvina4 gives each name as the author of an entry of its own.
inline std::vector<std::string> author_tokens(SortOrder order, const std::vector<std::string>& names) {
  std::vector<std::string> tokens;
  for (const std::string& name : names) {
    const std::string out = encode_whole(*make_utf8_encoder(order, ChineseBlock::kLast), "@book{k, author = {" + name + "}}");
    const std::size_t start = out.find("= {") + 3;
    tokens.push_back(out.substr(start, out.find('}', start) - start));
  }
  return tokens;
}

}  // namespace corvina::testing
