// The cabinet header check: a cabinet starts with a fixed 36-byte header whose
// size fields must agree with each other; a file that merely begins with the
// four signature bytes is not taken for a cabinet.
#include "archive/ab_cabinet.h"

#include <cstdint>

#include "platform/rtl/byte_order.h"
#include "platform/rtl/streams.h"

namespace {

constexpr int kCabHeaderSize = 36;
constexpr uint8_t kCabMajorVersion = 1;
constexpr uint16_t kCabKnownFlags = 0x0007;  // previous, next, reserve fields present


bool IsCabinetHeader(const uint8_t* h) {
  if (h[0] != 'M' || h[1] != 'S' || h[2] != 'C' || h[3] != 'F') return false;
  const uint32_t cabinetSize = GetLE32(h + 8);
  const uint32_t firstFileOffset = GetLE32(h + 16);
  const uint8_t majorVersion = h[25];
  const uint16_t folders = GetLE16(h + 26);
  const uint16_t files = GetLE16(h + 28);
  const uint16_t flags = GetLE16(h + 30);
  return majorVersion == kCabMajorVersion && (flags & ~kCabKnownFlags) == 0 && cabinetSize >= kCabHeaderSize &&
         firstFileOffset >= kCabHeaderSize && firstFileOffset <= cabinetSize && (files == 0 || folders > 0);
}

}  // namespace

TAbArchiveKind DetectCabinet(TStream& stream) {
  const int64_t remembered = stream.Position();
  uint8_t header[kCabHeaderSize];
  const bool whole = stream.Read(header, kCabHeaderSize) == kCabHeaderSize;
  stream.Seek(remembered, soBeginning);
  return whole && IsCabinetHeader(header) ? akCabinet : akUnknown;
}
