// Fixture skins for the skin tests: made by the mkskin tool from small
// manifests, then patched where a test needs a damaged or foreign container.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "tests/support/file_reader.h"
#include "tests/support/shell_runner.h"
#include "tests/support/temp_folder.h"

namespace skintest {

inline const std::string kMkSkin = std::string(VX_BINARY_DIR) + "/tools/mkskin/mkskin";
inline const std::string kSkinDump = std::string(VX_BINARY_DIR) + "/tools/skin-dump/skin-dump";
inline const std::string kMainManifest = std::string(VX_SOURCE_DIR) + "/skin/main_skin/main_skin.manifest";
inline const std::string kMainSkin = std::string(VX_SOURCE_DIR) + "/skin/resources/main_skin.ssk";

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline int Shell(const std::string& command) { return RunShell(command).status; }

// A skin of the given manifest lines (bitmaps relative to the temp folder).
inline std::string MakeSkin(const TempFolder& dir, const std::string& name, const std::string& manifest,
                            const std::string& password = "") {
  const std::string manifestPath = dir.Write(name + ".manifest", manifest);
  const std::string out = dir / (name + ".ssk");
  const std::string pw = password.empty() ? "" : "-p '" + password + "' ";
  EXPECT_EQ(Shell(kMkSkin + " " + pw + manifestPath + " " + out), 0);
  return out;
}

inline uint32_t Get32(const std::string& b, size_t at) {
  auto u = [&](size_t i) { return uint32_t(uint8_t(b[at + i])); };
  return u(0) | u(1) << 8 | u(2) << 16 | u(3) << 24;
}
inline void Put16(std::string& b, size_t at, uint16_t v) {
  b[at] = char(v & 0xFF);
  b[at + 1] = char(v >> 8);
}
inline void Put32(std::string& b, size_t at, uint32_t v) {
  Put16(b, at, uint16_t(v & 0xFFFF));
  Put16(b, at + 2, uint16_t(v >> 16));
}

// Layout of a one-member container: where the end record and the directory are.
struct Container {
  std::string bytes;
  size_t End() const { return bytes.size() - 22; }
  size_t Directory() const { return Get32(bytes, End() + 16); }
  uint32_t DirectorySize() const { return Get32(bytes, End() + 12); }
};

}  // namespace skintest
