// Ring-buffer stream that accepts everything written and keeps the tail.
#include "archive/ab_bitbucket.h"

#include <algorithm>
#include <cstring>

#include "archive/ab_exceptions.h"

namespace {

constexpr int32_t kDefaultBucketSize = 32768;
constexpr int32_t kBucketSlack = 1024;

int32_t BucketSizeFor(int32_t size) {
  return (size == 4096 || size == 8192 || size == 32768) ? size : kDefaultBucketSize;
}

}  // namespace

TAbBitBucketStream::TAbBitBucketStream(int32_t size) : buffer_(BucketSizeFor(size) + kBucketSlack) {}

int64_t TAbBitBucketStream::Write(const void* buffer, int64_t count) {
  if (count > Capacity()) throw EAbBBSWriteTooManyBytes(count);
  if (count <= 0) return 0;
  const uint8_t* src = static_cast<const uint8_t*>(buffer);
  int64_t first = std::min(count, Capacity() - head_);
  std::memcpy(buffer_.data() + head_, src, first);
  std::memcpy(buffer_.data(), src + first, count - first);
  head_ = first < count ? count - first : head_ + first;
  if (head_ == Capacity()) head_ = 0;
  size_ += count;
  position_ = size_;
  tail_ = head_;
  return count;
}

int64_t TAbBitBucketStream::Read(void* buffer, int64_t count) {
  int64_t available = head_ >= tail_ ? head_ - tail_ : Capacity() - tail_ + head_;
  if (count > Capacity() || count > available) throw EAbBBSReadTooManyBytes(count);
  if (count <= 0) return 0;
  uint8_t* dst = static_cast<uint8_t*>(buffer);
  int64_t first = std::min(count, Capacity() - tail_);
  std::memcpy(dst, buffer_.data() + tail_, first);
  std::memcpy(dst + first, buffer_.data(), count - first);
  tail_ = (tail_ + count) % Capacity();
  position_ += count;
  return count;
}

int64_t TAbBitBucketStream::Seek(int64_t offset, TSeekOrigin origin) {
  return SeekFrom(offset, static_cast<int32_t>(origin));
}

int64_t TAbBitBucketStream::SeekFrom(int64_t offset, int32_t origin) {
  int64_t target;
  switch (origin) {
    case soBeginning: target = offset; break;
    case soCurrent: target = position_ + offset; break;
    case soEnd: target = size_ + offset; break;
    default: throw EAbBBSInvalidOrigin();
  }
  if (target > size_ || target <= size_ - Capacity()) throw EAbBBSSeekOutsideBuffer();
  position_ = target;
  tail_ = ((head_ - (size_ - target)) % Capacity() + Capacity()) % Capacity();
  return target;
}
