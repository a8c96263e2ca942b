#include "staging/file_digest.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/file_io.h"

namespace corvina {
namespace {

constexpr uint64_t kBasis = 14695981039346656037ull, kPrime = 1099511628211ull;

// The rotation carries the high bits, which a product never passes down, to the low ones.
uint64_t mix(uint64_t lane, uint64_t word) { return std::rotl((lane ^ word) * kPrime, 31); }

uint64_t load(const char* bytes) {
  uint64_t word;
  std::memcpy(&word, bytes, 8);
  return word;
}

}  // namespace

Digester::Digester(FileDigest::Kind kind) : kind_(kind), lanes_{kBasis, kBasis + 1, kBasis + 2, kBasis + 3} {}

void Digester::add(std::string_view bytes) {
  size_ += bytes.size();
  if (kind_ == FileDigest::Kind::kBytes) {
    for (unsigned char byte : bytes) lanes_[0] = (lanes_[0] ^ byte) * kPrime;
    return;
  }
  if (held_size_ > 0) {
    const std::size_t more = std::min(8 - held_size_, bytes.size());
    std::memcpy(held_ + held_size_, bytes.data(), more);
    held_size_ += more;
    bytes.remove_prefix(more);
    if (held_size_ < 8) return;
    lanes_[words_ % 4] = mix(lanes_[words_ % 4], load(held_));
    ++words_;
    held_size_ = 0;
  }
  add_words(bytes);
  std::memcpy(held_, bytes.data(), bytes.size());
  held_size_ = bytes.size();
}

// Takes the whole words off the front of `bytes`, four at a time where it can: the lanes
// are independent, so the processor works on all four at once.
void Digester::add_words(std::string_view& bytes) {
  while (words_ % 4 != 0 && bytes.size() >= 8) {
    lanes_[words_ % 4] = mix(lanes_[words_ % 4], load(bytes.data()));
    ++words_;
    bytes.remove_prefix(8);
  }
  uint64_t a = lanes_[0], b = lanes_[1], c = lanes_[2], d = lanes_[3];
  for (; bytes.size() >= 32; bytes.remove_prefix(32), words_ += 4) {
    a = mix(a, load(bytes.data()));
    b = mix(b, load(bytes.data() + 8));
    c = mix(c, load(bytes.data() + 16));
    d = mix(d, load(bytes.data() + 24));
  }
  lanes_[0] = a, lanes_[1] = b, lanes_[2] = c, lanes_[3] = d;
  for (; bytes.size() >= 8; bytes.remove_prefix(8), ++words_) {
    lanes_[words_ % 4] = mix(lanes_[words_ % 4], load(bytes.data()));
  }
}

FileDigest Digester::result() const {
  if (kind_ == FileDigest::Kind::kBytes) return {kind_, size_, lanes_[0]};
  uint64_t lanes[4] = {lanes_[0], lanes_[1], lanes_[2], lanes_[3]};
  if (held_size_ > 0) {
    char last[8] = {};
    std::memcpy(last, held_, held_size_);
    lanes[words_ % 4] = mix(lanes[words_ % 4], load(last));
  }
  uint64_t sum = kBasis;
  for (uint64_t lane : lanes) sum = mix(sum, lane);
  return {kind_, size_, mix(sum, size_)};
}

std::optional<FileDigest> digest_file(const std::string& path, FileDigest::Kind kind, int* error) {
  InputFile in(path);
  Digester digester(kind);
  std::string chunk;
  while (in.is_open() && in.read_chunk(chunk, 1 << 16)) digester.add(chunk);
  if (in.is_open() && !in.failed()) return digester.result();
  if (error) *error = in.error();
  return std::nullopt;
}

}  // namespace corvina
