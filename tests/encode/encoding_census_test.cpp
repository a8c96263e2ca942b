// Telling UTF-8 from Big5, so that each program can point at the other for a file it does
// not read, without refusing a file that merely holds a few stray bytes.

#include <gtest/gtest.h>

#include <string>

#include "encode/encoding_census.h"

namespace corvina {
namespace {

TEST(EncodingCensus, ChineseUtf8AndBig5AreToldApartAndStrayBytesAreNeither) {
  const std::string big5 = "@book{a, author = {\xA4\xFD\xA4\x70\xA9\xFA}, title = {\xA4\xA4\xA4\xE5}}\n";
  const std::string utf8 = "@book{a, author = {王小明}, title = {中文}}\n";
  struct Case {
    const char* what;
    std::string bytes;
    bool utf8, big5;
  };
  const Case cases[] = {
      {"plain ASCII", "@book{a, title = {Plain}}\n", false, false},
      {"Chinese in UTF-8", utf8, true, false},
      {"Chinese in Big5", big5, false, true},
      {"UTF-8 accents, no Chinese", "Müller, Ångström\n", false, false},
      {"UTF-8 Chinese with one stray Latin-1 byte", utf8 + "Caf\xE9 ol\xE9 \xB7\xA1\xA4\xA4\n", false, false},
      {"ASCII with Latin-1 accents", "M\xFCller and \xC5ngstr\xF6m, Jos\xE9\n", false, false},
      {"Big5 cut in its last character", big5 + "\xA4", false, false},
      {"UTF-8 cut in its last character", utf8 + "\xE4\xB8", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (size_t piece : {size_t{1}, size_t{7}, c.bytes.size()}) {  // sequences cut between pieces
      EncodingCensus census;
      for (size_t at = 0; at < c.bytes.size(); at += piece) census.feed(std::string_view(c.bytes).substr(at, piece));
      census.finish();
      EXPECT_EQ(std::make_pair(census.chinese_utf8(), census.chinese_big5()), std::make_pair(c.utf8, c.big5)) << "pieces of " << piece;
    }
  }
}

}  // namespace
}  // namespace corvina
