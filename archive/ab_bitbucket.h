// A write-mostly stream that keeps only the most recent bytes written to it in
// a ring buffer. Archive tests decompress into it when only the checksum and
// the size of the output matter; the tail stays readable and seekable.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/rtl/streams.h"

class TAbBitBucketStream : public TStream {
public:
  // Buffer sizes other than 4096, 8192 and 32768 become 32768; 1024 bytes are
  // added so a full window plus a block in flight always fit.
  explicit TAbBitBucketStream(int32_t size);

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  // The same with the origin as a plain number, so a bad one is reported.
  int64_t SeekFrom(int64_t offset, int32_t origin);
  int64_t Size() override { return size_; }

  int64_t Capacity() const { return static_cast<int64_t>(buffer_.size()); }

private:
  std::vector<uint8_t> buffer_;
  int64_t head_ = 0;      // index after the last byte written
  int64_t tail_ = 0;      // read index
  int64_t position_ = 0;
  int64_t size_ = 0;      // every byte ever written
};
