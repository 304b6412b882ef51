// cdtool image: burns files and folders onto a blank software disc whose
// sectors are kept in the output file, so the result is an ISO 9660 image
// made by the same write process as a real burn. The drive runs on the
// virtual clock: its pauses take no time.

#include "tools/cdtool/image_command.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "cdwriter/aspi_transport.h"
#include "cdwriter/burner.h"
#include "cdwriter/soft_drive/soft_drive.h"
#include "cdwriter/spti_layer.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/message_loop.h"
#include "platform/rtl/text.h"

namespace fs = std::filesystem;

namespace {

constexpr int kExitFailure = 1;
constexpr uint8_t kRefusalMessage = 3;  // tree limits and refused names
constexpr uint16_t kCdR = 2, kDvdPlusR = 11;
constexpr uint32_t kCdRBlocks = 359847, kDvdPlusRBlocks = 2295104;

struct ImageOptions {
  uint16_t disc = kCdR;
  AnsiString volume;
  AnsiString boot;
  std::string out;
  std::vector<std::string> paths;
};

// False for wrong usage.
bool ParseOptions(int argc, char** argv, ImageOptions& o) {
  int i = 0;
  for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; i += 2) {
    if (i + 1 >= argc) return false;
    const std::string name = argv[i], value = argv[i + 1];
    if (name == "--disc" && value == "cd-r") o.disc = kCdR;
    else if (name == "--disc" && value == "dvd+r") o.disc = kDvdPlusR;
    else if (name == "--volume") o.volume = Utf8ToAnsi(value);
    else if (name == "--boot") o.boot = Utf8ToAnsi(value);
    else return false;
  }
  if (argc - i < 2) return false;
  o.out = argv[i];
  o.paths.assign(argv + i + 1, argv + argc);
  return true;
}

void Error(const std::string& text) { std::fprintf(stderr, "cdtool: %s\n", text.c_str()); }

// A file goes into the root; a folder becomes a folder of its name with
// everything below it.
bool AddPath(TZIDIzizid& burner, const fs::path& path) {
  std::error_code ec;
  if (fs::is_regular_file(path, ec)) return burner.InsertFile("\\", Utf8ToAnsi(path.string()), false) == 1;
  if (!fs::is_directory(path, ec)) {
    Error("no such file or folder: " + path.string());
    return false;
  }
  const fs::path base = fs::absolute(path).lexically_normal().parent_path();
  std::vector<fs::path> files;
  for (auto it = fs::recursive_directory_iterator(path, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    if (it->is_regular_file()) files.push_back(it->path());
  if (ec) {
    Error("cannot read " + path.string() + ": " + ec.message());
    return false;
  }
  burner.ForceDirectory("\\" + Utf8ToAnsi(fs::absolute(path).lexically_normal().filename().string()));
  for (const fs::path& f : files) {
    std::string rel = fs::absolute(f).lexically_normal().parent_path().lexically_relative(base).string();
    std::replace(rel.begin(), rel.end(), '/', '\\');
    const AnsiString dest = "\\" + Utf8ToAnsi(rel);
    if (!burner.ForceDirectory(dest) || burner.InsertFile(dest, Utf8ToAnsi(f.string()), false) != 1) {
      Error("cannot add " + f.string());
      return false;
    }
  }
  return true;
}

int Burn(const ImageOptions& o) {
  if (!std::ofstream(o.out, std::ios::binary | std::ios::trunc)) {
    Error("cannot create " + o.out);
    return kExitFailure;
  }
  TSoftDrivePort port;
  TSoftDrive& drive = port.Add(0, std::make_unique<TSoftDrive>("CDTOOL", "IMAGE WRITER"));
  TSoftMediumSetup medium;
  medium.disc_type = o.disc;
  medium.capacity = o.disc == kCdR ? kCdRBlocks : kDvdPlusRBlocks;
  medium.sector_file = Utf8ToAnsi(o.out);
  drive.Insert(medium);
  SptiSetPort(&port);

  TZIDIzizid* burner = new TZIDIzizid(nullptr);
  bool done = false;
  AnsiString error;
  burner->OnDebugMessage = [](TObject*, const AnsiString& text, uint8_t type) {
    if (type >= kRefusalMessage) Error(AnsiToUtf8(text));
  };
  burner->OnWriteDone = [&](TObject*, const AnsiString& text) {
    done = true;
    error = text;
  };
  int status = kExitFailure;
  if (burner->InitializeASPI(true, "") && burner->DeviceList()->Count() > 0) {
    burner->SelectDevice(burner->DeviceList()->Strings(0));
    burner->IdVolume = o.volume;
    burner->Bootable = !o.boot.empty();
    burner->BootImage = o.boot;
    bool added = true;
    for (const std::string& p : o.paths) added = AddPath(*burner, p) && added;
    if (added && burner->WriteDisc()) {
      while (!done) {
        WaitMessage();
        ProcessMessages();
      }
    }
    if (added && !done) Error("the burn did not start");
    else if (done && !error.empty()) std::printf("%s\n", AnsiToUtf8(error).c_str());
    status = added && done && error.empty() ? 0 : kExitFailure;
  }
  burner->Free();
  ShutdownTransport();
  SptiSetPort(nullptr);
  return status;
}

}  // namespace

int RunImageCommand(int argc, char** argv, int usage_status) {
  ImageOptions options;
  if (!ParseOptions(argc, argv, options)) return usage_status;
  SetVirtualClock(true);
  return Burn(options);
}
