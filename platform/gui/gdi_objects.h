// The objects behind the drawing handles and the device context's state.
// Internal to platform/gui: the window layer builds on DeviceContext to draw
// into a window's backing bitmap at an origin, clipped to its visible region.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gui/gdi.h"
#include "platform/gui/region.h"

class FontFace;

// Pixels are 32-bit 0xAARRGGBB values (BGRA in memory), top-down. Drawing
// writes alpha 0, as the original platform does; only icons carry alpha.
using Pixel = uint32_t;

inline Pixel ColorToPixel(COLORREF c) {
  return (Pixel(GetRValue(c)) << 16) | (Pixel(GetGValue(c)) << 8) | Pixel(GetBValue(c));
}
inline COLORREF PixelToColor(Pixel p) { return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }
constexpr Pixel kRgbMask = 0x00FFFFFF;
constexpr Pixel kMonoWhite = 0x00FFFFFF;

struct GdiObject {
  explicit GdiObject(int type) : objectType(type) {}
  virtual ~GdiObject() = default;
  const int objectType;
  bool stock = false;
  int selections = 0;          // device contexts (and saved states) holding it
  bool deletePending = false;  // deleted while selected: freed on release
};

struct GdiBitmap : GdiObject {
  GdiBitmap(int w, int h, int bpp);
  int width;
  int height;
  int bitsPerPixel;  // logical format: 1, 4, 8, 16, 24 or 32
  std::vector<Pixel> pixels;
  std::vector<COLORREF> palette;  // kept from paletted files, for saving them back
  bool IsMono() const { return bitsPerPixel == 1; }
  Pixel* Row(int y) { return pixels.data() + size_t(y) * size_t(width); }
  const Pixel* Row(int y) const { return pixels.data() + size_t(y) * size_t(width); }
};

struct GdiBrush : GdiObject {
  GdiBrush() : GdiObject(OBJ_BRUSH) {}
  UINT style = BS_SOLID;
  COLORREF color = 0;
  // Pattern brushes keep their own copy of the pattern bitmap.
  int patternWidth = 0;
  int patternHeight = 0;
  bool patternMono = false;
  std::vector<Pixel> pattern;
};

struct GdiPen : GdiObject {
  GdiPen() : GdiObject(OBJ_PEN) {}
  int style = PS_SOLID;
  int width = 1;
  COLORREF color = 0;
};

struct GdiFont : GdiObject {
  GdiFont() : GdiObject(OBJ_FONT) {}
  LOGFONTA logFont;
  std::shared_ptr<FontFace> face;  // resolved on first use
};

struct GdiRegion : GdiObject {
  GdiRegion() : GdiObject(OBJ_REGION) {}
  Region region;
};

struct GdiIcon {
  int width = 0;
  int height = 0;
  bool hasAlpha = false;
  std::vector<Pixel> color;  // image pixels (alpha used when hasAlpha)
  std::vector<uint8_t> mask; // 1 = transparent (the AND mask)
};

// Everything SaveDC keeps.
struct DcState {
  HPEN pen = nullptr;
  HBRUSH brush = nullptr;
  HFONT font = nullptr;
  HBITMAP bitmap = nullptr;
  COLORREF textColor = 0;
  COLORREF bkColor = 0xFFFFFF;
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int stretchMode = BLACKONWHITE;
  int polyFillMode = ALTERNATE;
  POINT brushOrg;
  POINT windowOrg;
  POINT viewportOrg;
  POINT position;
  std::optional<Region> clip;  // device coordinates
};

struct DeviceContext {
  DcState state;
  std::vector<DcState> saved;
  bool memoryDC = true;
  // Where device (0, 0) lies in the target bitmap, and the part of the target
  // this DC may touch (target coordinates); set by the window layer, which
  // calls InvalidateClip() after changing either.
  POINT deviceOrigin;
  std::optional<Region> visibleRegion;
  // A window DC draws into a bitmap it does not select.
  HBITMAP fixedTarget = nullptr;

  HBITMAP Target() const { return fixedTarget ? fixedTarget : state.bitmap; }
  // Clip rectangles in target coordinates: bitmap bounds, visible region and
  // clip region combined. Cached until the clip state changes.
  const std::vector<TRect>& ClipRects();
  void InvalidateClip() { clipValid_ = false; }
  // Logical point to target coordinates.
  POINT ToTarget(int x, int y) const {
    return {x - state.windowOrg.X + state.viewportOrg.X + deviceOrigin.X,
            y - state.windowOrg.Y + state.viewportOrg.Y + deviceOrigin.Y};
  }
  TRect ToTarget(const TRect& r) const {
    POINT a = ToTarget(r.Left, r.Top);
    return {a.X, a.Y, a.X + r.Width(), a.Y + r.Height()};
  }

private:
  std::vector<TRect> clipRects_;
  bool clipValid_ = false;
  TRect clipBitmapBounds_;
};

// A rectangle from two corners given in any order.
inline TRect NormalizedRect(int left, int top, int right, int bottom) {
  return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

// NULLREGION, SIMPLEREGION or COMPLEXREGION, as region functions report.
inline int RegionComplexity(const Region& r) {
  if (r.IsEmpty()) return NULLREGION;
  return r.Rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

// Releases a selection reference, freeing an object deleted while selected.
void ReleaseSelection(GdiObject* object);
void AddSelection(GdiObject* object);
// Creates the window layer's DC over a backing bitmap (not selected into it).
HDC CreateTargetDC(HBITMAP target, POINT deviceOrigin);
