// The frame bands of the skinned frames; see frame_bands.h. The client
// insets follow the system frame the window layer emulates (3 pixels for
// dialog frames, 4 for sizeable ones).
#include "skin/frame_bands.h"

#include <algorithm>

#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "skin/file_theme.h"
#include "skin/skin_menu_bar.h"
#include "skin/title_bar.h"
#include "skin/window_region.h"

namespace {

// Skin keys of the frame (colours, bitmaps, integers, booleans).
enum : uint8_t { kTransColor = 0, kFormColor = 2 };
enum : uint8_t { kLeftBorder = 5, kRightBorder = 6, kBottom1 = 7, kBottom2 = 8, kBottom3 = 9 };
enum : uint8_t { kTitleMinY = 5, kTitleMaxY = 6, kBottomMinY = 7, kBottomMaxY = 8 };
enum : uint8_t { kBottomThreeSections = 1, kTitleNeedRegion = 2, kBottomNeedRegion = 3 };
constexpr UINT kFrameChanged = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
constexpr int kMaxSystemFrame = 12;
constexpr int kFallbackSystemFrame = 4;

int PictureWidth(TBitmap* b) { return b ? b->Width() : 0; }
int PictureHeight(TBitmap* b) { return b ? b->Height() : 0; }

void StretchInto(TCanvas* canvas, TBitmap* picture, const TRect& r) {
  if (picture && !picture->Empty() && r.Width() > 0 && r.Height() > 0) canvas->StretchDraw(r, picture);
}

// The window region cuts the title picture's transparent corners away, but
// the pixels stay in the window's own image (and in every grab of it): they
// take the frame's colour instead of the key colour.
void DrawWithoutKey(TCanvas* canvas, int x, int y, TBitmap* piece, TColor key, TColor back) {
  ReplaceBitmapColor(piece, key, back);
  canvas->Draw(x, y, piece);
}

void CopyWithoutKey(TCanvas* canvas, const TRect& dest, TCanvas* from, const TRect& src, TColor key, TColor back) {
  TBitmap piece;
  piece.SetPixelFormat(pf24bit);
  piece.SetSize(src.Width(), src.Height());
  piece.Canvas()->CopyRect(Rect(0, 0, src.Width(), src.Height()), from, src);
  DrawWithoutKey(canvas, dest.Left, dest.Top, &piece, key, back);
}

}  // namespace

void FillNormalized(TCanvas* canvas, TRect r, TColor color) {
  if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
  if (r.Left > r.Right) std::swap(r.Left, r.Right);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(color);
  canvas->FillRect(r);
}

TFrameBands::TFrameBands() : BottomImage(std::make_unique<TBitmap>()) { BottomImage->SetPixelFormat(pf24bit); }

TFrameBands::~TFrameBands() = default;

int TFrameBands::SaneFrame(int value) {
  return value < 0 || value > kMaxSystemFrame ? kFallbackSystemFrame : value;
}

void TFrameBands::Measure(TCustomForm* form) {
  form->HandleNeeded();
  const TRect client = form->ClientRect();
  SysBottomFrame = SaneFrame(form->Top() + form->Height() - form->ClientToScreen(Point(client.Right, client.Bottom)).Y);
  SysLeftFrame = SaneFrame(form->ClientToScreen(Point(0, 0)).X - form->Left());
}

int TFrameBands::BorderQueryAnswer() const {
  return SkinLeftWidth ? std::max(SkinLeftWidth, 4) : SysBottomFrame - 1;
}

void TFrameBands::AdjustClientRect(RECT& r, const RECT& p, int borderWidth) const {
  const int x = p.Left, y = p.Top, cx = p.Width(), cy = p.Height();
  const int B = std::max(4, SysBottomFrame), L = std::max(4, SysLeftFrame);
  r.Top = y + 4 - B;
  if (SkinLeftWidth) {
    r.Left = x + std::max(SkinLeftWidth, 4) - L + 1;
    r.Right = x + cx - std::max(SkinRightWidth, 4) + L - 1;
  } else {
    r.Left = x - L + 4;
    r.Right = x + cx + L - 4;
  }
  if (SkinBottomHeight) r.Bottom = y + cy - std::max(SkinBottomHeight, 4) + B - 1;
  else if (borderWidth == 3) r.Bottom = y + cy + B - 4;
  else r.Bottom = y + cy + B - 4 - borderWidth + 2;
}

NCCALCSIZE_PARAMS* TFrameBands::AdjustCalcSize(UINT msg, WPARAM wparam, LPARAM lparam, int borderWidth) const {
  if (msg != WM_NCCALCSIZE || !wparam) return nullptr;
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lparam);
  const RECT proposed = params->rgrc[0];
  AdjustClientRect(params->rgrc[0], proposed, borderWidth);
  params->rgrc[1] = params->rgrc[0];
  return params;
}

void TFrameBands::ApplySkin(const TsuiFileTheme* t, TsuiTitleBar* titleBar) {
  SkinLeftWidth = PictureWidth(t->GetBitmap(kLeftBorder));
  SkinRightWidth = PictureWidth(t->GetBitmap(kRightBorder));
  SkinBottomHeight = PictureHeight(t->GetBitmap(kBottom1));
  TransColor = t->GetColor(kTransColor);
  NeedTitleRegion = t->GetBool(kTitleNeedRegion);
  NeedBottomRegion = t->GetBool(kBottomNeedRegion);
  if (titleBar) {
    titleBar->PaintNow();
    TBitmap* full = nullptr;
    titleBar->GetSectionBitmap(-1, full);
    full->SetTransparentColor(TransColor);
    full->SetTransparent(NeedTitleRegion);
  }
  BottomImage->SetTransparentColor(TransColor);
  BottomImage->SetTransparent(NeedBottomRegion);
  TitleRegionMinY = t->GetInteger(kTitleMinY);
  TitleRegionMaxY = t->GetInteger(kTitleMaxY);
  BottomRegionMinY = t->GetInteger(kBottomMinY);
  BottomRegionMaxY = t->GetInteger(kBottomMaxY);
}

void TFrameBands::ApplyBuiltIn() {
  SkinBottomHeight = SkinLeftWidth = SkinRightWidth = 0;
  TransColor = kSkinMagenta;
  NeedTitleRegion = NeedBottomRegion = false;
}

void TFrameBands::ComposeBottomImage(const TsuiFileTheme* t, int w) const {
  TBitmap* first = t->GetBitmap(kBottom1);
  BottomImage->SetSize(w, PictureHeight(first));
  if (!first || first->Empty()) return;
  TCanvas* c = BottomImage->Canvas();
  if (t->GetBool(kBottomThreeSections)) {
    TBitmap* third = t->GetBitmap(kBottom3);
    c->Draw(0, 0, first);
    if (third) c->Draw(w - third->Width(), 0, third);
    StretchInto(c, t->GetBitmap(kBottom2), Rect(first->Width(), 0, w - PictureWidth(third), first->Height()));
  } else {
    DrawThreePartImage(first, c, Rect(0, 0, w, first->Height()), false, 0);
  }
}

void TFrameBands::PaintSkin(TCanvas* canvas, int w, int h, const TsuiFileTheme* t, TsuiTitleBar* titleBar, int top,
                            int barTop, int barBottom, TColor barFrom, TColor barTo) const {
  const int sb = SkinBottomHeight;
  const TColor formColor = t->GetColor(kFormColor);
  const bool bar = barBottom > barTop;
  if (titleBar && titleBar->Visible() && titleBar->HasFrameSections()) {
    TBitmap* image = nullptr;
    titleBar->GetSectionBitmap(-2, image);
    TCanvas* from = image->Canvas();
    const int iw = image->Width(), ih = image->Height(), left = std::max(SkinLeftWidth, 4),
              right = std::max(4, SkinRightWidth);
    CopyWithoutKey(canvas, Rect(0, 0, left, ih), from, Rect(0, 0, left, ih), TransColor, formColor);
    CopyWithoutKey(canvas, Rect(0, 0, iw, 3), from, Rect(0, 0, iw, 3), TransColor, formColor);
    CopyWithoutKey(canvas, Rect(w - right, 0, w, ih), from, Rect(iw - right, 0, iw, ih), TransColor, formColor);
  }
  TBitmap* leftBorder = t->GetBitmap(kLeftBorder);
  const int lw = PictureWidth(leftBorder);
  StretchInto(canvas, leftBorder, Rect(0, top, lw, h - sb));
  if (lw < 4) FillNormalized(canvas, Rect(lw, top, 4, h - sb), formColor);
  if (lw < 4 && bar) FillMenuBarPiece(canvas, Rect(lw, barTop, 4, barBottom), barFrom, barFrom, barTo);
  TBitmap* rightBorder = t->GetBitmap(kRightBorder);
  const int rw = PictureWidth(rightBorder);
  StretchInto(canvas, rightBorder, Rect(w - rw, top, w, h - sb));
  if (rw < 4) FillNormalized(canvas, Rect(w - 4, top, w - rw, h - sb), formColor);
  if (rw < 4 && bar) FillMenuBarPiece(canvas, Rect(w - 4, barTop, w - rw, barBottom), barFrom, barFrom, barTo);

  ComposeBottomImage(t, w);
  if (NeedBottomRegion) {
    TBitmap onColor;
    onColor.SetPixelFormat(pf24bit);
    onColor.SetSize(w, BottomImage->Height());
    FillNormalized(onColor.Canvas(), Rect(0, 0, w, onColor.Height()), formColor);
    onColor.Canvas()->Draw(0, 0, BottomImage.get());
    canvas->Draw(0, h - sb, &onColor);
  } else if (!BottomImage->Empty()) {
    canvas->Draw(0, h - sb, BottomImage.get());
  }
  if (sb < 4) FillNormalized(canvas, Rect(SkinLeftWidth, h - 4, w - SkinRightWidth, h - sb), formColor);
}

void TFrameBands::PaintTopEdge(TCanvas* canvas, int w, int rows, const TsuiFileTheme* t) const {
  const int sb = BottomImage->Height();
  if (rows <= 0 || sb <= 0) return;
  TBitmap edge;
  edge.SetPixelFormat(pf24bit);
  edge.SetSize(w, rows);
  for (int y = 0; y < rows; ++y) {
    const int from = std::max(sb - 1 - y, 0);
    edge.Canvas()->CopyRect(Rect(0, y, w, y + 1), BottomImage->Canvas(), Rect(0, from, w, from + 1));
  }
  // No region cuts the top corners: the key colour shows the form's colour.
  DrawWithoutKey(canvas, 0, 0, &edge, TransColor, t->GetColor(kFormColor));
}

void TFrameBands::PaintBuiltInTitle(TCanvas* canvas, int w, int bw, TsuiTitleBar* titleBar, bool dialogFrame,
                                    TColor borderColor, int r) const {
  TBitmap *left = nullptr, *right = nullptr, *middle = nullptr;
  titleBar->GetSectionBitmap(0, left);
  titleBar->GetSectionBitmap(1, right);
  titleBar->GetSectionBitmap(2, middle);
  TBitmap piece;
  if (3 - bw > 0) {
    piece.SetSize(3 - bw, left->Height());
    piece.Canvas()->Draw(0, 0, left);
    DrawWithoutKey(canvas, bw, 0, &piece, TransColor, borderColor);
    if (right->Width() > 2) piece.Canvas()->Draw(2 - right->Width(), 0, right);
    else StretchInto(piece.Canvas(), right, Rect(0, 0, piece.Width(), piece.Height()));
    DrawWithoutKey(canvas, w - 3, 0, &piece, TransColor, borderColor);
  }
  piece.SetSize(std::max(w - 5, 0), 3);
  const int pw = piece.Width();
  const int a = dialogFrame ? pw - right->Width() + 2 : pw + SysLeftFrame - right->Width() - 1;
  piece.Canvas()->Draw(-2, 0, left);
  piece.Canvas()->Draw(a, 0, right);
  StretchInto(piece.Canvas(), middle, Rect(left->Width() - 2, 0, a, middle->Height()));
  DrawWithoutKey(canvas, 2, 0, &piece, TransColor, borderColor);
  if (bw == 1 && r == 11) {
    canvas->Pen()->SetColor(borderColor);
    canvas->Arc(w - 2 * r + 1, -1, w + 1, 2 * r - 1, w + 1, r - 1, w - r + 1, -1);
    canvas->Arc(-1, -1, 2 * r - 1, 2 * r - 1, r - 1, -1, -1, r - 1);
  }
}

void TFrameBands::UpdateRegion(HWND window, int w, int h, bool skin, TsuiTitleBar* titleBar, int corner,
                               int cornerBottom) const {
  if (!skin) {
    SetWindowRgn(window, MakeBuiltInRegion(w, h, corner, cornerBottom), 1);
    return;
  }
  if (!NeedTitleRegion && !NeedBottomRegion) {
    SetWindowRgn(window, CreateRectRgn(0, 0, w, h), 1);
    return;
  }
  TSkinRegionSource source;
  if (titleBar) {
    titleBar->PaintNow();
    titleBar->GetSectionBitmap(-1, source.TitleImage);
  }
  source.BottomImage = BottomImage.get();
  source.Width = w;
  source.Height = h;
  source.TransColor = TransColor;
  source.TitleMinY = TitleRegionMinY;
  source.TitleMaxY = TitleRegionMaxY;
  source.BottomMinY = BottomRegionMinY;
  source.BottomMaxY = BottomRegionMaxY;
  source.NeedTitle = NeedTitleRegion;
  source.NeedBottom = NeedBottomRegion;
  SetRegionFromSkin(window, source);
}

namespace frame_window {

void Recompute(HWND window) { SetWindowPos(window, 0, 0, 0, 0, 0, kFrameChanged); }

void RemoveCaption(HWND window) {
  const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
  if (!(style & WS_CAPTION)) return;
  SetWindowLongPtrA(window, GWL_STYLE, style & ~LONG_PTR(WS_CAPTION));
  Recompute(window);
}

void RestoreCaption(HWND window) {
  SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) | WS_CAPTION);
  SetWindowRgn(window, 0, 1);
  Recompute(window);
}

void FitToWorkArea(TCustomForm* form) {
  const TRect area = GetWorkAreaRect();
  form->SetBounds(area.Left - 2, area.Top - 2, area.Width() + 4, area.Height() + 1);
}

void PaintOnWindow(HWND window, const std::function<void(TCanvas*, int, int)>& paint) {
  RECT r{};
  GetWindowRect(window, &r);
  HDC dc = GetWindowDC(window);
  TCanvas canvas;
  canvas.SetHandle(dc);
  paint(&canvas, r.Width(), r.Height());
  canvas.SetHandle(nullptr);
  ReleaseDC(window, dc);
}

}  // namespace frame_window
