// Reading and writing image files. Every size and offset in a file is checked
// against the data before use, so a damaged file raises EInvalidGraphic and
// never reads or allocates past what it holds.
#include "platform/gui/image_io.h"

#include <png.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr char kInvalidBitmap[] = "Bitmap image is not valid";
constexpr char kInvalidIcon[] = "Icon image is not valid";
constexpr int kMaxDimension = 32768;
constexpr uint32_t kBiRgb = 0, kBiBitfields = 3;

class Reader {
public:
  Reader(const uint8_t* data, size_t size, const char* error) : data_(data), size_(size), error_(error) {}
  void Need(size_t offset, size_t count) const {
    if (offset > size_ || count > size_ - offset) throw EInvalidGraphic(error_);
  }
  uint32_t U32(size_t at) const {
    Need(at, 4);
    return uint32_t(data_[at]) | uint32_t(data_[at + 1]) << 8 | uint32_t(data_[at + 2]) << 16 |
           uint32_t(data_[at + 3]) << 24;
  }
  uint16_t U16(size_t at) const {
    Need(at, 2);
    return uint16_t(data_[at] | data_[at + 1] << 8);
  }
  uint8_t U8(size_t at) const {
    Need(at, 1);
    return data_[at];
  }
  const uint8_t* At(size_t at, size_t count) const {
    Need(at, count);
    return data_ + at;
  }
  size_t Size() const { return size_; }
  const char* Error() const { return error_; }

private:
  const uint8_t* data_;
  size_t size_;
  const char* error_;
};

struct DibInfo {
  int width = 0;
  int height = 0;  // rows of the colour image
  bool topDown = false;
  int bpp = 0;
  uint32_t compression = kBiRgb;
  uint32_t masks[4] = {0, 0, 0, 0};
  std::vector<COLORREF> palette;
  size_t headerEnd = 0;  // offset after header, masks and palette
};

int MaskShift(uint32_t mask) {
  int shift = 0;
  while (mask && !(mask & 1)) mask >>= 1, ++shift;
  return shift;
}

int MaskBits(uint32_t mask) {
  mask >>= MaskShift(mask);
  int bits = 0;
  while (mask & 1) mask >>= 1, ++bits;
  return bits;
}

uint8_t Channel(uint32_t value, uint32_t mask) {
  if (!mask) return 0;
  const int bits = MaskBits(mask);
  const uint32_t v = (value & mask) >> MaskShift(mask);
  return bits >= 8 ? uint8_t(v >> (bits - 8)) : uint8_t(v * 255 / ((1u << bits) - 1));
}

// Reads a BITMAPINFOHEADER (or the older core header) at offset.
DibInfo ReadDibHeader(const Reader& r, size_t offset, int heightDivisor) {
  DibInfo info;
  const uint32_t headerSize = r.U32(offset);
  size_t paletteEntry = 4;
  if (headerSize == 12) {
    info.width = r.U16(offset + 4);
    info.height = r.U16(offset + 6);
    info.bpp = r.U16(offset + 10);
    paletteEntry = 3;
  } else if (headerSize >= 40) {
    info.width = int32_t(r.U32(offset + 4));
    const int32_t h = int32_t(r.U32(offset + 8));
    info.topDown = h < 0;
    info.height = h < 0 ? -h : h;
    info.bpp = r.U16(offset + 14);
    info.compression = r.U32(offset + 16);
  } else {
    throw EInvalidGraphic(r.Error());
  }
  info.height /= heightDivisor;
  if (info.width <= 0 || info.height <= 0 || info.width > kMaxDimension || info.height > kMaxDimension)
    throw EInvalidGraphic(r.Error());
  static const int kDepths[] = {1, 4, 8, 16, 24, 32};
  if (std::find(std::begin(kDepths), std::end(kDepths), info.bpp) == std::end(kDepths))
    throw EInvalidGraphic(r.Error());
  if (info.compression != kBiRgb && !(info.compression == kBiBitfields && (info.bpp == 16 || info.bpp == 32)))
    throw EInvalidGraphic(r.Error());  // run-length and embedded formats are not used by our pictures
  size_t at = offset + headerSize;
  if (info.bpp == 16) {
    info.masks[0] = 0x7C00, info.masks[1] = 0x03E0, info.masks[2] = 0x001F;
  } else if (info.bpp == 32) {
    info.masks[0] = 0xFF0000, info.masks[1] = 0xFF00, info.masks[2] = 0xFF, info.masks[3] = 0xFF000000;
  }
  if (info.compression == kBiBitfields) {
    const size_t maskAt = headerSize >= 52 ? offset + 40 : at;
    for (int i = 0; i < 3; ++i) info.masks[i] = r.U32(maskAt + 4 * i);
    info.masks[3] = headerSize >= 56 ? r.U32(offset + 52) : 0;
    if (headerSize == 40) at += 12;
  }
  if (info.bpp <= 8) {
    uint32_t count = headerSize >= 40 ? r.U32(offset + 32) : 0;
    if (count == 0 || count > (1u << info.bpp)) count = 1u << info.bpp;
    r.Need(at, count * paletteEntry);
    for (uint32_t i = 0; i < count; ++i)
      info.palette.push_back(RGB(r.U8(at + i * paletteEntry + 2), r.U8(at + i * paletteEntry + 1),
                                 r.U8(at + i * paletteEntry)));
    at += count * paletteEntry;
  }
  info.headerEnd = at;
  return info;
}

size_t Stride(int width, int bpp) { return ((size_t(width) * bpp + 31) / 32) * 4; }

// Decodes the pixel rows at offset into top-down 0xAARRGGBB pixels.
std::vector<Pixel> ReadPixels(const Reader& r, const DibInfo& info, size_t offset, bool& anyAlpha) {
  const size_t stride = Stride(info.width, info.bpp);
  const uint8_t* bits = r.At(offset, stride * info.height);
  std::vector<Pixel> out(size_t(info.width) * info.height);
  anyAlpha = false;
  for (int row = 0; row < info.height; ++row) {
    const uint8_t* src = bits + stride * row;
    Pixel* dst = out.data() + size_t(info.topDown ? row : info.height - 1 - row) * info.width;
    for (int x = 0; x < info.width; ++x) {
      if (info.bpp <= 8) {
        const int perByte = 8 / info.bpp;
        const int index = (src[x / perByte] >> ((perByte - 1 - x % perByte) * info.bpp)) & ((1 << info.bpp) - 1);
        dst[x] = size_t(index) < info.palette.size() ? ColorToPixel(info.palette[index]) : 0;
      } else if (info.bpp == 24) {
        dst[x] = Pixel(src[3 * x + 2]) << 16 | Pixel(src[3 * x + 1]) << 8 | src[3 * x];
      } else {
        const size_t bytes = size_t(info.bpp / 8);
        uint32_t v = 0;
        for (size_t b = 0; b < bytes; ++b) v |= uint32_t(src[bytes * x + b]) << (8 * b);
        const uint8_t a = Channel(v, info.masks[3]);
        anyAlpha = anyAlpha || a != 0;
        dst[x] = Pixel(a) << 24 | Pixel(Channel(v, info.masks[0])) << 16 | Pixel(Channel(v, info.masks[1])) << 8 |
                 Channel(v, info.masks[2]);
      }
    }
  }
  return out;
}

bool IsBlackWhite(const std::vector<COLORREF>& palette) {
  return palette.size() == 2 && ((palette[0] == 0 && palette[1] == 0xFFFFFF) ||
                                 (palette[0] == 0xFFFFFF && palette[1] == 0));
}

void Put16(Bytes& b, uint32_t v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)}); }
void Put32(Bytes& b, uint32_t v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}); }

// The palette a paletted bitmap is written with: its own when every pixel is
// in it, else its distinct colours (nearest entry for any beyond the size).
std::vector<COLORREF> WritePalette(const GdiBitmap& b, int bpp) {
  if (bpp == 1) return {0, 0xFFFFFF};
  const size_t limit = size_t(1) << bpp;
  std::vector<COLORREF> palette = b.palette.size() <= limit ? b.palette : std::vector<COLORREF>{};
  for (Pixel p : b.pixels) {
    const COLORREF c = PixelToColor(p);
    if (std::find(palette.begin(), palette.end(), c) == palette.end() && palette.size() < limit)
      palette.push_back(c);
  }
  if (palette.empty()) palette.push_back(0);
  return palette;
}

int NearestIndex(const std::vector<COLORREF>& palette, COLORREF c) {
  int best = 0, bestDistance = 1 << 30;
  for (size_t i = 0; i < palette.size(); ++i) {
    const int dr = GetRValue(c) - GetRValue(palette[i]), dg = GetGValue(c) - GetGValue(palette[i]),
              db = GetBValue(c) - GetBValue(palette[i]);
    const int d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) bestDistance = d, best = int(i);
  }
  return best;
}

}  // namespace

HBITMAP ReadBmp(const uint8_t* data, size_t size) {
  Reader r(data, size, kInvalidBitmap);
  if (r.U8(0) != 'B' || r.U8(1) != 'M') throw EInvalidGraphic(kInvalidBitmap);
  const DibInfo info = ReadDibHeader(r, 14, 1);
  const uint32_t offBits = r.U32(10);
  bool anyAlpha = false;
  std::vector<Pixel> pixels = ReadPixels(r, info, offBits ? offBits : info.headerEnd, anyAlpha);
  int bpp = info.bpp == 16 ? 24 : info.bpp;
  const bool mono = info.bpp == 1 && IsBlackWhite(info.palette);
  if (info.bpp == 1 && !mono) bpp = 4;  // two colours that are not black and white
  auto* bitmap = new GdiBitmap(info.width, info.height, bpp);
  bitmap->pixels = std::move(pixels);
  if (bpp <= 8 && !mono) bitmap->palette = info.palette;
  return bitmap;
}

Bytes WriteBmp(const GdiBitmap& b) {
  const int bpp = b.bitsPerPixel == 16 ? 24 : b.bitsPerPixel;
  const std::vector<COLORREF> palette = bpp <= 8 ? WritePalette(b, bpp) : std::vector<COLORREF>{};
  const size_t stride = Stride(b.width, bpp);
  const uint32_t offBits = uint32_t(14 + 40 + 4 * palette.size());
  Bytes out;
  out.reserve(offBits + stride * b.height);
  out.insert(out.end(), {'B', 'M'});
  Put32(out, uint32_t(offBits + stride * b.height));
  Put32(out, 0);
  Put32(out, offBits);
  Put32(out, 40);
  Put32(out, uint32_t(b.width));
  Put32(out, uint32_t(b.height));
  Put16(out, 1);
  Put16(out, uint16_t(bpp));
  Put32(out, kBiRgb);
  Put32(out, uint32_t(stride * b.height));
  Put32(out, 3780);  // 96 dpi in pixels per metre
  Put32(out, 3780);
  Put32(out, uint32_t(palette.size()));
  Put32(out, 0);
  for (COLORREF c : palette) Put32(out, ColorToPixel(c));
  for (int row = b.height - 1; row >= 0; --row) {
    Bytes line(stride, 0);
    const Pixel* src = b.Row(row);
    for (int x = 0; x < b.width; ++x) {
      if (bpp <= 8) {
        const int perByte = 8 / bpp;
        const int index = bpp == 1 ? ((src[x] & kRgbMask) ? 1 : 0) : NearestIndex(palette, PixelToColor(src[x]));
        line[x / perByte] |= uint8_t(index << ((perByte - 1 - x % perByte) * bpp));
      } else {
        const size_t bytes = size_t(bpp / 8);
        for (size_t c = 0; c < bytes; ++c) line[bytes * x + c] = uint8_t(src[x] >> (8 * c));
      }
    }
    out.insert(out.end(), line.begin(), line.end());
  }
  return out;
}

std::vector<GdiIcon> ReadIco(const uint8_t* data, size_t size) {
  Reader r(data, size, kInvalidIcon);
  if (r.U16(0) != 0 || (r.U16(2) != 1 && r.U16(2) != 2)) throw EInvalidGraphic(kInvalidIcon);
  const int count = r.U16(4);
  if (count == 0) throw EInvalidGraphic(kInvalidIcon);
  std::vector<GdiIcon> icons;
  for (int i = 0; i < count; ++i) {
    const size_t entry = 6 + 16 * size_t(i);
    const uint32_t bytes = r.U32(entry + 8), offset = r.U32(entry + 12);
    r.Need(offset, bytes);
    if (bytes >= 8 && std::memcmp(r.At(offset, 8), "\x89PNG\r\n\x1a\n", 8) == 0) continue;  // not used by us
    Reader image(r.At(offset, bytes), bytes, kInvalidIcon);
    const DibInfo info = ReadDibHeader(image, 0, 2);  // the height counts colour and mask rows
    GdiIcon icon;
    icon.width = info.width;
    icon.height = info.height;
    bool anyAlpha = false;
    icon.color = ReadPixels(image, info, info.headerEnd, anyAlpha);
    icon.hasAlpha = info.bpp == 32 && anyAlpha;
    DibInfo maskInfo = info;
    maskInfo.bpp = 1;
    maskInfo.palette = {0, 0xFFFFFF};
    const size_t maskAt = info.headerEnd + Stride(info.width, info.bpp) * info.height;
    icon.mask.assign(icon.color.size(), 0);
    if (maskAt + Stride(info.width, 1) * info.height <= bytes) {
      bool unused = false;
      const std::vector<Pixel> mask = ReadPixels(image, maskInfo, maskAt, unused);
      for (size_t p = 0; p < mask.size(); ++p) icon.mask[p] = mask[p] ? 1 : 0;
    } else if (!icon.hasAlpha) {
      throw EInvalidGraphic(kInvalidIcon);
    }
    icons.push_back(std::move(icon));
  }
  if (icons.empty()) throw EInvalidGraphic(kInvalidIcon);
  return icons;
}

Bytes WritePng(const GdiBitmap& b) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    throw EInvalidGraphic("Cannot write PNG image");
  }
  Bytes out;
  std::vector<png_byte> row(size_t(b.width) * 3);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw EInvalidGraphic("Cannot write PNG image");
  }
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, png_size_t length) {
        auto* o = static_cast<Bytes*>(png_get_io_ptr(p));
        o->insert(o->end(), data, data + length);
      },
      nullptr);
  png_set_IHDR(png, info, png_uint_32(b.width), png_uint_32(b.height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < b.height; ++y) {
    const Pixel* src = b.Row(y);
    for (int x = 0; x < b.width; ++x) {
      row[3 * x] = png_byte(src[x] >> 16);
      row[3 * x + 1] = png_byte(src[x] >> 8);
      row[3 * x + 2] = png_byte(src[x]);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}
