// Block transfers: BitBlt with any ternary raster operation, StretchBlt with
// nearest or box-filtered sampling (negative extents mirror), transparent and
// masked copies, PatBlt. Sources are first read into a converted copy, which
// also makes overlapping copies within one bitmap safe.
#include <algorithm>
#include <cmath>

#include "platform/gui/raster.h"

using namespace gdi_detail;

namespace {

uint8_t RopCode(DWORD rop) { return uint8_t((rop >> 16) & 0xFF); }

bool UsesSource(uint8_t code) { return ((code >> 2) & 0x33) != (code & 0x33); }

// A source rectangle read out for one destination: mono/colour converted,
// with pixels outside the source bitmap marked invalid (never drawn).
struct SourceImage {
  int width = 0;
  int height = 0;
  std::vector<Pixel> pixels;
  std::vector<uint8_t> valid;
  std::vector<Pixel> raw;  // unconverted, for the transparent-colour test
};

SourceImage ReadSource(DeviceContext& src, const DeviceContext& dest, const TRect& r) {
  SourceImage img;
  img.width = r.Width();
  img.height = r.Height();
  const size_t n = size_t(img.width) * size_t(img.height);
  img.pixels.assign(n, 0);
  img.valid.assign(n, 0);
  img.raw.assign(n, 0);
  const GdiBitmap* bitmap = src.Target();
  const GdiBitmap* target = dest.Target();
  if (!bitmap || !target) return img;
  for (int y = 0; y < img.height; ++y) {
    const int sy = r.Top + y;
    if (sy < 0 || sy >= bitmap->height) continue;
    for (int x = 0; x < img.width; ++x) {
      const int sx = r.Left + x;
      if (sx < 0 || sx >= bitmap->width) continue;
      const size_t i = size_t(y) * img.width + x;
      Pixel p = bitmap->Row(sy)[sx];
      img.raw[i] = p;
      if (bitmap->IsMono() && !target->IsMono()) p = MonoToColor(p, dest);
      else if (!bitmap->IsMono() && target->IsMono()) p = ColorToMono(p, src.state.bkColor);
      img.pixels[i] = p;
      img.valid[i] = 1;
    }
  }
  return img;
}

// Nearest sampling: destination pixel i takes source pixel (2i + 1) * s / 2d.
int NearestIndex(int i, int destSize, int srcSize) { return int((2LL * i + 1) * srcSize / (2LL * destSize)); }

// Box filter: each destination pixel averages the source area it covers,
// weighting partly covered source pixels by their share.
Pixel BoxSample(const SourceImage& img, double x0, double x1, double y0, double y1, bool& valid) {
  double sum[4] = {0, 0, 0, 0}, weight = 0;
  for (int sy = int(std::floor(y0)); sy < int(std::ceil(y1)); ++sy) {
    const double wy = std::min(y1, sy + 1.0) - std::max(y0, double(sy));
    for (int sx = int(std::floor(x0)); sx < int(std::ceil(x1)); ++sx) {
      const double wx = std::min(x1, sx + 1.0) - std::max(x0, double(sx));
      const size_t i = size_t(sy) * img.width + sx;
      if (sx < 0 || sy < 0 || sx >= img.width || sy >= img.height || !img.valid[i]) continue;
      const double w = wx * wy;
      for (int c = 0; c < 4; ++c) sum[c] += w * ((img.pixels[i] >> (8 * c)) & 0xFF);
      weight += w;
    }
  }
  valid = weight > 0;
  if (!valid) return 0;
  Pixel p = 0;
  for (int c = 0; c < 4; ++c) p |= Pixel(std::lround(sum[c] / weight)) << (8 * c);
  return p;
}

// Scales img to w x h (both positive), mirrored as asked.
SourceImage Resample(const SourceImage& img, int w, int h, bool flipX, bool flipY, bool smooth) {
  SourceImage out;
  out.width = w;
  out.height = h;
  out.pixels.assign(size_t(w) * h, 0);
  out.valid.assign(size_t(w) * h, 0);
  out.raw.assign(size_t(w) * h, 0);
  if (img.width == 0 || img.height == 0) return out;
  const double fx = double(img.width) / w, fy = double(img.height) / h;
  for (int y = 0; y < h; ++y) {
    const int ty = flipY ? h - 1 - y : y;
    for (int x = 0; x < w; ++x) {
      const int tx = flipX ? w - 1 - x : x;
      const size_t o = size_t(ty) * w + tx;
      if (smooth && (img.width != w || img.height != h)) {
        bool valid = false;
        out.pixels[o] = BoxSample(img, x * fx, (x + 1) * fx, y * fy, (y + 1) * fy, valid);
        out.valid[o] = valid;
        out.raw[o] = out.pixels[o];
        continue;
      }
      const size_t i = size_t(NearestIndex(y, h, img.height)) * img.width + NearestIndex(x, w, img.width);
      out.pixels[o] = img.pixels[i];
      out.valid[o] = img.valid[i];
      out.raw[o] = img.raw[i];
    }
  }
  return out;
}

enum class Mode { Rop, Transparent };

// Writes a prepared source image at a target rectangle through the code.
void Compose(DeviceContext& dest, const TRect& at, const SourceImage& img, uint8_t code, Mode mode = Mode::Rop,
             Pixel transparent = 0, const SourceImage* mask = nullptr, uint8_t backCode = 0) {
  GdiBitmap* target = dest.Target();
  if (!target) return;
  const GdiBrush* brush = dest.state.brush;
  const bool keepAlpha = code == 0xCC && target->bitsPerPixel == 32 && mode == Mode::Rop && !mask;
  ForEachSpan(dest, at, [&](int x0, int x1, int y) {
    Pixel* row = target->Row(y);
    for (int x = x0; x < x1; ++x) {
      const size_t i = size_t(y - at.Top) * img.width + (x - at.Left);
      if (!img.valid[i]) continue;
      if (mode == Mode::Transparent) {
        if ((img.raw[i] & kRgbMask) != transparent) row[x] = ToTargetFormat(*target, img.pixels[i]);
        continue;
      }
      const uint8_t c = mask && mask->valid[i] && !(mask->raw[i] & kRgbMask) ? backCode : code;
      const Pixel p = brush ? ToTargetFormat(*target, BrushPixel(dest, *brush, x, y)) : 0;
      const Pixel r = Rop3(c, p, img.pixels[i], row[x]);
      row[x] = keepAlpha ? r : ToTargetFormat(*target, r);
    }
  });
}

TRect Normalize(int x, int y, int w, int h, bool& flipX, bool& flipY) {
  flipX = w < 0;
  flipY = h < 0;
  const int left = flipX ? x + w + 1 : x, top = flipY ? y + h + 1 : y;
  return {left, top, left + std::abs(w), top + std::abs(h)};
}

// Plain copies between distinct bitmaps of the same kind go row by row,
// without the converted copy: the path every off-screen paint takes.
bool CopyDirect(DeviceContext& dest, DeviceContext& src, const TRect& at, POINT from) {
  GdiBitmap* target = dest.Target();
  const GdiBitmap* bitmap = src.Target();
  if (!target || !bitmap || target == bitmap || target->IsMono() != bitmap->IsMono()) return false;
  const Pixel mask = target->bitsPerPixel == 32 && bitmap->bitsPerPixel == 32 ? 0xFFFFFFFF : kRgbMask;
  ForEachSpan(dest, at, [&](int x0, int x1, int y) {
    const int sy = from.Y + (y - at.Top);
    if (sy < 0 || sy >= bitmap->height) return;
    const int sx0 = std::max(from.X + (x0 - at.Left), 0), sx1 = std::min(from.X + (x1 - at.Left), bitmap->width);
    const Pixel* in = bitmap->Row(sy);
    Pixel* out = target->Row(y) + (at.Left + sx0 - from.X);
    for (int sx = sx0; sx < sx1; ++sx) *out++ = in[sx] & mask;
  });
  return true;
}

}  // namespace

BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
  if (!dc) return 0;
  bool fx, fy;
  const TRect r = Normalize(x, y, width, height, fx, fy);
  GdiBrush none;
  FillWithBrush(*dc, dc->ToTarget(r), dc->state.brush ? *dc->state.brush : none, RopCode(rop));
  return 1;
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop) {
  if (!dest) return 0;
  const uint8_t code = RopCode(rop);
  if (!UsesSource(code)) return PatBlt(dest, x, y, width, height, rop);
  if (!src || width <= 0 || height <= 0) return 0;
  const POINT s = src->ToTarget(xSrc, ySrc);
  const TRect at = dest->ToTarget(TRect{x, y, x + width, y + height});
  if (code == 0xCC && CopyDirect(*dest, *src, at, s)) return 1;
  const SourceImage img = ReadSource(*src, *dest, {s.X, s.Y, s.X + width, s.Y + height});
  Compose(*dest, at, img, code);
  return 1;
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int wSrc, int hSrc,
                DWORD rop) {
  if (!dest) return 0;
  const uint8_t code = RopCode(rop);
  if (!UsesSource(code)) return PatBlt(dest, x, y, width, height, rop);
  if (!src || width == 0 || height == 0 || wSrc == 0 || hSrc == 0) return 0;
  bool dfx, dfy, sfx, sfy;
  const TRect d = Normalize(x, y, width, height, dfx, dfy);
  const TRect sr = Normalize(xSrc, ySrc, wSrc, hSrc, sfx, sfy);
  const POINT s = src->ToTarget(sr.Left, sr.Top);
  const SourceImage img = ReadSource(*src, *dest, {s.X, s.Y, s.X + sr.Width(), s.Y + sr.Height()});
  const SourceImage scaled =
      Resample(img, d.Width(), d.Height(), dfx != sfx, dfy != sfy, dest->state.stretchMode == HALFTONE);
  Compose(*dest, dest->ToTarget(d), scaled, code);
  return 1;
}

BOOL TransparentBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int wSrc,
                    int hSrc, UINT transparent) {
  if (!dest || !src || width <= 0 || height <= 0 || wSrc <= 0 || hSrc <= 0) return 0;
  const POINT s = src->ToTarget(xSrc, ySrc);
  const SourceImage img = ReadSource(*src, *dest, {s.X, s.Y, s.X + wSrc, s.Y + hSrc});
  const SourceImage scaled = Resample(img, width, height, false, false, false);
  Compose(*dest, dest->ToTarget(TRect{x, y, x + width, y + height}), scaled, 0xCC, Mode::Transparent,
          ColorToPixel(transparent));
  return 1;
}

BOOL MaskBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, HBITMAP mask, int xMask,
             int yMask, DWORD rop) {
  if (!dest || width <= 0 || height <= 0) return 0;
  const uint8_t fore = RopCode(rop), back = uint8_t((rop >> 24) & 0xFF);
  if (!mask) return BitBlt(dest, x, y, width, height, src, xSrc, ySrc, rop & 0xFFFFFF);
  SourceImage img;
  if (src) {
    const POINT s = src->ToTarget(xSrc, ySrc);
    img = ReadSource(*src, *dest, {s.X, s.Y, s.X + width, s.Y + height});
  } else {
    img.width = width;
    img.height = height;
    img.pixels.assign(size_t(width) * height, 0);
    img.valid.assign(size_t(width) * height, 1);
    img.raw = img.pixels;
  }
  DeviceContext maskDc;
  maskDc.fixedTarget = mask;
  const SourceImage m = ReadSource(maskDc, *dest, {xMask, yMask, xMask + width, yMask + height});
  Compose(*dest, dest->ToTarget(TRect{x, y, x + width, y + height}), img, fore, Mode::Rop, 0, &m, back);
  return 1;
}
