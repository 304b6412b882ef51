// TAbDfOutputWindow: the decoder's output. Decoded bytes go into a buffer that
// keeps the last window of output for matches; whenever it reaches the write
// point, its oldest 32 KB go to the destination (or are only counted when
// testing) and the rest moves down. OutputLimit stops the run after the token
// that reaches it.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "archive/deflate/df_base.h"

class TAbDfOutputWindow {
public:
  TAbDfOutputWindow(TStream* dest, bool testOnly, bool useCrc32, int64_t outputLimit, bool deflate64);
  // Writes out what is still buffered (errors are not raised from here).
  ~TAbDfOutputWindow();
  TAbDfOutputWindow(const TAbDfOutputWindow&) = delete;
  TAbDfOutputWindow& operator=(const TAbDfOutputWindow&) = delete;

  // Room for any single token is always there after Check().
  uint8_t* Cursor() { return buf_.data() + pos_; }
  void PutByte(uint8_t b) { buf_[pos_++] = b; }
  // True when distance reaches before the first byte of the output.
  bool TooFar(uint32_t distance) const { return distance > pos_; }
  void CopyMatch(uint32_t length, uint32_t distance) {
    uint8_t* d = buf_.data() + pos_;
    const uint8_t* s = d - distance;
    pos_ += length;
    if (distance >= 8) {
      // Whole words; the few bytes copied past the end are overwritten later.
      for (uint32_t i = 0; i < length; i += 8) {
        uint64_t w;
        std::memcpy(&w, s + i, 8);
        std::memcpy(d + i, &w, 8);
      }
      return;
    }
    for (uint32_t i = 0; i < length; ++i) d[i] = s[i];
  }
  // Called after each token: slides at the write point, stops at the limit.
  void Check() {
    if (pos_ >= stopAt_) Stop();
  }
  // Appends stored bytes (no single-token room assumed).
  void PutBuffer(const uint8_t* data, size_t count);

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
  std::vector<uint8_t> buf_;
  size_t pos_ = 0;
  size_t flushed_ = 0;  // bytes at the buffer start already written out
  size_t writePoint_;
  size_t stopAt_ = 0;
  int64_t passed_ = 0;  // bytes moved out of the buffer
};
