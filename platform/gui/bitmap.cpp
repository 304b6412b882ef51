// TBitmap over a drawing-layer bitmap. The canvas's device context is made on
// first use and dropped whenever the image is replaced, so it always draws
// into the current image.
#include "platform/gui/bitmap.h"

#include <algorithm>
#include <map>
#include <memory>

#include "platform/gui/image_io.h"
#include "platform/gui/raster.h"
#include "platform/rtl/streams.h"

namespace {

constexpr TColor kPaletteRelative = 0x02000000;  // marks a colour taken from the image

int BitsOf(TPixelFormat format) {
  switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit: case pf16bit: return 16;
    case pf24bit: return 24;
    default: return 32;
  }
}

TPixelFormat FormatOf(int bits) {
  switch (bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return pf16bit;
    case 24: return pf24bit;
    default: return pf32bit;
  }
}

}  // namespace

TBitmap* AllocPatternBitmap(TColor back, TColor fore) {
  static std::map<std::pair<COLORREF, COLORREF>, std::unique_ptr<TBitmap>> cache;
  std::unique_ptr<TBitmap>& bitmap = cache[{ColorToRGB(back), ColorToRGB(fore)}];
  if (!bitmap) {
    bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(8, 8);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) bitmap->Canvas()->SetPixels(x, y, (x + y) % 2 ? back : fore);
  }
  return bitmap.get();
}

class TBitmap::BitmapCanvas : public TCanvas {
public:
  explicit BitmapCanvas(TBitmap* owner) : owner_(owner) {}
  ~BitmapCanvas() override { FreeDC(); }

  void FreeDC() {
    HDC dc = HandleAllocated() ? Handle() : nullptr;
    SetHandle(nullptr);
    if (dc) DeleteDC(dc);
  }

protected:
  void CreateHandle() override {
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, owner_->Handle());
    SetHandle(dc);
  }

private:
  TBitmap* owner_;
};

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  delete canvas_;
  if (image_) DeleteObject(image_);
}

void TBitmap::NewImage(HBITMAP image) {
  if (canvas_) canvas_->FreeDC();
  if (image_ && image_ != image) DeleteObject(image_);
  image_ = image;
  if (image_) format_ = format_ == pfDevice && image_->bitsPerPixel == 32 ? pfDevice : FormatOf(image_->bitsPerPixel);
}

void TBitmap::Changed() { TGraphic::Changed(); }

void TBitmap::Assign(const TPersistent* source) {
  if (!source) {
    NewImage(nullptr);
    Changed();
    return;
  }
  auto* b = dynamic_cast<const TBitmap*>(source);
  if (!b) return TPersistent::Assign(source);
  if (b == this) return;
  HBITMAP copy = nullptr;
  if (b->image_) {
    copy = CreateBitmap(b->image_->width, b->image_->height, 1, UINT(b->image_->bitsPerPixel), nullptr);
    copy->pixels = b->image_->pixels;
    copy->palette = b->image_->palette;
  }
  format_ = b->format_;
  NewImage(copy);
  format_ = b->format_;
  transparentColor_ = b->transparentColor_;
  transparentMode_ = b->transparentMode_;
  transparent_ = b->transparent_;
  Changed();
}

bool TBitmap::Empty() const { return !image_ || image_->width == 0 || image_->height == 0; }
int TBitmap::Width() const { return image_ ? image_->width : 0; }
int TBitmap::Height() const { return image_ ? image_->height : 0; }

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (image_ && width == image_->width && height == image_->height) return;
  HBITMAP next = CreateBitmap(width, height, 1, UINT(BitsOf(format_)), nullptr);
  std::fill(next->pixels.begin(), next->pixels.end(), kMonoWhite);
  if (image_) {
    next->palette = image_->palette;
    for (int y = 0; y < std::min(height, image_->height); ++y)
      std::copy_n(image_->Row(y), std::min(width, image_->width), next->Row(y));
  }
  NewImage(next);
  Changed();
}

void TBitmap::LoadFromStream(TStream* stream) {
  const std::string data = ReadAll(stream);
  HBITMAP image = ReadBmp(reinterpret_cast<const uint8_t*>(data.data()), data.size());
  format_ = FormatOf(image->bitsPerPixel);
  NewImage(image);
  Changed();
}

void TBitmap::SaveToStream(TStream* stream) {
  if (Empty()) return;
  const Bytes data = WriteBmp(*image_);
  stream->WriteBuffer(data.data(), int64_t(data.size()));
}

TCanvas* TBitmap::Canvas() {
  if (!canvas_) {
    canvas_ = new BitmapCanvas(this);
    canvas_->OnChange = [this](TObject*) { Changed(); };
  }
  return canvas_;
}

HBITMAP TBitmap::Handle() {
  if (!image_) image_ = CreateBitmap(0, 0, 1, UINT(BitsOf(format_)), nullptr);
  return image_;
}

void TBitmap::SetHandle(HBITMAP handle) {
  if (handle == image_) return;
  NewImage(handle);
  Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
  if (canvas_) canvas_->FreeDC();
  HBITMAP image = Handle();
  image_ = nullptr;
  return image;
}

TPixelFormat TBitmap::PixelFormat() const { return format_; }

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == format_) return;
  format_ = format;
  if (image_) {
    // Going to one bit per pixel copies through the canvas's background
    // (brush) colour: pixels of that colour become white, all others black.
    const COLORREF back = ColorToRGB(canvas_ ? canvas_->Brush()->Color() : clWhite);
    const bool toMono = BitsOf(format) == 1 && !image_->IsMono();
    image_->bitsPerPixel = BitsOf(format);
    image_->palette.clear();
    for (Pixel& p : image_->pixels) p = toMono ? gdi_detail::ColorToMono(p, back) : p & kRgbMask;
    if (canvas_) canvas_->FreeDC();
  }
  Changed();
}

bool TBitmap::Monochrome() const { return format_ == pf1bit; }

void TBitmap::SetMonochrome(bool value) {
  if (value != Monochrome()) SetPixelFormat(value ? pf1bit : pfDevice);
}

uint32_t* TBitmap::ScanLine(int row) {
  if (Empty() || row < 0 || row >= image_->height) throw EInvalidGraphic("Scan line index out of range");
  Changed();
  return image_->Row(row);
}

TColor TBitmap::TransparentColor() const {
  if (transparentColor_ != clDefault) return transparentColor_;
  if (Empty()) return clDefault;
  return TColor(PixelToColor(image_->Row(image_->height - 1)[0])) | kPaletteRelative;
}

void TBitmap::SetTransparentColor(TColor color) {
  if (color == transparentColor_) return;
  transparentColor_ = color;
  transparentMode_ = color == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  if (mode == transparentMode_) return;
  if (mode == tmAuto) transparentColor_ = clDefault;
  else transparentColor_ = TransparentColor() & ~kPaletteRelative;
  transparentMode_ = mode;
  Changed();
}

void TBitmap::Draw(TCanvas* canvas, const TRect& r) {
  if (Empty() || !canvas) return;
  HDC dest = canvas->Handle();
  HDC src = Canvas()->Handle();
  if (Transparent()) {
    TransparentBlt(dest, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, Width(), Height(),
                   ColorToRGB(TransparentColor()));
    return;
  }
  // A monochrome image shows black and white, whatever colours the canvas has.
  const COLORREF text = SetTextColor(dest, 0), back = SetBkColor(dest, 0xFFFFFF);
  if (r.Width() == Width() && r.Height() == Height())
    BitBlt(dest, r.Left, r.Top, Width(), Height(), src, 0, 0, canvas->CopyMode());
  else
    StretchBlt(dest, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, Width(), Height(), canvas->CopyMode());
  SetTextColor(dest, text);
  SetBkColor(dest, back);
}
