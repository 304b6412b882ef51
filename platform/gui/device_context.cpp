// Device contexts and the objects selected into them: creation, selection
// with deferred deletion, stock objects, SaveDC/RestoreDC, coordinate origins
// and clipping. Drawing operations live in their own files.
#include <algorithm>
#include <cstring>

#include "platform/gui/gdi_objects.h"

GdiBitmap::GdiBitmap(int w, int h, int bpp)
    : GdiObject(OBJ_BITMAP), width(std::max(w, 0)), height(std::max(h, 0)), bitsPerPixel(bpp),
      pixels(size_t(width) * size_t(height), 0) {}

namespace {

void FreeObject(GdiObject* object) { delete object; }

HBRUSH MakeStockBrush(UINT style, COLORREF color) {
  auto* b = new GdiBrush;
  b->style = style;
  b->color = color;
  b->stock = true;
  return b;
}

HPEN MakeStockPen(int style, COLORREF color) {
  auto* p = new GdiPen;
  p->style = style;
  p->color = color;
  p->stock = true;
  return p;
}

HFONT MakeStockFont(const char* face, int height) {
  auto* f = new GdiFont;
  std::strncpy(f->logFont.lfFaceName, face, LF_FACESIZE - 1);
  f->logFont.lfHeight = height;
  f->stock = true;
  return f;
}

// A 1x1 monochrome bitmap is what a fresh memory DC holds, as on the
// original platform; selecting a real bitmap replaces it.
HBITMAP StockBitmap() {
  static GdiBitmap* bitmap = [] {
    auto* b = new GdiBitmap(1, 1, 1);
    b->stock = true;
    return b;
  }();
  return bitmap;
}

template <typename T>
HGDIOBJ Swap(T*& slot, HGDIOBJ object) {
  T* old = slot;
  AddSelection(object);
  slot = static_cast<T*>(object);
  ReleaseSelection(old);
  return old;
}

void AddStateSelections(const DcState& s) {
  for (GdiObject* o : {static_cast<GdiObject*>(s.pen), static_cast<GdiObject*>(s.brush),
                       static_cast<GdiObject*>(s.font), static_cast<GdiObject*>(s.bitmap)})
    AddSelection(o);
}

void ReleaseStateSelections(const DcState& s) {
  for (GdiObject* o : {static_cast<GdiObject*>(s.pen), static_cast<GdiObject*>(s.brush),
                       static_cast<GdiObject*>(s.font), static_cast<GdiObject*>(s.bitmap)})
    ReleaseSelection(o);
}

HDC NewDC(HBITMAP fixedTarget, POINT origin) {
  auto* dc = new DeviceContext;
  dc->state.pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
  dc->state.brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  dc->state.font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  dc->state.bitmap = StockBitmap();
  dc->fixedTarget = fixedTarget;
  dc->deviceOrigin = origin;
  dc->memoryDC = fixedTarget == nullptr;
  AddStateSelections(dc->state);
  AddSelection(fixedTarget);
  return dc;
}

}  // namespace

void AddSelection(GdiObject* object) {
  if (object) ++object->selections;
}

void ReleaseSelection(GdiObject* object) {
  if (!object) return;
  --object->selections;
  if (object->selections <= 0 && object->deletePending) FreeObject(object);
}

HGDIOBJ GetStockObject(int index) {
  static HGDIOBJ stock[20] = {
      MakeStockBrush(BS_SOLID, RGB(255, 255, 255)), MakeStockBrush(BS_SOLID, RGB(192, 192, 192)),
      MakeStockBrush(BS_SOLID, RGB(128, 128, 128)), MakeStockBrush(BS_SOLID, RGB(64, 64, 64)),
      MakeStockBrush(BS_SOLID, RGB(0, 0, 0)),       MakeStockBrush(BS_NULL, 0),
      MakeStockPen(PS_SOLID, RGB(255, 255, 255)),   MakeStockPen(PS_SOLID, 0),
      MakeStockPen(PS_NULL, 0),                     nullptr,
      nullptr,                                      nullptr,
      nullptr,                                      MakeStockFont("MS Sans Serif", -11),
      nullptr,                                      nullptr,
      nullptr,                                      MakeStockFont("MS Sans Serif", -11),
      MakeStockBrush(BS_SOLID, RGB(255, 255, 255)), MakeStockPen(PS_SOLID, 0)};
  return index >= 0 && index < 20 ? stock[index] : nullptr;
}

HDC CreateCompatibleDC(HDC) { return NewDC(nullptr, {}); }

HDC CreateTargetDC(HBITMAP target, POINT deviceOrigin) { return NewDC(target, deviceOrigin); }

BOOL DeleteDC(HDC dc) {
  if (!dc) return 0;
  for (const DcState& s : dc->saved) ReleaseStateSelections(s);
  ReleaseStateSelections(dc->state);
  ReleaseSelection(dc->fixedTarget);
  delete dc;
  return 1;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  if (!dc || !object) return nullptr;
  HGDIOBJ old = nullptr;
  switch (object->objectType) {
    case OBJ_PEN: return Swap(dc->state.pen, object);
    case OBJ_BRUSH: return Swap(dc->state.brush, object);
    case OBJ_FONT: return Swap(dc->state.font, object);
    case OBJ_BITMAP:
      // A bitmap lives in one memory DC at a time.
      if (!dc->memoryDC || (object->selections > 0 && object != dc->state.bitmap && !object->stock)) return nullptr;
      old = Swap(dc->state.bitmap, object);
      dc->InvalidateClip();
      return old;
    case OBJ_REGION:
      SelectClipRgn(dc, static_cast<HRGN>(object));
      return nullptr;
  }
  return nullptr;
}

BOOL DeleteObject(HGDIOBJ object) {
  if (!object || object->stock) return 0;
  if (object->selections > 0) {
    object->deletePending = true;
    return 1;
  }
  FreeObject(object);
  return 1;
}

HGDIOBJ SelectObject(HDC dc, HPEN object) { return SelectObject(dc, static_cast<HGDIOBJ>(object)); }
HGDIOBJ SelectObject(HDC dc, HBRUSH object) { return SelectObject(dc, static_cast<HGDIOBJ>(object)); }
HGDIOBJ SelectObject(HDC dc, HFONT object) { return SelectObject(dc, static_cast<HGDIOBJ>(object)); }
HGDIOBJ SelectObject(HDC dc, HBITMAP object) { return SelectObject(dc, static_cast<HGDIOBJ>(object)); }
int SelectObject(HDC dc, HRGN object) { return SelectClipRgn(dc, object); }
BOOL DeleteObject(HPEN object) { return DeleteObject(static_cast<HGDIOBJ>(object)); }
BOOL DeleteObject(HBRUSH object) { return DeleteObject(static_cast<HGDIOBJ>(object)); }
BOOL DeleteObject(HFONT object) { return DeleteObject(static_cast<HGDIOBJ>(object)); }
BOOL DeleteObject(HBITMAP object) { return DeleteObject(static_cast<HGDIOBJ>(object)); }
BOOL DeleteObject(HRGN object) { return DeleteObject(static_cast<HGDIOBJ>(object)); }

HGDIOBJ GetCurrentObject(HDC dc, UINT type) {
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_PEN: return dc->state.pen;
    case OBJ_BRUSH: return dc->state.brush;
    case OBJ_FONT: return dc->state.font;
    case OBJ_BITMAP: return dc->Target();
  }
  return nullptr;
}

int GetObjectType(HGDIOBJ object) { return object ? object->objectType : 0; }

int GetObject(HGDIOBJ object, int size, void* buffer) {
  if (!object) return 0;
  switch (object->objectType) {
    case OBJ_BITMAP: {
      if (!buffer) return sizeof(BITMAP);
      if (size < int(sizeof(BITMAP))) return 0;
      auto* b = static_cast<GdiBitmap*>(object);
      BITMAP info;
      info.bmWidth = b->width;
      info.bmHeight = b->height;
      info.bmBitsPixel = uint16_t(b->bitsPerPixel);
      info.bmWidthBytes = ((b->width * b->bitsPerPixel + 15) / 16) * 2;
      std::memcpy(buffer, &info, sizeof info);
      return sizeof info;
    }
    case OBJ_BRUSH: {
      if (!buffer) return sizeof(LOGBRUSH);
      if (size < int(sizeof(LOGBRUSH))) return 0;
      auto* b = static_cast<GdiBrush*>(object);
      LOGBRUSH info{b->style, b->color, 0};
      std::memcpy(buffer, &info, sizeof info);
      return sizeof info;
    }
    case OBJ_FONT: {
      if (!buffer) return sizeof(LOGFONTA);
      if (size < int(sizeof(LOGFONTA))) return 0;
      std::memcpy(buffer, &static_cast<GdiFont*>(object)->logFont, sizeof(LOGFONTA));
      return sizeof(LOGFONTA);
    }
  }
  return 0;
}

HBITMAP CreateBitmap(int width, int height, UINT, UINT bitsPerPixel, const void* bits) {
  if (width < 0 || height < 0) return nullptr;
  static const UINT kFormats[] = {1, 4, 8, 16, 24, 32};
  if (std::find(std::begin(kFormats), std::end(kFormats), bitsPerPixel) == std::end(kFormats)) return nullptr;
  auto* b = new GdiBitmap(width, height, int(bitsPerPixel));
  if (bits) std::memcpy(b->pixels.data(), bits, b->pixels.size() * sizeof(Pixel));
  if (b->IsMono())
    for (Pixel& p : b->pixels) p = (p & kRgbMask) ? kMonoWhite : 0;
  return b;
}

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
  // Compatible with a fresh memory DC means monochrome, as on the original.
  const bool mono = dc && dc->Target() && dc->Target()->IsMono() && dc->memoryDC;
  return CreateBitmap(width, height, 1, mono ? 1 : 32, nullptr);
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto* b = new GdiBrush;
  b->color = color & 0xFFFFFF;
  return b;
}

HBRUSH CreatePatternBrush(HBITMAP pattern) {
  if (!pattern || pattern->width == 0 || pattern->height == 0) return nullptr;
  auto* b = new GdiBrush;
  b->style = BS_PATTERN;
  b->patternWidth = pattern->width;
  b->patternHeight = pattern->height;
  b->patternMono = pattern->IsMono();
  b->pattern = pattern->pixels;
  return b;
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush) {
  if (!brush) return nullptr;
  if (brush->lbStyle == BS_PATTERN) return CreatePatternBrush(reinterpret_cast<HBITMAP>(brush->lbHatch));
  auto* b = new GdiBrush;
  // Hatched brushes are drawn solid: nothing here draws hatches.
  b->style = brush->lbStyle == BS_NULL ? BS_NULL : BS_SOLID;
  b->color = brush->lbColor & 0xFFFFFF;
  return b;
}

HPEN CreatePen(int style, int width, COLORREF color) {
  auto* p = new GdiPen;
  p->style = (style >= PS_SOLID && style <= PS_INSIDEFRAME) ? style : PS_SOLID;
  p->width = std::max(width, 1);
  p->color = color & 0xFFFFFF;
  return p;
}

HFONT CreateFontIndirectA(const LOGFONTA* font) {
  if (!font) return nullptr;
  auto* f = new GdiFont;
  f->logFont = *font;
  f->logFont.lfFaceName[LF_FACESIZE - 1] = 0;
  return f;
}

// --- state ----------------------------------------------------------------------

int SaveDC(HDC dc) {
  if (!dc) return 0;
  AddStateSelections(dc->state);
  dc->saved.push_back(dc->state);
  return int(dc->saved.size());
}

BOOL RestoreDC(HDC dc, int savedDC) {
  if (!dc) return 0;
  const int count = int(dc->saved.size());
  const int level = savedDC < 0 ? count + 1 + savedDC : savedDC;
  if (level < 1 || level > count) return 0;
  while (int(dc->saved.size()) > level) {
    ReleaseStateSelections(dc->saved.back());
    dc->saved.pop_back();
  }
  ReleaseStateSelections(dc->state);
  dc->state = std::move(dc->saved.back());
  dc->saved.pop_back();
  dc->InvalidateClip();
  return 1;
}

#define VX_DC_PROPERTY(Type, SetName, GetName, field, invalid) \
  Type SetName(HDC dc, Type value) {                          \
    if (!dc) return invalid;                                   \
    Type old = dc->state.field;                                \
    dc->state.field = value;                                   \
    return old;                                                \
  }                                                            \
  Type GetName(HDC dc) { return dc ? dc->state.field : invalid; }

VX_DC_PROPERTY(COLORREF, SetTextColor, GetTextColor, textColor, CLR_INVALID)
VX_DC_PROPERTY(COLORREF, SetBkColor, GetBkColor, bkColor, CLR_INVALID)
VX_DC_PROPERTY(int, SetBkMode, GetBkMode, bkMode, 0)
VX_DC_PROPERTY(int, SetROP2, GetROP2, rop2, 0)
VX_DC_PROPERTY(int, SetStretchBltMode, GetStretchBltMode, stretchMode, 0)
#undef VX_DC_PROPERTY

int SetPolyFillMode(HDC dc, int mode) {
  if (!dc) return 0;
  int old = dc->state.polyFillMode;
  dc->state.polyFillMode = mode;
  return old;
}

namespace {

BOOL SetPoint(HDC dc, POINT DcState::*field, int x, int y, POINT* old) {
  if (!dc) return 0;
  if (old) *old = dc->state.*field;
  dc->state.*field = {x, y};
  return 1;
}

BOOL GetPoint(HDC dc, POINT DcState::*field, POINT* out) {
  if (!dc || !out) return 0;
  *out = dc->state.*field;
  return 1;
}

}  // namespace

BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* old) { return SetPoint(dc, &DcState::brushOrg, x, y, old); }
BOOL GetBrushOrgEx(HDC dc, POINT* org) { return GetPoint(dc, &DcState::brushOrg, org); }
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old) { return SetPoint(dc, &DcState::windowOrg, x, y, old); }
BOOL GetWindowOrgEx(HDC dc, POINT* org) { return GetPoint(dc, &DcState::windowOrg, org); }
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old) { return SetPoint(dc, &DcState::viewportOrg, x, y, old); }
BOOL GetViewportOrgEx(HDC dc, POINT* org) { return GetPoint(dc, &DcState::viewportOrg, org); }
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* old) {
  return dc && SetWindowOrgEx(dc, dc->state.windowOrg.X + dx, dc->state.windowOrg.Y + dy, old);
}
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old) {
  return dc && SetViewportOrgEx(dc, dc->state.viewportOrg.X + dx, dc->state.viewportOrg.Y + dy, old);
}

// --- clipping --------------------------------------------------------------------

const std::vector<TRect>& DeviceContext::ClipRects() {
  HBITMAP target = Target();
  const TRect bounds = target ? TRect{0, 0, target->width, target->height} : TRect{};
  if (clipValid_ && bounds == clipBitmapBounds_) return clipRects_;
  Region r(bounds);
  if (visibleRegion) r = Region::Combine(r, *visibleRegion, RegionOp::And);
  if (state.clip) {
    Region clip = *state.clip;
    clip.Offset(deviceOrigin.X, deviceOrigin.Y);
    r = Region::Combine(r, clip, RegionOp::And);
  }
  clipRects_ = r.Rects();
  clipBitmapBounds_ = bounds;
  clipValid_ = true;
  return clipRects_;
}

namespace {

RegionOp ToOp(int mode) {
  switch (mode) {
    case RGN_AND: return RegionOp::And;
    case RGN_OR: return RegionOp::Or;
    case RGN_XOR: return RegionOp::Xor;
    case RGN_DIFF: return RegionOp::Diff;
    default: return RegionOp::Copy;
  }
}

// The area a DC could draw into without a clip region, in device coordinates.
Region DeviceArea(HDC dc) {
  HBITMAP target = dc->Target();
  Region area(target ? TRect{0, 0, target->width, target->height} : TRect{});
  if (dc->visibleRegion) area = Region::Combine(area, *dc->visibleRegion, RegionOp::And);
  area.Offset(-dc->deviceOrigin.X, -dc->deviceOrigin.Y);
  return area;
}

int CurrentClipComplexity(HDC dc) {
  return RegionComplexity(dc->state.clip ? *dc->state.clip : DeviceArea(dc));
}

TRect LogicalToDevice(HDC dc, int left, int top, int right, int bottom) {
  TRect r = NormalizedRect(left, top, right, bottom);
  const int dx = dc->state.viewportOrg.X - dc->state.windowOrg.X;
  const int dy = dc->state.viewportOrg.Y - dc->state.windowOrg.Y;
  return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

}  // namespace

int ExtSelectClipRgn(HDC dc, HRGN region, int mode) {
  if (!dc) return RGN_ERROR;
  if (!region) {
    if (mode != RGN_COPY) return RGN_ERROR;
    dc->state.clip.reset();
  } else if (mode == RGN_COPY || !dc->state.clip) {
    // Combining with "no clip" starts from the whole device area.
    const Region base = dc->state.clip ? *dc->state.clip : DeviceArea(dc);
    dc->state.clip = mode == RGN_COPY ? region->region : Region::Combine(base, region->region, ToOp(mode));
  } else {
    dc->state.clip = Region::Combine(*dc->state.clip, region->region, ToOp(mode));
  }
  dc->InvalidateClip();
  return CurrentClipComplexity(dc);
}

int SelectClipRgn(HDC dc, HRGN region) { return ExtSelectClipRgn(dc, region, RGN_COPY); }

int IntersectClipRect(HDC dc, int left, int top, int right, int bottom) {
  if (!dc) return RGN_ERROR;
  GdiRegion r;
  r.region = Region(LogicalToDevice(dc, left, top, right, bottom));
  return ExtSelectClipRgn(dc, &r, RGN_AND);
}

int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom) {
  if (!dc) return RGN_ERROR;
  GdiRegion r;
  r.region = Region(LogicalToDevice(dc, left, top, right, bottom));
  return ExtSelectClipRgn(dc, &r, RGN_DIFF);
}

int OffsetClipRgn(HDC dc, int dx, int dy) {
  if (!dc) return RGN_ERROR;
  if (dc->state.clip) dc->state.clip->Offset(dx, dy);
  dc->InvalidateClip();
  return CurrentClipComplexity(dc);
}

int GetClipBox(HDC dc, RECT* rect) {
  if (!dc || !rect) return RGN_ERROR;
  Region area = DeviceArea(dc);
  if (dc->state.clip) area = Region::Combine(area, *dc->state.clip, RegionOp::And);
  TRect b = area.Bounds();
  const int dx = dc->state.windowOrg.X - dc->state.viewportOrg.X;
  const int dy = dc->state.windowOrg.Y - dc->state.viewportOrg.Y;
  *rect = {b.Left + dx, b.Top + dy, b.Right + dx, b.Bottom + dy};
  return RegionComplexity(area);
}

int GetClipRgn(HDC dc, HRGN region) {
  if (!dc || !region) return -1;
  if (!dc->state.clip) return 0;
  region->region = *dc->state.clip;
  return 1;
}

BOOL PtVisible(HDC dc, int x, int y) {
  if (!dc) return 0;
  POINT t = dc->ToTarget(x, y);
  for (const TRect& c : dc->ClipRects())
    if (t.X >= c.Left && t.X < c.Right && t.Y >= c.Top && t.Y < c.Bottom) return 1;
  return 0;
}

BOOL RectVisible(HDC dc, const RECT* rect) {
  if (!dc || !rect) return 0;
  TRect t = dc->ToTarget(*rect);
  for (const TRect& c : dc->ClipRects())
    if (c.Left < t.Right && t.Left < c.Right && c.Top < t.Bottom && t.Top < c.Bottom) return 1;
  return 0;
}
