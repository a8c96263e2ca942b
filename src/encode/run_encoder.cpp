#include "encode/run_encoder.h"

#include <utility>

#include "encode/ascii_span.h"

namespace corvina {

RunEncoder::RunEncoder(std::unique_ptr<CharacterSet> characters)
    : characters_(std::move(characters)) {}

void RunEncoder::encode(std::string_view input, std::string& out) {
  // Complete the held character a byte at a time; it never needs more than a few.
  while (!held_.empty() && !input.empty()) {
    held_.push_back(input.front());
    input.remove_prefix(1);
    held_.erase(0, write_tokens(held_, false, out));
  }
  if (held_.empty()) {
    held_.assign(input.substr(write_tokens(input, false, out)));
  }
}

void RunEncoder::finish(std::string& out) {
  write_tokens(held_, true, out);
  characters_->end_of_input(out);
  held_.clear();
  in_run_ = false;
}

std::size_t RunEncoder::write_tokens(std::string_view bytes, bool at_end, std::string& out) {
  std::size_t pos = 0;
  for (;;) {
    // Plain ASCII is most of a database and starts no character in either build.
    if (const std::size_t ascii = ascii_span(bytes.substr(pos)); ascii > 0) {
      const std::string_view span = bytes.substr(pos, ascii);
      characters_->before_plain_bytes(span, out);
      characters_->before_plain_text();
      out.append(span);
      in_run_ = false;
      pos += ascii;
    }
    const std::size_t taken = characters_->write_stretch(bytes.substr(pos), in_run_, at_end, out);
    if (taken == 0) return pos;
    pos += taken;
  }
}

}  // namespace corvina
