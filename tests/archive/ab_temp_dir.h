// A temporary folder for one test, removed with everything in it afterwards,
// and a helper that writes a small file into it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class TempDir {
public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "abtestXXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  // Writes Content to Name (folders below are created).
  std::string Write(const std::string& name, const std::string& content) const {
    std::string full = *this / name;
    std::filesystem::create_directories(std::filesystem::path(full).parent_path());
    std::ofstream(full, std::ios::binary) << content;
    return full;
  }

private:
  std::string path_;
};
