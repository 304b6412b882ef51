// The Deflate format's fixed tables and the length/distance symbol translator.
#include "archive/deflate/df_tables.h"

#include <array>

namespace detail {

const uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const uint8_t kLengthExtra[31] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0, 0, 0};
const uint32_t kDistBase[32] = {1,    2,    3,    4,    5,    7,     9,     13,    17,    25,   33,
                                49,   65,   97,   129,  193,  257,   385,   513,   769,   1025, 1537,
                                2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577, 32769, 49153};
const uint8_t kDistExtra[32] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,  6,
                                7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 14, 14};
const uint8_t kCodeLenOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

namespace {

struct TTranslator {
  std::array<uint8_t, 256> lengthSymbol{};  // symbol - 257, by length - 3
  std::array<uint8_t, 256> nearDist{};      // by distance - 1, distances 1..256
  std::array<uint8_t, 256> farDist{};       // by (distance - 1) >> 7, distances 257..32768
  TTranslator() {
    for (int sym = 0; sym < 28; ++sym)
      for (int len = kLengthBase[sym]; len < kLengthBase[sym] + (1 << kLengthExtra[sym]); ++len)
        lengthSymbol[len - 3] = static_cast<uint8_t>(sym);
    lengthSymbol[255] = 28;
    for (int sym = 0; sym < 30; ++sym)
      for (uint32_t d = kDistBase[sym]; d < kDistBase[sym] + (1u << kDistExtra[sym]); ++d) {
        if (d <= 256) nearDist[d - 1] = static_cast<uint8_t>(sym);
        else farDist[(d - 1) >> 7] = static_cast<uint8_t>(sym);
      }
  }
};

const TTranslator kTranslator;

TAbDfDecodeHuffmanTree MakeStaticTree(bool literals) {
  uint8_t lengths[kStaticLitLenSymbols];
  int count = literals ? kStaticLitLenSymbols : kDist64Symbols;
  for (int i = 0; i < count; ++i)
    lengths[i] = !literals ? 5 : i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
  TAbDfDecodeHuffmanTree tree(count, TAbHuffmanUsage::huBoth, 15);
  tree.Build(lengths, 0, count, literals ? kLengthExtra : kDistExtra, literals ? 257 : 0);
  return tree;
}

}  // namespace

int LengthSymbol(int length) { return 257 + kTranslator.lengthSymbol[length - 3]; }

int DistanceSymbol(int distance) {
  if (distance <= 256) return kTranslator.nearDist[distance - 1];
  if (distance <= 32768) return kTranslator.farDist[(distance - 1) >> 7];
  return distance <= 49152 ? 30 : 31;
}

const TAbDfDecodeHuffmanTree& StaticLitLenTree() {
  static const TAbDfDecodeHuffmanTree tree = MakeStaticTree(true);
  return tree;
}

const TAbDfDecodeHuffmanTree& StaticDistTree() {
  static const TAbDfDecodeHuffmanTree tree = MakeStaticTree(false);
  return tree;
}

}  // namespace detail

