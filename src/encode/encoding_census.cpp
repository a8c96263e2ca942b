#include "encode/encoding_census.h"

#include "encode/ascii_span.h"

namespace corvina {
namespace {

bool cjk_ideograph(unsigned code) {
  return (code >= 0x3400 && code <= 0x9FFF) || (code >= 0xF900 && code <= 0xFAFF) ||
         (code >= 0x20000 && code <= 0x3FFFF);
}

bool big5_trail(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0xA1 && c <= 0xFE); }

}  // namespace

void EncodingCensus::feed(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    // An ASCII byte between characters changes neither reading.
    if (utf8_expected_ == 0 && big5_lead_ < 0) {
      i += ascii_span(bytes.substr(i));
      if (i == bytes.size()) return;
    }
    const auto c = static_cast<unsigned char>(bytes[i]);
    feed_utf8(c);
    feed_big5(c);
  }
}

void EncodingCensus::feed_utf8(unsigned char c) {
  if (utf8_expected_ > 0) {
    if ((c & 0xC0) == 0x80) {
      utf8_code_ = utf8_code_ << 6 | (c & 0x3F);
      if (--utf8_expected_ == 0) {
        ++utf8_good_;
        if (cjk_ideograph(utf8_code_)) ++utf8_cjk_;
      }
      return;
    }
    ++utf8_broken_;  // a sequence cut short; this byte starts afresh
    utf8_expected_ = 0;
  }
  if (c < 0x80) return;
  if (c >= 0xC2 && c <= 0xDF) {
    utf8_expected_ = 1, utf8_code_ = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    utf8_expected_ = 2, utf8_code_ = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    utf8_expected_ = 3, utf8_code_ = c & 0x07;
  } else {
    ++utf8_broken_;
  }
}

void EncodingCensus::feed_big5(unsigned char c) {
  if (big5_lead_ >= 0) {
    if (big5_trail(c)) {
      ++big5_pairs_;
      if (c >= 0xA1) ++big5_high_pairs_;
    } else {
      ++big5_broken_;
    }
    big5_lead_ = -1;
    return;
  }
  if (c >= 0x81 && c <= 0xFE) {
    big5_lead_ = c;
  } else if (c >= 0x80) {
    ++big5_broken_;
  }
}

void EncodingCensus::finish() {
  if (utf8_expected_ > 0) ++utf8_broken_;
  if (big5_lead_ >= 0) ++big5_broken_;
  utf8_expected_ = 0;
  big5_lead_ = -1;
}

bool EncodingCensus::chinese_big5() const {
  return utf8_broken_ > 0 && big5_broken_ == 0 && big5_pairs_ > utf8_good_ && big5_high_pairs_ >= 2;
}

}  // namespace corvina
