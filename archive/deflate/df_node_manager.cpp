// TAbNodeManager: fixed-size nodes handed out from 8 KB pages. The code-length
// builder allocates many small nodes per block and drops them all at once.
#include <cstdlib>
#include <new>

#include "archive/deflate/df_base.h"

namespace {
constexpr int32_t kPageSize = 8192;
constexpr int32_t kLinkSize = 4;  // page header: link to the previous page
}  // namespace

TAbNodeManager::TAbNodeManager(int32_t nodeSize) {
  nodeSize_ = nodeSize < 4 ? 4 : (nodeSize + 3) & ~3;
  nodesPerPage_ = (kPageSize - kLinkSize) / nodeSize_;
  if (nodesPerPage_ < 2) {
    nodesPerPage_ = 1;
    pageSize_ = nodeSize_ + kLinkSize;
  } else {
    pageSize_ = kPageSize;
  }
}

TAbNodeManager::~TAbNodeManager() {
  while (pages_ != nullptr) {
    void* prev = *static_cast<void**>(pages_);
    std::free(pages_);
    pages_ = prev;
  }
}

// A page begins with the link to the previous page; its nodes follow, each big
// enough to hold the free-list link (pages are allocated with room for a full
// pointer so that 64-bit links fit before the first node).
void* TAbNodeManager::AllocNode() {
  if (freeList_ == nullptr) {
    size_t header = sizeof(void*);
    size_t nodeBytes = static_cast<size_t>(nodeSize_) < sizeof(void*) ? sizeof(void*) : nodeSize_;
    nodeBytes = (nodeBytes + alignof(void*) - 1) & ~(alignof(void*) - 1);
    auto* page = static_cast<char*>(std::malloc(header + nodeBytes * nodesPerPage_));
    if (page == nullptr) throw std::bad_alloc();
    *reinterpret_cast<void**>(page) = pages_;
    pages_ = page;
    // Thread the page's nodes so that its last node ends up at the head.
    for (int32_t i = 0; i < nodesPerPage_; ++i) {
      void* node = page + header + nodeBytes * i;
      *static_cast<void**>(node) = freeList_;
      freeList_ = node;
    }
  }
  void* node = freeList_;
  freeList_ = *static_cast<void**>(node);
  return node;
}
