// A folder of one's own for a test that writes files.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace miralto::testing {

// A new empty folder under the system's temporary folder, named `prefix` and a random number,
// removed with everything in it when the object goes, folders made read-only by the test included.
class TemporaryFolder {
 public:
  explicit TemporaryFolder(const std::filesystem::path& prefix = "miralto-test-") {
    std::random_device device;
    std::filesystem::path name = prefix;
    name += std::to_string(device());
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(path_);
  }
  ~TemporaryFolder() {
    Unlock(path_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  // A folder the owner may not read or write cannot be emptied.
  static void Unlock(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    std::error_code ignored;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (fs::directory_iterator it(folder, ignored), end; it != end; it.increment(ignored)) {
      if (it->is_directory(ignored) && !it->is_symlink(ignored)) Unlock(it->path());
    }
  }

  std::filesystem::path path_;
};

}  // namespace miralto::testing
