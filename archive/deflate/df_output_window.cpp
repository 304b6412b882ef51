// The decoder's output window: sliding, writing and the output limit.
#include "archive/deflate/df_output_window.h"

#include <algorithm>

#include "archive/deflate/df_tables.h"

namespace {
constexpr size_t kWritePoint = 262144;  // large, so that sliding moves little
// Word copies of a match run past it, and a Deflate64 length past the maximum.
constexpr size_t kSlack = TAbDfOutputWindow::kCopyOver + 16;
}  // namespace

TAbDfOutputWindow::TAbDfOutputWindow(TStream* dest, bool testOnly, bool useCrc32, int64_t outputLimit,
                                     bool deflate64)
    : dest_(dest), testOnly_(testOnly), useCrc32_(useCrc32), checksum_(useCrc32 ? 0xFFFFFFFFu : 1u),
      outputLimit_(outputLimit) {
  writePoint_ = kWritePoint;
  history_ = deflate64 ? 65536 : 32768;
  maxMatch_ = deflate64 ? detail::kMaxMatch64 : detail::kMaxMatch;
  buf_ = detail::DfSpareBuffers::Take(writePoint_ + maxMatch_ + kSlack);
  UpdateStopAt();
}

TAbDfOutputWindow::~TAbDfOutputWindow() {
  try {
    PassOut(pos_);
  } catch (...) {
    // The run already failed; its own error is the one reported.
  }
  detail::DfSpareBuffers::Give(std::move(buf_), writePoint_ + maxMatch_ + kSlack);
}

void TAbDfOutputWindow::UpdateStopAt() {
  stopAt_ = writePoint_;
  if (outputLimit_ > 0) {
    int64_t left = outputLimit_ - passed_;
    stopAt_ = std::min<size_t>(stopAt_, static_cast<size_t>(std::max<int64_t>(left, 0)));
  }
}

// Writes (or counts) buffered bytes up to count that were not written yet.
void TAbDfOutputWindow::PassOut(size_t count) {
  if (count <= flushed_) return;
  const uint8_t* p = buf_.get() + flushed_;
  size_t n = count - flushed_;
  if (useCrc32_) UpdateCrc32(checksum_, p, n);
  else UpdateAdler32(checksum_, p, n);
  flushed_ = count;
  if (!testOnly_) dest_->WriteBuffer(p, static_cast<int64_t>(n));
}

void TAbDfOutputWindow::Slide() {
  size_t drop = pos_ - history_;
  PassOut(pos_);
  std::memmove(buf_.get(), buf_.get() + drop, history_);
  pos_ = history_;
  flushed_ = history_;
  passed_ += static_cast<int64_t>(drop);
  UpdateStopAt();
}

void TAbDfOutputWindow::Stop() {
  if (outputLimit_ > 0 && OutputCount() >= outputLimit_) throw EAbPartSizedInflate("");
  while (pos_ >= writePoint_) Slide();
}

uint32_t TAbDfOutputWindow::Checksum() {
  PassOut(pos_);
  return useCrc32_ ? ~checksum_ : checksum_;
}
