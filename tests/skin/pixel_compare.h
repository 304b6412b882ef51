// Pixel tests of the skinned controls: a control as its form shows it,
// compared with a small expected PNG kept beside the tests. On a mismatch the
// actual picture and a difference picture (mismatches red) are written to the
// build folder. VX_UPDATE_EXPECTED=1 writes missing expected pictures. Other
// test folders keep their pictures in their own expected/ folder.
#pragma once

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "platform/gui/controls.h"
#include "platform/gui/gdi_objects.h"
#include "platform/gui/image_io.h"
#include "platform/gui/user.h"

namespace skintest {


// The control's pixels (0x00RRGGBB) as its top-level window shows them; a
// window without a parent whole, frame included.
inline std::unique_ptr<GdiBitmap> Snapshot(TControl* control) {
  TWinControl* top = control->Parent() ? control->Parent() : static_cast<TWinControl*>(control);
  while (top->Parent()) top = top->Parent();
  HWND hwnd = top->Handle();
  UpdateWindow(hwnd);
  RECT w;
  GetWindowRect(hwnd, &w);
  // A windowed control's outer corner (its client area may lie inside a border).
  TPoint at = Point(w.Left, w.Top);
  if (auto* win = dynamic_cast<TWinControl*>(control); win && control->Parent()) {
    RECT own;
    GetWindowRect(win->Handle(), &own);
    at = Point(own.Left, own.Top);
  } else if (control->Parent()) {
    at = control->ClientToScreen(Point(0, 0));
  }
  const GdiBitmap* window = GetWindowBackingBitmap(hwnd);
  auto shot = std::make_unique<GdiBitmap>(control->Width(), control->Height(), 24);
  for (int y = 0; y < shot->height; ++y)
    for (int x = 0; x < shot->width; ++x) {
      const int wx = at.X - w.Left + x, wy = at.Y - w.Top + y;
      const bool inside = wx >= 0 && wy >= 0 && wx < window->width && wy < window->height;
      shot->Row(y)[x] = inside ? window->Row(wy)[wx] & 0xFFFFFF : 0;
    }
  return shot;
}

// "none", or where the first pure magenta pixel (the transparent key colour
// of skin pictures) lies.
inline std::string FirstKeyPixel(const GdiBitmap& image) {
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x)
      if ((image.Row(y)[x] & 0xFFFFFF) == 0xFF00FF) return std::to_string(x) + "," + std::to_string(y);
  return "none";
}

inline void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(bytes.data()),
                                                                std::streamsize(bytes.size()));
}

// Expects the snapshot to equal <folder>/expected/<name>.png exactly, folder
// being a test folder such as "tests/util". The skin pictures' transparent key
// colour (pure magenta) must never show, whatever the expected picture holds.
inline void ExpectPictureIn(const std::string& folder, const GdiBitmap& actual, const std::string& name) {
  EXPECT_EQ(FirstKeyPixel(actual), "none") << name;
  const std::string actualDir = std::string(VX_BINARY_DIR) + "/" + folder + "/";
  const std::string expectedPath = std::string(VX_SOURCE_DIR) + "/" + folder + "/expected/" + name + ".png";
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, expectedPath.c_str())) {
    if (const char* update = std::getenv("VX_UPDATE_EXPECTED"); update && std::string(update) == "1") {
      WriteFile(expectedPath, WritePng(actual));
      return;
    }
    ADD_FAILURE() << "no expected picture " << expectedPath;
    WriteFile(actualDir + name + ".actual.png", WritePng(actual));
    return;
  }
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) << expectedPath;
  bool same = int(image.width) == actual.width && int(image.height) == actual.height;
  GdiBitmap diff(actual.width, actual.height, 24);
  int mismatches = 0;
  for (int y = 0; y < actual.height; ++y)
    for (int x = 0; x < actual.width; ++x) {
      uint32_t want = 0xFFFFFFFF;
      if (same || (x < int(image.width) && y < int(image.height))) {
        const uint8_t* p = &rgb[(size_t(y) * image.width + size_t(x)) * 3];
        want = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
      }
      const bool match = want == (actual.Row(y)[x] & 0xFFFFFF);
      if (!match) ++mismatches;
      diff.Row(y)[x] = match ? 0xFFFFFF : 0xFF0000;
    }
  if (same && mismatches == 0) return;
  ADD_FAILURE() << name << ": " << mismatches << " pixels differ (expected " << image.width << "x" << image.height
                << ", actual " << actual.width << "x" << actual.height << ")";
  WriteFile(actualDir + name + ".actual.png", WritePng(actual));
  WriteFile(actualDir + name + ".diff.png", WritePng(diff));
}

inline void ExpectPicture(const GdiBitmap& actual, const std::string& name) {
  ExpectPictureIn("tests/skin", actual, name);
}

}  // namespace skintest
