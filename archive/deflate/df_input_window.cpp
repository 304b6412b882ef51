// The encoder's input window: reading ahead, sliding and progress.
#include "archive/deflate/df_input_window.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "archive/deflate/df_tables.h"

namespace {
constexpr int32_t kMaxWindow = 32768;    // two windows must fit 16-bit positions
constexpr int64_t kProgressStep = 4096;  // bytes between progress reports
constexpr int32_t kPadding = 8;          // lets the match finder load whole words
}  // namespace

TAbDfInputWindow::TAbDfInputWindow(TStream* source, int32_t windowSize, bool deflate64, bool useCrc32,
                                   int32_t chainLimit, const TAbProgressCallback& progress,
                                   int64_t sourceSize)
    : source_(source), useCrc32_(useCrc32), checksum_(useCrc32 ? 0xFFFFFFFFu : 1u),
      chainLimit_(chainLimit), progress_(progress), sourceSize_(sourceSize) {
  // The window is a power of two of at most 32 KB, also for Deflate64, whose
  // longer matches are then limited to half the window so that a whole match
  // always fits the look-ahead.
  windowSize_ = 1024;
  while (windowSize_ < kMaxWindow && windowSize_ * 2 <= windowSize) windowSize_ *= 2;
  windowMask_ = windowSize_ - 1;
  maxMatch_ = deflate64 ? windowSize_ / 2 : detail::kMaxMatch;
  minLookAhead_ = maxMatch_ + detail::kMinMatch + 1;
  bufSize_ = 2 * windowSize_;
  buf_ = detail::DfClearedArray<uint8_t>(static_cast<size_t>(bufSize_) + kPadding);
  head_ = detail::DfClearedArray<uint16_t>(kHashSize);
  links_ = detail::DfClearedArray<uint64_t>(static_cast<size_t>(windowSize_));
  nextReport_ = (progress_ && sourceSize_ > 0) ? kProgressStep : INT64_MAX;
  Fill();
}

void TAbDfInputWindow::Fill() {
  while (more_ && end_ - cur_ < minLookAhead_) {
    if (end_ == bufSize_) Slide();
    int64_t got = source_->Read(buf_.get() + end_, bufSize_ - end_);
    if (got <= 0) {
      more_ = false;
      break;
    }
    if (useCrc32_) UpdateCrc32(checksum_, buf_.get() + end_, static_cast<size_t>(got));
    else UpdateAdler32(checksum_, buf_.get() + end_, static_cast<size_t>(got));
    end_ += static_cast<int32_t>(got);
  }
}

// Drops the oldest window size of bytes and the chain positions in them.
void TAbDfInputWindow::Slide() {
  int32_t w = windowSize_;
  std::memmove(buf_.get(), buf_.get() + w, static_cast<size_t>(end_ - w));
  cur_ -= w;
  end_ -= w;
  base_ += w;
  auto rebase = [w](uint16_t v) { return static_cast<uint16_t>(v >= w ? v - w : 0); };
  std::transform(head_.get(), head_.get() + kHashSize, head_.get(), rebase);
  // All lanes of a link at once: a position is below 2w, so one at or past w
  // has the w bit set and loses it; the others become 0 (none).
  const uint64_t wLanes = 0x0001000100010001u * static_cast<uint64_t>(w);
  const int shift = std::countr_zero(static_cast<uint32_t>(w));
  std::transform(links_.get(), links_.get() + windowSize_, links_.get(), [wLanes, shift](uint64_t link) {
    uint64_t kept = link & wLanes;
    return (link ^ kept) & ((kept >> shift) * 0xFFFF);
  });
}

void TAbDfInputWindow::Advance(int32_t count, int32_t hashCount) {
  detail::DfAssert(count == hashCount || count == hashCount + 1,
                   "TAbDfInputWindow.Advance: the parameters are plain wrong");
  detail::DfAssert(count <= end_ - cur_, "TAbDfInputWindow.Advance: seem to be advancing into the unknown");
  int32_t p = cur_ + (count - hashCount);
  for (int32_t stop = cur_ + count; p < stop; ++p) Insert(p);
  cur_ += count;
  Consumed(count);
  if (end_ - cur_ < minLookAhead_ && more_) Fill();
}

void TAbDfInputWindow::ReportProgress() {
  nextReport_ = (consumed_ / kProgressStep + 1) * kProgressStep;
  progress_(static_cast<int32_t>(std::lrint(static_cast<double>(consumed_) * 100.0 / sourceSize_)));
}
