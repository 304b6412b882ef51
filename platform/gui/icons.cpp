// Icon drawing: the AND mask keeps the background and the colour image is
// XORed in, as the platform draws icons; icons with an alpha channel are
// blended by it instead.
#include <algorithm>

#include "platform/gui/raster.h"

using namespace gdi_detail;

namespace {

Pixel AlphaBlend(Pixel dest, Pixel src) {
  const int a = int(src >> 24);
  Pixel out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int s = int((src >> shift) & 0xFF), d = int((dest >> shift) & 0xFF);
    out |= Pixel((s * a + d * (255 - a) + 127) / 255) << shift;
  }
  return out;
}

}  // namespace

BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT, HBRUSH, UINT flags) {
  if (!dc || !icon || !dc->Target() || icon->width <= 0 || icon->height <= 0) return 0;
  if (width <= 0) width = icon->width;
  if (height <= 0) height = icon->height;
  GdiBitmap& target = *dc->Target();
  const TRect at = dc->ToTarget(TRect{x, y, x + width, y + height});
  ForEachSpan(*dc, at, [&](int x0, int x1, int ty) {
    Pixel* row = target.Row(ty);
    const int sy = (ty - at.Top) * icon->height / height;
    for (int tx = x0; tx < x1; ++tx) {
      const size_t i = size_t(sy) * icon->width + size_t((tx - at.Left) * icon->width / width);
      const Pixel color = icon->color[i];
      Pixel& d = row[tx];
      if (icon->hasAlpha && (flags & DI_IMAGE)) {
        d = ToTargetFormat(target, AlphaBlend(d, color));
        continue;
      }
      if (flags & DI_MASK) d = icon->mask[i] ? d : 0;
      if (flags & DI_IMAGE) d = ToTargetFormat(target, (flags & DI_MASK) ? d ^ color : color);
    }
  });
  return 1;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) { return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL); }

BOOL DestroyIcon(HICON icon) {
  delete icon;
  return icon != nullptr;
}
