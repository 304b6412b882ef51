// TAbDfLZStream: one block's tokens (literals and length/distance matches) with
// the symbol counts the block's codes are built from, and the rule that ends a
// block. The raw bytes are not kept; a stored block re-reads them.
#pragma once

#include <cstdint>
#include <memory>

#include "archive/deflate/df_bit_writer.h"
#include "archive/deflate/df_huffman.h"
#include "archive/deflate/df_tables.h"

class TAbDfLZStream {
public:
  // A block ends after this many tokens; the buffer keeps room for the few a
  // run appends after that before the block is written.
  static constexpr int32_t kBlockTokens = 32768;
  static constexpr int32_t kTokenRoom = kBlockTokens + 4;

  explicit TAbDfLZStream(bool deflate64);

  // Each returns true when the block should end.
  bool AppendLiteral(uint8_t byte) {
    litLen_[count_] = byte;
    dist_[count_] = 0;
    ++count_;
    ++litCounts_[byte];
    ++literals_;
    ++storedSize_;
    return BlockEnds();
  }
  bool AppendMatch(int32_t length, int32_t distance) {
    litLen_[count_] = static_cast<uint16_t>(length - detail::kMinMatch);
    dist_[count_] = static_cast<uint16_t>(distance);
    ++count_;
    ++litCounts_[LengthSymbol(length)];
    ++distCounts_[detail::DistanceSymbol(distance)];
    ++matches_;
    storedSize_ += length;
    return BlockEnds();
  }
  // Empties the block; the next one starts at the given source offset.
  void Clear(int64_t startOffset);

  // Writes the tokens with the given trees (the end-of-block code is not included).
  void Encode(TAbDfOutBitStream& out, const TAbDfDecodeHuffmanTree& litTree,
              const TAbDfDecodeHuffmanTree& distTree) const;

  int LengthSymbol(int32_t length) const {
    return deflate64_ && length >= detail::kMaxMatch ? 285 : detail::LengthSymbol(length);
  }
  // Extra bits of a length symbol (symbol 285 carries 16 with Deflate64).
  int LengthExtraBits(int symbol) const {
    return symbol == 285 ? (deflate64_ ? 16 : 0) : detail::kLengthExtra[symbol - 257];
  }

  const uint32_t* LitCounts() const { return litCounts_; }
  const uint32_t* DistCounts() const { return distCounts_; }
  int64_t StoredSize() const { return storedSize_; }
  int64_t StartOffset() const { return startOffset_; }

private:
  bool BlockEnds() const {
    if ((count_ & 8191) == 0 && EndsEarly()) return true;
    return count_ >= kBlockTokens;
  }
  bool EndsEarly() const;

  bool deflate64_;
  // Tokens are written before they are read, so the buffers start
  // uninitialised: clearing them cost more than deflating a small input.
  std::unique_ptr<uint16_t[]> litLen_;  // the literal byte, or match length - 3
  std::unique_ptr<uint16_t[]> dist_;    // 0 for a literal, else the match distance
  int32_t count_ = 0, literals_ = 0, matches_ = 0;
  int64_t storedSize_ = 0, startOffset_ = 0;
  uint32_t litCounts_[detail::kLitLenSymbols] = {};
  uint32_t distCounts_[detail::kDist64Symbols] = {};
};
