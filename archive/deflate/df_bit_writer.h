// TAbDfOutBitStream: the encoder's bit output. Bits are gathered least
// significant first in a 64-bit accumulator and stored as 32-bit little-endian
// words into a 16 KB buffer that goes to the destination when full.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/rtl/streams.h"

class TAbDfOutBitStream {
public:
  explicit TAbDfOutBitStream(TStream* dest);
  TAbDfOutBitStream(const TAbDfOutBitStream&) = delete;
  TAbDfOutBitStream& operator=(const TAbDfOutBitStream&) = delete;

  // Appends the low count bits of bits (count 1..32; no higher bits set).
  void WriteBits(uint32_t bits, int count) {
    acc_ |= static_cast<uint64_t>(bits) << accBits_;
    accBits_ += count;
    if (accBits_ >= 32) {
      uint32_t word = static_cast<uint32_t>(acc_);
      std::memcpy(buffer_.data() + fill_, &word, 4);
      fill_ += 4;
      acc_ >>= 32;
      accBits_ -= 32;
      if (fill_ >= kBufferSize) EmptyBuffer();
    }
  }
  // Completes the current byte with zero bits.
  void AlignToByte();
  // Writes bytes on a byte boundary, handing everything buffered to the destination.
  void WriteBuffer(const void* buffer, size_t count);
  // Completes the last byte and writes every remaining byte.
  void Finish();

private:
  static constexpr size_t kBufferSize = 16384;
  void FlushWholeBytes();
  void EmptyBuffer();
  void WriteOut(const void* data, size_t count);

  TStream* dest_;
  std::vector<uint8_t> buffer_;
  size_t fill_ = 0;
  uint64_t acc_ = 0;
  int accBits_ = 0;
};
