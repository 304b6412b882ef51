// TAbDfOutputWindow: the decoder's output. Decoded bytes go into a buffer;
// whenever it reaches the write point, all but the last window of it (kept for
// matches) goes to the destination (or is only counted when testing) and that
// window moves down. OutputLimit stops the run after the token that reaches it.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>

#include "archive/deflate/df_base.h"

class TAbDfOutputWindow {
public:
  TAbDfOutputWindow(TStream* dest, bool testOnly, bool useCrc32, int64_t outputLimit, bool deflate64);
  // Writes out what is still buffered (errors are not raised from here).
  ~TAbDfOutputWindow();
  TAbDfOutputWindow(const TAbDfOutputWindow&) = delete;
  TAbDfOutputWindow& operator=(const TAbDfOutputWindow&) = delete;

  // Room for any single token is always there after Check().
  uint8_t* Cursor() { return buf_.get() + pos_; }
  void PutByte(uint8_t b) { buf_[pos_++] = b; }
  // True when distance reaches before the first byte of the output.
  bool TooFar(uint32_t distance) const { return distance > pos_; }
  void CopyMatch(uint32_t length, uint32_t distance) {
    CopyMatchAt(buf_.get() + pos_, length, distance);
    pos_ += length;
  }
  // Copies a match to dest; may write up to kCopyOver bytes past it (the
  // buffer has room). The first 32 bytes are copied whatever the length, as
  // most matches are that short. Overlapping matches (distance < length)
  // repeat their source, so words are copied in order, and a distance under
  // 8 bytes first lays out a run of whole periods at least a word long.
  static constexpr size_t kCopyOver = 32;
  static void CopyMatchAt(uint8_t* dest, uint32_t length, uint32_t distance) {
    const uint8_t* src = dest - distance;
    uint8_t* end = dest + length;
    if (distance >= 16) {
      std::memcpy(dest, src, 16);
      std::memcpy(dest + 16, src + 16, 16);
      for (dest += 32, src += 32; dest < end; dest += 16, src += 16) std::memcpy(dest, src, 16);
      return;
    }
    if (distance >= 8) {
      for (int i = 0; i < 32; i += 8) CopyWord(dest + i, src + i);
      for (dest += 32, src += 32; dest < end; dest += 8, src += 8) CopyWord(dest, src);
      return;
    }
    if (distance == 1) {
      uint64_t run = src[0] * uint64_t{0x0101010101010101};
      for (int i = 0; i < 32; i += 8) std::memcpy(dest + i, &run, 8);
      for (dest += 32; dest < end; dest += 8) std::memcpy(dest, &run, 8);
      return;
    }
    static constexpr uint8_t kPeriods[8] = {0, 8, 8, 9, 8, 10, 12, 14};
    uint32_t period = kPeriods[distance];
    for (uint32_t i = 0; i < period; ++i) dest[i] = src[i];
    for (dest += period; dest < end; dest += 8) CopyWord(dest, dest - period);
  }
  // Called after each token: slides at the write point, stops at the limit.
  void Check() {
    if (pos_ >= stopAt_) Stop();
  }
  // Stored data goes straight into the buffer: up to Room() bytes at Cursor(),
  // then Commit with their count (which slides or stops like a token).
  size_t Room() const { return stopAt_ - pos_; }
  void Commit(size_t count) {
    pos_ += count;
    Check();
  }

  // The decoder's fast loop writes through a local pointer while it is below
  // limit, where no token can reach the write point or the output limit.
  struct TFastOut {
    uint8_t* base;
    uint8_t* next;
    uint8_t* limit;
  };
  TFastOut TakeFast() {
    uint8_t* base = buf_.get();
    return {base, base + pos_, base + (stopAt_ > maxMatch_ ? stopAt_ - maxMatch_ : 0)};
  }
  void PutFast(const uint8_t* next) { pos_ = static_cast<size_t>(next - buf_.get()); }

  int64_t OutputCount() const { return passed_ + static_cast<int64_t>(pos_); }
  // Writes every buffered byte and returns the checksum of all output.
  uint32_t Checksum();

private:
  void Stop();
  void Slide();
  void PassOut(size_t count);
  void UpdateStopAt();
  static void CopyWord(uint8_t* dest, const uint8_t* src) {
    uint64_t w;
    std::memcpy(&w, src, 8);
    std::memcpy(dest, &w, 8);
  }

  TStream* dest_;
  bool testOnly_, useCrc32_;
  uint32_t checksum_;
  int64_t outputLimit_;
  // Left uninitialised: only written bytes are ever read or passed out, and
  // clearing the whole buffer was most of the cost of inflating a small member.
  std::unique_ptr<uint8_t[]> buf_;
  size_t pos_ = 0;
  size_t flushed_ = 0;  // bytes at the buffer start already written out
  size_t writePoint_;
  size_t history_;  // bytes kept for matches when the buffer slides
  size_t maxMatch_;
  size_t stopAt_ = 0;
  int64_t passed_ = 0;  // bytes moved out of the buffer
};
