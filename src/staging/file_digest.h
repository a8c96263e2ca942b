#pragma once
// What a backup holds, as its intent record keeps it: the size and a digest of the bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvina {

struct FileDigest {
  enum class Kind {
    kBytes,  // FNV-1a over the bytes, as records written by earlier versions hold it
    kWords,  // over eight-byte words in four lanes: several times faster
  };
  Kind kind = Kind::kWords;
  uint64_t size = 0;
  uint64_t sum = 0;
  bool operator==(const FileDigest&) const = default;
};

// Digests bytes fed in pieces of any size, so that a pass that reads a file for another
// purpose digests it too.
class Digester {
 public:
  explicit Digester(FileDigest::Kind kind = FileDigest::Kind::kWords);
  void add(std::string_view bytes);
  FileDigest result() const;

 private:
  void add_words(std::string_view& bytes);

  FileDigest::Kind kind_;
  uint64_t size_ = 0;
  uint64_t lanes_[4];       // kBytes uses the first only
  uint64_t words_ = 0;      // whole words taken in
  char held_[8] = {};       // the start of a word cut by the end of a piece
  std::size_t held_size_ = 0;
};

// Empty when the file cannot be read; `error`, when given, then receives errno.
std::optional<FileDigest> digest_file(const std::string& path, FileDigest::Kind kind = FileDigest::Kind::kWords,
                                      int* error = nullptr);

}  // namespace corvina
