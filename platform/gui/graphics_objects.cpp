// TFont, TPen and TBrush: settings, handles made on demand and dropped on
// every change, and Assign between objects of the same class.
#include "platform/gui/graphics_objects.h"

#include <cmath>
#include <cstring>

#include "platform/gui/bitmap.h"

namespace {

int MulDiv(int a, int b, int c) { return int(std::lround(double(a) * b / c)); }

// Stores a new value; false when it is the value already held.
template <typename T>
bool Store(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}

template <typename T>
void DropHandle(T*& handle) {
  if (handle) DeleteObject(handle);
  handle = nullptr;
}

}  // namespace

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

// --- TFont ---------------------------------------------------------------------

TFont::TFont() = default;

TFont::~TFont() { DropHandle(handle_); }

void TFont::Modified() {
  DropHandle(handle_);
  Changed();
}

void TFont::Assign(const TPersistent* source) {
  auto* f = dynamic_cast<const TFont*>(source);
  if (!f) return TPersistent::Assign(source);
  name_ = f->name_;
  height_ = f->height_;
  color_ = f->color_;
  style_ = f->style_;
  charset_ = f->charset_;
  pitch_ = f->pitch_;
  Modified();
}

HFONT TFont::Handle() {
  if (handle_) return handle_;
  LOGFONTA lf;
  std::strncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
  lf.lfHeight = height_;
  lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (style_ & fsItalic) ? 1 : 0;
  lf.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = charset_;
  handle_ = CreateFontIndirectA(&lf);
  return handle_;
}

void TFont::SetName(const AnsiString& name) {
  if (name == name_ || name.empty()) return;
  name_ = name;
  Modified();
}

int TFont::Size() const { return -MulDiv(height_, 72, PixelsPerInch); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, PixelsPerInch, 72)); }

void TFont::SetHeight(int pixels) {
  if (Store(height_, pixels)) Modified();
}

void TFont::SetColor(TColor color) {
  if (Store(color_, color)) Changed();  // the colour is the canvas's text colour, not part of the handle
}

void TFont::SetStyle(TFontStyles style) {
  if (Store(style_, style)) Modified();
}

void TFont::SetCharset(uint8_t charset) {
  if (Store(charset_, charset)) Modified();
}

void TFont::SetPitch(TFontPitch pitch) {
  if (Store(pitch_, pitch)) Modified();
}

// --- TPen ----------------------------------------------------------------------

TPen::~TPen() { DropHandle(handle_); }

void TPen::Modified() {
  DropHandle(handle_);
  Changed();
}

void TPen::Assign(const TPersistent* source) {
  auto* p = dynamic_cast<const TPen*>(source);
  if (!p) return TPersistent::Assign(source);
  color_ = p->color_;
  width_ = p->width_;
  style_ = p->style_;
  mode_ = p->mode_;
  Modified();
}

HPEN TPen::Handle() {
  if (!handle_) {
    static const int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    handle_ = CreatePen(kStyles[style_], width_, ColorToRGB(color_));
  }
  return handle_;
}

int TPen::Rop2() const {
  static const int kModes[] = {R2_BLACK,      R2_WHITE,       R2_NOP,        R2_NOT,
                               R2_COPYPEN,    R2_NOTCOPYPEN,  R2_MERGEPENNOT, R2_MASKPENNOT,
                               R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,   R2_NOTMERGEPEN,
                               R2_MASKPEN,    R2_NOTMASKPEN,  R2_XORPEN,     R2_NOTXORPEN};
  return kModes[mode_];
}

void TPen::SetColor(TColor color) {
  if (Store(color_, color)) Modified();
}

void TPen::SetWidth(int width) {
  if (width == width_ || width < 0) return;
  width_ = width;
  Modified();
}

void TPen::SetStyle(TPenStyle style) {
  if (Store(style_, style)) Modified();
}

void TPen::SetMode(TPenMode mode) {
  if (Store(mode_, mode)) Changed();
}

// --- TBrush --------------------------------------------------------------------

TBrush::~TBrush() { DropHandle(handle_); }

void TBrush::Modified() {
  DropHandle(handle_);
  Changed();
}

void TBrush::Assign(const TPersistent* source) {
  auto* b = dynamic_cast<const TBrush*>(source);
  if (!b) return TPersistent::Assign(source);
  color_ = b->color_;
  style_ = b->style_;
  bitmap_ = b->bitmap_;
  Modified();
}

HBRUSH TBrush::Handle() {
  if (handle_) return handle_;
  if (bitmap_ && !bitmap_->Empty()) {
    handle_ = CreatePatternBrush(bitmap_->Handle());
  } else {
    LOGBRUSH lb;
    lb.lbStyle = style_ == bsClear ? BS_NULL : BS_SOLID;
    lb.lbColor = ColorToRGB(color_);
    handle_ = CreateBrushIndirect(&lb);
  }
  return handle_;
}

void TBrush::SetColor(TColor color) {
  if (color == color_ && style_ != bsClear) return;
  color_ = color;
  if (style_ == bsClear) style_ = bsSolid;  // choosing a colour makes the brush paint again
  Modified();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (Store(style_, style)) Modified();
}

void TBrush::SetBitmap(TBitmap* bitmap) {
  bitmap_ = bitmap;
  Modified();
}
