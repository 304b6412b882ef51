// The fixed tables of the Deflate format: base values and extra-bit counts of the
// length and distance symbols, the symbol lookup for a length or a distance, and
// the two static trees. All are process-wide and built once.
#pragma once

#include <cstdint>

#include "archive/deflate/df_huffman.h"

namespace detail {

constexpr int kLitLenSymbols = 286;   // literal/length symbols a block may use
constexpr int kStaticLitLenSymbols = 288;
constexpr int kDistSymbols = 30;      // 32 with Deflate64
constexpr int kDist64Symbols = 32;
constexpr int kCodeLenSymbols = 19;
constexpr int kEndOfBlock = 256;
constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 258;
constexpr int kMaxMatch64 = 65536;

// Indexed by symbol - 257 (29 entries; two more for the unused symbols 286, 287).
extern const uint16_t kLengthBase[29];
extern const uint8_t kLengthExtra[31];
// Indexed by distance symbol (32 entries; 30 and 31 are Deflate64 only).
extern const uint32_t kDistBase[32];
extern const uint8_t kDistExtra[32];
// Transmission order of the code-length code lengths.
extern const uint8_t kCodeLenOrder[19];

// Length symbol (257..285) of a length 3..258.
int LengthSymbol(int length);
// Distance symbol (0..31) of a distance 1..65536.
int DistanceSymbol(int distance);

const TAbDfDecodeHuffmanTree& StaticLitLenTree();
const TAbDfDecodeHuffmanTree& StaticDistTree();

}  // namespace detail
