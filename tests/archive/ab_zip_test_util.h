// Shared by the ZIP tests: an archive over a file in a temp folder with the
// zipper's insert hooks installed, little-endian readers over raw bytes, and
// running a peer tool (or our archive tool) through the shell.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "archive/ab_zip_archive.h"
#include "archive/ab_zip_compress.h"
#include "platform/rtl/files.h"
#include "platform/rtl/streams.h"
#include "tests/support/file_reader.h"
#include "tests/support/shell_runner.h"

namespace ziptest {

// The archive tool built beside the tests.
inline const std::string kArctool = VX_BINARY_DIR "/tools/arctool/arctool";

inline uint16_t U16(const std::string& b, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(b.at(at)) | static_cast<uint8_t>(b.at(at + 1)) << 8);
}
inline uint32_t U32(const std::string& b, size_t at) { return U16(b, at) | static_cast<uint32_t>(U16(b, at + 2)) << 16; }

// Opens (or creates) a ZIP archive file with the insert hooks a zipper installs.
inline std::unique_ptr<TAbZipArchive> OpenZip(const std::string& path) {
  bool exists = FileExists(path);
  auto a = std::make_unique<TAbZipArchive>(path, exists ? fmOpenReadWrite | fmShareDenyWrite : fmCreate);
  a->InsertHelper = CompressItemFromFile;
  a->InsertFromStreamHelper = CompressItemFromStream;
  a->SetStoreOptions({soStripDrive, soStripPath});
  a->Load();
  return a;
}

// Runs a peer tool through the shell, its messages collected with its output.
inline ShellResult Shell(const std::string& command) { return RunShell(command + " 2>&1"); }

inline std::string Quote(const std::string& s) { return "'" + s + "'"; }

}  // namespace ziptest
