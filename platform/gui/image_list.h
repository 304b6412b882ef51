// TImageList: equal-sized images with transparency masks, drawn masked, or
// embossed in the button highlight and shadow colours when disabled.
#pragma once

#include <vector>

#include "platform/gui/graphics_objects.h"

class TBitmap;
class TCanvas;

class TImageList : public TComponent {
public:
  explicit TImageList(TComponent* owner, int width = 16, int height = 16);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // Changing the size empties the list, as the images no longer fit.
  void SetWidth(int width);
  void SetHeight(int height);
  int Count() const { return int(images_.size()); }
  TColor BkColor() const { return bkColor_; }
  void SetBkColor(TColor color);
  bool Masked() const { return masked_; }
  void SetMasked(bool value) { masked_ = value; }

  // Adds the image (one per Width columns of a wider bitmap); the monochrome
  // mask marks transparent pixels white. Returns the first new index.
  int Add(TBitmap* image, TBitmap* mask);
  // Pixels of maskColor are transparent; clDefault means the bottom-left pixel.
  int AddMasked(TBitmap* image, TColor maskColor);
  void Replace(int index, TBitmap* image, TBitmap* mask);
  void ReplaceMasked(int index, TBitmap* image, TColor maskColor);
  void Delete(int index);
  void Clear();
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
  // Sizes bitmap to one image and draws the image into it.
  void GetBitmap(int index, TBitmap* bitmap);

  TNotifyEvent OnChange;

private:
  struct Image {
    std::vector<uint32_t> color;
    std::vector<uint8_t> transparent;
  };
  std::vector<Image> Split(TBitmap* image, TBitmap* mask, bool byColor, TColor maskColor) const;
  void CheckIndex(int index) const;
  void Changed();
  int width_;
  int height_;
  TColor bkColor_ = clNone;
  bool masked_ = true;
  std::vector<Image> images_;
};
