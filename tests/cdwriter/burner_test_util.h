// Shared by the burner tests: a burner that collects its debug messages,
// source files in a temp folder, the image written as the cache thread would
// send it (header, boot image, files), and the peer tools run on it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "cdwriter/burner.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"
#include "tests/support/shell_runner.h"
#include "tests/support/temp_folder.h"

using BurnerPtr = TOwned<TZIDIzizid>;

struct DebugLine {
  AnsiString text;
  uint8_t type;
  bool operator==(const DebugLine&) const = default;
};

inline void PrintTo(const DebugLine& line, std::ostream* os) { *os << line.text << " (" << int{line.type} << ")"; }

// A burner that records every debug message into `log`.
inline BurnerPtr NewBurner(std::vector<DebugLine>& log) {
  BurnerPtr burner(new TZIDIzizid(nullptr));
  burner->OnDebugMessage = [&log](TObject*, const AnsiString& text, uint8_t type) { log.push_back({text, type}); };
  return burner;
}

// Lays the tree out without asking a drive and builds the header.
inline void LayOut(TZIDIzizid& burner) {
  burner.PrepareImage(true, nullptr);
  burner.BuildHeader();
}

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The image from sector 0 (a layout at address 0): header, boot image and
// every file's bytes, each padded to whole sectors.
inline void WriteImage(TZIDIzizid& burner, const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  TMemoryStream* header = burner.ImageHeader();
  out.write(static_cast<const char*>(header->Memory()), header->Size());
  auto append = [&out](const AnsiString& source) {
    const std::string bytes = ReadAll(AnsiToUtf8(source));
    out << bytes << std::string(SectorsOf(static_cast<int64_t>(bytes.size())) * kSectorBytes - bytes.size(), '\0');
  };
  if (burner.Bootable) append(burner.BootImage);
  for (int i = 0; i < burner.FileCount(); ++i) {
    const TFEntry* e = burner.File(i);
    if (!e->Dir && e->FileSize > 0) append(e->SourcePath);
  }
  out.close();
  EXPECT_EQ(static_cast<int64_t>(std::filesystem::file_size(path)), burner.Layout().VolumeSpaceSize * kSectorBytes);
}

// Runs a command line of a peer tool in a UTF-8 locale, whatever the test
// runs in, so Czech names convert; a tool that is not installed fails the test.
inline ShellResult Peer(const std::string& tool, const std::string& arguments) {
  if (RunShell("command -v " + tool).output.empty()) ADD_FAILURE() << tool << " is not installed (scripts/setup)";
  return RunShell("LC_ALL=C.UTF-8 " + tool + " " + arguments + " 2>&1");
}

inline std::string Quote(const std::string& s) { return "'" + s + "'"; }
