// The bzip2 stream classes: buffering between the platform's streams and the
// library's stream record, with every library result checked.
#include "archive/ab_bzip2_streams.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/rtl/format.h"

namespace {

constexpr int kSkipPiece = 4096;
constexpr int64_t kMaxStep = 1 << 30;

void* BzAlloc(void*, int items, int size) { return std::malloc(static_cast<size_t>(items) * size); }
void BzFree(void*, void* block) { std::free(block); }

// "error %d" followed by what the library's code means.
AnsiString ResultText(int code) {
  const char* meaning = "unknown failure";
  switch (code) {
    case BZ_SEQUENCE_ERROR: meaning = "calls out of sequence"; break;
    case BZ_PARAM_ERROR: meaning = "invalid parameter"; break;
    case BZ_MEM_ERROR: meaning = "out of memory"; break;
    case BZ_DATA_ERROR: meaning = "damaged data: integrity check failed"; break;
    case BZ_DATA_ERROR_MAGIC: meaning = "not bzip2 data"; break;
    case BZ_IO_ERROR: meaning = "read or write failure"; break;
    case BZ_UNEXPECTED_EOF: meaning = "data cut short"; break;
    case BZ_OUTBUFF_FULL: meaning = "output buffer full"; break;
    case BZ_CONFIG_ERROR: meaning = "library built wrongly"; break;
  }
  return Format(SBZip2Error, {code}) + " (" + meaning + ")";
}

}  // namespace

int CheckCompressionResult(int code) {
  if (code < 0) throw EBZCompressionError(ResultText(code));
  return code;
}

int CheckDecompressionResult(int code) {
  if (code < 0) throw EBZDecompressionError(ResultText(code));
  return code;
}

// --- TCustomBZip2Stream -------------------------------------------------------------

TCustomBZip2Stream::TCustomBZip2Stream(TStream* stream)
    : stream_(stream), streamPosition_(stream->Position()), buffer_(kBufferSize) {
  record_.bzalloc = BzAlloc;
  record_.bzfree = BzFree;
}

void TCustomBZip2Stream::Progress() {
  if (OnProgress) OnProgress(this);
}

void TCustomBZip2Stream::Reposition() {
  if (stream_->Position() != streamPosition_) stream_->Seek(streamPosition_, soBeginning);
}

int64_t TCustomBZip2Stream::TotalIn() const {
  return (int64_t(record_.total_in_hi32) << 32) | record_.total_in_lo32;
}

int64_t TCustomBZip2Stream::TotalOut() const {
  return (int64_t(record_.total_out_hi32) << 32) | record_.total_out_lo32;
}

// --- TBZCompressionStream -----------------------------------------------------------

TBZCompressionStream::TBZCompressionStream(TBlockSize100k blockSize, TStream* dest) : TCustomBZip2Stream(dest) {
  record_.next_out = buffer_.data();
  record_.avail_out = kBufferSize;
  CheckCompressionResult(BZ2_bzCompressInit(&record_, blockSize + 1, 0, 0));
  initialized_ = true;
}

TBZCompressionStream::~TBZCompressionStream() {
  try {
    Finish();
  } catch (...) {
    // Nobody is left to hear it; Finish reports the same error to callers.
  }
}

void TBZCompressionStream::FlushBuffer(int64_t count) {
  stream_->WriteBuffer(buffer_.data(), count);
  streamPosition_ = stream_->Position();
  record_.next_out = buffer_.data();
  record_.avail_out = kBufferSize;
}

int64_t TBZCompressionStream::Write(const void* buffer, int64_t count) {
  if (!initialized_) throw EBZCompressionError(SBZip2InvalidOperation);
  record_.next_in = static_cast<char*>(const_cast<void*>(buffer));
  Reposition();
  // The record counts in 32 bits, so very large writes go in steps.
  for (int64_t left = count; left > 0;) {
    record_.avail_in = static_cast<unsigned>(std::min<int64_t>(left, kMaxStep));
    left -= record_.avail_in;
    while (record_.avail_in > 0) {
      CheckCompressionResult(BZ2_bzCompress(&record_, BZ_RUN));
      if (record_.avail_out == 0) FlushBuffer(kBufferSize);
      Progress();
    }
  }
  return count;
}

void TBZCompressionStream::Finish() {
  if (!initialized_) return;
  try {
    record_.next_in = nullptr;
    record_.avail_in = 0;
    Reposition();
    while (CheckCompressionResult(BZ2_bzCompress(&record_, BZ_FINISH)) != BZ_STREAM_END) {
      if (record_.avail_out == 0) FlushBuffer(kBufferSize);
    }
    FlushBuffer(kBufferSize - record_.avail_out);
  } catch (...) {
    BZ2_bzCompressEnd(&record_);
    initialized_ = false;
    throw;
  }
  BZ2_bzCompressEnd(&record_);
  initialized_ = false;
}

int64_t TBZCompressionStream::Read(void*, int64_t) { throw EBZCompressionError(SBZip2InvalidOperation); }

int64_t TBZCompressionStream::Seek(int64_t offset, TSeekOrigin origin) {
  if (offset == 0 && origin == soCurrent) return TotalIn();
  throw EBZCompressionError(SBZip2InvalidOperation);
}

// --- TBZDecompressionStream ---------------------------------------------------------

TBZDecompressionStream::TBZDecompressionStream(TStream* source) : TCustomBZip2Stream(source) {
  record_.next_in = buffer_.data();
  record_.avail_in = 0;
  CheckDecompressionResult(BZ2_bzDecompressInit(&record_, 0, 0));
  initialized_ = true;
}

TBZDecompressionStream::~TBZDecompressionStream() {
  if (initialized_) BZ2_bzDecompressEnd(&record_);
}

// Tops the input up from the source, keeping what is still unread; false
// when the source has nothing more.
bool TBZDecompressionStream::FillInput() {
  std::memmove(buffer_.data(), record_.next_in, record_.avail_in);
  record_.next_in = buffer_.data();
  Reposition();
  int64_t got = stream_->Read(buffer_.data() + record_.avail_in, kBufferSize - record_.avail_in);
  if (got <= 0) return false;
  record_.avail_in += static_cast<unsigned>(got);
  streamPosition_ = stream_->Position();
  return true;
}

// After the end of one bzip2 stream: true (and the decoder ready) when another
// stream follows; anything else after the end is not data.
bool TBZDecompressionStream::NextStreamFollows() {
  while (record_.avail_in < 3 && FillInput()) {
  }
  if (record_.avail_in < 3 || std::memcmp(record_.next_in, "BZh", 3) != 0) return false;
  int64_t out = TotalOut();
  char* next = record_.next_in;
  unsigned avail = record_.avail_in;
  CheckDecompressionResult(BZ2_bzDecompressEnd(&record_));
  CheckDecompressionResult(BZ2_bzDecompressInit(&record_, 0, 0));
  record_.next_in = next;
  record_.avail_in = avail;
  record_.total_out_lo32 = static_cast<unsigned>(out);
  record_.total_out_hi32 = static_cast<unsigned>(out >> 32);
  streamEnded_ = false;
  return true;
}

int64_t TBZDecompressionStream::Read(void* buffer, int64_t count) {
  record_.next_out = static_cast<char*>(buffer);
  // The record counts in 32 bits, so very large reads go in steps.
  for (int64_t left = count; left > 0;) {
    record_.avail_out = static_cast<unsigned>(std::min<int64_t>(left, kMaxStep));
    left -= record_.avail_out;
    while (record_.avail_out > 0) {
      if (streamEnded_ && !NextStreamFollows()) return count - left - record_.avail_out;
      if (record_.avail_in == 0 && !FillInput())
        throw EBZDecompressionError(ResultText(BZ_UNEXPECTED_EOF));
      if (CheckDecompressionResult(BZ2_bzDecompress(&record_)) == BZ_STREAM_END) streamEnded_ = true;
      Progress();
    }
  }
  return count;
}

int64_t TBZDecompressionStream::Write(const void*, int64_t) { throw EBZDecompressionError(SBZip2InvalidOperation); }

void TBZDecompressionStream::Restart() {
  CheckDecompressionResult(BZ2_bzDecompressEnd(&record_));
  initialized_ = false;
  CheckDecompressionResult(BZ2_bzDecompressInit(&record_, 0, 0));
  initialized_ = true;
  record_.next_in = buffer_.data();
  record_.avail_in = 0;
  streamEnded_ = false;
  stream_->Seek(0, soBeginning);
  streamPosition_ = 0;
}

int64_t TBZDecompressionStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int64_t here = TotalOut();
  int64_t skip = -1;
  if (origin == soBeginning && offset == 0) {
    Restart();
    return 0;
  }
  if (origin == soCurrent && offset >= 0) skip = offset;
  else if (origin == soBeginning && offset >= here) skip = offset - here;
  if (skip < 0) throw EBZDecompressionError(SBZip2InvalidOperation);
  char piece[kSkipPiece];
  for (; skip > 0; skip -= std::min<int64_t>(skip, kSkipPiece)) ReadBuffer(piece, std::min<int64_t>(skip, kSkipPiece));
  return TotalOut();
}
