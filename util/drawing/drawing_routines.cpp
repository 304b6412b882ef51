// The drawing routines of drawing_routines.h over the drawing layer. The
// disabled look paints through a monochrome mask with the raster operation
// that takes the brush where the mask is white and keeps the target elsewhere.

#include "util/drawing/drawing_routines.h"

#include <algorithm>
#include <utility>

#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/colors.h"
#include "platform/gui/controls.h"
#include "platform/gui/gdi.h"
#include "platform/gui/image_list.h"
#include "platform/gui/user.h"

namespace {

constexpr DWORD kRopBrushWhereSourceWhite = 0x00E20746;

// Paints Color onto the canvas at (X, Y) wherever Mask is white.
void PaintThroughMask(TCanvas* canvas, TBitmap* mask, int x, int y, TColor color) {
  canvas->Brush()->SetColor(color);
  canvas->RequireState(csHandleValid | csBrushValid);
  HDC dc = canvas->Handle();
  COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
  BitBlt(dc, x, y, mask->Width(), mask->Height(), mask->Canvas()->Handle(), 0, 0, kRopBrushWhereSourceWhite);
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
}

std::unique_ptr<TBitmap> OutlineMask(TBitmap* source, TColor outlineColor) {
  auto mask = std::make_unique<TBitmap>();
  mask->Assign(source);
  mask->SetHandleType(bmDDB);
  if (mask->Monochrome()) {
    mask->Canvas()->Font()->SetColor(clWhite);
    mask->Canvas()->Brush()->SetColor(clWhite);
    mask->SetMonochrome(false);
  }
  mask->Canvas()->Brush()->SetColor(outlineColor);
  mask->SetMonochrome(true);
  return mask;
}

// White where the image is opaque: drawn over white and over black, a
// transparent pixel shows the background both times.
std::unique_ptr<TBitmap> OpaqueMask(TImageList* images, int index) {
  const int w = images->Width(), h = images->Height();
  TBitmap onWhite, onBlack;
  for (auto [bitmap, colour] : {std::pair{&onWhite, clWhite}, std::pair{&onBlack, clBlack}}) {
    bitmap->SetSize(w, h);
    bitmap->Canvas()->Brush()->SetColor(colour);
    bitmap->Canvas()->FillRect(Rect(0, 0, w, h));
    images->Draw(bitmap->Canvas(), 0, 0, index);
  }
  auto mask = std::make_unique<TBitmap>();
  mask->SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    const uint32_t* white = onWhite.ScanLine(y);
    const uint32_t* black = onBlack.ScanLine(y);
    uint32_t* out = mask->ScanLine(y);
    for (int x = 0; x < w; ++x)
      out[x] = (white[x] & 0xFFFFFF) == 0xFFFFFF && (black[x] & 0xFFFFFF) == 0 ? 0 : 0xFFFFFF;
  }
  mask->Canvas()->Brush()->SetColor(clWhite);
  mask->SetMonochrome(true);
  return mask;
}

}  // namespace

void DrawDisabledImage(TImageList* images, TCanvas* canvas, int x, int y, int index, TColor highlightColor,
                       TColor shadowColor, bool drawHighlight) {
  std::unique_ptr<TBitmap> mask = OpaqueMask(images, index);
  const TColor brush = canvas->Brush()->Color();
  if (drawHighlight) PaintThroughMask(canvas, mask.get(), x + 1, y + 1, highlightColor);
  PaintThroughMask(canvas, mask.get(), x, y, shadowColor);
  canvas->Brush()->SetColor(brush);
}

void CenterWindowOnScreen(HWND window) {
  RECT r;
  if (!GetWindowRect(window, &r)) return;
  const int left = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - r.Width()) / 2);
  const int top = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - r.Height()) / 2);
  SetWindowPos(window, 0, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool IsActiveWindowOfThisThread() {
  const HWND active = GetActiveWindow();
  return active != 0 && IsWindow(active);
}

std::unique_ptr<TBitmap> MakeDisabledBitmap(TBitmap* source, TColor outlineColor, TColor backColor,
                                            TColor highlightColor, TColor shadowColor, bool drawHighlight) {
  std::unique_ptr<TBitmap> mask = OutlineMask(source, outlineColor);
  auto result = std::make_unique<TBitmap>();
  result->SetSize(source->Width(), source->Height());
  result->Canvas()->Brush()->SetColor(backColor);
  result->Canvas()->FillRect(Rect(0, 0, source->Width(), source->Height()));
  if (drawHighlight) PaintThroughMask(result->Canvas(), mask.get(), 1, 1, highlightColor);
  PaintThroughMask(result->Canvas(), mask.get(), 0, 0, shadowColor);
  return result;
}

std::unique_ptr<TBitmap> MakeDisabledGlyph(TBitmap* source, TColor outlineColor) {
  return MakeDisabledBitmap(source, outlineColor, clBtnFace, clBtnHighlight, clBtnShadow, true);
}

namespace {
// Marks a control as painting a copy of itself while it lives.
class PaintingCopy {
public:
  explicit PaintingCopy(TControl* c) : c_(c) { c_->SetControlState(c_->ControlState() | csPaintCopy); }
  ~PaintingCopy() { c_->SetControlState(c_->ControlState() & ~unsigned(csPaintCopy)); }

private:
  TControl* c_;
};

// Runs Draw with the canvas origin moved by (Dx, Dy) and clipped to W x H there.
template <typename Draw>
void DrawShifted(HDC dc, int dx, int dy, int w, int h, Draw draw) {
  const int saved = SaveDC(dc);
  OffsetViewportOrgEx(dc, dx, dy, nullptr);
  IntersectClipRect(dc, 0, 0, w, h);
  draw();
  RestoreDC(dc, saved);
}
}  // namespace

void PaintParentBackground(TControl* control, TCanvas* canvas) {
  TWinControl* parent = control->Parent();
  if (!parent) return;
  HDC dc = canvas->Handle();
  PaintingCopy parentMark(parent);
  const TRect client = parent->ClientRect();
  DrawShifted(dc, -control->Left(), -control->Top(), client.Width(), client.Height(), [&] {
    parent->Perform(WM_ERASEBKGND, WPARAM(dc), 0);
    parent->Perform(WM_PAINT, WPARAM(dc), 0);
  });
  const TRect bounds = control->BoundsRect();
  for (int i = 0; i < parent->ControlCount() && parent->Controls(i) != control; ++i) {
    auto* sibling = dynamic_cast<TGraphicControl*>(parent->Controls(i));
    if (!sibling || !sibling->Visible()) continue;
    const TRect other = sibling->BoundsRect();
    TRect overlap;
    if (!IntersectRect(&overlap, &bounds, &other)) continue;
    PaintingCopy siblingMark(sibling);
    DrawShifted(dc, sibling->Left() - control->Left(), sibling->Top() - control->Top(), sibling->Width(),
                sibling->Height(), [&] { sibling->PaintOn(dc); });
  }
}

AnsiString ShortenTextToWidth(const AnsiString& text, TCanvas* canvas, int maxWidth) {
  AnsiString result = text;
  const int length = static_cast<int>(text.size());
  for (int i = 1; i <= length && canvas->TextWidth(result) > maxWidth; ++i) {
    const int keep = length - i - 1 > 0 ? length - i - 1 : 0;
    result = text.substr(0, static_cast<size_t>(keep)) + "...";
  }
  return result;
}

void FitRectToScreen(TRect& r) {
  const int width = WidthOfRect(r);
  const int height = HeightOfRect(r);
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  if (r.Right > screenWidth) r.Left = screenWidth - width;
  if (r.Bottom > screenHeight) r.Top = screenHeight - height;
  if (r.Left < 0) r.Left = 0;
  if (r.Top < 0) r.Top = 0;
  r.Right = r.Left + width;
  r.Bottom = r.Top + height;
}

void DropPendingMessage(HWND window, UINT messageId) {
  MSG msg;
  if (PeekMessage(msg, window, messageId, messageId, PM_REMOVE) && msg.message == WM_QUIT) {
    PostQuitMessage(static_cast<int>(msg.wParam));
  }
}
