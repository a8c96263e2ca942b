#pragma once
// Tells a UTF-8 file from a Big5 one by counting, over the whole file, what its bytes make
// in each reading. Fed in pieces of any size, so a file of any length streams through.

#include <cstddef>
#include <string_view>

namespace corvina {

class EncodingCensus {
 public:
  void feed(std::string_view bytes);
  void finish();  // a sequence cut by the end of the file counts as broken

  // Well-formed UTF-8 throughout, with at least one CJK ideograph.
  bool chinese_utf8() const { return utf8_broken_ == 0 && utf8_cjk_ > 0; }
  // Not UTF-8 but Big5: every byte above 0x7F pairs up as Big5, the pairs outnumber the
  // well-formed UTF-8 sequences, and several pairs have two high bytes, as Chinese text
  // in Big5 has and Latin-1 accents in English text do not. So a UTF-8 file with a few
  // stray bytes is not taken for Big5.
  bool chinese_big5() const;

 private:
  void feed_utf8(unsigned char c);
  void feed_big5(unsigned char c);

  // UTF-8 reading
  int utf8_expected_ = 0;   // continuation bytes still to come
  unsigned utf8_code_ = 0;  // the code point being read
  size_t utf8_good_ = 0, utf8_broken_ = 0, utf8_cjk_ = 0;
  // Big5 reading
  int big5_lead_ = -1;  // the lead byte waiting for its trail byte
  size_t big5_pairs_ = 0, big5_high_pairs_ = 0, big5_broken_ = 0;
};

}  // namespace corvina
