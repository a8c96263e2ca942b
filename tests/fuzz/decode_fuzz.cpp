// Any bytes through both decoders, with and without "\mbox{}".

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "decode/big5_decoder.h"
#include "decode/codec_io.h"
#include "decode/utf8_decoder.h"

namespace {

void decode(corvina::Decoder& decoder, std::string_view text, bool may_grow) {
  std::string log;
  const std::string out = corvina::testing::decode_lines(decoder, text, &log);
  // A decoded run is always shorter than its tokens; only "\mbox{}" adds bytes.
  if (!may_grow && out.size() > text.size()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  decode(*corvina::make_big5_decoder(true), text, false);
  decode(*corvina::make_utf8_decoder(false), text, false);
  decode(*corvina::make_utf8_decoder(true), text, true);
  return 0;
}
