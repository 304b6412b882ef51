// Hints: the application follows the control under the pointer (sending it
// mouse-enter and mouse-leave notices), starts the hint pause when the
// pointer comes to rest on a control that shows hints, then shows its hint
// window below the pointer until the hide pause ends or the pointer moves on.
#include "platform/gui/application.h"

namespace {
enum : UINT_PTR { kShowTimer = 1, kHideTimer = 2 };
constexpr int kHintMaxWidth = 300;
}  // namespace

void TApplication::TrackMouse(const MSG& msg) {
  if (msg.message != WM_MOUSEMOVE) {
    CancelHint();  // a click or a key ends the hint
    return;
  }
  POINT cursor;
  GetCursorPos(&cursor);
  TControl* control = FindDragTarget(cursor, false);
  if (control == mouseControl_) return;
  CancelHint();
  if (mouseControl_) {
    mouseControl_->RemoveFreeNotification(this);
    mouseControl_->Perform(CM_MOUSELEAVE, 0, 0);
  }
  mouseControl_ = control;
  if (!control) return;
  control->FreeNotification(this);
  control->Perform(CM_MOUSEENTER, 0, 0);
  if (showHint_ && control->ShowHint() && !control->Hint().empty()) SetTimer(Handle(), kShowTimer, UINT(hintPause_));
}

void TApplication::HintTimer(UINT_PTR id) {
  KillTimer(Handle(), id);
  if (id == kShowTimer) ShowHintNow();
  else CancelHint();
}

void TApplication::ShowHintNow() {
  if (!mouseControl_ || !showHint_) return;
  hint_ = mouseControl_->Hint();
  if (!hintWindow_) {
    hintWindow_ = new THintWindow(this);
    hintWindow_->SetColor(hintColor_);
  }
  POINT cursor;
  GetCursorPos(&cursor);
  TRect r = hintWindow_->CalcHintRect(kHintMaxWidth, hint_);
  r = Bounds(cursor.X, cursor.Y + 20, r.Width(), r.Height());
  hintWindow_->ActivateHint(r, hint_);
  Fire(&TApplicationEventHandlers::OnHint);
  SetTimer(Handle(), kHideTimer, UINT(hintHidePause_));
}

void TApplication::CancelHint() {
  if (!handle_) return;
  KillTimer(handle_, kShowTimer);
  KillTimer(handle_, kHideTimer);
  hint_.clear();
  if (hintWindow_) hintWindow_->ReleaseHandle();
}

void TApplication::SetShowHint(bool value) {
  showHint_ = value;
  if (!value) CancelHint();
}

// --- THintWindow ----------------------------------------------------------------------------

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  SetVisible(false);
  SetColor(clInfoBk);
  Font()->SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style = WS_POPUP | WS_BORDER;
  p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  p.WndParent = 0;
}

TRect THintWindow::CalcHintRect(int maxWidth, const AnsiString& hint) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  RECT r{0, 0, maxWidth, 0};
  DrawTextA(dc, hint.c_str(), int(hint.size()), &r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  SelectObject(dc, old);
  DeleteDC(dc);
  return Rect(0, 0, r.Right + 8, r.Bottom + 4);
}

void THintWindow::ActivateHint(TRect rect, const AnsiString& hint) {
  SetText(hint);
  SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
  SetWindowPos(Handle(), HWND_TOPMOST, rect.Left, rect.Top, rect.Width(), rect.Height(),
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  SetVisible(true);
  Invalidate();
}

void THintWindow::ReleaseHandle() { SetVisible(false); }

void THintWindow::Paint() {
  TRect r = ClientRect();
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(r);
  r.Left += 2;
  r.Top += 1;
  Canvas()->Brush()->SetStyle(bsClear);
  const AnsiString& text = Text();
  DrawTextA(Canvas()->Handle(), text.c_str(), int(text.size()), &r, DT_WORDBREAK | DT_NOPREFIX);
}
