// A seekable scratch stream of any size: its contents live in 4 KiB pages in
// memory, and once the page budget is spent the least recently used pages go
// to a swap file ("VMS..." in the swap folder), created only when first needed
// and deleted with the stream. Every archive save builds its new file in one,
// so the stream is kept cheap: finding the page to evict takes constant time,
// and a page written back takes the dirty pages after it along in one write.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "platform/rtl/streams.h"

class TAbVirtualMemoryStream : public TStream {
public:
  static constexpr int32_t kPageSize = 4096;
  static constexpr int32_t kMaxPages = 2048;

  TAbVirtualMemoryStream();
  ~TAbVirtualMemoryStream() override;
  TAbVirtualMemoryStream(const TAbVirtualMemoryStream&) = delete;
  TAbVirtualMemoryStream& operator=(const TAbVirtualMemoryStream&) = delete;

  int64_t Read(void* buffer, int64_t count) override;
  // Writing at a negative position raises EWriteError; nothing is changed.
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  // The same with the origin as a plain number, so a bad one is reported.
  int64_t SeekFrom(int64_t offset, int32_t origin);
  int64_t Size() override { return size_; }
  void SetSize(int64_t newSize) override;

  // Budget in bytes, rounded up to whole pages: 1 to 2048 pages (0 = one).
  uint32_t MemorySize() const { return memorySize_; }
  void SetMemorySize(uint32_t value);
  // Folder of the swap file; set it before the first page is swapped out.
  const AnsiString& SwapFileDirectory() const { return swapFileDirectory_; }
  void SetSwapFileDirectory(const AnsiString& value) { swapFileDirectory_ = value; }
  // Empty until the first page is swapped out.
  const AnsiString& SwapFileName() const { return swapFileName_; }
  int PagesInMemory() const { return static_cast<int>(pages_.size()); }

private:
  // A page in memory; older/newer link the pages in order of last use.
  struct Page {
    int64_t offset;
    bool dirty;
    Page* older;
    Page* newer;
    uint8_t data[kPageSize];
  };

  Page* GetPage(int64_t offset);
  Page* PageAt(int64_t offset) { return cached_->offset == offset ? cached_ : GetPage(offset); }
  void Unlink(Page* page);
  void LinkNewest(Page* page);
  // Takes the least recently used page out of memory, written back first when dirty.
  std::unique_ptr<Page> EvictOldest();
  void CreateSwapFile();
  // Writes a dirty page together with the dirty pages that follow it.
  void WriteRun(Page* first);
  void ReadPage(int64_t offset, uint8_t* data);

  Page* cached_ = nullptr;
  uint32_t memorySize_ = 0;
  int32_t pageLimit_ = 0;
  std::map<int64_t, std::unique_ptr<Page>> pages_;  // by offset, never empty
  Page* oldest_ = nullptr;
  Page* newest_ = nullptr;
  int64_t position_ = 0;
  int64_t size_ = 0;
  AnsiString swapFileDirectory_;
  AnsiString swapFileName_;
  int64_t swapFileSize_ = 0;
  int swapHandle_ = -1;
  uint8_t scratch_[kPageSize];
};
