// Scratch folders for the Windows test build.
#include <io.h>
#include <windows.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "tool_runner.h"

namespace slip::testing {

TempDir::TempDir() {
  static unsigned counter = 0;
  std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = "slipreport-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    std::error_code error;
    if (std::filesystem::create_directory(base / name, error)) {
      path_ = (base / name).generic_string();
      return;
    }
  }
  throw std::runtime_error("cannot create a scratch folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Read-only files would stay behind.
  for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, ignored);
  }
  std::filesystem::remove_all(path_, ignored);
}

bool TempDir::exists(const std::string& name) const { return _access(file(name).c_str(), 0) == 0; }

}  // namespace slip::testing
