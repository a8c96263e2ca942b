#pragma once

#include <filesystem>

namespace corvina::testing {

// A fresh folder under the system's temporary folder, made the working directory for the
// object's lifetime and removed with everything in it afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

}  // namespace corvina::testing
