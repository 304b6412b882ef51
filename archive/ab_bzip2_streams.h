// Streams over the bzip2 library: TBZCompressionStream compresses what is
// written to it into a destination stream, TBZDecompressionStream delivers
// the decompressed contents of a source stream. Both are forward-only; the
// bzip2 archive and its detection are built on them.
#pragma once

#include <bzlib.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

VX_DECLARE_EXCEPTION(EBZip2Error, Exception)
VX_DECLARE_EXCEPTION(EBZCompressionError, EBZip2Error)
VX_DECLARE_EXCEPTION(EBZDecompressionError, EBZip2Error)

inline constexpr char SBZip2Error[] = "error %d";
inline constexpr char SBZip2InvalidOperation[] = "Invalid stream operation";

// Library result codes below 0 raise "error %d" in the stream's class.
int CheckCompressionResult(int code);
int CheckDecompressionResult(int code);

class TCustomBZip2Stream : public TStream {
public:
  static constexpr int kBufferSize = 65536;

  ~TCustomBZip2Stream() override = default;
  TCustomBZip2Stream(const TCustomBZip2Stream&) = delete;
  TCustomBZip2Stream& operator=(const TCustomBZip2Stream&) = delete;

  std::function<void(TObject* sender)> OnProgress;

protected:
  explicit TCustomBZip2Stream(TStream* stream);
  void Progress();
  // Puts the underlying stream back where this object last left it.
  void Reposition();
  int64_t TotalIn() const;
  int64_t TotalOut() const;

  TStream* stream_;
  int64_t streamPosition_;
  bz_stream record_{};
  std::vector<char> buffer_;
  bool initialized_ = false;
};

// Block size 0-8 stands for the library's 1-9 (x 100,000 bytes).
enum TBlockSize100k : uint8_t { bs1 = 0, bs2, bs3, bs4, bs5, bs6, bs7, bs8, bs9 };

class TBZCompressionStream : public TCustomBZip2Stream {
public:
  TBZCompressionStream(TBlockSize100k blockSize, TStream* dest);
  // Finishes the bzip2 data unless Finish did; write errors are not reported
  // from here, so callers that must know call Finish.
  ~TBZCompressionStream() override;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  // Only (0, soCurrent): the number of bytes taken in so far.
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  // Writes the end of the bzip2 data; later writes are refused.
  void Finish();

private:
  void FlushBuffer(int64_t count);
};

class TBZDecompressionStream : public TCustomBZip2Stream {
public:
  explicit TBZDecompressionStream(TStream* source);
  ~TBZDecompressionStream() override;

  // Fewer bytes than asked only at the end of the data. Concatenated bzip2
  // streams are read as one; a source that ends inside a stream raises
  // "error -7" rather than passing a truncated file off as whole.
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  // (0, soBeginning) starts over; forward moves skip decoded bytes; the
  // result is the new position in the decoded data.
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

private:
  void Restart();
  bool FillInput();
  bool NextStreamFollows();

  bool streamEnded_ = false;
};
