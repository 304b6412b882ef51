// TZRowPool: row buffers of one size carved out of a few large blocks, so that
// caching a million rows costs a few hundred allocations rather than one per
// row. A buffer given back is handed out again by the next Take; the blocks
// are freed together with the pool, so every buffer dies with it. The pool
// deals in raw memory only: initialising and clearing rows (and releasing
// their blobs) stay with the row accessor.
#pragma once

#include <cstddef>
#include <vector>

#include "sql/core/dbc/row_buffer.h"

class TZRowPool {
public:
  explicit TZRowPool(int rowSize);
  ~TZRowPool();
  TZRowPool(const TZRowPool&) = delete;
  TZRowPool& operator=(const TZRowPool&) = delete;

  // Uninitialised memory for one row; EOutOfMemory when memory runs out.
  TZRowBuffer* Take();
  // A buffer from Take of this pool, not used again until Take returns it.
  // Never throws, so disposal paths may rely on it.
  void Give(TZRowBuffer* buffer) noexcept;

private:
  struct Block {
    void* memory;
    std::size_t bytes;
  };

  std::size_t rowSize_;
  // A free slot holds the link to the next one, so a slot is never smaller
  // than a pointer.
  std::size_t slotSize_;
  // Rows in the next block; doubles up to a cap, so a small result stays small.
  std::size_t nextBlockRows_;
  std::vector<Block> blocks_;
  std::byte* freeList_ = nullptr;
  std::byte* next_ = nullptr;
  std::byte* end_ = nullptr;
};
