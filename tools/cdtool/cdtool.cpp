// cdtool: the CD writing library from the shell.
//   cdtool drives    lists every CD/DVD drive: its entry, device node and description
//   cdtool image [--disc cd-r|dvd+r] [--volume ID] [--boot FILE] out.iso PATH...
//                    burns the files and folders onto a blank software disc kept in out.iso
// Exit status: 0 success, 1 failure (no drive found, a failed burn), 2 wrong usage.
#include <cstdio>
#include <cstring>

#include "cdwriter/scsi_device.h"
#include "tools/cdtool/image_command.h"
#include "platform/rtl/text.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

void PrintLine(const AnsiString& text) { std::printf("%s\n", AnsiToUtf8(text).c_str()); }

int Usage() {
  std::fprintf(stderr,
               "usage: cdtool drives\n"
               "       cdtool image [--disc cd-r|dvd+r] [--volume ID] [--boot FILE] out.iso PATH...\n");
  return kExitUsage;
}

int ListDrives() {
  TSCSIDevice* device = new TSCSIDevice(nullptr);
  int status = kExitFailure;
  if (device->InitializeASPI(true, "") && device->DeviceList()->Count() > 0) {
    // Selecting reads the drive, so copy the entries first.
    TStringList entries;
    entries.AddStrings(device->DeviceList());
    for (int i = 0; i < entries.Count(); ++i) {
      device->SelectDevice(entries.Strings(i));
      PrintLine(entries.Strings(i) + "\t" + device->DevicePath() + "\t" + device->DeviceDescription());
    }
    status = 0;
  } else {
    PrintLine("no drive found");
  }
  device->Free();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "drives") == 0) return ListDrives();
  if (argc >= 2 && std::strcmp(argv[1], "image") == 0) {
    const int status = RunImageCommand(argc - 2, argv + 2, kExitUsage);
    return status == kExitUsage ? Usage() : status;
  }
  return Usage();
}
