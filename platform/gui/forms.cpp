// TCustomForm: the top-level window of a set of controls, its showing and
// hiding, activation and focus, dialog keys, closing and the modal loop.
#include "platform/gui/forms.h"

#include <algorithm>

#include "platform/gui/application.h"
#include "platform/gui/menus.h"

TCustomForm::TCustomForm(TComponent* owner) : TCustomControl(owner) {
  SetVisible(false);
  SetControlStyle(ControlStyle() | csAcceptsControls);
  TControl::SetBounds(100, 100, 320, 240);
  Screen->forms_.push_back(this);
}

TCustomForm::~TCustomForm() {
  // The window ends while this is still a form, so whatever handles its
  // last messages (a skinned frame, the MDI client) sees a whole form.
  DestroyHandle();
  auto& forms = Screen->forms_;
  forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
  if (Screen->activeForm_ == this) Screen->activeForm_ = nullptr;
  if (Application->MainForm() == this) Application->SetMainForm(nullptr);
}

// A form read as visible is shown only now, after OnCreate.
void TCustomForm::AfterConstruction() {
  if (OnCreate) OnCreate(this);
  if (showWhenCreated_) {
    showWhenCreated_ = false;
    if (Visible()) Perform(CM_VISIBLECHANGED, 1, 0);
  }
}

void TCustomForm::BeforeDestruction() {
  if (OnDestroy) OnDestroy(this);
  // An MDI child leaves its client window while it is still a whole form, so
  // the client hands the activation on and nobody keeps showing its menu.
  if (formStyle_ == fsMDIChild && HandleAllocated()) DestroyWindow(Handle());
  TCustomControl::BeforeDestruction();
}

TRect TCustomForm::ClientRect() const {
  if (!HandleAllocated() && InState(csLoading)) return TCustomControl::ClientRect();
  RECT r;
  GetClientRect(const_cast<TCustomForm*>(this)->Handle(), &r);
  return r;
}

void TCustomForm::SetClientWidth(int value) {
  if (InState(csLoading)) loadedClientWidth_ = value;
  else TCustomControl::SetClientWidth(value);
}

void TCustomForm::SetClientHeight(int value) {
  if (InState(csLoading)) loadedClientHeight_ = value;
  else TCustomControl::SetClientHeight(value);
}

// The client size is applied while the form still counts as loading, so
// its anchored controls take the final size as their base and do not move.
void TCustomForm::Loaded() {
  const int w = loadedClientWidth_, h = loadedClientHeight_;
  loadedClientWidth_ = loadedClientHeight_ = -1;
  if (w >= 0 || h >= 0) HandleNeeded();  // the frame decides the window size
  if (w >= 0) TCustomControl::SetClientWidth(w);
  if (h >= 0) TCustomControl::SetClientHeight(h);
  TCustomControl::Loaded();
}

void TCustomForm::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style &= ~DWORD(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP);
  p.Style |= WS_CLIPCHILDREN;
  p.WndParent = 0;
  p.ExStyle = 0;
  switch (borderStyle_) {
    case bsNone: p.Style |= WS_POPUP; break;
    case bsSingle: p.Style |= WS_CAPTION; break;
    case bsSizeable: p.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      p.Style |= WS_POPUP | WS_CAPTION;
      p.ExStyle |= WS_EX_DLGMODALFRAME;
      break;
    case bsToolWindow:
      p.Style |= WS_CAPTION;
      p.ExStyle |= WS_EX_TOOLWINDOW;
      break;
    case bsSizeToolWin:
      p.Style |= WS_CAPTION | WS_THICKFRAME;
      p.ExStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  if (borderStyle_ != bsNone && (borderIcons_ & biSystemMenu)) {
    p.Style |= WS_SYSMENU;
    if (borderStyle_ == bsSingle || borderStyle_ == bsSizeable) {
      if (borderIcons_ & biMinimize) p.Style |= WS_MINIMIZEBOX;
      if (borderIcons_ & biMaximize) p.Style |= WS_MAXIMIZEBOX;
    }
  }
  if (formStyle_ == fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
  if (formStyle_ == fsMDIChild) MDIChildCreateParams(p);
}

// A changed frame is applied to the existing window in place.
void TCustomForm::SetBorderStyle(TBorderStyle style) {
  borderStyle_ = style;
  if (!HandleAllocated()) return;
  TCreateParams p;
  CreateParams(p);
  const LONG_PTR kept = GetWindowLongPtrA(Handle(), GWL_STYLE) & (WS_VISIBLE | WS_MAXIMIZE | WS_MINIMIZE | WS_DISABLED);
  SetWindowLongPtrA(Handle(), GWL_STYLE, LONG_PTR(p.Style) | kept);
  SetWindowLongPtrA(Handle(), GWL_EXSTYLE, LONG_PTR(p.ExStyle));
  SetWindowPos(Handle(), 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
  borderIcons_ = icons;
  SetBorderStyle(borderStyle_);
}

TWindowState TCustomForm::WindowState() const {
  if (!HandleAllocated()) return windowState_;
  HWND h = const_cast<TCustomForm*>(this)->Handle();
  if (IsIconic(h)) return wsMinimized;
  if (IsZoomed(h)) return wsMaximized;
  return IsWindowVisible(h) ? wsNormal : windowState_;
}

void TCustomForm::SetWindowState(TWindowState state) {
  windowState_ = state;
  if (!HandleAllocated() || !Visible()) return;
  // An MDI child is maximized and restored by its client window.
  if (formStyle_ == fsMDIChild && state != wsMinimized)
    SendMessageA(GetParent(Handle()), state == wsMaximized ? WM_MDIMAXIMIZE : WM_MDIRESTORE, WPARAM(Handle()), 0);
  else
    ShowWindow(Handle(), state == wsMaximized ? SW_MAXIMIZE : state == wsMinimized ? SW_MINIMIZE : SW_RESTORE);
}

void TCustomForm::SetMenu(TMainMenu* menu) {
  if (menu == menu_) return;
  if (menu_) menu_->RemoveFreeNotification(this);
  menu_ = menu;
  if (menu) menu->FreeNotification(this);
  MenuBarChanged();
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == menu_) {
    menu_ = nullptr;
    MenuBarChanged();
  }
  if (component == activeControl_) activeControl_ = nullptr;
  if (component == windowMenu_) windowMenu_ = nullptr;
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control && !ContainsControl(control)) throw EInvalidOperation("Invalid active control");
  SetFocusedControl(control);
  if (control && active_ && control->CanFocus()) ::SetFocus(control->Handle());
}

void TCustomForm::SetFocusedControl(TWinControl* control) {
  if (control == this) control = nullptr;
  if (control == activeControl_) return;
  if (activeControl_) activeControl_->RemoveFreeNotification(this);
  activeControl_ = control;
  if (control) control->FreeNotification(this);
  Perform(CM_FOCUSCHANGED, 0, LPARAM(control));
}

bool TCustomForm::NotifyControls(UINT msg, WPARAM wparam, LPARAM lparam, bool untilAnswered) {
  std::function<bool(TWinControl*)> offer = [&](TWinControl* w) {
    for (int i = 0; i < w->ControlCount(); ++i) {
      TControl* c = w->Controls(i);
      if (untilAnswered && (!c->Visible() || !c->Enabled())) continue;
      if (c->Perform(msg, wparam, lparam) && untilAnswered) return true;
      if (auto* child = dynamic_cast<TWinControl*>(c); child && offer(child)) return true;
    }
    return false;
  };
  return offer(this);
}

bool TCustomForm::DialogKey(WORD key, TShiftState shift) {
  if (key == VK_TAB && !(shift & (ssCtrl | ssAlt))) {
    SelectNext(activeControl_, !(shift & ssShift), true);
    return true;
  }
  if (key != VK_RETURN && key != VK_ESCAPE) return false;
  return NotifyControls(CM_DIALOGKEY, key, LPARAM(shift), true);
}

bool TCustomForm::IsShortCut(WORD key, TShiftState shift) { return menu_ && menu_->IsShortCut(key, shift); }

void TCustomForm::Activated(bool active) {
  active_ = active;
  // An MDI child's activation stays inside its parent.
  if (formStyle_ != fsMDIChild) Application->FormActivated(active);
  if (active) {
    Screen->activeForm_ = this;
    if (activeControl_ && activeControl_->CanFocus()) ::SetFocus(activeControl_->Handle());
    else SelectNext(nullptr, true, true);
    if (OnActivate) OnActivate(this);
  } else if (OnDeactivate) {
    OnDeactivate(this);
  }
}

void TCustomForm::PlaceOnShow() {
  if (shownOnce_) return;
  shownOnce_ = true;
  TRect area;
  switch (position_) {
    case poScreenCenter:
    case poDesktopCenter: area = Screen->WorkAreaRect(); break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
      TCustomForm* main = Application->MainForm();
      if (auto* owner = dynamic_cast<TCustomForm*>(Owner()); owner && position_ == poOwnerFormCenter) main = owner;
      area = main && main != this ? main->BoundsRect() : Screen->WorkAreaRect();
      break;
    }
    default: return;
  }
  SetBounds(area.Left + (area.Width() - Width()) / 2, area.Top + (area.Height() - Height()) / 2, Width(), Height());
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

void TCustomForm::WndProc(TMessage& m) {
  if (MenuBarMessage(m) || MDIChildMessage(m)) return;
  switch (m.Msg) {
    case CM_VISIBLECHANGED:
      if (InState(csLoading)) {
        showWhenCreated_ = Visible();
        return;
      }
      if (Visible()) {
        HandleNeeded();
        PlaceOnShow();
        DoShow();
        if (!Visible()) return;  // OnShow may hide it again
        const int cmd = windowState_ == wsMaximized ? SW_SHOWMAXIMIZED
                        : windowState_ == wsMinimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
        if (formStyle_ == fsMDIChild) {
          ShowWindow(Handle(), cmd == SW_SHOWMAXIMIZED ? SW_SHOWNORMAL : cmd);
          SendMessageA(GetParent(Handle()), cmd == SW_SHOWMAXIMIZED ? WM_MDIMAXIMIZE : WM_MDIACTIVATE,
                       WPARAM(Handle()), 0);
          return;
        }
        ShowWindow(Handle(), cmd);
        SetForegroundWindow(Handle());
      } else {
        DoHide();
        if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
      }
      return;
    case WM_CLOSE: Close(); return;
    // Every control hears of a focus change (buttons track which one Enter presses).
    case CM_FOCUSCHANGED: NotifyControls(CM_FOCUSCHANGED, m.WParam, m.LParam, false); return;
    // A character no control took: the control with that "&" letter answers.
    case CM_DIALOGCHAR:
      m.Result = NotifyControls(CM_DIALOGCHAR, m.WParam, m.LParam, true) ||
                 ((KeyboardShiftState() & ssAlt) && MenuBarHotkey(char(m.WParam)));
      return;
    case WM_SYSCOMMAND:
      // The main form's minimize and restore are the application's.
      if (Application->MainForm() == this && (m.WParam & 0xFFF0) == SC_MINIMIZE) {
        Application->Minimize();
        return;
      }
      if (Application->MainForm() == this && (m.WParam & 0xFFF0) == SC_RESTORE && IsIconic(Handle())) {
        Application->Restore();
        return;
      }
      DefaultHandler(m);
      return;
    case WM_GETMINMAXINFO: {
      DefaultHandler(m);
      auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
      const TSizeConstraints* c = Constraints();
      if (c->MinWidth() > 0) info->ptMinTrackSize.X = std::max(info->ptMinTrackSize.X, c->MinWidth());
      if (c->MinHeight() > 0) info->ptMinTrackSize.Y = std::max(info->ptMinTrackSize.Y, c->MinHeight());
      if (c->MaxWidth() > 0) info->ptMaxTrackSize.X = c->MaxWidth();
      if (c->MaxHeight() > 0) info->ptMaxTrackSize.Y = c->MaxHeight();
      if (formStyle_ == fsMDIChild) MDIChildMinMax(*info);
      return;
    }
    case WM_ACTIVATE:
      DefaultHandler(m);
      Activated(LOWORD(m.WParam) != WA_INACTIVE);
      return;
    default: TCustomControl::WndProc(m);
  }
}

void TCustomForm::SendCancelMode(TControl*) {
  const HWND capture = GetCapture();
  if (capture && (capture == Handle() || IsChild(Handle(), capture))) ReleaseCapture();
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TCustomForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  if (OnClose) OnClose(this, action);
  if (action == caNone) return;
  if (Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree: Release(); break;
    default: break;
  }
}

void TCustomForm::Release() { PostMessage(Application->Handle(), CM_RELEASE, 0, LPARAM(this)); }

// The modal loop asks before it ends: a form that refuses to close, or whose
// OnClose answers caNone, stays open and the loop goes on.
void TCustomForm::CloseModal() {
  TCloseAction action = CloseQuery() ? caHide : caNone;
  if (action != caNone && OnClose) OnClose(this, action);
  if (action == caNone) modalResult_ = mrNone;
}

TModalResult TCustomForm::ShowModal() {
  if (Visible() || modal_ || !Enabled()) throw EInvalidOperation("Cannot make a visible window modal");
  Application->CancelHint();
  if (GetCapture()) ReleaseCapture();
  const HWND previous = GetActiveWindow();
  std::vector<HWND> disabled;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* f = Screen->Forms(i);
    if (f == this || !f->HandleAllocated()) continue;
    HWND h = f->Handle();
    if (IsWindowVisible(h) && IsWindowEnabled(h)) {
      EnableWindow(h, 0);
      disabled.push_back(h);
    }
  }
  modal_ = true;
  modalResult_ = mrNone;
  auto restore = [&] {
    for (HWND h : disabled)
      if (IsWindow(h)) EnableWindow(h, 1);
    modal_ = false;
    Hide();
    if (previous && IsWindow(previous)) SetActiveWindow(previous);
  };
  try {
    Show();
    SetActiveWindow(Handle());
    while (modalResult_ == mrNone) {
      Application->HandleMessage();
      if (Application->Terminated()) modalResult_ = mrCancel;
      else if (modalResult_ != mrNone) CloseModal();
    }
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return modalResult_;
}
