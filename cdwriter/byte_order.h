// Big-endian fields of SCSI command blocks and answers, and the little-endian
// and both-byte-order fields of ISO 9660 structures.
#pragma once

#include <cstdint>

#include "platform/rtl/byte_order.h"

inline uint16_t GetBE16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }
inline uint32_t GetBE32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
inline void PutBE16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}
inline void PutBE32(uint8_t* p, uint32_t v) {
  PutBE16(p, static_cast<uint16_t>(v >> 16));
  PutBE16(p + 2, static_cast<uint16_t>(v));
}

// Both-byte-order fields of ISO 9660 structures: little-endian, then big-endian.
inline void PutBoth16(uint8_t* p, uint16_t v) {
  PutLE16(p, v);
  PutBE16(p + 2, v);
}
inline void PutBoth32(uint8_t* p, uint32_t v) {
  PutLE32(p, v);
  PutBE32(p + 4, v);
}
