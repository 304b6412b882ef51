// TApplication's message loop and events, TApplicationEvents and TScreen.
// The hint logic (which control the pointer is over, the hint timers and the
// hint window) is in hints.cpp.
#include "platform/gui/application.h"

#include <algorithm>

#include "platform/gui/dialogs.h"
#include "platform/gui/icon.h"
#include "platform/gui/resources.h"
#include "platform/rtl/files.h"

// Both live as long as the program: never freed, so the order in which
// static objects go at exit cannot touch them.
TApplication* Application = new TApplication(nullptr);
TScreen* Screen = new TScreen(nullptr);

namespace {
// Other instances look for the application window by this class and the title.
constexpr const char* kAppClass = "TApplication";
}

TApplication::TApplication(TComponent* owner) : TComponent(owner) {}

TApplication::~TApplication() {
  delete icon_;
  if (handle_) DestroyWindow(handle_);
}

void TApplication::SetTitle(const AnsiString& title) {
  title_ = title;
  if (handle_) SetWindowTextA(handle_, title_.c_str());
}

TIcon* TApplication::Icon() {
  if (!icon_) {
    icon_ = new TIcon;
    if (FindResourceEntry("MAINICON")) icon_->LoadFromResourceName(0, "MAINICON");
  }
  return icon_;
}

HWND TApplication::Handle() {
  if (handle_) return handle_;
  WNDCLASSEXA wc;
  wc.lpfnWndProc = AppWndProc;
  wc.lpszClassName = kAppClass;
  RegisterClassExA(&wc);
  handle_ = CreateWindowExA(WS_EX_TOOLWINDOW, kAppClass, title_.c_str(), WS_POPUP, 0, 0, 0, 0, 0, 0, nullptr, nullptr);
  return handle_;
}

LRESULT TApplication::AppWndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case CM_RELEASE: {
      // A form freed otherwise since it asked is no longer among the forms.
      auto* form = reinterpret_cast<TCustomForm*>(lparam);
      for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i) == form) {
          form->Free();
          break;
        }
      return 0;
    }
    case WM_SYSCOMMAND:
      // Another instance asked for us (ActivateForeignWindow): restore or raise.
      if ((wparam & 0xFFF0) != SC_RESTORE) return DefWindowProcA(hwnd, msg, wparam, lparam);
      if (TCustomForm* main = Application->MainForm(); main && main->HandleAllocated() && IsIconic(main->Handle()))
        Application->Restore();
      else
        Application->BringToFront();
      return 0;
    case CM_DEACTIVATE:
      if (Application->active_ && !Application->Active()) {
        Application->active_ = false;
        Application->Fire(&TApplicationEventHandlers::OnDeactivate);
      }
      return 0;
    case WM_TIMER: Application->HintTimer(UINT_PTR(wparam)); return 0;
    default: return DefWindowProcA(hwnd, msg, wparam, lparam);
  }
}

AnsiString TApplication::ExeName() const { return ParamStr(0); }

void TApplication::Run() {
  if (mainForm_) mainForm_->Show();
  while (!terminated_) HandleMessage();
}

void TApplication::Terminate() {
  if (!terminated_) PostQuitMessage(0);
}

void TApplication::ProcessMessage(MSG& msg) {
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return;
  }
  try {
    bool handled = false;
    if (OnMessage) OnMessage(msg, handled);
    EachListener([&](TApplicationEvents* e) {
      if (!handled && e->OnMessage) e->OnMessage(msg, handled);
    });
    if (handled) return;
    if (IsMouseMessage(msg.message) || msg.message == WM_KEYDOWN) TrackMouse(msg);
    DispatchMessage(msg);
  } catch (const Exception& e) {
    HandleException(this, e);
  }
}

void TApplication::HandleMessage() {
  MSG msg;
  if (PeekMessage(msg, 0, 0, 0, PM_REMOVE)) {
    ProcessMessage(msg);
    return;
  }
  // An idle handler that is not done is asked again instead of waiting.
  if (Idle() && !terminated_) WaitMessage();
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (!terminated_ && PeekMessage(msg, 0, 0, 0, PM_REMOVE)) ProcessMessage(msg);
}

bool TApplication::Idle() {
  bool done = true;
  if (OnIdle) OnIdle(this, done);
  EachListener([&](TApplicationEvents* e) {
    if (e->OnIdle) e->OnIdle(this, done);
  });
  return done;
}

// Listeners may go while others are told; those gone are passed over.
void TApplication::EachListener(const std::function<void(TApplicationEvents*)>& tell) {
  for (TApplicationEvents* e : std::vector<TApplicationEvents*>(listeners_))
    if (std::find(listeners_.begin(), listeners_.end(), e) != listeners_.end()) tell(e);
}

bool TApplication::Active() const {
  const HWND active = GetActiveWindow();
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (Screen->Forms(i)->HandleAllocated() && Screen->Forms(i)->Handle() == active) return true;
  return false;
}

// Events go to the application's own handler first, then to every listener.
void TApplication::Fire(TNotifyEvent TApplicationEventHandlers::*event) {
  if (this->*event) (this->*event)(this);
  EachListener([&](TApplicationEvents* e) {
    if (e->*event) (e->*event)(this);
  });
}

void TApplication::Minimize() {
  if (mainForm_ && mainForm_->HandleAllocated()) ShowWindow(mainForm_->Handle(), SW_MINIMIZE);
  Fire(&TApplicationEventHandlers::OnMinimize);
}

void TApplication::Restore() {
  if (mainForm_ && mainForm_->HandleAllocated()) ShowWindow(mainForm_->Handle(), SW_RESTORE);
  Fire(&TApplicationEventHandlers::OnRestore);
}

// A form of the program became active or inactive: the program as a whole
// is active while one of its forms is, which is known once the activation
// has moved on.
void TApplication::FormActivated(bool active) {
  if (active && !active_) {
    active_ = true;
    Fire(&TApplicationEventHandlers::OnActivate);
  } else if (!active) {
    PostMessage(Handle(), CM_DEACTIVATE, 0, 0);
  }
}

void TApplication::BringToFront() {
  if (TCustomForm* f = Screen->ActiveForm() ? Screen->ActiveForm() : mainForm_; f && f->HandleAllocated())
    SetForegroundWindow(f->Handle());
}

int TApplication::MessageBox(const AnsiString& text, const AnsiString& caption, UINT flags) {
  TCustomForm* owner = Screen->ActiveForm();
  return MessageBoxA(owner && owner->HandleAllocated() ? owner->Handle() : 0, text.c_str(),
                     caption.empty() ? title_.c_str() : caption.c_str(), flags);
}

void TApplication::HandleException(TObject* sender, const Exception& e) {
  if (OnException) {
    OnException(sender, e);
    return;
  }
  for (TApplicationEvents* l : listeners_)
    if (l->OnException) {
      l->OnException(sender, e);
      return;
    }
  if (dynamic_cast<const EAbort*>(&e)) return;
  MessageBox(e.Message(), title_, MB_OK | MB_ICONSTOP);
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == mouseControl_) {
    mouseControl_ = nullptr;
    CancelHint();
  }
  if (component == mainForm_) mainForm_ = nullptr;
}

// --- TApplicationEvents -------------------------------------------------------------------------

TApplicationEvents::TApplicationEvents(TComponent* owner) : TComponent(owner) {
  Application->listeners_.push_back(this);
}

TApplicationEvents::~TApplicationEvents() {
  auto& l = Application->listeners_;
  l.erase(std::remove(l.begin(), l.end(), this), l.end());
}

// --- TScreen ------------------------------------------------------------------------------------

TWinControl* TScreen::ActiveControl() const { return activeForm_ ? activeForm_->ActiveControl() : nullptr; }

TRect TScreen::WorkAreaRect() const {
  RECT r;
  GetWorkArea(&r);
  return r;
}

int TScreen::Width() const { return WorkAreaRect().Right; }
int TScreen::Height() const { return WorkAreaRect().Bottom; }

HCURSOR TScreen::Cursors(TCursor cursor) const {
  const char* name = IDC_ARROW;
  switch (cursor) {
    case crCross: name = IDC_CROSS; break;
    case crIBeam: name = IDC_IBEAM; break;
    case crHourGlass: name = IDC_WAIT; break;
    case crHandPoint: name = IDC_HAND; break;
    default: break;
  }
  return LoadCursorA(nullptr, name);
}

void TScreen::SetCursor(TCursor cursor) {
  cursor_ = cursor;
  ::SetCursor(Cursors(cursor));
}
