// CRC-32 (reflected, polynomial 0xEDB88320) and Adler-32. CRC-32 runs over every
// byte the engine reads or writes: long buffers are folded with carry-less
// multiplication where the processor has it (256 bytes per step in 512-bit
// registers, else 64), the rest goes eight bytes per step through eight
// derived tables.
#include <array>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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

#if defined(__x86_64__)
// Folding constants of the reflected polynomial: x^(16*128+32), x^(16*128-32),
// x^(4*128+32), x^(4*128-32), x^(128+32), x^(128-32), x^64 (mod P), then P and
// its Barrett constant.
alignas(16) const uint64_t kFold16[2] = {0x011542778a, 0x01322d1430};
alignas(16) const uint64_t kFold4[2] = {0x0154442bd4, 0x01c6e41596};
alignas(16) const uint64_t kFold1[2] = {0x01751997d0, 0x00ccaa009e};
alignas(16) const uint64_t kFold64[2] = {0x0163cd6124, 0};
alignas(16) const uint64_t kBarrett[2] = {0x01db710641, 0x01f7011641};

#define VX_CLMUL __attribute__((target("pclmul,sse4.1")))
#define VX_CLMUL512 __attribute__((target("pclmul,sse4.1,avx512f,vpclmulqdq")))

VX_CLMUL inline __m128i Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

// Folds the 128 bits of x forward by the distance that k encodes onto next.
VX_CLMUL inline __m128i Fold(__m128i x, __m128i k, __m128i next) {
  __m128i lo = _mm_clmulepi64_si128(x, k, 0x00);
  __m128i hi = _mm_clmulepi64_si128(x, k, 0x11);
  return _mm_xor_si128(_mm_xor_si128(hi, lo), next);
}

// The CRC register from the folded state of the 64 bytes before p (x1 the
// first 16 of them) and the count bytes at p (a multiple of 16).
VX_CLMUL uint32_t Crc32Reduce(__m128i x1, __m128i x2, __m128i x3, __m128i x4, const uint8_t* p, size_t count) {
  __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold1));
  x1 = Fold(x1, k, x2);
  x1 = Fold(x1, k, x3);
  x1 = Fold(x1, k, x4);
  for (; count >= 16; p += 16, count -= 16) x1 = Fold(x1, k, Load(p));

  // 128 bits to 64, then Barrett reduction to 32.
  __m128i mask32 = _mm_setr_epi32(~0, 0, ~0, 0);
  __m128i x = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, k, 0x10));
  k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kFold64));
  x = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x, mask32), k, 0x00), _mm_srli_si128(x, 4));
  k = _mm_load_si128(reinterpret_cast<const __m128i*>(kBarrett));
  __m128i t = _mm_and_si128(_mm_clmulepi64_si128(_mm_and_si128(x, mask32), k, 0x10), mask32);
  x = _mm_xor_si128(x, _mm_clmulepi64_si128(t, k, 0x00));
  return static_cast<uint32_t>(_mm_extract_epi32(x, 1));
}

// The CRC register after count bytes (at least 64, a multiple of 16), 64
// bytes per step in four 128-bit lanes.
VX_CLMUL uint32_t Crc32Folded(uint32_t crc, const uint8_t* p, size_t count) {
  __m128i x1 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
  __m128i x2 = Load(p + 16), x3 = Load(p + 32), x4 = Load(p + 48);
  __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold4));
  for (p += 64, count -= 64; count >= 64; p += 64, count -= 64) {
    x1 = Fold(x1, k, Load(p));
    x2 = Fold(x2, k, Load(p + 16));
    x3 = Fold(x3, k, Load(p + 32));
    x4 = Fold(x4, k, Load(p + 48));
  }
  return Crc32Reduce(x1, x2, x3, x4, p, count);
}

VX_CLMUL512 inline __m512i Load512(const uint8_t* p) { return _mm512_loadu_si512(p); }
// A folding constant in each 128-bit lane.
VX_CLMUL512 inline __m512i Constant512(const uint64_t* k) {
  auto lo = static_cast<long long>(k[0]), hi = static_cast<long long>(k[1]);
  return _mm512_set4_epi64(hi, lo, hi, lo);
}

VX_CLMUL512 inline __m512i Fold(__m512i x, __m512i k, __m512i next) {
  __m512i lo = _mm512_clmulepi64_epi128(x, k, 0x00);
  __m512i hi = _mm512_clmulepi64_epi128(x, k, 0x11);
  return _mm512_ternarylogic_epi64(lo, hi, next, 0x96);  // lo ^ hi ^ next
}

// The same with 512-bit registers, 256 bytes per step (count at least 256):
// sixteen 128-bit lanes folded into four, then into the four of the 128-bit
// code above.
VX_CLMUL512 uint32_t Crc32Folded512(uint32_t crc, const uint8_t* p, size_t count) {
  __m512i x1 = _mm512_xor_si512(Load512(p), _mm512_zextsi128_si512(_mm_cvtsi32_si128(static_cast<int>(crc))));
  __m512i x2 = Load512(p + 64), x3 = Load512(p + 128), x4 = Load512(p + 192);
  __m512i k = Constant512(kFold16);
  for (p += 256, count -= 256; count >= 256; p += 256, count -= 256) {
    x1 = Fold(x1, k, Load512(p));
    x2 = Fold(x2, k, Load512(p + 64));
    x3 = Fold(x3, k, Load512(p + 128));
    x4 = Fold(x4, k, Load512(p + 192));
  }
  k = Constant512(kFold4);
  x1 = Fold(x1, k, x2);
  x1 = Fold(x1, k, x3);
  x1 = Fold(x1, k, x4);
  for (; count >= 64; p += 64, count -= 64) x1 = Fold(x1, k, Load512(p));
  alignas(64) uint8_t lanes[64];
  _mm512_store_si512(lanes, x1);
  return Crc32Reduce(Load(lanes), Load(lanes + 16), Load(lanes + 32), Load(lanes + 48), p, count);
}

const bool kHaveClmul = [] {
  __builtin_cpu_init();
  return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
}();
const bool kHaveClmul512 =
    kHaveClmul && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("vpclmulqdq");
#endif

}  // namespace

uint32_t Crc32Step(uint32_t crc, uint8_t byte) {
  return kCrc[0][(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

void UpdateCrc32(uint32_t& crc, const void* buffer, size_t count) {
  const uint8_t* p = static_cast<const uint8_t*>(buffer);
  uint32_t c = crc;
#if defined(__x86_64__)
  if (kHaveClmul && count >= 64) {
    size_t folded = count & ~size_t{15};
    c = kHaveClmul512 && folded >= 256 ? Crc32Folded512(c, p, folded) : Crc32Folded(c, p, folded);
    p += folded;
    count -= folded;
  }
#endif
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
