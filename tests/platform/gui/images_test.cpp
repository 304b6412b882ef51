// Image files and resources: BMP round trips for every depth, damaged files,
// icons with AND masks and alpha, named resources, bitmap transparency, and
// the test card written as PNG the same way on every run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "gui_test_surface.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/icon.h"
#include "platform/gui/image_io.h"

namespace {

void Put32(Bytes& b, uint32_t v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}); }
void Put16(Bytes& b, uint16_t v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)}); }

TEST(BmpFiles, EveryDepthRoundTrips) {
  // 5 x 3 so that every row needs padding; colours within each depth's range.
  const uint32_t kColours[] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00808080, 0x00123456};
  for (int bpp : {1, 4, 8, 24, 32}) {
    std::vector<uint32_t> pixels(15);
    for (size_t i = 0; i < pixels.size(); ++i) {
      pixels[i] = bpp == 1 ? ((i % 3) ? 0x00FFFFFF : 0) : kColours[i % 5];
      if (bpp == 32) pixels[i] |= uint32_t(i * 17) << 24;  // alpha survives too
    }
    HBITMAP original = CreateBitmap(5, 3, 1, UINT(bpp), pixels.data());
    const Bytes file = WriteBmp(*original);
    HBITMAP back = ReadBmp(file.data(), file.size());
    EXPECT_EQ(back->bitsPerPixel, bpp);
    EXPECT_EQ(back->width, 5);
    EXPECT_EQ(back->height, 3);
    EXPECT_EQ(back->pixels, pixels) << bpp << " bits per pixel";
    DeleteObject(original);
    DeleteObject(back);
  }
}

TEST(BmpFiles, DamagedFilesRaiseInsteadOfReadingPastTheData) {
  std::vector<uint32_t> pixels(4, 0x00102030);
  HBITMAP bitmap = CreateBitmap(2, 2, 1, 24, pixels.data());
  const Bytes good = WriteBmp(*bitmap);
  DeleteObject(bitmap);
  auto patched = [&](size_t at, uint32_t value) {
    Bytes b = good;
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(value >> (8 * i));
    return b;
  };
  const Bytes cases[] = {
      Bytes(good.begin(), good.begin() + 20),   // header cut off
      Bytes(good.begin(), good.end() - 4),      // pixel rows cut off
      patched(18, 0x7FFFFFFF),                  // absurd width
      patched(10, 0xFFFFFF00),                  // pixel offset past the end
      patched(30, 1),                           // run-length compression
      Bytes{'P', 'K', 3, 4},                    // not a bitmap at all
  };
  for (const Bytes& c : cases) EXPECT_THROW(ReadBmp(c.data(), c.size()), EInvalidGraphic);
}

// An ICO of one 2 x 2 image: 24-bit colours red, black / blue, white (top
// row first) and an AND mask making the top-right pixel transparent (icons
// keep black under transparent pixels, as the colour is XORed in).
Bytes TwoByTwoIcon() {
  Bytes image;
  Put32(image, 40);
  Put32(image, 2);
  Put32(image, 4);  // colour rows plus mask rows
  Put16(image, 1);
  Put16(image, 24);
  for (int i = 0; i < 6; ++i) Put32(image, 0);
  const uint8_t rows[2][8] = {{255, 0, 0, 255, 255, 255, 0, 0}, {0, 0, 255, 0, 0, 0, 0, 0}};  // bottom-up BGR
  for (const auto& row : rows) image.insert(image.end(), row, row + 8);
  Put32(image, 0x00000000);  // bottom mask row: opaque
  Put32(image, 0x00000040);  // top mask row: second pixel transparent
  Bytes ico;
  Put16(ico, 0);
  Put16(ico, 1);
  Put16(ico, 1);
  ico.insert(ico.end(), {2, 2, 0, 0});
  Put16(ico, 1);
  Put16(ico, 24);
  Put32(ico, uint32_t(image.size()));
  Put32(ico, 22);
  ico.insert(ico.end(), image.begin(), image.end());
  return ico;
}

TEST(IconFiles, AndMaskKeepsTheBackground) {
  const Bytes ico = TwoByTwoIcon();
  std::vector<GdiIcon> icons = ReadIco(ico.data(), ico.size());
  ASSERT_EQ(icons.size(), 1u);
  EXPECT_EQ(icons[0].mask, (std::vector<uint8_t>{0, 1, 0, 0}));
  GdiIcon* icon = new GdiIcon(icons[0]);
  TestSurface s(2, 2, RGB(0, 128, 0));
  DrawIconEx(s.dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(s.At(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(s.At(1, 0), RGB(0, 128, 0));
  EXPECT_EQ(s.At(0, 1), RGB(0, 0, 255));
  EXPECT_EQ(s.At(1, 1), RGB(255, 255, 255));
  DestroyIcon(icon);
  Bytes truncated(ico.begin(), ico.end() - 10);
  EXPECT_THROW(ReadIco(truncated.data(), truncated.size()), EInvalidGraphic);
}

TEST(IconFiles, AlphaChannelBlends) {
  GdiIcon icon;
  icon.width = icon.height = 1;
  icon.hasAlpha = true;
  icon.color = {0x80FFFFFF};  // white at half opacity
  icon.mask = {0};
  TestSurface s(1, 1, 0);
  DrawIconEx(s.dc(), 0, 0, &icon, 0, 0, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(s.At(0, 0), RGB(128, 128, 128));
}

TEST(Resources, PicturesLoadByNameInAnyCase) {
  TBitmap bmp;
  bmp.LoadFromResourceName(0, "vx_TestBitmap");
  EXPECT_EQ(bmp.Width(), 16);
  EXPECT_EQ(bmp.Height(), 8);
  EXPECT_EQ(bmp.PixelFormat(), pf24bit);
  EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), clRed);
  // The bottom-left pixel is the automatic transparent colour.
  EXPECT_EQ(ColorToRGB(bmp.TransparentColor()), COLORREF(clFuchsia));
  TIcon icon;
  icon.LoadFromResourceName(0, "MAINICON");
  EXPECT_EQ(icon.Width(), 32);
  EXPECT_THROW(bmp.LoadFromResourceName(0, "NO_SUCH_PICTURE"), EResNotFound);
  EXPECT_EQ(bmp.Width(), 16);  // a failed load leaves the image alone
}

TEST(Bitmaps, TransparentDrawSkipsTheTransparentColour) {
  TBitmap glyph;
  glyph.SetSize(2, 1);
  glyph.Canvas()->SetPixels(0, 0, clRed);
  glyph.Canvas()->SetPixels(1, 0, clOlive);
  glyph.SetTransparentColor(clOlive);
  glyph.SetTransparent(true);
  TBitmap target;
  target.SetSize(2, 1);
  target.Canvas()->Brush()->SetColor(clBlue);
  target.Canvas()->FillRect(Rect(0, 0, 2, 1));
  target.Canvas()->Draw(0, 0, &glyph);
  EXPECT_EQ(target.Canvas()->Pixels(0, 0), clRed);
  EXPECT_EQ(target.Canvas()->Pixels(1, 0), clBlue);
}

TEST(Bitmaps, MonochromeConversionWhitensTheBrushColour) {
  TBitmap bmp;
  bmp.SetSize(3, 1);
  bmp.Canvas()->SetPixels(0, 0, clRed);
  bmp.Canvas()->SetPixels(1, 0, clWhite);
  bmp.Canvas()->SetPixels(2, 0, clBlue);
  bmp.Canvas()->Brush()->SetColor(clRed);
  bmp.SetMonochrome(true);
  EXPECT_EQ(bmp.Canvas()->Pixels(0, 0), clWhite);
  EXPECT_EQ(bmp.Canvas()->Pixels(1, 0), clBlack);
  EXPECT_EQ(bmp.Canvas()->Pixels(2, 0), clBlack);
}

Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST(TestCard, WritesTheSamePngOnEveryRun) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("vx_gui_testcard_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string tool = std::string(VX_BINARY_DIR) + "/tools/render-testcard/render-testcard";
  for (const char* name : {"a.png", "b.png"})
    ASSERT_EQ(std::system((tool + " " + (dir / name).string()).c_str()), 0);
  const Bytes a = ReadFile(dir / "a.png"), b = ReadFile(dir / "b.png");
  ASSERT_GT(a.size(), 24u);
  EXPECT_EQ(Bytes(a.begin(), a.begin() + 8), (Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
  EXPECT_EQ(Bytes(a.begin() + 16, a.begin() + 24), (Bytes{0, 0, 3, 0x20, 0, 0, 2, 0x58}));  // 800 x 600
  EXPECT_EQ(a, b);
  std::filesystem::remove_all(dir);
}

}  // namespace
