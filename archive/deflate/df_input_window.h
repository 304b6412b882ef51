// TAbDfInputWindow: the encoder's sliding input window and match finder. The
// window and the look-ahead sit in one buffer of two window sizes that slides
// by one window size; hash heads and a ring of chain links hold 16-bit buffer
// positions of earlier 3-byte strings (0 = none), which keeps them in cache.
// Each link holds the next few positions of the chain, so the chain walk,
// which is bound by memory latency, needs one dependent load per few candidates.
// The hot methods are inline so that the main loop can fold them in.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "archive/deflate/df_base.h"

struct TDfMatch {
  int32_t length = 0;  // 0 = no match
  int32_t distance = 0;
  uint8_t literal = 0;  // the byte at the current position
};

class TAbDfInputWindow {
public:
  TAbDfInputWindow(TStream* source, int32_t windowSize, bool deflate64, bool useCrc32, int32_t chainLimit,
                   const TAbProgressCallback& progress, int64_t sourceSize);

  // Inserts the current position and finds the longest earlier match, longer
  // than pendingLength when a match waits for lazy evaluation.
  bool FindLongestMatch(int32_t goodMatchLength, TDfMatch& result, int32_t pendingLength) {
    const uint8_t* scan = buf_.get() + cur_;
    int32_t cand = Insert(cur_);
    int32_t maxLen = std::min(maxMatch_, end_ - cur_);
    int32_t good = std::min(goodMatchLength, maxLen);
    result.literal = scan[0];
    result.length = 0;
    int32_t best = 2;
    if (pendingLength > 0) {
      if (maxLen < pendingLength) return false;
      best = pendingLength;
    }
    int32_t chain = best < good ? chainLimit_ : chainLimit_ >> 2;
    if (chain < 1) chain = 1;
    int32_t limit = std::max(cur_ - windowSize_, 0);
    int32_t bestCand = 0;
    uint16_t start2 = Load16(scan), end2 = Load16(scan + best - 1);
    const uint8_t* const buf = buf_.get();
    // True when the candidate is a long enough match to end the search.
    auto tryCandidate = [&](int32_t at) {
      const uint8_t* m = buf + at;
      if (Load16(m + best - 1) != end2 || Load16(m) != start2) return false;
      int32_t len = MatchLength(scan, m, maxLen);
      if (len <= best) return false;
      best = len;
      bestCand = at;
      if (best >= good) return true;
      end2 = Load16(scan + best - 1);
      return false;
    };
    // One link load yields the next kLinkSpan candidates, so the walk waits on
    // memory once per span; their bytes are asked for while the current
    // candidate is checked.
    const uint64_t* const links = links_.get();
    const int32_t mask = windowMask_;
    for (bool done = false; !done && cand > limit && chain > 0;) {
      const uint64_t link = links[cand & mask];
      for (int32_t k = 0; k < kLinkSpan; ++k) __builtin_prefetch(buf + LinkBack(link, k) + best - 1);
      for (int32_t k = 0;; ++k) {
        done = tryCandidate(cand) || --chain == 0;
        cand = LinkBack(link, k);
        if (done || k + 1 == kLinkSpan) break;
        done = cand <= limit;
        if (done) break;
      }
    }
    if (best < 3 || best <= pendingLength) return false;
    result.length = best;
    result.distance = cur_ - bestCand;
    return true;
  }

  // Steps past the current position, which the match finder already inserted.
  void AdvanceByOne() {
    ++cur_;
    Consumed(1);
    if (end_ - cur_ < minLookAhead_ && more_) Fill();
  }
  // Steps count positions; inserts hashCount of them (the first one is skipped
  // when count = hashCount + 1, as the match finder inserted it already).
  void Advance(int32_t count, int32_t hashCount);

  // Bytes left from the current position.
  int32_t LookAhead() const { return end_ - cur_; }
  uint8_t CurrentByte() const { return buf_[cur_]; }
  // Offset of the current position from the first byte read.
  int64_t Position() const { return base_ + cur_; }
  uint32_t Checksum() const { return useCrc32_ ? ~checksum_ : checksum_; }
  void SetChainLimit(int32_t value) { chainLimit_ = value; }

private:
  static uint16_t Load16(const uint8_t* p) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
  }
  // Count of equal bytes of a and b, known equal in their first two, up to max.
  static int32_t MatchLength(const uint8_t* a, const uint8_t* b, int32_t max) {
    int32_t n = 2;
    for (; n + 8 <= max; n += 8) {
      uint64_t x, y;
      std::memcpy(&x, a + n, 8);
      std::memcpy(&y, b + n, 8);
      if (x != y) return n + (__builtin_ctzll(x ^ y) >> 3);
    }
    while (n < max && a[n] == b[n]) ++n;
    return n;
  }
  uint32_t Hash(int32_t p) const {
    uint32_t v;
    std::memcpy(&v, buf_.get() + p, 4);
    return ((v & 0xFFFFFF) * 0x9E3779B1u) >> (32 - kHashBits);
  }
  // Links p into its hash chain; returns the previous head (the first candidate).
  int32_t Insert(int32_t p) {
    uint32_t h = Hash(p);
    uint16_t old = head_[h];
    // The new link is the older one shifted by one position, with old nearest.
    links_[p & windowMask_] = old == 0 ? 0 : links_[old & windowMask_] << 16 | old;
    head_[h] = static_cast<uint16_t>(p);
    return old;
  }
  void Consumed(int64_t count) {
    consumed_ += count;
    if (consumed_ >= nextReport_) ReportProgress();
  }
  void Fill();
  void Slide();
  void ReportProgress();

  static constexpr int kHashBits = 15;
  static constexpr size_t kHashSize = size_t{1} << kHashBits;

  TStream* source_;
  bool useCrc32_;
  uint32_t checksum_;
  int32_t chainLimit_;
  int32_t windowSize_, windowMask_, maxMatch_, minLookAhead_;
  std::unique_ptr<uint8_t[]> buf_;
  int32_t bufSize_;
  int32_t cur_ = 0, end_ = 0;
  int64_t base_ = 0;  // offset of buf_[0] from the first byte read
  // A position's chain link: the kLinkSpan earlier positions of its hash in
  // 16-bit lanes, nearest in the lowest. A link stays valid while its position
  // is in the window.
  static constexpr int32_t kLinkSpan = 4;  // 16-bit lanes of a uint64_t
  static uint16_t LinkBack(uint64_t link, int32_t k) { return static_cast<uint16_t>(link >> (16 * k)); }
  std::unique_ptr<uint16_t[]> head_;
  std::unique_ptr<uint64_t[]> links_;
  bool more_ = true;
  const TAbProgressCallback& progress_;
  int64_t sourceSize_;
  int64_t consumed_ = 0, nextReport_;
};
