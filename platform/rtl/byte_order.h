// Little-endian fields in byte buffers, as archive and disc image formats
// store their numbers whatever the machine's own order.
#pragma once

#include <cstdint>

inline uint16_t GetLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t GetLE32(const uint8_t* p) { return GetLE16(p) | (uint32_t{GetLE16(p + 2)} << 16); }
inline void PutLE16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutLE32(uint8_t* p, uint32_t v) {
  PutLE16(p, static_cast<uint16_t>(v));
  PutLE16(p + 2, static_cast<uint16_t>(v >> 16));
}
