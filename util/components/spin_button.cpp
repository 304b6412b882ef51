// Spin arrow pair: the arrow buttons' press, repeat and paint, and the pair's
// placement, enabled wishes, focus mark and keys.
#include "util/components/spin_button.h"

#include <algorithm>

#include "platform/gui/canvas.h"
#include "platform/gui/colors.h"

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

void Frame(TCanvas* c, TRect& r, TColor topLeft, TColor bottomRight) {
  c->Pen()->SetColor(topLeft);
  c->MoveTo(r.Left, r.Bottom - 1);
  c->LineTo(r.Left, r.Top);
  c->LineTo(r.Right - 1, r.Top);
  c->Pen()->SetColor(bottomRight);
  c->LineTo(r.Right - 1, r.Bottom - 1);
  c->LineTo(r.Left - 1, r.Bottom - 1);
  r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
}
}  // namespace

// --- TUtlTimerSpeedButton --------------------------------------------------------------------

TUtlTimerSpeedButton::TUtlTimerSpeedButton(TComponent* owner, Arrow arrow) : TGraphicControl(owner), arrow_(arrow) {
  SetBounds(0, 0, 25, 25);
}

TUtlTimerSpeedButton::~TUtlTimerSpeedButton() {
  if (g_repeating == this) StopTimer();
}

void TUtlTimerSpeedButton::SetRepeatFlags(unsigned flags) {
  if (flags == repeatFlags_) return;
  repeatFlags_ = flags;
  Invalidate();
}

void TUtlTimerSpeedButton::SetEnabled(bool enabled) {
  TGraphicControl::SetEnabled(enabled);
  SetState(enabled ? sbUp : sbDisabled);
  if (!enabled) dragging_ = false;
}

void TUtlTimerSpeedButton::SetState(TSpeedButtonState state) {
  if (state == state_) return;
  state_ = state;
  Invalidate();
}

void TUtlTimerSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button == mbLeft && Enabled()) {
    SetState(sbDown);
    dragging_ = true;
  }
  if (repeatFlags_ & tbfAllowTimer) {
    g_repeating = this;
    RepeatTimer().OnTimer = [this](TObject*) { TimerRepeat(); };
    RepeatTimer().SetInterval(kInitPause);
    RepeatTimer().SetEnabled(true);
  }
}

void TUtlTimerSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (dragging_) SetState(Inside(x, y) ? sbDown : sbUp);
}

void TUtlTimerSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (button == mbLeft && dragging_) {
    dragging_ = false;
    SetState(Enabled() ? sbUp : sbDisabled);
  }
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
  if (state_ != sbDown || !dragging_) return;
  try {
    Click();
  } catch (...) {
    StopTimer();
    throw;
  }
}

void TUtlTimerSpeedButton::Paint() {
  TCanvas* c = Canvas();
  TRect r = ClientRect();
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(r);
  const bool down = state_ == sbDown;
  if (down) {
    Frame(c, r, clBtnShadow, clBtnShadow);
  } else {
    Frame(c, r, clBtnFace, cl3DDkShadow);
    Frame(c, r, clBtnHighlight, clBtnShadow);
  }
  // The arrow: rows of 7, 5, 3 and 1 pixels, pointing up or down.
  const int shift = down ? 1 : 0;
  const int cx = Width() / 2 + shift, top = (Height() - 4) / 2 + shift;
  c->Pen()->SetColor(state_ == sbDisabled ? clBtnShadow : clBtnText);
  for (int row = 0; row < 4; ++row) {
    const int half = arrow_ == Arrow::Up ? row : 3 - row;
    c->MoveTo(cx - half, top + row);
    c->LineTo(cx + half + 1, top + row);
  }
  if (repeatFlags_ & tbfFocusRect) {
    TRect f = ClientRect();
    f = Rect(f.Left + 3 + shift, f.Top + 3 + shift, f.Right - 3 + shift, f.Bottom - 3 + shift);
    c->DrawFocusRect(f);
  }
}

// --- TUtlSpinButton --------------------------------------------------------------------------

TUtlSpinButton::TUtlSpinButton(TComponent* owner) : TWinControl(owner) {
  SetControlStyle((ControlStyle() & ~unsigned(csAcceptsControls | csSetCaption)) | csOpaque);
  up_ = MakeArrow(TUtlTimerSpeedButton::Arrow::Up);
  down_ = MakeArrow(TUtlTimerSpeedButton::Arrow::Down);
  focusedArrow_ = up_;
  SetTabStop(false);
  SetBounds(0, 0, 20, 2);
}

TUtlSpinButton::~TUtlSpinButton() = default;

TUtlTimerSpeedButton* TUtlSpinButton::MakeArrow(TUtlTimerSpeedButton::Arrow arrow) {
  auto* b = new TUtlTimerSpeedButton(this, arrow);
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
