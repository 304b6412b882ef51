// The per-test temp folder of temp_folder.h.

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

namespace fs = std::filesystem;

fs::path TestScratchFolder() {
  fs::path folder = fs::path(VX_BINARY_DIR) / "test-scratch";
  fs::create_directories(folder);
  return folder;
}

TempFolder::TempFolder() {
  std::string pattern = (fs::temp_directory_path() / "vx-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) ADD_FAILURE() << "cannot make a temp folder";
  path_ = pattern;
}

TempFolder::~TempFolder() {
  // A test may have taken rights away to provoke a failure; give them back so
  // that everything below can be removed.
  std::error_code ignored;
  for (auto it = fs::recursive_directory_iterator(path_, fs::directory_options::skip_permission_denied, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored) && !it->is_symlink(ignored))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

std::string TempFolder::Write(const std::string& entry, const std::string& content) const {
  const std::string full = *this / entry;
  fs::create_directories(fs::path(full).parent_path());
  std::ofstream(full, std::ios::binary) << content;
  return full;
}
