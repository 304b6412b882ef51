// Value types and handle types of the drawing layer: rectangles, points,
// colours and the opaque handles that the gdi32-style functions hand out.
// Kept apart from gdi.h so that headers needing only a TRect stay cheap.
#pragma once

#include <cstdint>

struct TPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  bool operator==(const TSize&) const = default;
};

// Right and Bottom are exclusive.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool operator==(const TRect&) const = default;
};

inline TPoint Point(int x, int y) { return {x, y}; }
inline TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
inline TRect Bounds(int left, int top, int width, int height) {
  return {left, top, left + width, top + height};
}

// Colours are $00BBGGRR; $80000000 + n names system colour n.
using TColor = int32_t;
using COLORREF = uint32_t;
using BOOL = int;
using UINT = unsigned int;
using DWORD = uint32_t;

constexpr COLORREF RGB(int r, int g, int b) {
  return COLORREF(r & 0xFF) | (COLORREF(g & 0xFF) << 8) | (COLORREF(b & 0xFF) << 16);
}
constexpr int GetRValue(COLORREF c) { return c & 0xFF; }
constexpr int GetGValue(COLORREF c) { return (c >> 8) & 0xFF; }
constexpr int GetBValue(COLORREF c) { return (c >> 16) & 0xFF; }

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// Handles are pointers to the layer's own objects (see gdi_objects.h).
struct GdiObject;
struct GdiBitmap;
struct GdiBrush;
struct GdiPen;
struct GdiFont;
struct GdiRegion;
struct DeviceContext;
struct GdiIcon;
using HGDIOBJ = GdiObject*;
using HBITMAP = GdiBitmap*;
using HBRUSH = GdiBrush*;
using HPEN = GdiPen*;
using HFONT = GdiFont*;
using HRGN = GdiRegion*;
using HDC = DeviceContext*;
using HICON = GdiIcon*;
