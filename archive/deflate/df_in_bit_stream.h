// TAbDfInBitStream: the decoder's bit input. Bytes come from the source in 64 KB
// reads and go into a 64-bit accumulator eight at a time; past the end of the
// data the accumulator is fed zero bytes, which are counted so that using them
// is reported as truncated data and they are never given back to the source.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>

#include "archive/deflate/df_base.h"

class TAbDfInBitStream {
public:
  TAbDfInBitStream(TStream* source, const TAbProgressCallback& progress, int64_t sourceSize);
  // Gives back to the source the bytes read but not used.
  ~TAbDfInBitStream();
  TAbDfInBitStream(const TAbDfInBitStream&) = delete;
  TAbDfInBitStream& operator=(const TAbDfInBitStream&) = delete;

  // Makes at least 56 bits available (zeros past the end of the data).
  void Refill() {
    if (end_ - pos_ >= 8) {
      uint64_t word;
      std::memcpy(&word, buf_.get() + pos_, 8);
      acc_ |= word << accBits_;
      pos_ += (63 - accBits_) >> 3;
      accBits_ |= 56;
      return;
    }
    RefillSlow();
  }
  uint64_t Bits() const { return acc_; }
  int AvailableBits() const { return accBits_; }
  void Discard(int count) {
    acc_ >>= count;
    accBits_ -= count;
  }
  // True once bits past the end of the data have been taken.
  bool Overran() const { return overrun_ > 0 && accBits_ < overrun_ * 8; }
  // True once the end of the data is in the accumulator.
  bool AtEnd() const { return overrun_ > 0; }

  // The decoder's fast loop keeps the accumulator and read pointer in locals:
  // it takes them out, refills from the buffer while next < limit (at least
  // kFastMargin unread bytes, so no end-of-data checks), and puts them back.
  static constexpr size_t kFastMargin = 32;
  struct TFastState {
    uint64_t acc;
    int bits;
    const uint8_t* next;
    const uint8_t* limit;
  };
  TFastState TakeFast() const {
    const uint8_t* base = buf_.get();
    return {acc_, accBits_, base + pos_, base + (end_ > kFastMargin ? end_ - kFastMargin : 0)};
  }
  void PutFast(const TFastState& s) {
    acc_ = s.acc;
    accBits_ = s.bits;
    pos_ = static_cast<size_t>(s.next - buf_.get());
  }

  // Takes count (1..32) bits; cause names the operation for a truncation error.
  uint32_t ReadBits(int count, const char* cause);
  void AlignToByte() { Discard(accBits_ & 7); }
  // Copies count bytes on a byte boundary (whole accumulator bytes first).
  void ReadBuffer(uint8_t* dest, size_t count);

private:
  void RefillSlow();
  bool FillBuffer();

  TStream* source_;
  std::unique_ptr<uint8_t[]> buf_;
  size_t pos_ = 0, end_ = 0;
  uint64_t acc_ = 0;
  int accBits_ = 0;
  int overrun_ = 0;  // zero bytes fed past the end of the data
  const TAbProgressCallback& progress_;
  int64_t sourceSize_;
  int64_t bytesRead_ = 0;
};

[[noreturn]] void ThrowNoMoreData(const char* operation);
