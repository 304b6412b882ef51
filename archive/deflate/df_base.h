// What the Deflate encoder, the Inflate decoder and their callers share: the
// option object TAbDeflateHelper, the CRC-32 and Adler-32 running checksums, the
// node pool of the code-length builder and the write-only log stream.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "archive/deflate/df_exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"

namespace detail {
// A zeroed work buffer. memset, not a fill loop: fuzzing builds instrument
// loops, and clearing the engine's buffers per run dominated small inputs.
template <typename T>
std::unique_ptr<T[]> DfClearedArray(size_t count) {
  auto array = std::make_unique_for_overwrite<T[]>(count);
  std::memset(array.get(), 0, count * sizeof(T));
  return array;
}

// Work buffers (not cleared) kept for the next run on the same thread: a
// pass over many small members would otherwise allocate and fault in the
// same large buffers once per member.
class DfSpareBuffers {
public:
  static std::unique_ptr<uint8_t[]> Take(size_t size) {
    for (Spare& spare : Spares())
      if (spare.buffer && spare.size == size) return std::move(spare.buffer);
    return std::make_unique_for_overwrite<uint8_t[]>(size);
  }
  static void Give(std::unique_ptr<uint8_t[]> buffer, size_t size) {
    for (Spare& spare : Spares())
      if (!spare.buffer) {
        spare = {std::move(buffer), size};
        return;
      }
  }

private:
  struct Spare {
    std::unique_ptr<uint8_t[]> buffer;
    size_t size = 0;
  };
  static Spare (&Spares())[4] {
    thread_local Spare spares[4];
    return spares;
  }
};
}  // namespace detail

// Bits of TAbDeflateHelper::Options.
constexpr int32_t kDfCanUseStored = 0x01;
constexpr int32_t kDfCanUseStatic = 0x02;
constexpr int32_t kDfCanUseDynamic = 0x04;
constexpr int32_t kDfUseLazyMatch = 0x08;
constexpr int32_t kDfUseDeflate64 = 0x10;
constexpr int32_t kDfUseAdler32 = 0x20;
constexpr int32_t kDfTestOnly = 0x40000000;

using TAbProgressCallback = std::function<void(int32_t percent)>;

class TAbDeflateHelper {
public:
  TAbDeflateHelper() = default;
  // Copies the settings; the two result sizes are not copied.
  void Assign(const TAbDeflateHelper& source);

  int32_t GoodMatchLength() const { return goodMatchLength_; }
  void SetGoodMatchLength(int32_t value) { SetLimit(goodMatchLength_, value); }
  int32_t ChainLimit() const { return chainLimit_; }
  void SetChainLimit(int32_t value) { SetLimit(chainLimit_, value); }
  int32_t LazyMatchLimit() const { return lazyMatchLimit_; }
  void SetLazyMatchLimit(int32_t value) { SetLimit(lazyMatchLimit_, value); }
  const AnsiString& LogFileName() const { return logFileName_; }
  void SetLogFileName(const AnsiString& value) { logFileName_ = value; }
  const TAbProgressCallback& ProgressCallback() const { return progress_; }
  void SetProgressCallback(TAbProgressCallback value) { progress_ = std::move(value); }
  int32_t Options() const { return options_; }
  void SetOptions(int32_t value);
  int64_t OutputLimit() const { return outputLimit_; }
  void SetOutputLimit(int64_t value) { outputLimit_ = value; }
  int64_t CompressedBytes() const { return compressedBytes_; }
  void SetCompressedBytes(int64_t value) { compressedBytes_ = value; }
  int64_t UncompressedBytes() const { return uncompressedBytes_; }
  void SetUncompressedBytes(int64_t value) { uncompressedBytes_ = value; }
  int64_t SourceSize() const { return sourceSize_; }
  void SetSourceSize(int64_t value) { sourceSize_ = value; }
  int32_t SlidingWindowSize() const { return slidingWindowSize_; }
  void SetSlidingWindowSize(int32_t value) { slidingWindowSize_ = value; }
  char Preset() const { return preset_; }
  // Applies the preset of the letter ('0', '2', 'f', 'n', 's', 'x', any case);
  // the current letter or an unknown one changes nothing.
  void SetPreset(char letter);

private:
  void SetLimit(int32_t& field, int32_t value);

  int32_t goodMatchLength_ = 8;
  int32_t chainLimit_ = 32;
  AnsiString logFileName_;
  int32_t lazyMatchLimit_ = 16;
  TAbProgressCallback progress_;
  int32_t options_ = 0x0F;
  int64_t outputLimit_ = 0;
  int64_t compressedBytes_ = 0;
  int64_t uncompressedBytes_ = 0;
  int64_t sourceSize_ = 0;
  int32_t slidingWindowSize_ = 32768;
  char preset_ = 'n';
};

// Running checksums: CRC-32 is started with 0xFFFFFFFF and complemented at the
// end by the caller; Adler-32 starts with 1.
void UpdateCrc32(uint32_t& crc, const void* buffer, size_t count);
void UpdateAdler32(uint32_t& adler, const void* buffer, size_t count);
// One CRC-32 step, as the ZIP cipher updates its keys.
uint32_t Crc32Step(uint32_t crc, uint8_t byte);

// A pool of fixed-size nodes, allocated by pages and freed all together.
class TAbNodeManager {
public:
  explicit TAbNodeManager(int32_t nodeSize);
  ~TAbNodeManager();
  TAbNodeManager(const TAbNodeManager&) = delete;
  TAbNodeManager& operator=(const TAbNodeManager&) = delete;

  void* AllocNode();
  int32_t NodeSize() const { return nodeSize_; }
  int32_t NodesPerPage() const { return nodesPerPage_; }
  int32_t PageSize() const { return pageSize_; }

private:
  int32_t nodeSize_;
  int32_t nodesPerPage_;
  int32_t pageSize_;
  void* pages_ = nullptr;     // each page starts with a link to the previous one
  void* freeList_ = nullptr;  // each free node starts with a link to the next
};

// A buffered write-only log file. Write failures never raise; the bytes stay
// buffered until a later flush succeeds.
class TAbLogger : public TStream {
public:
  explicit TAbLogger(const AnsiString& fileName);
  ~TAbLogger() override;
  TAbLogger(const TAbLogger&) = delete;
  TAbLogger& operator=(const TAbLogger&) = delete;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  // Only the current or end position may be asked for (offset 0).
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void WriteLine(const AnsiString& text);
  bool Flush();
  // 0 = CR LF (the default), 1 = LF, anything else = no delimiter.
  void SetLineDelimiter(int value) { lineDelimiter_ = value; }

private:
  static constexpr size_t kBufferSize = 4096;
  std::unique_ptr<TFileStream> file_;
  std::vector<char> buffer_;
  size_t fill_ = 0;
  int lineDelimiter_ = 0;
};
