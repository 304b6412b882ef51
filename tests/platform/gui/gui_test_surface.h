// A small drawing target for the gui tests: a memory DC over a bitmap filled
// with one colour, with pixel reads in logical coordinates.
#pragma once

#include <initializer_list>

#include "platform/gui/gdi.h"

class TestSurface {
public:
  TestSurface(int width, int height, COLORREF fill = RGB(255, 255, 255), int bitsPerPixel = 32)
      : dc_(CreateCompatibleDC(nullptr)), bitmap_(CreateBitmap(width, height, 1, UINT(bitsPerPixel), nullptr)) {
    SelectObject(dc_, bitmap_);
    HBRUSH brush = CreateSolidBrush(fill);
    RECT all{0, 0, width, height};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
  }
  ~TestSurface() {
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  TestSurface(const TestSurface&) = delete;
  TestSurface& operator=(const TestSurface&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  // Sets pixels of row y from x = 0 on.
  void SetRow(int y, std::initializer_list<COLORREF> colours) const {
    int x = 0;
    for (COLORREF c : colours) SetPixel(dc_, x++, y, c);
  }

private:
  HDC dc_;
  HBITMAP bitmap_;
};
