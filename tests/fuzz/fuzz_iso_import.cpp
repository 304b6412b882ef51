// Fuzzes the import of an earlier session: the input is a disc's sectors from
// the first volume descriptor (sector 16) on, recorded as one complete session
// in the software drive, and the burner reads its directory tree as a second
// session's layout would. Any bytes must end in an import or a refusal, never
// in a crash, a loop or an out-of-bounds access.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include "cdwriter/aspi_transport.h"
#include "cdwriter/burner.h"
#include "cdwriter/soft_drive/soft_drive.h"
#include "cdwriter/spti_layer.h"
#include "platform/rtl/clock.h"

namespace {

constexpr uint32_t kFirstDescriptor = 16;
constexpr uint32_t kCapacity = 359847;

uint32_t SessionBlocks(size_t size) {
  return kFirstDescriptor + static_cast<uint32_t>((size + kSoftSectorBytes - 1) / kSoftSectorBytes) + 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string disc = "/tmp/fuzz_iso_" + std::to_string(getpid()) + ".iso";
  static const bool clock = (SetVirtualClock(true), true);
  (void)clock;
  {
    std::ofstream out(disc, std::ios::binary | std::ios::trunc);
    out.seekp(kFirstDescriptor * kSoftSectorBytes);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  TSoftMediumSetup medium;
  medium.disc_type = 2;
  medium.capacity = kCapacity;
  medium.sessions = {{SessionBlocks(size)}};
  medium.sector_file = disc;

  TSoftDrivePort port;
  SptiSetPort(&port);
  port.Add(0, std::make_unique<TSoftDrive>("SOFTVEND", "SOFT WRITER")).Insert(medium);
  {
    TZIDIzizid burner(nullptr);
    if (burner.InitializeASPI(true, "") && burner.DeviceList()->Count() > 0) {
      burner.SelectDevice(burner.DeviceList()->Strings(0));
      try {
        burner.ImportSessionTree(255, nullptr);
      } catch (const Exception&) {
      }
    }
  }
  ShutdownTransport();
  SptiSetPort(nullptr);
  unlink(disc.c_str());
  return 0;
}
