// TBitmap: a bitmap graphic with a canvas, a logical pixel format, pixel
// access and transparency (a fixed colour or the bottom-left pixel).
// ScanLine rows are always 32-bit 0x00RRGGBB pixels, whatever the format.
#pragma once

#include <cstdint>

#include "platform/gui/canvas.h"
#include "platform/gui/graphic.h"

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };
enum TBitmapHandleType { bmDIB, bmDDB };

class TBitmap : public TGraphic {
public:
  TBitmap();
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  void Assign(const TPersistent* source) override;
  bool Empty() const override;
  int Width() const override;
  int Height() const override;
  void SetWidth(int width) override { SetSize(width, Height()); }
  void SetHeight(int height) override { SetSize(Width(), height); }
  // Keeps the pixels that still fit; new pixels are white.
  void SetSize(int width, int height);
  void LoadFromStream(TStream* stream) override;
  void SaveToStream(TStream* stream) override;
  void Draw(TCanvas* canvas, const TRect& r) override;

  TCanvas* Canvas();
  HBITMAP Handle();
  // Takes ownership of a bitmap handle (replacing the current image).
  void SetHandle(HBITMAP handle);
  // Gives up the handle: the caller owns it, this bitmap becomes empty.
  HBITMAP ReleaseHandle();
  TBitmapHandleType HandleType() const { return handleType_; }
  void SetHandleType(TBitmapHandleType type) { handleType_ = type; }
  void Dormant() {}
  void FreeImage() {}

  TPixelFormat PixelFormat() const;
  // Converting to pf1bit makes pixels of the canvas's brush colour white and
  // all others black; monochrome to colour keeps black and white.
  void SetPixelFormat(TPixelFormat format);
  bool Monochrome() const;
  void SetMonochrome(bool value);
  uint32_t* ScanLine(int row);

  TColor TransparentColor() const;
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode mode);

protected:
  void Changed() override;

private:
  class BitmapCanvas;
  void NewImage(HBITMAP image);
  HBITMAP image_ = nullptr;
  TPixelFormat format_ = pfDevice;
  BitmapCanvas* canvas_ = nullptr;
  TColor transparentColor_ = clDefault;
  TTransparentMode transparentMode_ = tmAuto;
  TBitmapHandleType handleType_ = bmDIB;
};

// The shared 8 x 8 checker of two colours (fore at the top-left pixel) that
// latched buttons and scroll tracks paint with; owned by the drawing layer.
TBitmap* AllocPatternBitmap(TColor back, TColor fore);
