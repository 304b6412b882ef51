// Paged scratch stream with a least-recently-used swap file. The swap file
// keeps every page at the file position equal to its stream offset, through
// 64-bit positioned reads and writes, so streams beyond 4 GiB stay intact and
// a page written far out leaves a sparse file rather than gigabytes of zeros.
#include "archive/ab_vmstream.h"

#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <iterator>
#include <cstring>
#include <limits>

#include "archive/ab_exceptions.h"
#include "archive/ab_utils.h"
#include "platform/rtl/files.h"
#include "platform/rtl/os_names.h"

namespace {

constexpr uint32_t kDefaultMemorySize = 8388608;
constexpr int64_t kPageMask = TAbVirtualMemoryStream::kPageSize - 1;
constexpr int kMaxRunPages = 64;  // pages written back in one call, at most

}  // namespace

TAbVirtualMemoryStream::TAbVirtualMemoryStream() {
  auto first = std::make_unique<Page>();
  first->offset = 0;
  first->dirty = false;
  std::memset(first->data, 0, kPageSize);
  cached_ = first.get();
  LinkNewest(cached_);
  pages_.emplace(0, std::move(first));
  SetMemorySize(kDefaultMemorySize);
}

TAbVirtualMemoryStream::~TAbVirtualMemoryStream() {
  if (swapHandle_ >= 0) {
    ::close(swapHandle_);
    ::unlink(detail::ToOsName(swapFileName_).c_str());
  }
}

void TAbVirtualMemoryStream::Unlink(Page* page) {
  (page->older ? page->older->newer : oldest_) = page->newer;
  (page->newer ? page->newer->older : newest_) = page->older;
}

void TAbVirtualMemoryStream::LinkNewest(Page* page) {
  page->older = newest_;
  page->newer = nullptr;
  (newest_ ? newest_->newer : oldest_) = page;
  newest_ = page;
}

std::unique_ptr<TAbVirtualMemoryStream::Page> TAbVirtualMemoryStream::EvictOldest() {
  Page* victim = oldest_;
  if (victim->dirty) WriteRun(victim);
  Unlink(victim);
  auto node = pages_.extract(victim->offset);
  return std::move(node.mapped());
}

TAbVirtualMemoryStream::Page* TAbVirtualMemoryStream::GetPage(int64_t offset) {
  auto found = pages_.find(offset);
  if (found != pages_.end()) {
    cached_ = found->second.get();
    Unlink(cached_);
    LinkNewest(cached_);
    return cached_;
  }

  // Read the new content first and write the evicted page back second: when
  // either fails, nothing in memory has changed yet.
  if (swapHandle_ >= 0 && offset < swapFileSize_) ReadPage(offset, scratch_);
  else std::memset(scratch_, 0, kPageSize);
  std::unique_ptr<Page> page =
      static_cast<int32_t>(pages_.size()) < pageLimit_ ? std::make_unique<Page>() : EvictOldest();
  page->offset = offset;
  page->dirty = false;
  std::memcpy(page->data, scratch_, kPageSize);
  cached_ = page.get();
  LinkNewest(cached_);
  pages_.emplace(offset, std::move(page));
  return cached_;
}

int64_t TAbVirtualMemoryStream::Read(void* buffer, int64_t count) {
  if (position_ < 0) return 0;
  count = std::max<int64_t>(0, std::min(count, size_ - position_));
  uint8_t* dst = static_cast<uint8_t*>(buffer);
  int64_t at = position_;
  for (int64_t done = 0; done < count;) {
    int64_t inPage = at & kPageMask;
    int64_t chunk = std::min(count - done, kPageSize - inPage);
    std::memcpy(dst + done, PageAt(at - inPage)->data + inPage, chunk);
    done += chunk;
    at += chunk;
  }
  position_ = at;
  return count;
}

int64_t TAbVirtualMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (position_ < 0 || count > std::numeric_limits<int64_t>::max() - position_)
    throw EWriteError(SWriteError);
  const uint8_t* src = static_cast<const uint8_t*>(buffer);
  int64_t at = position_;
  for (int64_t done = 0; done < count;) {
    int64_t inPage = at & kPageMask;
    int64_t chunk = std::min(count - done, kPageSize - inPage);
    Page* page = PageAt(at - inPage);
    std::memcpy(page->data + inPage, src + done, chunk);
    page->dirty = true;
    done += chunk;
    at += chunk;
  }
  position_ = at;
  size_ = std::max(size_, position_);
  return count;
}

int64_t TAbVirtualMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  return SeekFrom(offset, static_cast<int32_t>(origin));
}

int64_t TAbVirtualMemoryStream::SeekFrom(int64_t offset, int32_t origin) {
  switch (origin) {
    case soBeginning: position_ = offset; break;
    case soCurrent: position_ += offset; break;
    case soEnd: position_ = size_ + offset; break;
    default: throw EAbVMSInvalidOrigin(origin);
  }
  return position_;
}

void TAbVirtualMemoryStream::SetSize(int64_t newSize) {
  if (newSize < size_) {
    while (pages_.size() > 1 && std::prev(pages_.end())->first >= newSize) {
      Unlink(std::prev(pages_.end())->second.get());
      pages_.erase(std::prev(pages_.end()));
    }
    cached_ = pages_.begin()->second.get();
    int64_t rounded = (std::max<int64_t>(newSize, 0) + kPageMask) & ~kPageMask;
    swapFileSize_ = std::min(swapFileSize_, rounded);
  }
  size_ = newSize;
  position_ = std::min(position_, newSize);
}

void TAbVirtualMemoryStream::SetMemorySize(uint32_t value) {
  int64_t pages = value == 0 ? 1 : (static_cast<int64_t>(value) + kPageMask) / kPageSize;
  pages = std::min<int64_t>(pages, kMaxPages);
  if (static_cast<int64_t>(pages_.size()) > pages) {
    while (static_cast<int64_t>(pages_.size()) > pages) EvictOldest();
    cached_ = pages_.begin()->second.get();
  }
  pageLimit_ = static_cast<int32_t>(pages);
  memorySize_ = static_cast<uint32_t>(pages * kPageSize);
}

void TAbVirtualMemoryStream::CreateSwapFile() {
  AnsiString folder = DirectoryExists(swapFileDirectory_) ? swapFileDirectory_ : SystemTempDirectory();
  std::string pattern = detail::ToOsName(WithTrailingBackslash(folder) + "VMSXXXXXX");
  int handle = mkstemp(pattern.data());
  swapFileName_ = detail::FromOsName(pattern);
  if (handle < 0) throw EAbVMSErrorOpenSwap(swapFileName_);
  swapHandle_ = handle;
  swapFileSize_ = 0;
}

// A stream written front to back evicts its pages in offset order, so the
// dirty pages after the oldest one are usually the next to go: writing them now,
// in the same call, turns many small writes into a few large ones. The page in
// use is left out, as it is likely to change again.
void TAbVirtualMemoryStream::WriteRun(Page* first) {
  if (swapHandle_ < 0) CreateSwapFile();
  if (first->offset < 0) throw EAbVMSSeekFail(swapFileName_);
  Page* run[kMaxRunPages];
  iovec pieces[kMaxRunPages];
  int count = 0;
  for (auto it = pages_.find(first->offset); it != pages_.end() && count < kMaxRunPages; ++it) {
    Page* page = it->second.get();
    if (page->offset != first->offset + int64_t{count} * kPageSize || !page->dirty) break;
    if (count > 0 && page == cached_) break;
    run[count] = page;
    pieces[count] = {page->data, kPageSize};
    ++count;
  }
  const ssize_t bytes = int64_t{count} * kPageSize;
  if (::pwritev(swapHandle_, pieces, count, first->offset) != bytes) throw EAbVMSWriteFail(kPageSize, swapFileName_);
  for (int i = 0; i < count; ++i) run[i]->dirty = false;
  swapFileSize_ = std::max(swapFileSize_, first->offset + bytes);
}

void TAbVirtualMemoryStream::ReadPage(int64_t offset, uint8_t* data) {
  if (offset < 0) throw EAbVMSSeekFail(swapFileName_);
  if (::pread(swapHandle_, data, kPageSize, offset) != kPageSize)
    throw EAbVMSReadFail(kPageSize, swapFileName_);
}
