// Building the decoder's tables from a block's code lengths: canonical codes
// in order of length, short codes repeated over every main-table slot they
// prefix, long ones grouped by their first bits into sub-tables sized for the
// longest code of the group.
#include "archive/deflate/df_decode_table.h"

#include <algorithm>
#include <array>

#include "archive/deflate/df_tables.h"

namespace detail {
namespace {

constexpr int kMaxBits = 15;

// What a symbol decodes to, without its code length: flags, base value and
// extra-bit count (in the bits field; the code length is added per code).
// Reverses the low count bits of code (at most 16): the stream sends codes
// from their first bit, which the accumulator holds in its lowest bit.
constexpr auto kReversedBytes = [] {
  std::array<uint8_t, 256> r{};
  for (int i = 0; i < 256; ++i)
    for (int b = 0; b < 8; ++b) r[i] |= static_cast<uint8_t>(((i >> b) & 1) << (7 - b));
  return r;
}();
uint32_t Reversed(uint32_t code, int count) {
  return ((kReversedBytes[code & 0xFF] << 8) | kReversedBytes[(code >> 8) & 0xFF]) >> (16 - count);
}

uint32_t ValueEntry(uint32_t base, uint32_t extra) { return (base << 16) | extra; }

uint32_t LitLenInfo(int sym, bool deflate64) {
  if (sym < 256) return (static_cast<uint32_t>(sym) << 16) | kDfLiteral;
  if (sym == kEndOfBlock) return kDfEndOfBlock;
  if (sym > 285) return kDfInvalid;
  if (deflate64 && sym == 285) return ValueEntry(kMinMatch, 16);  // lengths 3..65,538
  return ValueEntry(kLengthBase[sym - 257], kLengthExtra[sym - 257]);
}

uint32_t DistInfo(int sym, bool deflate64) {
  if (sym >= 30 && !deflate64) return kDfInvalid;
  return ValueEntry(kDistBase[sym], kDistExtra[sym]);
}

template <typename TInfo>
void Build(uint32_t* table, int mainBits, const uint8_t* lengths, int count, TInfo info) {
  int lengthCount[kMaxBits + 1] = {};
  for (int i = 0; i < count; ++i) ++lengthCount[lengths[i]];
  lengthCount[0] = 0;
  int start[kMaxBits + 2] = {};
  for (int len = 1; len <= kMaxBits; ++len) start[len + 1] = start[len] + lengthCount[len];
  uint16_t sorted[288];
  for (int sym = 0; sym < count; ++sym)
    if (lengths[sym] != 0) sorted[start[lengths[sym]]++] = static_cast<uint16_t>(sym);

  // A complete code fills every slot; only an incomplete one leaves gaps.
  const uint32_t mainSize = 1u << mainBits;
  uint32_t space = 0;
  for (int len = 1; len <= kMaxBits; ++len) space += static_cast<uint32_t>(lengthCount[len]) << (kMaxBits - len);
  bool complete = space == 1u << kMaxBits;
  if (!complete) std::fill(table, table + mainSize, kDfInvalid);
  uint32_t code = 0;  // the canonical code, most significant bit first
  uint32_t next = mainSize;
  uint32_t prefix = ~0u, subBase = 0;
  int subBits = 0, i = 0;
  for (int len = 1; len <= kMaxBits; code <<= 1, ++len)
    for (int k = 0; k < lengthCount[len]; ++k, ++code) {
      uint32_t entry = info(sorted[i++]) + static_cast<uint32_t>(len) * 0x101;
      if (len <= mainBits) {
        for (uint32_t j = Reversed(code, len); j < mainSize; j += 1u << len) table[j] = entry;
        continue;
      }
      int tail = len - mainBits;
      if (code >> tail != prefix) {
        // A new group: its sub-table is as deep as the code space of the
        // prefix is filled by the codes still to place, longest last.
        prefix = code >> tail;
        subBits = tail;
        int left = 1 << tail, l = len, remaining = lengthCount[len] - k;
        while ((left -= remaining) > 0 && l < kMaxBits) {
          ++l;
          ++subBits;
          left <<= 1;
          remaining = lengthCount[l];
        }
        subBase = next;
        next += 1u << subBits;
        if (!complete) std::fill(table + subBase, table + next, kDfInvalid);
        table[Reversed(prefix, mainBits)] = (subBase << 16) | (static_cast<uint32_t>(subBits) << 8) | kDfSubTable;
      }
      uint32_t low = code & ((1u << tail) - 1);
      for (uint32_t j = Reversed(low, tail); j < 1u << subBits; j += 1u << tail) table[subBase + j] = entry;
    }
}

TDfDecodeTables MakeStatic(bool deflate64) {
  uint8_t lengths[kStaticLitLenSymbols];
  for (int i = 0; i < kStaticLitLenSymbols; ++i) lengths[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
  TDfDecodeTables t;
  BuildLitLenTable(t.litLen, lengths, kStaticLitLenSymbols, deflate64);
  std::fill(lengths, lengths + kDist64Symbols, 5);
  BuildDistTable(t.dist, lengths, kDist64Symbols, deflate64);
  return t;
}

}  // namespace

void BuildLitLenTable(uint32_t* table, const uint8_t* lengths, int count, bool deflate64) {
  Build(table, kDfLitLenBits, lengths, count, [deflate64](int sym) { return LitLenInfo(sym, deflate64); });
}

void BuildDistTable(uint32_t* table, const uint8_t* lengths, int count, bool deflate64) {
  Build(table, kDfDistBits, lengths, count, [deflate64](int sym) { return DistInfo(sym, deflate64); });
}

const TDfDecodeTables& StaticDecodeTables(bool deflate64) {
  static const TDfDecodeTables plain = MakeStatic(false);
  static const TDfDecodeTables wide = MakeStatic(true);
  return deflate64 ? wide : plain;
}

}  // namespace detail
