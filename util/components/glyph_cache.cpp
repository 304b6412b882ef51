// Shared picture lists of the speed buttons: slot handling and the per-size cache.
#include "util/components/glyph_cache.h"

#include <algorithm>

#include "platform/gui/bitmap.h"

TUtlGlyphList::TUtlGlyphList(int width, int height) : TImageList(nullptr, width, height) {}

int TUtlGlyphList::AllocateSlot() {
  auto free = std::find(usedSlots_.begin(), usedSlots_.end(), false);
  int index = int(free - usedSlots_.begin());
  if (free == usedSlots_.end()) {
    TBitmap blank;
    blank.SetSize(Width(), Height());
    index = AddMasked(&blank, clNone);
    usedSlots_.resize(size_t(index) + 1, false);
  }
  usedSlots_[size_t(index)] = true;
  return index;
}

int TUtlGlyphList::AddImage(TBitmap* image, TBitmap* mask) {
  const int index = AllocateSlot();
  Replace(index, image, mask);
  ++usedCount_;
  return index;
}

int TUtlGlyphList::AddMaskedImage(TBitmap* image, TColor maskColor) {
  const int index = AllocateSlot();
  ReplaceMasked(index, image, maskColor);
  ++usedCount_;
  return index;
}

void TUtlGlyphList::FreeSlot(int index) {
  if (index < 0 || size_t(index) >= usedSlots_.size() || !usedSlots_[size_t(index)]) return;
  usedSlots_[size_t(index)] = false;
  --usedCount_;
}

TUtlGlyphList* TUtlGlyphCache::ListFor(int width, int height) {
  for (auto it = lists_.rbegin(); it != lists_.rend(); ++it)
    if ((*it)->Width() == width && (*it)->Height() == height) return it->get();
  lists_.push_back(std::make_unique<TUtlGlyphList>(width, height));
  return lists_.back().get();
}

void TUtlGlyphCache::ReleaseList(TUtlGlyphList* list) {
  if (!list || list->UsedCount() != 0) return;
  std::erase_if(lists_, [list](const auto& l) { return l.get() == list; });
}

TUtlStateImages::~TUtlStateImages() {
  Release();
  if (cache_ && cache_->IsEmpty()) {
    delete cache_;
    cache_ = nullptr;
  }
}

TUtlGlyphList* TUtlStateImages::ListFor(int width, int height) {
  if (!cache_) cache_ = new TUtlGlyphCache;
  if (!list_) list_ = cache_->ListFor(width, height);
  return list_;
}

void TUtlStateImages::Release() {
  for (int& index : index_) {
    if (index != -1 && list_) list_->FreeSlot(index);
    index = -1;
  }
  if (cache_) cache_->ReleaseList(list_);
  list_ = nullptr;
}
