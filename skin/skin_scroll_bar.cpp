// The skinned scroll bar; see skin_scroll_bar.h.
#include "skin/skin_scroll_bar.h"

#include <algorithm>

#include "platform/gui/bitmap.h"
#include "platform/gui/picture.h"
#include "skin/builtin_styles.h"
#include "skin/draw_helpers.h"
#include "skin/file_theme.h"
#include "skin/skin_button.h"
#include "skin/skin_props.h"
#include "skin/theme_ref.h"
#include "skin/track_bar.h"

namespace {

enum : uint8_t { kSkinUpButton = 26, kSkinThumb = 27, kSkinDownButton = 28 };
enum : uint8_t { kSkinScrollBarColor = 25 };
enum : int { kElScrollBarColor = 31, kElButtons = 32, kElThumb = 33 };
constexpr int kArrowRepeatMs = 100;
// A new bar is 185 high; its width is the platform panel's usual 185 until it is laid out.
constexpr int kInitialHeight = 185, kInitialWidth = 185;
constexpr int kMinThumb = 16;
// A thumb sized by the page takes this share of the track when the page is out of range.
constexpr int kMinPagePercent = 10, kMaxPagePercent = 100;
// Rows at each end of a skin's thumb that are never stretched.
constexpr int kSkinThumbCap = 3;

// Stretches rows [sy0, sy1) of source over rows [dy0, dy1) of dest, full width.
void StretchRows(TBitmap* source, int sy0, int sy1, TBitmap* dest, int dy0, int dy1) {
  if (sy1 <= sy0 || dy1 <= dy0) return;
  StretchBlt(dest->Canvas()->Handle(), 0, dy0, dest->Width(), dy1 - dy0, source->Canvas()->Handle(), 0, sy0,
             source->Width(), sy1 - sy0, SRCCOPY);
}

void DrawAt(TBitmap* dest, TBitmap* source, int y) {
  BitBlt(dest->Canvas()->Handle(), 0, y, source->Width(), source->Height(), source->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// The three frames of the strip, the first, second and third into start, middle and end.
void CutThree(TBitmap* strip, TBitmap* start, TBitmap* middle, TBitmap* end) {
  CopyBitmapFrame(strip, start, 3, 1);
  CopyBitmapFrame(strip, middle, 3, 2);
  CopyBitmapFrame(strip, end, 3, 3);
}

}  // namespace

TsuiScrollBar::TsuiScrollBar(TComponent* owner)
    : TCustomPanel(owner),
      thumbStart_(std::make_unique<TBitmap>()),
      thumbMiddle_(std::make_unique<TBitmap>()),
      thumbEnd_(std::make_unique<TBitmap>()) {
  RegisterSkinProps();
  SetControlStyle(ControlStyle() & ~unsigned(csAcceptsControls | csSetCaption));
  SetBevelOuter(bvNone);
  SetBevelInner(bvNone);
  SetBounds(Left(), Top(), kInitialWidth, kInitialHeight);  // laid out once the pictures are in
  track_ = new TsuiScrollTrackBar(this);
  track_->SetParent(this);
  track_->SetShowTick(false);
  track_->SetTabStop(false);
  track_->SetTransparent(false);
  track_->SetMax(100);
  track_->OnChange = [this](TObject*) {
    if (OnChange) OnChange(this);
  };
  endButton_ = new TsuiImageButton(this);
  startButton_ = new TsuiImageButton(this);
  for (TsuiImageButton* b : {endButton_, startButton_}) {
    b->SetParent(this);
    b->SetTabStop(false);
    b->SetMouseContinuouslyDownInterval(kArrowRepeatMs);
  }
  startButton_->OnMouseContinuouslyDown = [this](TObject*) { SetPosition(Position() - smallChange_); };
  endButton_->OnMouseContinuouslyDown = [this](TObject*) { SetPosition(Position() + smallChange_); };
  SetUIStyle(GetOwnerUIStyle(owner));
}

TsuiScrollBar::~TsuiScrollBar() = default;

int TsuiScrollBar::Max() const { return track_->Max(); }
void TsuiScrollBar::SetMax(int value) { track_->SetMax(value); }
int TsuiScrollBar::Min() const { return track_->Min(); }
void TsuiScrollBar::SetMin(int value) { track_->SetMin(value); }
int TsuiScrollBar::Position() const { return track_->Position(); }
int16_t TsuiScrollBar::LargeChange() const { return int16_t(track_->PageSize()); }
void TsuiScrollBar::SetLargeChange(int16_t value) { track_->SetPageSize(value); }
int TsuiScrollBar::PageSize() const { return track_->PageSize(); }

void TsuiScrollBar::SetPosition(int value) {
  if (value != track_->Position()) track_->SetPosition(value);
}

void TsuiScrollBar::SetPageSize(int value) {
  track_->SetPageSize(value);
  BuildThumb();
}

void TsuiScrollBar::SetLineButton(int value) {
  if (value == lineButton_) return;
  const int room = Vertical() ? Height() - startButton_->Height() - endButton_->Height()
                              : Width() - startButton_->Width() - endButton_->Width();
  if (value > room) return;
  lineButton_ = value;
  BuildThumb();
}

void TsuiScrollBar::SetOrientation(TsuiProgressBarOrientation value) {
  if (value == orientation_) return;
  orientation_ = value;
  LoadPictures();
  LayoutParts();
}

void TsuiScrollBar::SetUIStyle(TsuiUIStyle value) {
  uiStyle_ = value;
  track_->SetColor(Color());
  LoadPictures();
  LayoutParts();
}

void TsuiScrollBar::SetFileTheme(TsuiFileTheme* value) {
  SetThemeRef(this, fileTheme_, value);
  SetUIStyle(uiStyle_);
}

void TsuiScrollBar::Notification(TComponent* component, TOperation operation) {
  TCustomPanel::Notification(component, operation);
  if (operation == opRemove && component == fileTheme_) {
    fileTheme_ = nullptr;
    SetUIStyle(DeepBlue);
  }
}

void TsuiScrollBar::ShowThumb(bool visible) { track_->SetSliderVisible(visible); }

void TsuiScrollBar::LoadPictures() {
  TPicture none;
  track_->SetBarImage(&none);
  TBitmap buttonPics[6];
  TsuiUIStyle style;
  if (TsuiFileTheme::ResolveStyle(fileTheme_, uiStyle_, style)) {
    SetColor(fileTheme_->GetColor(kSkinScrollBarColor));
    TBitmap strip;
    fileTheme_->GetBitmapFrame(kSkinThumb, &strip, 0, 0);
    RotateBitmapLeft(&strip);
    CutThree(&strip, thumbStart_.get(), thumbMiddle_.get(), thumbEnd_.get());
    for (int i = 0; i < 3; ++i) {
      fileTheme_->GetBitmapFrame(kSkinUpButton, &buttonPics[i], 3, i + 1);
      fileTheme_->GetBitmapFrame(kSkinDownButton, &buttonPics[3 + i], 3, i + 1);
    }
  } else {
    SetColor(GetBuiltInColor(style, kElScrollBarColor));
    TBitmap strip;
    GetBuiltInBitmap(style, kElThumb, &strip, 0, 0);
    CutThree(&strip, thumbStart_.get(), thumbMiddle_.get(), thumbEnd_.get());
    for (int i = 0; i < 6; ++i) GetBuiltInBitmap(style, kElButtons, &buttonPics[i], 6, i + 1);
  }
  for (TBitmap& pic : buttonPics)
    if (!Vertical()) RotateBitmapLeft(&pic);
  if (Vertical())
    for (TBitmap* piece : {thumbStart_.get(), thumbMiddle_.get(), thumbEnd_.get()}) RotateBitmapRight(piece);
  startButton_->SetPicNormal(&buttonPics[0]);
  startButton_->SetPicMouseOn(&buttonPics[1]);
  startButton_->SetPicMouseDown(&buttonPics[2]);
  endButton_->SetPicNormal(&buttonPics[3]);
  endButton_->SetPicMouseOn(&buttonPics[4]);
  endButton_->SetPicMouseDown(&buttonPics[5]);
  startButton_->SetAutoSize(true);
  endButton_->SetAutoSize(true);
  Invalidate();
}

void TsuiScrollBar::LayoutParts() {
  if (laying_ || !track_) return;
  track_->SetOrientation(orientation_);
  if (Width() == 0 || Height() == 0) {
    SetVisible(false);
    return;
  }
  laying_ = true;
  if (Vertical()) {
    const int thickness = startButton_->Width();
    startButton_->SetBounds(0, 0, startButton_->Width(), startButton_->Height());
    track_->SetBounds(0, startButton_->Height(), thickness,
                      Height() - startButton_->Height() - endButton_->Height());
    endButton_->SetBounds(0, Height() - endButton_->Height(), endButton_->Width(), endButton_->Height());
    SetWidth(thickness);
  } else {
    const int thickness = startButton_->Height();
    startButton_->SetBounds(0, 0, startButton_->Width(), startButton_->Height());
    track_->SetBounds(startButton_->Width(), 0, Width() - startButton_->Width() - endButton_->Width(), thickness);
    endButton_->SetBounds(Width() - endButton_->Width(), 0, endButton_->Width(), endButton_->Height());
    SetHeight(thickness);
  }
  laying_ = false;
  BuildThumb();
}

void TsuiScrollBar::BuildThumb() {
  int length;
  if (lineButton_ > 0) {
    lineButton_ = std::max(lineButton_, kMinThumb);
    length = lineButton_;
  } else {
    int percent = track_->PageSize();
    if (percent < kMinPagePercent || percent > kMaxPagePercent) percent = kMinPagePercent;
    const int trackLength = Vertical() ? track_->Height() : track_->Width();
    length = trackLength > 0 ? percent * trackLength / 100 : 0;
  }
  TsuiUIStyle style;
  TBitmap thumb;
  DrawThumb(&thumb, length, TsuiFileTheme::ResolveStyle(fileTheme_, uiStyle_, style));
  TPicture picture;
  picture.SetGraphic(&thumb);
  track_->SetSliderImage(&picture);
  track_->FitSlider();
}

void TsuiScrollBar::DrawThumb(TBitmap* thumb, int length, bool fromSkin) const {
  // Built upright; a lying bar's pieces are stood up first and the thumb laid down after.
  TBitmap start, middle, end;
  start.Assign(thumbStart_.get());
  middle.Assign(thumbMiddle_.get());
  end.Assign(thumbEnd_.get());
  if (!Vertical())
    for (TBitmap* piece : {&start, &middle, &end}) RotateBitmapRight(piece);
  const int thickness = start.Width();
  if (thickness <= 0 || length <= 0) return;
  thumb->SetSize(thickness, length);
  DrawAt(thumb, &start, 0);
  const int mh = middle.Height(), eh = end.Height();
  if (fromSkin) {
    StretchRows(&end, eh - kSkinThumbCap, eh, thumb, length - kSkinThumbCap, length);
    if (length - 2 * kSkinThumbCap < mh) {
      StretchRows(&middle, 0, mh, thumb, kSkinThumbCap, length - kSkinThumbCap);
    } else {
      const int y = (length - mh - 2 * kSkinThumbCap) / 2 + kSkinThumbCap;
      DrawAt(thumb, &middle, y);
      StretchRows(&start, kSkinThumbCap, start.Height(), thumb, kSkinThumbCap, y);
      StretchRows(&end, 0, eh - kSkinThumbCap, thumb, y + mh, length - kSkinThumbCap);
    }
  } else {
    DrawAt(thumb, &end, length - eh);
    StretchRows(&middle, 0, mh, thumb, start.Height(), length - eh);
  }
  if (!Vertical()) RotateBitmapLeft(thumb);
}

void TsuiScrollBar::Resize() {
  TCustomPanel::Resize();
  LayoutParts();
}

void TsuiScrollBar::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND: m.Result = 1; return;
    case CM_COLORCHANGED:
      TCustomPanel::WndProc(m);
      if (track_) track_->SetColor(Color());
      return;
    case CM_VISIBLECHANGED:
      TCustomPanel::WndProc(m);
      for (TControl* part : {static_cast<TControl*>(track_), static_cast<TControl*>(startButton_),
                             static_cast<TControl*>(endButton_)})
        if (part) part->SetVisible(Visible());
      return;
    default: TCustomPanel::WndProc(m);
  }
}
