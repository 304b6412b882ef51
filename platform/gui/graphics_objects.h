// The canvas's drawing tools as graphics classes: TFont, TPen and TBrush.
// Each keeps its settings, creates its drawing handle on demand and reports
// every change through OnChange, so a canvas reselects what changed.
#pragma once

#include <functional>

#include "platform/gui/colors.h"
#include "platform/gui/gdi.h"
#include "platform/rtl/components.h"

class TBitmap;

using TNotifyEvent = std::function<void(TObject* sender)>;

class TGraphicsObject : public TPersistent {
public:
  TNotifyEvent OnChange;

protected:
  void Changed();
};

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;
enum TFontPitch { fpDefault, fpVariable, fpFixed };

// Sizes are in points at the fixed 96 pixels per inch; Height is in pixels,
// negative for the em height (the usual form), as the platform counts it.
class TFont : public TGraphicsObject {
public:
  static constexpr int PixelsPerInch = 96;
  TFont();
  ~TFont() override;
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;

  void Assign(const TPersistent* source) override;
  HFONT Handle();

  const AnsiString& Name() const { return name_; }
  void SetName(const AnsiString& name);
  int Size() const;
  void SetSize(int points);
  int Height() const { return height_; }
  void SetHeight(int pixels);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  uint8_t Charset() const { return charset_; }
  void SetCharset(uint8_t charset);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch);

private:
  void Modified();
  AnsiString name_ = "MS Sans Serif";
  int height_ = -11;
  TColor color_ = clWindowText;
  TFontStyles style_ = 0;
  uint8_t charset_ = DEFAULT_CHARSET;
  TFontPitch pitch_ = fpDefault;
  HFONT handle_ = nullptr;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen, pmMaskNotPen,
  pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

class TPen : public TGraphicsObject {
public:
  TPen() = default;
  ~TPen() override;
  TPen(const TPen&) = delete;
  TPen& operator=(const TPen&) = delete;

  void Assign(const TPersistent* source) override;
  HPEN Handle();
  // The binary mix (R2_*) that Mode stands for.
  int Rop2() const;

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int Width() const { return width_; }
  void SetWidth(int width);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode mode);

private:
  void Modified();
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
  HPEN handle_ = nullptr;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

// A brush with a Bitmap paints that bitmap's pattern (the bitmap is not owned
// and must outlive the brush's use of it).
class TBrush : public TGraphicsObject {
public:
  TBrush() = default;
  ~TBrush() override;
  TBrush(const TBrush&) = delete;
  TBrush& operator=(const TBrush&) = delete;

  void Assign(const TPersistent* source) override;
  HBRUSH Handle();

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);
  TBitmap* Bitmap() const { return bitmap_; }
  void SetBitmap(TBitmap* bitmap);

private:
  void Modified();
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
  TBitmap* bitmap_ = nullptr;
  HBRUSH handle_ = nullptr;
};
