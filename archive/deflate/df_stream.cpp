// The in-memory stream of the engine and the size query shared by all streams.
#include "archive/deflate/df_stream.h"

#include <algorithm>
#include <cstring>

int64_t DfStream::Size() {
  int64_t here = Position();
  int64_t size = Seek(0, TDfSeekOrigin::soEnd);
  SetPosition(here);
  return size;
}

DfMemoryStream::DfMemoryStream(const void* data, size_t size)
    : bytes_(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size) {}

int64_t DfMemoryStream::Read(void* buffer, int64_t count) {
  int64_t avail = std::max<int64_t>(0, static_cast<int64_t>(bytes_.size()) - pos_);
  int64_t n = std::clamp<int64_t>(count, 0, avail);
  if (n > 0) std::memcpy(buffer, bytes_.data() + pos_, static_cast<size_t>(n));
  pos_ += n;
  return n;
}

int64_t DfMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  size_t end = static_cast<size_t>(pos_ + count);
  if (end > bytes_.size()) bytes_.resize(end);
  std::memcpy(bytes_.data() + pos_, buffer, static_cast<size_t>(count));
  pos_ += count;
  return count;
}

int64_t DfMemoryStream::Seek(int64_t offset, TDfSeekOrigin origin) {
  int64_t base = origin == TDfSeekOrigin::soBeginning ? 0
                 : origin == TDfSeekOrigin::soCurrent ? pos_
                                                      : static_cast<int64_t>(bytes_.size());
  pos_ = std::max<int64_t>(0, base + offset);
  return pos_;
}
