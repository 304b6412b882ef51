// A stream over the end of another stream, from a fixed offset on.
#include "archive/ab_tail_stream.h"

#include "platform/rtl/exceptions.h"

TAbTailStream::TAbTailStream(TStream& base, int64_t start) : base_(base), start_(start) {
  base_.Seek(start_, soBeginning);
}

int64_t TAbTailStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t target = offset;
  if (origin == soCurrent) target += base_.Position() - start_;
  else if (origin == soEnd) target += Size();
  if (target < 0) throw EStreamError("Seek before the start of the stream");
  return base_.Seek(start_ + target, soBeginning) - start_;
}

void TAbTailStream::SetSize(int64_t size) {
  if (size < 0) throw EStreamError("Negative stream size");
  base_.SetSize(start_ + size);
}
