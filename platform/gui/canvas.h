// TCanvas: the drawing surface of bitmaps and (later) controls, with its pen,
// brush and font. Before each operation the canvas selects its tools into the
// device context and sets the text colour from the font and the background
// from the brush (a clear brush draws text transparently).
#pragma once

#include <vector>

#include "platform/gui/graphics_objects.h"

class TGraphic;

enum TCanvasStates : unsigned { csHandleValid = 1, csFontValid = 2, csPenValid = 4, csBrushValid = 8 };

constexpr DWORD cmBlackness = BLACKNESS, cmDstInvert = DSTINVERT, cmMergeCopy = MERGECOPY,
                cmMergePaint = MERGEPAINT, cmNotSrcCopy = NOTSRCCOPY, cmNotSrcErase = NOTSRCERASE,
                cmPatCopy = PATCOPY, cmPatInvert = PATINVERT, cmPatPaint = PATPAINT, cmSrcAnd = SRCAND,
                cmSrcCopy = SRCCOPY, cmSrcErase = SRCERASE, cmSrcInvert = SRCINVERT, cmSrcPaint = SRCPAINT,
                cmWhiteness = WHITENESS;

class TCanvas : public TPersistent {
public:
  TCanvas();
  ~TCanvas() override;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // The device context; a canvas without one asks CreateHandle for it.
  HDC Handle();
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return dc_ != nullptr; }

  TFont* Font() { return &font_; }
  TPen* Pen() { return &pen_; }
  TBrush* Brush() { return &brush_; }
  void SetFont(const TFont* font) { font_.Assign(font); }
  void SetPen(const TPen* pen) { pen_.Assign(pen); }
  void SetBrush(const TBrush* brush) { brush_.Assign(brush); }
  DWORD CopyMode() const { return copyMode_; }
  void SetCopyMode(DWORD mode) { copyMode_ = mode; }
  TPoint PenPos();
  void SetPenPos(TPoint p) { MoveTo(p.X, p.Y); }
  TRect ClipRect();

  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor color);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(const std::vector<TPoint>& points);
  void Polygon(const std::vector<TPoint>& points);
  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
  void Ellipse(int x1, int y1, int x2, int y2);
  void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);
  void DrawFocusRect(const TRect& r);
  void TextOut(int x, int y, const AnsiString& text);
  // Text clipped to r, opaque over r unless the brush is clear.
  void TextRect(const TRect& r, int x, int y, const AnsiString& text);
  TSize TextExtent(const AnsiString& text);
  int TextWidth(const AnsiString& text) { return TextExtent(text).cx; }
  int TextHeight(const AnsiString& text) { return TextExtent(text).cy; }
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const TRect& r, TGraphic* graphic);
  // Copies source's area into dest through CopyMode (stretching as needed).
  void CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect);

  // Selects pen, brush and font into the DC and sets its colours.
  void RequireState(unsigned state);

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  virtual void CreateHandle() {}
  void Changing();
  void Changed();

private:
  // Drawing with the change notices around it and the tools in place.
  void Paint(unsigned state, const std::function<void()>& draw);
  void DeselectHandles();
  TFont font_;
  TPen pen_;
  TBrush brush_;
  HDC dc_ = nullptr;
  unsigned state_ = 0;
  DWORD copyMode_ = cmSrcCopy;
  HGDIOBJ oldPen_ = nullptr, oldBrush_ = nullptr, oldFont_ = nullptr;
};

// A one-pixel frame, first colour on top and left, second on bottom and
// right; R shrinks by one pixel on each side.
void Frame3D(TCanvas* canvas, TRect& r, TColor topLeft, TColor bottomRight);
