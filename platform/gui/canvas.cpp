// TCanvas over a device context: tool selection, colour state and the drawing
// methods, each a thin call of the matching gdi function with the change
// notifications a canvas sends around drawing.
#include "platform/gui/canvas.h"

#include "platform/gui/graphic.h"

TCanvas::TCanvas() {
  font_.OnChange = [this](TObject*) { state_ &= ~csFontValid; };
  pen_.OnChange = [this](TObject*) { state_ &= ~csPenValid; };
  brush_.OnChange = [this](TObject*) { state_ &= ~csBrushValid; };
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

HDC TCanvas::Handle() {
  // Code drawing through the handle sees the canvas's tools and colours.
  RequireState(csHandleValid | csPenValid | csBrushValid | csFontValid);
  return dc_;
}

void TCanvas::DeselectHandles() {
  if (!dc_) return;
  if (oldPen_) SelectObject(dc_, oldPen_);
  if (oldBrush_) SelectObject(dc_, oldBrush_);
  if (oldFont_) SelectObject(dc_, oldFont_);
  oldPen_ = oldBrush_ = oldFont_ = nullptr;
  state_ &= ~(csPenValid | csBrushValid | csFontValid);
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == dc_) return;
  DeselectHandles();
  dc_ = dc;
  state_ = dc ? unsigned(csHandleValid) : 0u;
}

void TCanvas::RequireState(unsigned state) {
  if (!dc_) CreateHandle();
  if (!dc_) throw EInvalidOperation("Canvas does not allow drawing");
  if ((state & csPenValid) && !(state_ & csPenValid)) {
    HGDIOBJ old = SelectObject(dc_, pen_.Handle());
    if (!oldPen_) oldPen_ = old;
    SetROP2(dc_, pen_.Rop2());
    state_ |= csPenValid;
  }
  if ((state & csBrushValid) && !(state_ & csBrushValid)) {
    HGDIOBJ old = SelectObject(dc_, brush_.Handle());
    if (!oldBrush_) oldBrush_ = old;
    state_ |= csBrushValid;
  }
  if ((state & csFontValid) && !(state_ & csFontValid)) {
    HGDIOBJ old = SelectObject(dc_, font_.Handle());
    if (!oldFont_) oldFont_ = old;
    state_ |= csFontValid;
  }
  // Colours follow the tools on every call: they are cheap to set and other
  // code may have changed them on the same DC.
  if (state & csFontValid) SetTextColor(dc_, ColorToRGB(font_.Color()));
  if (state & (csBrushValid | csFontValid)) {
    SetBkColor(dc_, ColorToRGB(brush_.Color()));
    SetBkMode(dc_, brush_.Style() == bsClear ? TRANSPARENT : OPAQUE);
  }
}

void TCanvas::Paint(unsigned state, const std::function<void()>& draw) {
  Changing();
  RequireState(state);
  draw();
  Changed();
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

TPoint TCanvas::PenPos() {
  RequireState(csHandleValid);
  TPoint p;
  GetCurrentPositionEx(dc_, &p);
  return p;
}

TRect TCanvas::ClipRect() {
  RequireState(csHandleValid);
  TRect r;
  GetClipBox(dc_, &r);
  return r;
}

TColor TCanvas::Pixels(int x, int y) {
  RequireState(csHandleValid);
  const COLORREF c = GetPixel(dc_, x, y);
  return c == CLR_INVALID ? clNone : TColor(c);
}

void TCanvas::SetPixels(int x, int y, TColor color) {
  Paint(csHandleValid | csPenValid, [&] { SetPixel(dc_, x, y, ColorToRGB(color)); });
}

void TCanvas::MoveTo(int x, int y) {
  RequireState(csHandleValid);
  MoveToEx(dc_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  Paint(csHandleValid | csPenValid | csBrushValid, [&] { ::LineTo(dc_, x, y); });
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  Paint(csHandleValid | csPenValid | csBrushValid, [&] { ::Polyline(dc_, points.data(), int(points.size())); });
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  Paint(csHandleValid | csPenValid | csBrushValid, [&] { ::Polygon(dc_, points.data(), int(points.size())); });
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  Paint(csHandleValid | csPenValid | csBrushValid, [&] { ::Rectangle(dc_, x1, y1, x2, y2); });
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
  Paint(csHandleValid | csPenValid | csBrushValid, [&] { ::RoundRect(dc_, x1, y1, x2, y2, x3, y3); });
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  Paint(csHandleValid | csPenValid | csBrushValid, [&] { ::Ellipse(dc_, x1, y1, x2, y2); });
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  Paint(csHandleValid | csPenValid | csBrushValid, [&] { ::Arc(dc_, x1, y1, x2, y2, x3, y3, x4, y4); });
}

void TCanvas::FillRect(const TRect& r) {
  Paint(csHandleValid | csBrushValid, [&] { ::FillRect(dc_, &r, brush_.Handle()); });
}

void TCanvas::FrameRect(const TRect& r) {
  Paint(csHandleValid | csBrushValid, [&] { ::FrameRect(dc_, &r, brush_.Handle()); });
}

void TCanvas::DrawFocusRect(const TRect& r) {
  Paint(csHandleValid | csBrushValid, [&] { ::DrawFocusRect(dc_, &r); });
}

void TCanvas::TextOut(int x, int y, const AnsiString& text) {
  Paint(csHandleValid | csFontValid | csBrushValid, [&] {
    ExtTextOutA(dc_, x, y, 0, nullptr, text.data(), int(text.size()), nullptr);
    MoveToEx(dc_, x + TextExtent(text).cx, y, nullptr);
  });
}

void TCanvas::TextRect(const TRect& r, int x, int y, const AnsiString& text) {
  Paint(csHandleValid | csFontValid | csBrushValid, [&] {
    const UINT options = ETO_CLIPPED | (brush_.Style() != bsClear ? UINT(ETO_OPAQUE) : 0u);
    ExtTextOutA(dc_, x, y, options, &r, text.data(), int(text.size()), nullptr);
  });
}

TSize TCanvas::TextExtent(const AnsiString& text) {
  RequireState(csHandleValid | csFontValid);
  TSize size;
  GetTextExtentPoint32A(dc_, text.data(), int(text.size()), &size);
  return size;
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  StretchDraw(Bounds(x, y, graphic->Width(), graphic->Height()), graphic);
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Paint(csHandleValid, [&] { graphic->Draw(this, r); });
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect) {
  if (!source) return;
  Paint(csHandleValid | csFontValid | csBrushValid, [&] {
    ::StretchBlt(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), source->Handle(), sourceRect.Left,
                 sourceRect.Top, sourceRect.Width(), sourceRect.Height(), copyMode_);
  });
}

void Frame3D(TCanvas* c, TRect& r, TColor topLeft, TColor bottomRight) {
  c->Pen()->SetColor(topLeft);
  c->MoveTo(r.Left, r.Bottom - 1);
  c->LineTo(r.Left, r.Top);
  c->LineTo(r.Right - 1, r.Top);
  c->Pen()->SetColor(bottomRight);
  c->LineTo(r.Right - 1, r.Bottom - 1);
  c->LineTo(r.Left - 1, r.Bottom - 1);
  r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
}
