// The decoder's Huffman tables: one 32-bit entry per input bit pattern that
// says all a token needs — literal byte, length or distance base with its
// extra-bit count, end of block — so most tokens take a single lookup. Codes
// longer than the main table's index go through a small sub-table.
#pragma once

#include <cstdint>

namespace detail {

// Entry layout: bits 0-5 the bits the token takes in all (code and extra
// bits), so that the entry itself is the shift count that consumes it; bits
// 8-12 the code's length, or a sub-table's index bits; bits 16-31 the
// literal, the base value or the sub-table's offset; flags in bits 6, 7, 13
// and 14.
constexpr uint32_t kDfLiteral = 0x40;
constexpr uint32_t kDfSubTable = 0x80;
constexpr uint32_t kDfEndOfBlock = 0x2000;
constexpr uint32_t kDfInvalid = 0x4000;  // no code reaches here, or an unused symbol

constexpr int kDfLitLenBits = 11;  // main table index bits
constexpr int kDfDistBits = 8;

// Room for the main table and a sub-table for every symbol, more than any set
// of code lengths needs.
constexpr int kDfLitLenTableSize = (1 << kDfLitLenBits) + 288 * (1 << (15 - kDfLitLenBits));
constexpr int kDfDistTableSize = (1 << kDfDistBits) + 32 * (1 << (15 - kDfDistBits));

struct TDfDecodeTables {
  uint32_t litLen[kDfLitLenTableSize];
  uint32_t dist[kDfDistTableSize];
};

// Fills the literal/length table from count code lengths (at most 288).
void BuildLitLenTable(uint32_t* table, const uint8_t* lengths, int count, bool deflate64);
// Fills the distance table from count code lengths (at most 32).
void BuildDistTable(uint32_t* table, const uint8_t* lengths, int count, bool deflate64);
// The tables of the static block codes.
const TDfDecodeTables& StaticDecodeTables(bool deflate64);

// The entry for the input bits in acc: one lookup, two for long codes.
// Main-table lookups alone leave the sub-table step to the caller.
template <int mainBits>
inline uint32_t DfMainEntry(const uint32_t* table, uint64_t acc) {
  return table[acc & ((1u << mainBits) - 1)];
}
template <int mainBits>
inline uint32_t DfSubEntry(const uint32_t* table, uint32_t e, uint64_t acc) {
  return table[(e >> 16) + ((acc >> mainBits) & ((1u << ((e >> 8) & 0x1F)) - 1))];
}
template <int mainBits>
inline uint32_t DfLookup(const uint32_t* table, uint64_t acc) {
  uint32_t e = DfMainEntry<mainBits>(table, acc);
  if (e & kDfSubTable) [[unlikely]] e = DfSubEntry<mainBits>(table, e, acc);
  return e;
}

// The bits an entry's token takes, and its value with the extra bits in acc.
inline unsigned DfTokenBits(uint32_t e) { return e & 63; }
inline unsigned DfCodeBits(uint32_t e) { return (e >> 8) & 0x1F; }
inline uint32_t DfTokenValue(uint32_t e, uint64_t acc) {
  uint64_t extra = (acc & ((uint64_t{1} << DfTokenBits(e)) - 1)) >> DfCodeBits(e);
  return (e >> 16) + static_cast<uint32_t>(extra);
}

}  // namespace detail
