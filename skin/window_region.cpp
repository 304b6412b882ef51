// The window regions of skinned frames; see window_region.h.
#include "skin/window_region.h"

#include <algorithm>

#include "platform/gui/bitmap.h"
#include "platform/gui/colors.h"
#include "platform/gui/gdi.h"

namespace {

void AddRect(HRGN region, int left, int top, int right, int bottom) {
  if (right <= left || bottom <= top) return;
  HRGN piece = CreateRectRgn(left, top, right, bottom);
  CombineRgn(region, region, piece, RGN_OR);
  DeleteObject(piece);
}

// One row's runs of pixels that differ from the transparent colour.
void AddOpaqueRuns(HRGN region, TBitmap* image, int y, int offsetY, uint32_t transparent) {
  const uint32_t* row = image->ScanLine(y);
  const int w = image->Width();
  for (int x = 0; x < w;) {
    if ((row[x] & 0xFFFFFF) == transparent) {
      ++x;
      continue;
    }
    const int start = x;
    while (x < w && (row[x] & 0xFFFFFF) != transparent) ++x;
    AddRect(region, start, offsetY + y, x, offsetY + y + 1);
  }
}

// A picture's part of the region at offsetY: a solid band above minY, the
// scanned rows, a solid band below them. A skin's limits are clamped to the
// picture, so a hostile skin cannot make the scan leave the bitmap.
void AddPicture(HRGN region, TBitmap* image, int width, int offsetY, int minY, int maxY, uint32_t transparent) {
  const int h = image ? image->Height() : 0;
  if (h <= 0) return;
  const int end = std::clamp(maxY > minY ? maxY + 1 : h, 0, h);
  const int start = std::clamp(minY == -1 ? 0 : minY, 0, end);
  if (start > 0) AddRect(region, 0, offsetY, width, offsetY + start);
  for (int y = start; y < end; ++y) AddOpaqueRuns(region, image, y, offsetY, transparent);
  if (h > end) AddRect(region, 0, offsetY + end, width, offsetY + h);
}

uint32_t ScanValue(TColor color) {
  const COLORREF c = ColorToRGB(color);
  return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

}  // namespace

HRGN MakeSkinRegion(const TSkinRegionSource& s) {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  const uint32_t transparent = ScanValue(s.TransColor);
  const int titleH = s.NeedTitle && s.TitleImage ? s.TitleImage->Height() : 0;
  const int bottomH = s.NeedBottom && s.BottomImage ? s.BottomImage->Height() : 0;
  if (s.NeedTitle) AddPicture(region, s.TitleImage, s.Width, 0, s.TitleMinY, s.TitleMaxY, transparent);
  AddRect(region, 0, titleH, s.Width, s.Height - bottomH);
  if (s.NeedBottom)
    AddPicture(region, s.BottomImage, s.Width, s.Height - bottomH, s.BottomMinY, s.BottomMaxY, transparent);
  return region;
}

void SetRegionFromSkin(HWND window, const TSkinRegionSource& source) { SetWindowRgn(window, MakeSkinRegion(source), 1); }

HRGN MakeBuiltInRegion(int width, int height, int c, int d) {
  const int half = height / 2;
  HRGN region = CreateRoundRectRgn(0, 0, width + 1, half + 1, c, c);
  AddRect(region, 0, half - 2 * c, 2 * c, half);
  AddRect(region, width - 2 * c, half - 2 * c, width, half);
  HRGN bottom = CreateRoundRectRgn(0, half, width + 1, height + 1, d, d);
  CombineRgn(region, region, bottom, RGN_OR);
  DeleteObject(bottom);
  AddRect(region, 0, half, 2 * d, half + 2 * d);
  AddRect(region, width - 2 * d, half, width, half + 2 * d);
  return region;
}
