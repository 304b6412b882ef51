// TImageList: images are kept as pixels plus a transparency flag per pixel
// and drawn through a monochrome mask with MaskBlt.
#include "platform/gui/image_list.h"

#include "platform/gui/bitmap.h"
#include "platform/gui/gdi_objects.h"

namespace {

constexpr DWORD kKeepDest = 0x00AA0029;

// A temporary memory DC with a bitmap selected; both freed on scope exit.
class ScratchDC {
public:
  explicit ScratchDC(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr)), bitmap_(bitmap) {
    SelectObject(dc_, bitmap_);
  }
  ~ScratchDC() {
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  ScratchDC(const ScratchDC&) = delete;
  ScratchDC& operator=(const ScratchDC&) = delete;
  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }

private:
  HDC dc_;
  HBITMAP bitmap_;
};

}  // namespace

TImageList::TImageList(TComponent* owner, int width, int height)
    : TComponent(owner), width_(std::max(width, 1)), height_(std::max(height, 1)) {}

void TImageList::Changed() {
  if (OnChange) OnChange(this);
}

void TImageList::SetWidth(int width) {
  if (width == width_ || width < 1) return;
  width_ = width;
  Clear();
}

void TImageList::SetHeight(int height) {
  if (height == height_ || height < 1) return;
  height_ = height;
  Clear();
}

void TImageList::SetBkColor(TColor color) {
  bkColor_ = color;
  Changed();
}

void TImageList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EInvalidOperation("Invalid image list index");
}

std::vector<TImageList::Image> TImageList::Split(TBitmap* image, TBitmap* mask, bool byColor,
                                                 TColor maskColor) const {
  std::vector<Image> out;
  if (!image || image->Empty()) return out;
  const GdiBitmap& src = *image->Handle();
  const GdiBitmap* maskBits = mask && !mask->Empty() ? mask->Handle() : nullptr;
  const Pixel key = ColorToPixel(ColorToRGB(maskColor == clDefault ? image->TransparentColor() : maskColor));
  const int count = std::max(1, src.width / width_);
  for (int n = 0; n < count; ++n) {
    Image img;
    img.color.assign(size_t(width_) * height_, 0);
    img.transparent.assign(img.color.size(), 0);
    for (int y = 0; y < height_ && y < src.height; ++y)
      for (int x = 0; x < width_ && n * width_ + x < src.width; ++x) {
        const int sx = n * width_ + x;
        const size_t i = size_t(y) * width_ + x;
        img.color[i] = src.Row(y)[sx] & kRgbMask;
        if (byColor) img.transparent[i] = img.color[i] == key;
        else if (maskBits && sx < maskBits->width && y < maskBits->height)
          img.transparent[i] = (maskBits->Row(y)[sx] & kRgbMask) != 0;
      }
    out.push_back(std::move(img));
  }
  return out;
}

int TImageList::Add(TBitmap* image, TBitmap* mask) {
  const int first = Count();
  for (Image& img : Split(image, mask, false, clNone)) images_.push_back(std::move(img));
  Changed();
  return first;
}

int TImageList::AddMasked(TBitmap* image, TColor maskColor) {
  const int first = Count();
  for (Image& img : Split(image, nullptr, true, maskColor)) images_.push_back(std::move(img));
  Changed();
  return first;
}

void TImageList::Replace(int index, TBitmap* image, TBitmap* mask) {
  CheckIndex(index);
  std::vector<Image> imgs = Split(image, mask, false, clNone);
  if (!imgs.empty()) images_[size_t(index)] = std::move(imgs.front());
  Changed();
}

void TImageList::ReplaceMasked(int index, TBitmap* image, TColor maskColor) {
  CheckIndex(index);
  std::vector<Image> imgs = Split(image, nullptr, true, maskColor);
  if (!imgs.empty()) images_[size_t(index)] = std::move(imgs.front());
  Changed();
}

void TImageList::Delete(int index) {
  CheckIndex(index);
  images_.erase(images_.begin() + index);
  Changed();
}

void TImageList::Clear() {
  images_.clear();
  Changed();
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
  if (!canvas || index < 0 || index >= Count()) return;
  const Image& img = images_[size_t(index)];
  HDC dest = canvas->Handle();
  // The mask: white where the image is transparent (all opaque when unmasked).
  ScratchDC mask(CreateBitmap(width_, height_, 1, 1, nullptr));
  for (size_t i = 0; i < img.transparent.size(); ++i)
    mask.bitmap()->pixels[i] = masked_ && img.transparent[i] && bkColor_ == clNone ? kMonoWhite : 0;
  if (!enabled) {
    // Embossed: the shape in the highlight colour one pixel down and right,
    // then in the shadow colour in place.
    const struct {
      int offset;
      int sysColor;
    } passes[] = {{1, COLOR_BTNHIGHLIGHT}, {0, COLOR_BTNSHADOW}};
    for (const auto& pass : passes) {
      HBRUSH brush = CreateSolidBrush(GetSysColor(pass.sysColor));
      HGDIOBJ old = SelectObject(dest, brush);
      MaskBlt(dest, x + pass.offset, y + pass.offset, width_, height_, nullptr, 0, 0, mask.bitmap(), 0, 0,
              MAKEROP4(kKeepDest, PATCOPY));
      SelectObject(dest, old);
      DeleteObject(brush);
    }
    return;
  }
  ScratchDC colour(CreateBitmap(width_, height_, 1, 32, img.color.data()));
  if (bkColor_ != clNone)
    for (size_t i = 0; i < img.transparent.size(); ++i)
      if (img.transparent[i]) colour.bitmap()->pixels[i] = ColorToPixel(ColorToRGB(bkColor_));
  MaskBlt(dest, x, y, width_, height_, colour.dc(), 0, 0, mask.bitmap(), 0, 0, MAKEROP4(kKeepDest, SRCCOPY));
}

void TImageList::GetBitmap(int index, TBitmap* bitmap) {
  if (!bitmap || index < 0 || index >= Count()) return;
  bitmap->SetSize(width_, height_);
  Draw(bitmap->Canvas(), 0, 0, index);
}
