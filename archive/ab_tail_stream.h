// The part of another stream from a fixed offset to its end, seen as a stream
// of its own. A ZIP save compresses an added entry straight into its work
// stream behind the entry's header through one of these: the compressor
// measures, rewinds and truncates only the entry's data, and the data is
// written once instead of passing through a scratch stream first.
#pragma once

#include <cstdint>

#include "platform/rtl/streams.h"

class TAbTailStream : public TStream {
public:
  // The base stream must outlive this one and stay at least start bytes long.
  TAbTailStream(TStream& base, int64_t start);

  int64_t Read(void* buffer, int64_t count) override { return base_.Read(buffer, count); }
  int64_t Write(const void* buffer, int64_t count) override { return base_.Write(buffer, count); }
  // Positions count from the start of the tail; one before it is refused
  // with EStreamError, so the bytes ahead of the tail stay as they are.
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return base_.Size() - start_; }
  void SetSize(int64_t size) override;

private:
  TStream& base_;
  int64_t start_;
};
