// Spin arrow pair: the arrow buttons' press, repeat and paint, and the pair's
// placement, enabled wishes, focus mark and keys.
#include "util/components/spin_button.h"

#include <algorithm>

#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/colors.h"
#include "util/components/button_drawing.h"

namespace {
// One timer serves every arrow; only the held one has its handler attached.
TTimer& RepeatTimer() {
  static TTimer* timer = [] {
    auto* t = new TTimer(nullptr);
    t->SetEnabled(false);
    return t;
  }();
  return *timer;
}
const TUtlTimerSpeedButton* g_repeating = nullptr;

// The built-in arrow: 9 x 4 pixels, black on white, for the arrow's colours:
// a triangle of 1, 3, 5 and 7 pixels round column 5. Columns 0 and 1 stay
// white, so the corner pixel the glyph takes as transparent is the face.
std::unique_ptr<TBitmap> BuiltInArrow(bool up) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(9, 4);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect(Rect(0, 0, 9, 4));
  c->Pen()->SetColor(clBlack);
  for (int row = 0; row < 4; ++row) {
    const int y = up ? row : 3 - row;
    c->MoveTo(5 - row, y);
    c->LineTo(6 + row, y);
  }
  return b;
}
}  // namespace

// --- TUtlTimerSpeedButton --------------------------------------------------------------------

TUtlTimerSpeedButton::TUtlTimerSpeedButton(TComponent* owner) : TUtlStyledSpeedButton(owner) {
  SetStyle(sbsComboButton);
  SetLayout(blGlyphTop);
}

TUtlTimerSpeedButton::~TUtlTimerSpeedButton() {
  if (g_repeating == this) StopTimer();
}

void TUtlTimerSpeedButton::SetRepeatFlags(unsigned flags) {
  if (flags == repeatFlags_) return;
  repeatFlags_ = flags;
  Invalidate();
}

void TUtlTimerSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TUtlStyledSpeedButton::MouseDown(button, shift, x, y);
  if (repeatFlags_ & tbfAllowTimer) {
    g_repeating = this;
    RepeatTimer().OnTimer = [this](TObject*) { TimerRepeat(); };
    RepeatTimer().SetInterval(kInitPause);
    RepeatTimer().SetEnabled(true);
  }
}

void TUtlTimerSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TUtlStyledSpeedButton::MouseUp(button, shift, x, y);
  StopTimer();
}

void TUtlTimerSpeedButton::StopTimer() {
  if (g_repeating != this) return;
  RepeatTimer().SetEnabled(false);
  RepeatTimer().OnTimer = nullptr;
  g_repeating = nullptr;
}

void TUtlTimerSpeedButton::TimerRepeat() {
  RepeatTimer().SetInterval(kRepeatInterval);
  if (State() != sbDown || !MouseCapture()) return;
  try {
    Click();
  } catch (...) {
    StopTimer();
    throw;
  }
}

void TUtlTimerSpeedButton::Paint() {
  TUtlStyledSpeedButton::Paint();
  if (!(repeatFlags_ & tbfFocusRect)) return;
  const int shift = State() == sbDown ? 1 : 0;
  const TRect r = ClientRect();
  Canvas()->DrawFocusRect(Rect(r.Left + 3 + shift, r.Top + 3 + shift, r.Right - 3 + shift, r.Bottom - 3 + shift));
}

// --- TUtlSpinButton --------------------------------------------------------------------------

TUtlSpinButton::TUtlSpinButton(TComponent* owner) : TWinControl(owner) {
  SetControlStyle((ControlStyle() & ~unsigned(csAcceptsControls | csSetCaption)) | csOpaque);
  up_ = MakeArrow();
  down_ = MakeArrow();
  SetUpGlyph(nullptr);
  SetDownGlyph(nullptr);
  focusedArrow_ = up_;
  SetTabStop(false);
  SetBounds(0, 0, 20, 2);
}

TUtlSpinButton::~TUtlSpinButton() = default;

TUtlTimerSpeedButton* TUtlSpinButton::MakeArrow() {
  auto* b = new TUtlTimerSpeedButton(this);
  b->OnClick = [this, b](TObject*) {
    const TNotifyEvent& e = b == up_ ? OnUpClick : OnDownClick;
    if (e) e(this);
  };
  b->OnMouseDown = [this, b](TObject*, TMouseButton button, TShiftState, int, int) {
    if (button == mbLeft) ArrowPressed(b);
  };
  b->SetRepeatFlags(tbfAllowTimer);
  b->SetParent(this);
  return b;
}

void TUtlSpinButton::SetArrowGlyph(TUtlTimerSpeedButton* arrow, bool& isDefault, TBitmap* value,
                                   ArrowPicture picture) {
  isDefault = !value;
  if (value) {
    arrow->SetGlyph(value);
    return;
  }
  auto builtIn = BuiltInArrow(picture == kUpArrow);
  RecolorMonoBitmap(builtIn.get(), clBtnFace, clBtnText);
  arrow->SetGlyph(builtIn.get());
}

void TUtlSpinButton::SetArrowEnabled(TUtlTimerSpeedButton* arrow, bool& wanted, bool value) {
  if (value == wanted) return;
  wanted = value;
  arrow->SetEnabled(value && Enabled());
}

void TUtlSpinButton::SetEnabled(bool value) {
  if (value != Enabled()) {
    up_->SetEnabled(value && upWanted_);
    down_->SetEnabled(value && downWanted_);
  }
  TWinControl::SetEnabled(value);
}

void TUtlSpinButton::SetFocusControl(TWinControl* value) {
  if (focusControl_) focusControl_->RemoveFreeNotification(this);
  focusControl_ = value;
  if (value) value->FreeNotification(this);
}

void TUtlSpinButton::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TUtlSpinButton::FitArrows(int& width, int height) {
  if (!up_ || !down_ || InState(csLoading)) return;
  width = std::max(width, 15);
  up_->SetBounds(0, 0, width, height / 2);
  down_->SetBounds(0, up_->Height(), width, height - height / 2);
}

void TUtlSpinButton::SetBounds(int left, int top, int width, int height) {
  FitArrows(width, height);
  TWinControl::SetBounds(left, top, width, height);
}

void TUtlSpinButton::ArrowPressed(TUtlTimerSpeedButton* arrow) {
  MoveFocusMark(arrow);
  if (focusControl_ && focusControl_->TabStop() && focusControl_->CanFocus() && !focusControl_->Focused())
    focusControl_->SetFocus();
  else if (TabStop() && !Focused() && CanFocus())
    SetFocus();
}

void TUtlSpinButton::MoveFocusMark(TUtlTimerSpeedButton* arrow) {
  if (!TabStop() || !CanFocus() || arrow == focusedArrow_) return;
  focusedArrow_->SetRepeatFlags(focusedArrow_->RepeatFlags() & ~unsigned(tbfFocusRect));
  focusedArrow_ = arrow;
  if (Focused()) arrow->SetRepeatFlags(arrow->RepeatFlags() | tbfFocusRect);
}

void TUtlSpinButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_GETDLGCODE:
      m.Result = 1;  // the arrow keys
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      TWinControl::WndProc(m);
      const unsigned flags = focusedArrow_->RepeatFlags();
      focusedArrow_->SetRepeatFlags(m.Msg == WM_SETFOCUS ? flags | tbfFocusRect : flags & ~unsigned(tbfFocusRect));
      return;
    }
    case WM_KEYDOWN:
      switch (m.WParam) {
        case VK_SPACE: focusedArrow_->Click(); break;
        case VK_UP: MoveFocusMark(up_); up_->Click(); break;
        case VK_DOWN: MoveFocusMark(down_); down_->Click(); break;
        default: break;
      }
      return;
    default:
      TWinControl::WndProc(m);
  }
}
