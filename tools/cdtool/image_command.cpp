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
#include <set>
#include <string>
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

// Names go to the burner in UTF-16; one that is not UTF-8 has no such form
// and would reach the disc changed.
bool StorableName(const fs::path& path) {
  const std::string name = path.filename().string();
  if (WideToUtf8(Utf8ToWide(name)) == name) return true;
  Error("name cannot be stored: " + path.string());
  return false;
}

WideString WideOf(const fs::path& path) { return Utf8ToWide(path.string()); }

// Files and folders as the command line gives them. Every given file reaches
// the disc or the burn fails naming it; a file whose name is already in the
// root gets " (2)", " (3)" ... before its extension.
class TreeBuilder {
public:
  explicit TreeBuilder(TZIDIzizid& burner) : burner_(burner) {}

  bool Add(const fs::path& path) {
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(path, ec))) return AddFolder(path);
    if (!fs::is_regular_file(path, ec)) {
      Error("no such file or folder: " + path.string());
      return false;
    }
    if (!StorableName(path)) return false;
    const WideString name = WideOf(path.filename());
    const WideString stored = FreeRootName(name);
    if (!Insert(u"\\", path, stored)) return false;
    if (stored != name) Error(path.string() + " stored as " + WideToUtf8(stored) + ": its name is taken");
    root_names_.insert(stored);
    return true;
  }

private:
  WideString FreeRootName(const WideString& name) {
    if (!root_names_.contains(name)) return name;
    const size_t dot = name.rfind(u'.');
    const WideString stem = name.substr(0, dot), ext = dot == WideString::npos || dot == 0 ? u"" : name.substr(dot);
    for (int n = 2;; ++n) {
      const WideString candidate = (ext.empty() ? name : stem) + u" (" + Utf8ToWide(std::to_string(n)) + u")" + ext;
      if (!root_names_.contains(candidate)) return candidate;
    }
  }

  bool Insert(const WideString& dest, const fs::path& file, const WideString& stored_name = {}) {
    if (burner_.InsertFile(dest, WideOf(file), false, stored_name) == 1) return true;
    Error("cannot add " + file.string());
    return false;
  }

  bool AddImageFolder(const fs::path& folder, const fs::path& base) {
    if (burner_.ForceDirectory(ImagePath(folder.lexically_relative(base)))) return true;
    Error("cannot add " + folder.string());
    return false;
  }

  // The folder becomes a folder of its name in the root with everything below
  // it, empty folders too. What is neither a file nor a folder is named.
  bool AddFolder(const fs::path& path) {
    const fs::path top = fs::absolute(path).lexically_normal();
    const fs::path base = top.parent_path();
    std::vector<fs::directory_entry> entries;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(top, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
      entries.push_back(*it);
    if (ec) {
      Error("cannot read " + path.string() + ": " + ec.message());
      return false;
    }
    std::sort(entries.begin(), entries.end());
    bool ok = StorableName(top) && AddImageFolder(top, base);
    root_names_.insert(WideOf(top.filename()));
    for (const fs::directory_entry& e : entries) {
      if (!StorableName(e.path())) {
        ok = false;
      } else if (e.is_symlink(ec) && e.is_directory(ec)) {
        Error("link to a folder not followed: " + e.path().string());
        ok = false;
      } else if (e.is_directory(ec)) {
        ok = AddImageFolder(e.path(), base) && ok;
      } else if (e.is_regular_file(ec)) {
        const WideString dest = ImagePath(e.path().parent_path().lexically_relative(base));
        ok = burner_.ForceDirectory(dest) && Insert(dest, e.path()) && ok;
      } else {
        Error("not a regular file: " + e.path().string());
        ok = false;
      }
    }
    return ok;
  }

  static WideString ImagePath(const fs::path& relative) {
    WideString rel = WideOf(relative);
    std::replace(rel.begin(), rel.end(), u'/', u'\\');
    return u"\\" + rel;
  }

  TZIDIzizid& burner_;
  std::set<WideString> root_names_;
};

int Burn(const ImageOptions& o) {
  // The descriptors would hold a shorter ID than the one given.
  if (o.volume.size() > kJolietVolumeIdChars) {
    for (const AnsiString& problem : VolumeIdProblems(o.volume, true)) Error(AnsiToUtf8(problem));
    return kExitFailure;
  }
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
    TreeBuilder tree(*burner);
    bool added = true;
    for (const std::string& p : o.paths) added = tree.Add(p) && added;
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
