// The token buffer of one block and its encoding.
#include "archive/deflate/df_lz_stream.h"

#include <algorithm>

#include "archive/deflate/df_exceptions.h"

using namespace detail;

TAbDfLZStream::TAbDfLZStream(bool deflate64)
    : deflate64_(deflate64),
      litLen_(std::make_unique_for_overwrite<uint16_t[]>(kTokenRoom)),
      dist_(std::make_unique_for_overwrite<uint16_t[]>(kTokenRoom)) {
  Clear(0);
}

void TAbDfLZStream::Clear(int64_t startOffset) {
  std::fill(std::begin(litCounts_), std::end(litCounts_), 0);
  std::fill(std::begin(distCounts_), std::end(distCounts_), 0);
  litCounts_[kEndOfBlock] = 1;
  count_ = literals_ = matches_ = 0;
  storedSize_ = 0;
  startOffset_ = startOffset;
}

// A block that already compresses to less than half its size ends at each
// 8,192-token mark, so that the next block's codes fit its own data.
bool TAbDfLZStream::EndsEarly() const {
  if (matches_ >= literals_) return false;
  int64_t bits = 13 * int64_t{matches_} + 8 * int64_t{literals_};
  for (int sym = 4; sym < kDist64Symbols; ++sym) bits += int64_t{distCounts_[sym]} * kDistExtra[sym];
  return bits / 8 < storedSize_ / 2;
}

void TAbDfLZStream::Encode(TAbDfOutBitStream& out, const TAbDfDecodeHuffmanTree& litTree,
                           const TAbDfDecodeHuffmanTree& distTree) const {
  const uint32_t* lit = litTree.EncodeTable();
  const uint32_t* dist = distTree.EncodeTable();
  for (int32_t i = 0; i < count_; ++i) {
    if (dist_[i] == 0) {
      uint32_t e = lit[litLen_[i]];
      out.WriteBits(e & 0xFFFF, (e >> 16) & 0xFF);
      continue;
    }
    int32_t length = litLen_[i] + kMinMatch;
    int sym = LengthSymbol(length);
    uint32_t e = lit[sym];
    int codeLen = (e >> 16) & 0xFF;
    int extra = LengthExtraBits(sym);
    uint32_t base = (sym == 285 && deflate64_) ? kMinMatch : kLengthBase[sym - 257];
    uint32_t extraValue = static_cast<uint32_t>(length) - base;
    out.WriteBits((e & 0xFFFF) | (extraValue << codeLen), codeLen + extra);
    int32_t distance = dist_[i];
    int dsym = DistanceSymbol(distance);
    DfAssert(dsym < kDistSymbols || deflate64_,
             "TAbDfLZStream.Encode: a Deflate64 distance symbol has been generated for Deflate");
    uint32_t d = dist[dsym];
    int dLen = (d >> 16) & 0xFF;
    out.WriteBits((d & 0xFFFF) | ((distance - kDistBase[dsym]) << dLen), dLen + kDistExtra[dsym]);
  }
}
