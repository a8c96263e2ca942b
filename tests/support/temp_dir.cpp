#include "support/temp_dir.h"

#include <random>
#include <stdexcept>
#include <string>

namespace corvina::testing {
namespace {

// A new folder of a random name: create_directory says whether it was ours to make.
std::filesystem::path make_fresh_folder() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path path = base / ("corvina-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(path)) return path;
  }
  throw std::runtime_error("cannot make a folder in " + base.string());
}

}  // namespace

TempDir::TempDir() : path_(make_fresh_folder()), previous_(std::filesystem::current_path()) {
  std::filesystem::current_path(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
  // Tests make files read-only; give the owner write access back so removal works.
  for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
  }
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace corvina::testing
