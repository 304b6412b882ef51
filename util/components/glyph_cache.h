// Image lists shared by button pictures: every picture size gets one list,
// whose positions are handed out and taken back one by one, and a cache that
// finds the list of a size and drops a list once its last image is released.
// A button family keeps one cache, so buttons with same-sized pictures share
// one list.
#pragma once

#include <array>
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

// The state images of one button picture: a position per state in the list
// of the picture's size, taken from a button family's cache (created on
// first need, freed with its last list).
class TUtlStateImages {
public:
  explicit TUtlStateImages(TUtlGlyphCache*& cache) : cache_(cache) { index_.fill(-1); }
  ~TUtlStateImages();
  TUtlStateImages(const TUtlStateImages&) = delete;
  TUtlStateImages& operator=(const TUtlStateImages&) = delete;

  // The position of state S's image; -1 while not built.
  int& Index(int state) { return index_[size_t(state)]; }
  // The list for pictures of W x H, taken from the cache on first need.
  TUtlGlyphList* ListFor(int width, int height);
  TUtlGlyphList* List() const { return list_; }
  // Frees every built image and gives the list back.
  void Release();

private:
  TUtlGlyphCache*& cache_;
  TUtlGlyphList* list_ = nullptr;
  std::array<int, 5> index_;
};
