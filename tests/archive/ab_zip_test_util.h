// Shared by the ZIP tests: an archive over a file in a temp folder with the
// zipper's insert hooks installed, little-endian readers over raw bytes, and
// running a peer tool through the shell.
#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "archive/ab_zip_archive.h"
#include "archive/ab_zip_compress.h"
#include "platform/rtl/files.h"
#include "platform/rtl/streams.h"

namespace ziptest {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

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

struct CommandResult {
  int status;
  std::string output;
};

// Runs a shell command, collecting stdout and stderr.
inline CommandResult Shell(const std::string& command) {
  CommandResult r{-1, {}};
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
  int status = pclose(p);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

inline std::string Quote(const std::string& s) { return "'" + s + "'"; }

}  // namespace ziptest
