// The skinned track bars; see track_bar.h. Values are 32-bit, but every
// computation over a range is done in 64 bits (a range may span the whole
// 32-bit scale), and the ticks are drawn at most once per pixel, so a range
// of billions paints as fast as a range of ten, with the same pixels.
#include "skin/track_bar.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/gui/bitmap.h"
#include "platform/gui/picture.h"
#include "platform/gui/timer.h"
#include "skin/builtin_styles.h"
#include "skin/draw_helpers.h"
#include "skin/file_theme.h"
#include "skin/image_panel.h"
#include "skin/skin_props.h"
#include "skin/theme_ref.h"

namespace {

enum : uint8_t { kSkinTrackBar = 23, kSkinSlider = 24, kSkinVSlider = 25 };
enum : uint8_t { kSkinTransColor = 0, kSkinFormColor = 2 };
enum : int { kElBar = 28, kElSlider = 29, kElVSlider = 30 };
constexpr unsigned kPagingRepeatMs = 100;
// Horizontal bars page three times as far per repeat as vertical ones.
constexpr int kHorizontalRepeatPages = 3;
constexpr int kTickLength = 3;

// a * b / c in 128 bits, truncated toward zero (c != 0).
int64_t MulDiv(int64_t a, int64_t b, int64_t c) { return int64_t(static_cast<__int128>(a) * b / c); }

int ClampToInt(int64_t v) { return int(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

}  // namespace

// --- TsuiTrackBar -------------------------------------------------------------------------------------

TsuiTrackBar::TsuiTrackBar(TComponent* owner)
    : TCustomPanel(owner), barImage_(std::make_unique<TPicture>()), barBitmap_(std::make_unique<TBitmap>()) {
  RegisterSkinProps();
  SetControlStyle(ControlStyle() & ~unsigned(csAcceptsControls | csSetCaption));
  SetBevelOuter(bvNone);
  SetTabStop(true);
  slider_ = new TsuiImagePanel(this);
  slider_->SetParent(this);
  slider_->OnMouseDown = [this](TObject*, TMouseButton b, TShiftState s, int x, int y) { SliderMouseDown(b, s, x, y); };
  slider_->OnMouseUp = [this](TObject*, TMouseButton b, TShiftState s, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, b, s, x + slider_->Left(), y + slider_->Top());
  };
  SetUIStyle(GetOwnerUIStyle(owner));
}

TsuiTrackBar::~TsuiTrackBar() = default;

TPicture* TsuiTrackBar::SliderImage() const { return slider_->Picture(); }

void TsuiTrackBar::SetSliderImage(TPicture* value) {
  slider_->SetPicture(value);
  Invalidate();
}

void TsuiTrackBar::SetOrientation(TsuiProgressBarOrientation value) {
  if (value == orientation_) return;
  orientation_ = value;
  ReloadPictures();
}

void TsuiTrackBar::SetUIStyle(TsuiUIStyle value) {
  uiStyle_ = value;
  if (value == MacOS) transparent_ = true;
  ReloadPictures();
}

void TsuiTrackBar::SetFileTheme(TsuiFileTheme* value) {
  SetThemeRef(this, fileTheme_, value);
  SetUIStyle(uiStyle_);
}

void TsuiTrackBar::Notification(TComponent* component, TOperation operation) {
  TCustomPanel::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == fileTheme_) {
    fileTheme_ = nullptr;
    SetUIStyle(DeepBlue);
  }
  if (component == slider_) slider_ = nullptr;
}

void TsuiTrackBar::SetBarImage(TPicture* value) {
  barImage_->Assign(value);
  ReloadPictures();
}

void TsuiTrackBar::SetPosition(int value) {
  if (value > slidingMax_ || value < slidingMin_) return;
  position_ = std::clamp(value, min_, max_);
  UpdateSlider();
}

void TsuiTrackBar::SetMax(int value) {
  if (value == max_) return;
  max_ = std::max(value, min_);
  position_ = std::min(position_, max_);
  UpdateSlider();
}

void TsuiTrackBar::SetMin(int value) {
  if (value == min_) return;
  min_ = std::min(value, max_);
  position_ = std::max(position_, min_);
  UpdateSlider();
}

void TsuiTrackBar::SetSlidingMax(int value) {
  if (value == slidingMax_) return;
  slidingMax_ = std::max(std::min(value, max_), slidingMin_);
  position_ = std::min(position_, slidingMax_);
  UpdateSlider();
}

void TsuiTrackBar::SetSlidingMin(int value) {
  if (value == slidingMin_) return;
  slidingMin_ = std::min(std::max(value, min_), slidingMax_);
  position_ = std::max(position_, slidingMin_);
  UpdateSlider();
}

void TsuiTrackBar::SetPageSize(int value) {
  if (value >= 0 && value <= max_) pageSize_ = value;
}

void TsuiTrackBar::SetLineSize(int value) {
  if (value >= 0 && value <= max_) lineSize_ = value;
}

void TsuiTrackBar::SetShowTick(bool value) {
  showTick_ = value;
  Invalidate();
}

void TsuiTrackBar::SetTransparent(bool value) {
  transparent_ = value;
  Invalidate();
}

void TsuiTrackBar::SetFrequency(int value) {
  frequency_ = value;
  Invalidate();
}

int TsuiTrackBar::SliderLength() const {
  if (!slider_) return 0;
  return Vertical() ? slider_->Height() : slider_->Width();
}

TPoint TsuiTrackBar::SliderPos() const {
  if (!slider_) return Point(0, 0);
  const int across = Vertical() ? std::max(Width() - slider_->Width(), 0) / 2 : std::max(Height() - slider_->Height(), 0) / 2;
  const int along = min_ == max_ ? 0
                                 : int(MulDiv(int64_t(position_) - min_, Length() - SliderLength(), int64_t(max_) - min_));
  return Vertical() ? Point(across, along) : Point(along, across);
}

int64_t TsuiTrackBar::ValueAt(int x, int y) const {
  const int span = Length() - SliderLength();
  if (span == 0) return 0;
  const double at = double((Vertical() ? y : x) - grabOffset_);
  return int64_t(min_) + int64_t(std::nearbyint(at * (double(max_) - double(min_)) / span));
}

void TsuiTrackBar::UpdateSlider() {
  if (slider_) SetControlPos(slider_, SliderPos());
  Invalidate();
  if (position_ == lastReported_) return;
  lastReported_ = position_;
  if (OnChange) OnChange(this);
}

void TsuiTrackBar::UpdatePictures() {
  if (UsesOwnPictures() || !slider_) return;
  TBitmap slider;
  TsuiUIStyle style;
  if (TsuiFileTheme::ResolveStyle(fileTheme_, uiStyle_, style)) {
    fileTheme_->GetBitmapFrame(kSkinTrackBar, barImage_->Bitmap(), 0, 0);
    // The skin's own slider picture is recoloured, once and for all.
    if (TBitmap* skinSlider = fileTheme_->GetBitmap(Vertical() ? kSkinVSlider : kSkinSlider)) {
      ReplaceBitmapColor(skinSlider, fileTheme_->GetColor(kSkinTransColor), fileTheme_->GetColor(kSkinFormColor));
      slider.Assign(skinSlider);
    }
  } else {
    GetBuiltInBitmap(style, kElBar, barImage_->Bitmap(), 0, 0);
    GetBuiltInBitmap(style, Vertical() ? kElVSlider : kElSlider, &slider, 0, 0);
  }
  slider_->Picture()->Assign(&slider);
  slider_->SetTransparent(SliderTransparent());
  slider_->SetAutoSize(true);
}

void TsuiTrackBar::BuildBarBitmap() {
  auto* image = dynamic_cast<TBitmap*>(barImage_->Graphic());
  if (!image || image->Empty() || Length() <= 0) {
    barBitmap_->SetSize(0, 0);
    return;
  }
  barBitmap_->SetSize(Length(), image->Height());
  TCanvas* c = barBitmap_->Canvas();
  c->Brush()->SetColor(Color());
  c->FillRect(Rect(0, 0, Length(), image->Height()));
  DrawThreePartImageAutoMask(image, c, Rect(0, 0, Length(), image->Height()), false, Color(), false);
  if (Vertical()) RotateBitmapLeft(barBitmap_.get());
}

void TsuiTrackBar::FitToPictures() {
  if (!slider_) return;
  const int bar = barImage_->Height();
  if (Vertical()) SetWidth(std::max(bar, slider_->Width()));
  else SetHeight(std::max(bar, slider_->Height()));
  Invalidate();
}

void TsuiTrackBar::ReloadPictures() {
  // Fitting the size resizes the control, which reloads again: once is enough.
  if (reloading_) return;
  reloading_ = true;
  UpdatePictures();
  BuildBarBitmap();
  FitToPictures();
  reloading_ = false;
  UpdateSlider();
  Invalidate();
}

void TsuiTrackBar::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND: m.Result = 1; return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TCustomPanel::WndProc(m);
      Invalidate();
      return;
    default: TCustomPanel::WndProc(m);
  }
}

void TsuiTrackBar::Resize() {
  TCustomPanel::Resize();
  ReloadPictures();
}

void TsuiTrackBar::Paint() {
  TBitmap buffer;
  buffer.SetSize(Width(), Height());
  TCanvas* c = buffer.Canvas();
  if (transparent_) {
    DrawParentBackground(c, this);
  } else {
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
  }
  if (!barBitmap_->Empty()) {
    const int thickness = barImage_->Height();
    if (Vertical()) c->Draw((Width() - thickness) / 2, 0, barBitmap_.get());
    else c->Draw(0, (Height() - thickness) / 2, barBitmap_.get());
  }
  if (Focused() && TabStop()) c->DrawFocusRect(ClientRect());
  PaintTicks(c);
  Canvas()->Draw(0, 0, &buffer);
}

void TsuiTrackBar::PaintTicks(TCanvas* canvas) const {
  if (!showTick_ || min_ == max_) return;
  const int64_t range = int64_t(max_) - min_;
  const int sliderLength = SliderLength();
  const int64_t span = Length() - sliderLength;
  const int64_t step = frequency_ > 0 ? frequency_ : range;
  canvas->Pen()->SetColor(clBlack);
  auto draw = [&](int64_t offset) {
    const int t = int(MulDiv(span, offset, range)) + sliderLength / 2;
    if (Vertical()) {
      canvas->MoveTo(0, t);
      canvas->LineTo(kTickLength, t);
      canvas->MoveTo(Width() - kTickLength, t);
      canvas->LineTo(Width(), t);
    } else {
      canvas->MoveTo(t, Height() - kTickLength);
      canvas->LineTo(t, Height());
    }
  };
  // Ticks at Min + k * step: after drawing one, skip every tick that would
  // land on the same pixel (the first value on the next pixel, rounded up to
  // the next tick).
  const int64_t pixels = span < 0 ? -span : span;
  for (int64_t offset = 0; offset < range;) {
    draw(offset);
    if (pixels == 0) break;
    const int64_t drawnAt = MulDiv(pixels, offset, range);
    const int64_t nextPixel = (static_cast<__int128>(drawnAt + 1) * range + pixels - 1) / pixels;
    const int64_t nextTick = (std::max(nextPixel, offset + 1) + step - 1) / step * step;
    offset = nextTick;
  }
  draw(range);
}

void TsuiTrackBar::TakeFocus() {
  if (FocusOnClick() && CanFocus() && Enabled()) SetFocus();
}

void TsuiTrackBar::SliderMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  grabOffset_ = Vertical() ? y : x;
  dragging_ = true;
  TakeFocus();
  SetMouseCapture(true);
  if (OnMouseDown) OnMouseDown(this, button, shift, x + slider_->Left(), y + slider_->Top());
}

void TsuiTrackBar::PageToward(int x, int y, int step) {
  if (!slider_) return;
  const int at = Vertical() ? y : x, sliderAt = Vertical() ? slider_->Top() : slider_->Left();
  int64_t target = position_;
  if (at > sliderAt) target = std::min(int64_t(position_) + step, ValueAt(x, y));
  else if (at < sliderAt) target = std::max(int64_t(position_) - step, ValueAt(x, y));
  else return;
  SetPosition(ClampToInt(target));
}

void TsuiTrackBar::StopPaging() { repeatTimer_.reset(); }

void TsuiTrackBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    PageToward(x, y, pageSize_);
    if (!repeatTimer_) {
      repeatTimer_ = std::make_unique<TTimer>(nullptr);
      repeatTimer_->SetInterval(kPagingRepeatMs);
      repeatTimer_->OnTimer = [this](TObject*) {
        POINT cursor{};
        GetCursorPos(&cursor);
        const TPoint p = ScreenToClient(cursor);
        PageToward(p.X, p.Y, Vertical() ? pageSize_ : kHorizontalRepeatPages * pageSize_);
      };
    }
    TakeFocus();
  }
  TCustomPanel::MouseDown(button, shift, x, y);
}

void TsuiTrackBar::MouseMove(TShiftState shift, int x, int y) {
  if (dragging_) {
    const int64_t v = ValueAt(x, y);
    if (v >= slidingMin_ && v <= slidingMax_) {
      position_ = int(std::clamp<int64_t>(v, min_, max_));
      UpdateSlider();
    }
  } else if (x < 0 || y < 0 || x >= Width() || y >= Height()) {
    StopPaging();
  }
  TCustomPanel::MouseMove(shift, x, y);
}

void TsuiTrackBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  StopPaging();
  dragging_ = false;
  SetMouseCapture(false);
  TCustomPanel::MouseUp(button, shift, x, y);
}

void TsuiTrackBar::KeyDown(WORD& key, TShiftState shift) {
  TCustomPanel::KeyDown(key, shift);
  int64_t target;
  switch (key) {
    case VK_PRIOR: target = int64_t(position_) - pageSize_; break;
    case VK_NEXT: target = int64_t(position_) + pageSize_; break;
    case VK_END: target = max_; break;
    case VK_HOME: target = min_; break;
    case VK_LEFT:
    case VK_UP: target = int64_t(position_) - lineSize_; break;
    case VK_RIGHT:
    case VK_DOWN: target = int64_t(position_) + lineSize_; break;
    default: return;
  }
  SetPosition(ClampToInt(target));
}

bool TsuiTrackBar::WantsKey(WORD key) const {
  return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN || TCustomPanel::WantsKey(key);
}

// --- TsuiScrollTrackBar -------------------------------------------------------------------------------

TsuiScrollTrackBar::TsuiScrollTrackBar(TComponent* owner) : TsuiTrackBar(owner) {
  // The base built its style's pictures; this track takes its owner's.
  TPicture none;
  SetBarImage(&none);
  SetSliderImage(&none);
  SetTabStop(false);
  Slider()->SetTabStop(false);
  Slider()->SetTransparent(false);
  Slider()->SetControlStyle(ControlStyle());
}

bool TsuiScrollTrackBar::IsSliderVisible() const { return Slider()->Visible(); }

void TsuiScrollTrackBar::SetSliderVisible(bool visible) {
  if (Slider()->Visible() != visible) Slider()->SetVisible(visible);
}

void TsuiScrollTrackBar::FitSlider() { Slider()->SetAutoSize(true); }
