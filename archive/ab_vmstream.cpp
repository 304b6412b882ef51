// Paged scratch stream with a least-recently-used swap file. The swap file
// keeps every page at the file position equal to its stream offset, through
// 64-bit positioned reads and writes, so streams beyond 4 GiB stay intact and
// a page written far out leaves a sparse file rather than gigabytes of zeros.
#include "archive/ab_vmstream.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "archive/ab_exceptions.h"
#include "archive/ab_utils.h"
#include "platform/rtl/files.h"
#include "platform/rtl/os_names.h"

namespace {

constexpr uint32_t kDefaultMemorySize = 8388608;
constexpr int64_t kPageMask = TAbVirtualMemoryStream::kPageSize - 1;
constexpr int kLinearSearchLimit = 3;

}  // namespace

TAbVirtualMemoryStream::TAbVirtualMemoryStream() {
  auto first = std::make_unique<Page>();
  first->offset = 0;
  first->stamp = NextStamp();
  first->dirty = false;
  std::memset(first->data, 0, kPageSize);
  cached_ = first.get();
  pages_.push_back(std::move(first));
  SetMemorySize(kDefaultMemorySize);
}

TAbVirtualMemoryStream::~TAbVirtualMemoryStream() {
  if (swapHandle_ >= 0) {
    ::close(swapHandle_);
    ::unlink(detail::ToOsName(swapFileName_).c_str());
  }
}

int32_t TAbVirtualMemoryStream::NextStamp() {
  if (useCounter_ == std::numeric_limits<int32_t>::max()) {
    for (auto& page : pages_) page->stamp = 0;
    useCounter_ = 0;
  }
  return ++useCounter_;
}

size_t TAbVirtualMemoryStream::LeastRecentlyUsed() const {
  size_t oldest = 0;
  for (size_t i = 1; i < pages_.size(); ++i)
    if (pages_[i]->stamp < pages_[oldest]->stamp) oldest = i;
  return oldest;
}

void TAbVirtualMemoryStream::EvictAt(size_t index) {
  if (pages_[index]->dirty) WritePage(*pages_[index]);
  pages_.erase(pages_.begin() + index);
}

TAbVirtualMemoryStream::Page* TAbVirtualMemoryStream::GetPage(int64_t offset) {
  // Find the page, or the index where a page for Offset belongs.
  size_t low = 0, high = pages_.size();
  if (pages_.size() > kLinearSearchLimit) {
    while (low < high) {
      size_t mid = (low + high) / 2;
      if (pages_[mid]->offset < offset) low = mid + 1;
      else high = mid;
    }
  } else {
    while (low < pages_.size() && pages_[low]->offset < offset) ++low;
  }
  if (low < pages_.size() && pages_[low]->offset == offset) {
    pages_[low]->stamp = NextStamp();
    return cached_ = pages_[low].get();
  }

  // Read the new content first and write the evicted page back second: when
  // either fails, nothing in memory has changed yet.
  if (swapHandle_ >= 0 && offset < swapFileSize_) ReadPage(offset, scratch_);
  else std::memset(scratch_, 0, kPageSize);
  std::unique_ptr<Page> page;
  if (static_cast<int32_t>(pages_.size()) < pageLimit_) {
    page = std::make_unique<Page>();
  } else {
    size_t oldest = LeastRecentlyUsed();
    if (pages_[oldest]->dirty) WritePage(*pages_[oldest]);
    page = std::move(pages_[oldest]);
    pages_.erase(pages_.begin() + oldest);
    if (oldest < low) --low;
  }
  page->offset = offset;
  page->stamp = NextStamp();
  page->dirty = false;
  std::memcpy(page->data, scratch_, kPageSize);
  cached_ = page.get();
  pages_.insert(pages_.begin() + low, std::move(page));
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
    while (pages_.size() > 1 && pages_.back()->offset >= newSize) pages_.pop_back();
    cached_ = pages_.front().get();
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
    while (static_cast<int64_t>(pages_.size()) > pages) EvictAt(LeastRecentlyUsed());
    cached_ = pages_.front().get();
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

void TAbVirtualMemoryStream::WritePage(const Page& page) {
  if (swapHandle_ < 0) CreateSwapFile();
  if (page.offset < 0) throw EAbVMSSeekFail(swapFileName_);
  if (::pwrite(swapHandle_, page.data, kPageSize, page.offset) != kPageSize)
    throw EAbVMSWriteFail(kPageSize, swapFileName_);
  swapFileSize_ = std::max(swapFileSize_, page.offset + kPageSize);
}

void TAbVirtualMemoryStream::ReadPage(int64_t offset, uint8_t* data) {
  if (offset < 0) throw EAbVMSSeekFail(swapFileName_);
  if (::pread(swapHandle_, data, kPageSize, offset) != kPageSize)
    throw EAbVMSReadFail(kPageSize, swapFileName_);
}
