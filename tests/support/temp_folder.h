// A fresh folder under the system temp folder for one test, removed with
// everything in it when the test ends (read-only parts included). Built on
// the standard library, not on the runtime under test.
#pragma once

#include <filesystem>
#include <string>

// A folder for per-test files inside this build folder, so that two builds
// running the same tests side by side never share a file.
std::filesystem::path TestScratchFolder();

class TempFolder {
public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The folder as the runtime names it (ASCII, so the same in every code page).
  std::string name() const { return path_.string(); }
  // The name of an entry inside the folder.
  std::string operator/(const std::string& entry) const { return name() + "/" + entry; }

  // Writes content to the entry (folders on the way are created); its name.
  std::string Write(const std::string& entry, const std::string& content) const;

private:
  std::filesystem::path path_;
};
