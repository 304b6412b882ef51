// The decoder's bit input: buffered reads, the end of the data, progress, and
// returning unread bytes to the source.
#include "archive/deflate/df_in_bit_stream.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {
constexpr size_t kReadSize = 65536;
}  // namespace

void ThrowNoMoreData(const char* operation) {
  throw EAbInternalInflateError(std::string("no more compressed data in stream [") + operation + "]");
}

TAbDfInBitStream::TAbDfInBitStream(TStream* source, const TAbProgressCallback& progress, int64_t sourceSize)
    : source_(source),
      // Not cleared: no byte at or past end_ is ever read, and clearing 64 KB
      // per stream was most of the work for small members.
      buf_(detail::DfSpareBuffers::Take(kReadSize + 8)),
      progress_(progress),
      sourceSize_(sourceSize) {
  detail::DfAssert(source != nullptr, "TAbDfInBitStream.Create: Cannot create a bit stream wrapping a nil stream");
}

TAbDfInBitStream::~TAbDfInBitStream() {
  detail::DfSpareBuffers::Give(std::move(buf_), kReadSize + 8);
  int64_t unread = static_cast<int64_t>(end_ - pos_) + accBits_ / 8 - overrun_;
  if (unread <= 0) return;
  try {
    source_->Seek(-unread, soCurrent);
  } catch (...) {
    // A source that cannot seek back keeps its position; the decoded data stands.
  }
}

bool TAbDfInBitStream::FillBuffer() {
  size_t left = end_ - pos_;
  std::memmove(buf_.get(), buf_.get() + pos_, left);
  pos_ = 0;
  end_ = left;
  int64_t got = source_->Read(buf_.get() + end_, static_cast<int64_t>(kReadSize - end_));
  if (got <= 0) return false;
  end_ += static_cast<size_t>(got);
  bytesRead_ += got;
  if (progress_ && sourceSize_ > 0)
    progress_(static_cast<int32_t>(std::lrint(static_cast<double>(bytesRead_) * 100.0 / sourceSize_)));
  return true;
}

void TAbDfInBitStream::RefillSlow() {
  if (overrun_ == 0 && FillBuffer() && end_ - pos_ >= 8) {
    Refill();
    return;
  }
  while (accBits_ <= 56) {
    // A short read is not the end; only a read that returns nothing is.
    if (pos_ == end_ && (overrun_ > 0 || !FillBuffer())) ++overrun_;
    else acc_ |= static_cast<uint64_t>(buf_[pos_++]) << accBits_;
    accBits_ += 8;
  }
}

uint32_t TAbDfInBitStream::ReadBits(int count, const char* cause) {
  if (accBits_ < count) Refill();
  uint32_t v = static_cast<uint32_t>(acc_ & ((uint64_t{1} << count) - 1));
  Discard(count);
  if (Overran()) ThrowNoMoreData(cause);
  return v;
}

void TAbDfInBitStream::ReadBuffer(uint8_t* dest, size_t count) {
  detail::DfAssert((accBits_ & 7) == 0,
                   "TAbDfInBitStream.ReadBuffer. cannot read a buffer unless the stream is byte-aligned");
  while (count > 0 && accBits_ > overrun_ * 8) {
    *dest++ = static_cast<uint8_t>(acc_);
    Discard(8);
    --count;
  }
  // Bits above the valid ones may be preloaded copies of the bytes read below.
  acc_ &= (uint64_t{1} << accBits_) - 1;
  while (count > 0) {
    if (pos_ == end_ && (overrun_ > 0 || !FillBuffer())) ThrowNoMoreData("TAbDfInBitStream.ReadBuffer");
    size_t n = std::min(count, end_ - pos_);
    std::memcpy(dest, buf_.get() + pos_, n);
    pos_ += n;
    dest += n;
    count -= n;
  }
}
