// Image lists shared by button pictures: every picture size gets one list,
// whose positions are handed out and taken back one by one, and a cache that
// finds the list of a size and drops a list once its last image is released.
// A button family keeps one cache, so buttons with same-sized pictures share
// one list.
#pragma once

#include <memory>
#include <vector>

#include "platform/gui/image_list.h"

class TUtlGlyphList : public TImageList {
public:
  TUtlGlyphList(int width, int height);

  // The image and its mask take the lowest free position, which is returned.
  int AddImage(TBitmap* image, TBitmap* mask);
  // The same with the pixels of MaskColor transparent.
  int AddMaskedImage(TBitmap* image, TColor maskColor);
  // The position may be reused; its image stays until then.
  void FreeSlot(int index);
  int UsedCount() const { return usedCount_; }

private:
  int AllocateSlot();

  std::vector<bool> usedSlots_;
  int usedCount_ = 0;
};

class TUtlGlyphCache {
public:
  // The list for pictures of that size, created on first need.
  TUtlGlyphList* ListFor(int width, int height);
  // Frees List once it holds no live image.
  void ReleaseList(TUtlGlyphList* list);
  bool IsEmpty() const { return lists_.empty(); }

private:
  std::vector<std::unique_ptr<TUtlGlyphList>> lists_;
};
