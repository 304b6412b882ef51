// The row pool: bump allocation inside blocks, a free list threaded through
// the rows given back. Under AddressSanitizer every byte not handed out is
// poisoned, so a row used after it went back to the pool is reported as it
// would be after free().
#include "sql/core/dbc/row_pool.h"

#include <sanitizer/asan_interface.h>
#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/rtl/exceptions.h"

namespace {

constexpr std::size_t kFirstBlockRows = 8;
// Blocks grow to 2 MiB, aligned so that the system may back each with one
// huge page: a large result then costs one page fault per block where 4 KiB
// pages cost 512, and first touches of fresh memory are most of what
// filling a large cache takes.
constexpr std::size_t kBlockBytes = 2 * 1024 * 1024;

void* AllocateBlock(std::size_t bytes) {
  if (bytes <= kBlockBytes / 2) return std::malloc(bytes);
  const std::size_t whole = (bytes + kBlockBytes - 1) / kBlockBytes * kBlockBytes;
  void* memory = std::aligned_alloc(kBlockBytes, whole);
  if (memory) madvise(memory, whole, MADV_HUGEPAGE);
  return memory;
}

}  // namespace

TZRowPool::TZRowPool(int rowSize)
    : rowSize_(static_cast<std::size_t>(rowSize)),
      slotSize_(std::max(rowSize_, sizeof(std::byte*))),
      nextBlockRows_(kFirstBlockRows) {}

TZRowPool::~TZRowPool() {
  for (const Block& block : blocks_) {
    ASAN_UNPOISON_MEMORY_REGION(block.memory, block.bytes);
    std::free(block.memory);
  }
}

TZRowBuffer* TZRowPool::Take() {
  std::byte* slot;
  if (freeList_) {
    slot = freeList_;
    ASAN_UNPOISON_MEMORY_REGION(slot, slotSize_);
    std::memcpy(&freeList_, slot, sizeof freeList_);
  } else {
    if (end_ - next_ < static_cast<std::ptrdiff_t>(slotSize_)) {
      std::size_t bytes = nextBlockRows_ * slotSize_;
      blocks_.reserve(blocks_.size() + 1);  // so that no block can leak below
      void* memory = AllocateBlock(bytes);
      if (!memory) throw EOutOfMemory(SOutOfMemory);
      blocks_.push_back({memory, bytes});
      ASAN_POISON_MEMORY_REGION(memory, bytes);
      next_ = static_cast<std::byte*>(memory);
      end_ = next_ + bytes;
      nextBlockRows_ = std::max(nextBlockRows_, std::min(nextBlockRows_ * 2, kBlockBytes / slotSize_));
    }
    slot = next_;
    next_ += slotSize_;
    ASAN_UNPOISON_MEMORY_REGION(slot, slotSize_);
  }
  // Only the row's own bytes are the caller's; the rest of a slot stays poisoned.
  ASAN_POISON_MEMORY_REGION(slot + rowSize_, slotSize_ - rowSize_);
  return reinterpret_cast<TZRowBuffer*>(slot);
}

void TZRowPool::Give(TZRowBuffer* buffer) noexcept {
  if (!buffer) return;
  auto* slot = reinterpret_cast<std::byte*>(buffer);
  ASAN_UNPOISON_MEMORY_REGION(slot, slotSize_);
  std::memcpy(slot, &freeList_, sizeof freeList_);
  freeList_ = slot;
  ASAN_POISON_MEMORY_REGION(slot, slotSize_);
}
