// The skinned progress bar; see skin_progress_bar.h.
#include "skin/skin_progress_bar.h"

#include "platform/gui/bitmap.h"
#include "platform/gui/picture.h"
#include "skin/builtin_styles.h"
#include "skin/draw_helpers.h"
#include "skin/file_theme.h"
#include "skin/skin_props.h"

namespace {

enum : uint8_t { kSkinStart = 19, kSkinFill = 20, kSkinTrack = 21, kSkinEnd = 22 };
enum : uint8_t { kSkinControlColor = 21, kSkinControlBorderColor = 22 };
enum : int { kElFill = 24, kElBorderColor = 25, kElColor = 26 };
enum { kStart = 0, kTrack = 1, kEnd = 2 };
// Rows (or columns) at each end of a piece kept unstretched.
constexpr int kCap = 2;

// Stretches source rows [sy, sy + sh) of piece over dest rows [dy, dy + dh) and rect's columns,
// or with across the same with columns and rows swapped.
void Slice(TCanvas* canvas, TBitmap* piece, const TRect& rect, bool across, int s, int sn, int d, int dn) {
  if (sn <= 0 || dn <= 0) return;
  HDC dc = canvas->Handle(), src = piece->Canvas()->Handle();
  if (across)
    StretchBlt(dc, rect.Left + d, rect.Top, dn, rect.Height(), src, s, 0, sn, piece->Height(), SRCCOPY);
  else
    StretchBlt(dc, rect.Left, rect.Top + d, rect.Width(), dn, src, 0, s, piece->Width(), sn, SRCCOPY);
}

// Two rows (columns across) of the piece at each end of rect, the rest stretched between.
void DrawPiece(TBitmap* piece, TCanvas* canvas, const TRect& rect, bool across) {
  if (rect.Left < 0 || piece->Empty()) return;
  piece->SetPixelFormat(pf24bit);
  const int size = across ? piece->Width() : piece->Height();
  const int span = across ? rect.Width() : rect.Height();
  const int cap = std::min(kCap, std::max(span, 0));
  const int srcCap = std::min(kCap, size);
  Slice(canvas, piece, rect, across, 0, srcCap, 0, cap);
  Slice(canvas, piece, rect, across, size - srcCap, srcCap, span - cap, cap);
  Slice(canvas, piece, rect, across, srcCap, size - 2 * srcCap, cap, span - 2 * cap);
}

}  // namespace

TsuiProgressBar::TsuiProgressBar(TComponent* owner) : TCustomPanel(owner), picture_(std::make_unique<TPicture>()) {
  RegisterSkinProps();
  SetControlStyle(ControlStyle() & ~unsigned(csAcceptsControls));
  SetBevelOuter(bvNone);
  TControl::SetBounds(0, 0, 150, 12);
  picture_->OnChange = [this](TObject*) { Invalidate(); };
  SetText("50%");
  SetUIStyle(GetOwnerUIStyle(owner));
}

TsuiProgressBar::~TsuiProgressBar() = default;

void TsuiProgressBar::SetRange(int min, int max, int position) {
  min_ = min, max_ = max, position_ = position;
  SetText(AnsiString(std::to_string(Percent())) + "%");
  Invalidate();
}

int TsuiProgressBar::Percent() const {
  if (min_ == max_) return 0;
  return int(double(position_ - min_) / double(max_ - min_) * 100.0);
}

int TsuiProgressBar::FilledLength(int length) const {
  if (min_ >= max_ || position_ <= min_) return 0;
  if (position_ > max_) return length;
  return int(double(position_ - min_) / double(max_ - min_) * length);
}

void TsuiProgressBar::SetUIStyle(TsuiUIStyle value) {
  uiStyle_ = value;
  LoadPictures();
}

void TsuiProgressBar::SetOrientation(TsuiProgressBarOrientation value) {
  orientation_ = value;
  LoadPictures();
}

void TsuiProgressBar::SetFileTheme(TsuiFileTheme* value) {
  if (fileTheme_) fileTheme_->RemoveFreeNotification(this);
  fileTheme_ = value;
  if (value) value->FreeNotification(this);
  SetUIStyle(uiStyle_);
}

void TsuiProgressBar::SetPicture(TPicture* value) {
  picture_->Assign(value);
  Invalidate();
}

void TsuiProgressBar::Notification(TComponent* component, TOperation operation) {
  TCustomPanel::Notification(component, operation);
  if (operation == opRemove && component == fileTheme_) {
    fileTheme_ = nullptr;
    SetUIStyle(DeepBlue);
  }
}

void TsuiProgressBar::LoadPictures() {
  const bool vertical = orientation_ == suiVertical;
  TBitmap fill;
  TsuiUIStyle style;
  if (TsuiFileTheme::ResolveStyle(fileTheme_, uiStyle_, style)) {
    fileTheme_->GetBitmapFrame(kSkinFill, &fill, 0, 0);
    barColor_ = fileTheme_->GetColor(kSkinControlColor);
    borderColor_ = fileTheme_->GetColor(kSkinControlBorderColor);
    const uint8_t keys[3] = {kSkinStart, kSkinTrack, kSkinEnd};
    for (int i = 0; i < 3; ++i) {
      pieces_[i] = std::make_unique<TBitmap>();
      fileTheme_->GetBitmapFrame(keys[i], pieces_[i].get(), 0, 0);
      pieces_[i]->SetPixelFormat(pf24bit);
      if (vertical) RotateBitmapLeft(pieces_[i].get());
    }
  } else {
    GetBuiltInBitmap(style, kElFill, &fill, 0, 0);
    barColor_ = GetBuiltInColor(style, kElColor);
    borderColor_ = GetBuiltInColor(style, kElBorderColor);
  }
  if (vertical) RotateBitmapLeft(&fill);
  picture_->SetGraphic(&fill);
  Invalidate();
}

bool TsuiProgressBar::UsesSkinPieces() const {
  TsuiUIStyle style;
  return TsuiFileTheme::ResolveStyle(fileTheme_, uiStyle_, style) && pieces_[0] && pieces_[1] && pieces_[2];
}

void TsuiProgressBar::WndProc(TMessage& m) {
  if (m.Msg == WM_ERASEBKGND) {
    m.Result = 1;
    return;
  }
  TCustomPanel::WndProc(m);
}

void TsuiProgressBar::Paint() {
  const int w = Width(), h = Height();
  TBitmap buffer;
  buffer.SetSize(w, h);
  TCanvas* c = buffer.Canvas();
  if (UsesSkinPieces()) PaintSkin(c, w, h);
  else PaintBuiltIn(c, w, h);
  if (showCaption_ && (!smartShowCaption_ || position_ != min_)) {
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetColor(captionColor_);
    const TSize size = c->TextExtent(Text());
    c->TextOut((w - size.cx) / 2, (h - size.cy) / 2, Text());
  }
  if (!UsesSkinPieces()) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(borderColor_);
    c->FrameRect(Rect(0, 0, w, h));
  }
  Canvas()->Draw(0, 0, &buffer);
}

void TsuiProgressBar::PaintSkin(TCanvas* c, int w, int h) {
  c->Brush()->SetColor(barColor_);
  c->FillRect(Rect(0, 0, w, h));
  TBitmap* fill = picture_->Bitmap();
  TBitmap *start = pieces_[kStart].get(), *track = pieces_[kTrack].get(), *end = pieces_[kEnd].get();
  if (orientation_ == suiHorizontal) {
    const int sw = start->Width(), ew = end->Width();
    const int f = FilledLength(w - sw - ew);
    DrawPiece(start, c, Rect(0, 0, sw, h), false);
    DrawPiece(fill, c, Rect(sw, 0, sw + f, h), false);
    DrawPiece(track, c, Rect(sw + f, 0, w - ew, h), false);
    DrawPiece(end, c, Rect(w - ew, 0, w, h), false);
  } else {
    // Turned left, the start cap lies at the bottom and the end cap at the top.
    const int sh = start->Height(), eh = end->Height();
    const int f = FilledLength(h - eh - sh);
    const int y = h - eh - f;
    DrawPiece(start, c, Rect(0, h - sh, w, h), true);
    DrawPiece(fill, c, Rect(0, y, w, h - sh), true);
    DrawPiece(track, c, Rect(0, eh, w, y), true);
    DrawPiece(end, c, Rect(0, 0, w, eh), true);
  }
}

void TsuiProgressBar::PaintBuiltIn(TCanvas* c, int w, int h) {
  TBitmap* fill = picture_->Graphic() ? picture_->Bitmap() : nullptr;
  const bool hasFill = fill && !fill->Empty();
  c->Brush()->SetColor(barColor_);
  if (orientation_ == suiHorizontal) {
    const int filled = std::max(FilledLength(w - 1), 1);
    if (hasFill && filled > 1) StretchBitmapToRect(fill, c, Rect(1, 1, filled, h - 1));
    c->FillRect(Rect(filled, 1, w - 1, h - 1));
  } else {
    const int y = std::max((h - 1) - FilledLength(h - 1), 1);
    // Drawn mirrored top to bottom over the filled part.
    if (hasFill && h - 2 > y - 1)
      StretchBlt(c->Handle(), 1, h - 2, w - 2, (y - 1) - (h - 2), fill->Canvas()->Handle(), 0, 0, fill->Width(),
                 fill->Height(), SRCCOPY);
    c->FillRect(Rect(1, 1, w - 1, y));
    showCaption_ = false;
  }
}
