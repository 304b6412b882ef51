// Window-procedure hooks: attaching and detaching, the shared subclassing
// and the deferred re-subclassing and freeing through the hidden window.
#include "util/components/window_hook.h"

#include <algorithm>

#include "platform/gui/application.h"

namespace {
constexpr const char* kHiddenClass = "TUtlHookListWindow";
TUtlHookList* g_list = nullptr;

void ReportException(const Exception& e) {
  if (Application) Application->HandleException(nullptr, e);
}
}  // namespace

// --- TUtlWindowHook -------------------------------------------------------------------------

TUtlWindowHook::TUtlWindowHook(TComponent* owner) : TComponent(owner) {}

TUtlWindowHook::~TUtlWindowHook() {
  Destroying();
  SetActive(false);
  SetWinControl(nullptr);
}

TWinControl* TUtlWindowHook::WinControl() const { return controlHook_ ? controlHook_->Control() : control_; }

void TUtlWindowHook::SetActive(bool value) {
  if (value == active_) return;
  if (value)
    Attach();
  else
    Detach();
}

void TUtlWindowHook::SetWinControl(TWinControl* value) {
  if (value == WinControl()) return;
  const bool wasActive = active_;
  TUtlHookList* list = TUtlHookList::Existing();
  TUtlControlHook* old = list ? list->FindControlHook(WinControl()) : nullptr;
  Detach();
  if (control_) control_->RemoveFreeNotification(this);
  control_ = value;
  if (value) value->FreeNotification(this);
  // The old control hook may be inside its own window procedure now.
  if (old && old->HookCount() == 0) list->Post(TUtlHookList::WM_FREEHOOK, old);
  if (wasActive) Attach();
}

void TUtlWindowHook::Attach() {
  if (control_ && !InState(csDestroying)) {
    TUtlHookList& list = TUtlHookList::Instance();
    TUtlControlHook* hook = list.FindControlHook(control_);
    if (!hook) {
      hook = new TUtlControlHook;
      list.Add(hook);
      hook->SetControl(control_);
    }
    hook->AddHook(this);
  }
  active_ = true;
}

void TUtlWindowHook::Detach() {
  if (controlHook_) controlHook_->RemoveHook(this);
  active_ = false;
}

void TUtlWindowHook::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == control_ || component == Owner() || !Owner()) SetWinControl(nullptr);
}

// --- TUtlControlHook ------------------------------------------------------------------------

TUtlControlHook::~TUtlControlHook() {
  destroying_ = true;
  if (TUtlHookList* list = TUtlHookList::Existing()) list->Remove(this);
  while (!hooks_.empty()) RemoveHook(hooks_.back());
  Unsubclass();
  control_ = nullptr;
}

void TUtlControlHook::SetControl(TWinControl* value) {
  if (value == control_) return;
  Unsubclass();
  control_ = value;
  if (!hooks_.empty()) Subclass();
}

void TUtlControlHook::AddHook(TUtlWindowHook* hook) {
  if (std::find(hooks_.begin(), hooks_.end(), hook) == hooks_.end()) {
    hooks_.push_back(hook);
    hook->controlHook_ = this;
    SetControl(hook->control_);
  }
  Subclass();
}

void TUtlControlHook::RemoveHook(TUtlWindowHook* hook) {
  hook->controlHook_ = nullptr;
  hooks_.erase(std::remove(hooks_.begin(), hooks_.end(), hook), hooks_.end());
  if (hooks_.empty()) Unsubclass();
}

bool TUtlControlHook::ControlGoing() const { return control_ && control_->InState(csDestroying); }

void TUtlControlHook::Subclass() {
  if (!control_ || destroying_ || ControlGoing() || control_->InState(csDesigning)) return;
  const HWND hwnd = control_->Handle();  // creates the window when needed
  // Still in this window's chain (perhaps under a later subclasser): nothing to do.
  if (subclassed_ == hwnd) return;
  previous_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&TUtlHookList::HookedProc)));
  subclassed_ = hwnd;
  TUtlHookList::Instance().byWindow_[hwnd] = this;
}

void TUtlControlHook::Unsubclass() {
  if (!subclassed_) return;
  const HWND hwnd = subclassed_;
  if (!IsWindow(hwnd)) {
    previous_ = nullptr;
    subclassed_ = 0;
    return;
  }
  // Another subclasser installed after us keeps its procedure, and ours stays
  // in its chain: it keeps the previous procedure so the window still gets
  // its messages, and passes them on without calling any hook.
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWL_WNDPROC)) != &TUtlHookList::HookedProc) return;
  SetWindowLongPtrA(hwnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
  if (g_list) g_list->byWindow_.erase(hwnd);
  previous_ = nullptr;
  subclassed_ = 0;
}

void TUtlControlHook::CallHooks(Order order, TMessage& msg, bool& handled) {
  if (hooks_.empty() || !control_ || destroying_ || ControlGoing()) return;
  // The latest hook first; a copy, since a handler may detach hooks.
  const std::vector<TUtlWindowHook*> hooks = hooks_;
  for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
    if (std::find(hooks_.begin(), hooks_.end(), *it) == hooks_.end()) continue;
    const THookMessageEvent& handler = order == Order::Before ? (*it)->BeforeMessage : (*it)->AfterMessage;
    if (handler) {
      try {
        handler(*it, msg, handled);
      } catch (const Exception& e) {
        ReportException(e);
      }
    }
    if (handled) break;
  }
}

LRESULT TUtlControlHook::HookedMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  const WNDPROC previous = previous_;
  TMessage msg{message, wparam, lparam, 0};
  if (control_) {
    bool handled = false;
    if (message != WM_QUIT) CallHooks(Order::Before, msg, handled);
    if (!handled || message == WM_DESTROY) {
      struct AfterWalk {
        TUtlControlHook* self;
        TMessage& msg;
        ~AfterWalk() {
          bool afterHandled = false;
          self->CallHooks(Order::After, msg, afterHandled);
        }
      } after{this, msg};
      msg.Result = previous ? CallWindowProcA(previous, hwnd, message, wparam, lparam)
                            : DefWindowProcA(hwnd, message, wparam, lparam);
    }
  } else {
    msg.Result = previous ? CallWindowProcA(previous, hwnd, message, wparam, lparam)
                          : DefWindowProcA(hwnd, message, wparam, lparam);
  }
  if (message == WM_DESTROY) {
    Unsubclass();
    if (g_list) g_list->byWindow_.erase(hwnd);
    previous_ = nullptr;
    subclassed_ = 0;
    // The control gets a new window later; subclass that one on a later turn.
    if (g_list && !destroying_ && !ControlGoing()) g_list->Post(TUtlHookList::WM_RESUBCLASS, this);
  }
  return msg.Result;
}

// --- TUtlHookList ---------------------------------------------------------------------------

TUtlHookList::TUtlHookList() {
  WNDCLASSEXA wc;
  wc.lpfnWndProc = &HiddenProc;
  wc.lpszClassName = kHiddenClass;
  RegisterClassExA(&wc);
  window_ = CreateWindowExA(0, kHiddenClass, "", 0, 0, 0, 0, 0, 0, 0, nullptr, nullptr);
}

// The list lives until the program ends; the window layer is not there to
// unsubclass into during static destruction.
TUtlHookList& TUtlHookList::Instance() {
  if (!g_list) g_list = new TUtlHookList;
  return *g_list;
}

TUtlHookList* TUtlHookList::Existing() { return g_list; }

TUtlControlHook* TUtlHookList::FindControlHook(const TWinControl* control) const {
  if (!control) return nullptr;
  for (TUtlControlHook* h : hooks_)
    if (h->Control() == control) return h;
  return nullptr;
}

void TUtlHookList::Remove(TUtlControlHook* hook) {
  hooks_.erase(std::remove(hooks_.begin(), hooks_.end(), hook), hooks_.end());
  std::erase_if(byWindow_, [hook](const auto& entry) { return entry.second == hook; });
}

bool TUtlHookList::Contains(const TUtlControlHook* hook) const {
  return std::find(hooks_.begin(), hooks_.end(), hook) != hooks_.end();
}

void TUtlHookList::Post(UINT msg, TUtlControlHook* hook) {
  PostMessage(window_, msg, 0, reinterpret_cast<LPARAM>(hook));
}

LRESULT TUtlHookList::HiddenProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  try {
    auto* hook = reinterpret_cast<TUtlControlHook*>(lparam);
    switch (msg) {
      case WM_RESUBCLASS:
        if (g_list && g_list->Contains(hook)) hook->Subclass();
        return 0;
      case WM_FREEHOOK:
        if (g_list && g_list->Contains(hook) && hook->HookCount() == 0) delete hook;
        return 0;
    }
  } catch (const Exception& e) {
    ReportException(e);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wparam, lparam);
}

LRESULT TUtlHookList::HookedProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  auto it = g_list ? g_list->byWindow_.find(hwnd) : decltype(g_list->byWindow_.end()){};
  if (!g_list || it == g_list->byWindow_.end()) return DefWindowProcA(hwnd, msg, wparam, lparam);
  return it->second->HookedMessage(hwnd, msg, wparam, lparam);
}
