// Huffman codes of the engine: length-limited code lengths for the encoder, and
// TAbDfDecodeHuffmanTree, the canonical code of a set of lengths as an encoding
// table (code, length and extra bits per symbol) and a single-level decoding
// table indexed by the next input bits. The static trees serve both sides.
#pragma once

#include <cstdint>
#include <vector>

// Optimal code lengths of at most maxCodeLen bits for count weights (package-merge).
// A set with no or one used symbol gives that symbol (or symbol 0) length 1.
void GenerateCodeLengths(int maxCodeLen, const uint32_t* weights, int count, uint8_t* codeLengths);

enum class TAbHuffmanUsage { huEncoding = 0, huDecoding = 1, huBoth = 2 };

class TAbDfDecodeHuffmanTree {
public:
  static constexpr uint32_t kUnused = 0xFFFFFFFF;

  TAbDfDecodeHuffmanTree(int alphabetSize, TAbHuffmanUsage usage, int maxCodeLen);

  // Builds the code from count lengths starting at codeLengths[startIndex]; symbols
  // from firstExtraSymbol on take their extra-bit counts from extraBits.
  void Build(const uint8_t* codeLengths, int startIndex, int count, const uint8_t* extraBits,
             int firstExtraSymbol);

  // Decoding entry for the next LookupBitLength bits: (extra bits << 24) |
  // (code length << 16) | symbol, or kUnused where no code reaches.
  uint32_t Decode(uint32_t bits) const;
  // Encoding entry: (extra bits << 24) | (code length << 16) | bit-reversed code.
  uint32_t Encode(int symbol) const;

  int LookupBitLength() const { return lookupBitLength_; }
  const uint32_t* DecodeTable() const { return decodes_.data(); }
  const uint32_t* EncodeTable() const { return encodes_.data(); }

private:
  int alphabetSize_;
  TAbHuffmanUsage usage_;
  int maxCodeLen_;
  int lookupBitLength_ = 0;
  std::vector<uint32_t> decodes_;
  std::vector<uint32_t> encodes_;
};

enum class TDfCodeSpace { csComplete, csIncomplete, csOverSubscribed };

// How a set of code lengths fills the code space (a decoder rejects over-
// subscribed sets and accepts incomplete ones only in narrow cases).
TDfCodeSpace CheckCodeSpace(const uint8_t* codeLengths, int count);

// Reverses the low count bits of code.
uint32_t ReverseBits(uint32_t code, int count);
