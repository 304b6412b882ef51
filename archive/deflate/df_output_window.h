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
  // Copies a match to dest; may write up to 7 bytes past it (the buffer has room).
  static void CopyMatchAt(uint8_t* dest, uint32_t length, uint32_t distance) {
    const uint8_t* src = dest - distance;
    if (distance >= 8) {
      for (uint32_t i = 0; i < length; i += 8) {
        uint64_t w;
        std::memcpy(&w, src + i, 8);
        std::memcpy(dest + i, &w, 8);
      }
      return;
    }
    for (uint32_t i = 0; i < length; ++i) dest[i] = src[i];
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
