// CRC-32 (reflected, polynomial 0xEDB88320) and Adler-32. CRC-32 runs over every
// byte the engine reads or writes, so it works on eight bytes per step with
// eight derived tables.
#include <array>
#include <cstring>

#include "archive/deflate/df_base.h"

namespace {

using TCrcTables = std::array<std::array<uint32_t, 256>, 8>;

TCrcTables MakeCrcTables() {
  TCrcTables t{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[0][n] = c;
  }
  for (uint32_t n = 0; n < 256; ++n)
    for (int k = 1; k < 8; ++k) t[k][n] = t[0][t[k - 1][n] & 0xFF] ^ (t[k - 1][n] >> 8);
  return t;
}

const TCrcTables kCrc = MakeCrcTables();

// Largest byte count whose Adler-32 sums cannot overflow 32 bits before reduction.
constexpr size_t kAdlerChunk = 5552;
constexpr uint32_t kAdlerBase = 65521;

}  // namespace

uint32_t Crc32Step(uint32_t crc, uint8_t byte) {
  return kCrc[0][(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

void UpdateCrc32(uint32_t& crc, const void* buffer, size_t count) {
  const uint8_t* p = static_cast<const uint8_t*>(buffer);
  uint32_t c = crc;
  for (; count >= 8; count -= 8, p += 8) {
    uint32_t lo, hi;
    std::memcpy(&lo, p, 4);
    std::memcpy(&hi, p + 4, 4);
    lo ^= c;
    c = kCrc[7][lo & 0xFF] ^ kCrc[6][(lo >> 8) & 0xFF] ^ kCrc[5][(lo >> 16) & 0xFF] ^
        kCrc[4][lo >> 24] ^ kCrc[3][hi & 0xFF] ^ kCrc[2][(hi >> 8) & 0xFF] ^
        kCrc[1][(hi >> 16) & 0xFF] ^ kCrc[0][hi >> 24];
  }
  for (; count > 0; --count) c = Crc32Step(c, *p++);
  crc = c;
}

void UpdateAdler32(uint32_t& adler, const void* buffer, size_t count) {
  const uint8_t* p = static_cast<const uint8_t*>(buffer);
  uint32_t a = adler & 0xFFFF, b = adler >> 16;
  while (count > 0) {
    size_t n = count < kAdlerChunk ? count : kAdlerChunk;
    count -= n;
    for (; n > 0; --n) {
      a += *p++;
      b += a;
    }
    a %= kAdlerBase;
    b %= kAdlerBase;
  }
  adler = (b << 16) | a;
}
