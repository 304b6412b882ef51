// Chained window-procedure hooks (see wndproc_hook.h). Each active hook needs
// a plain procedure address of its own to sit in the chain; a fixed pool of
// procedures, each reading its slot's hook, provides them.
#include "util/components/wndproc_hook.h"

#include <algorithm>
#include <array>
#include <utility>

#include "platform/gui/user.h"

namespace {

constexpr size_t kSlots = 256;
std::array<TUtlCustomWndProcHook*, kSlots> slots{};

using Caller = LRESULT (*)(TUtlCustomWndProcHook*, HWND, UINT, WPARAM, LPARAM);
Caller caller = nullptr;

template <size_t I>
LRESULT SlotProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  TUtlCustomWndProcHook* hook = slots[I];
  return hook ? caller(hook, hwnd, msg, wparam, lparam) : DefWindowProcA(hwnd, msg, wparam, lparam);
}

template <size_t... I>
constexpr std::array<WNDPROC, kSlots> MakeProcs(std::index_sequence<I...>) {
  return {&SlotProc<I>...};
}
constexpr std::array<WNDPROC, kSlots> procs = MakeProcs(std::make_index_sequence<kSlots>());

WNDPROC BindProc(TUtlCustomWndProcHook* hook) {
  for (size_t i = 0; i < kSlots; ++i)
    if (!slots[i]) {
      slots[i] = hook;
      return procs[i];
    }
  throw EOutOfResources("Not enough window procedures available");
}

void UnbindProc(WNDPROC proc) {
  for (size_t i = 0; i < kSlots; ++i)
    if (procs[i] == proc) slots[i] = nullptr;
}

TUtlWndProcHookList* list = nullptr;

bool Valid(HWND h) { return h != 0 && h != kNoHookWindow; }

}  // namespace

// --- the list -------------------------------------------------------------------------------

TUtlWndProcHookList* TUtlWndProcHookList::Existing() { return list; }

TUtlWndProcHookList& TUtlWndProcHookList::Instance() {
  if (!list) list = new TUtlWndProcHookList;
  return *list;
}

void TUtlWndProcHookList::FreeIfEmpty() {
  if (list && list->hooks_.empty()) {
    delete list;
    list = nullptr;
  }
}

WNDPROC TUtlWndProcHookList::Underlying(HWND hwnd) const {
  for (TUtlCustomWndProcHook* h : hooks_)
    if (h->active_ && h->hooked_ == hwnd && h->previous_) return h->previous_;
  return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
}

std::vector<TUtlCustomWndProcHook*> TUtlWndProcHookList::ActiveOn(HWND hwnd) const {
  std::vector<TUtlCustomWndProcHook*> chain;
  for (TUtlCustomWndProcHook* h : hooks_)
    if (h->active_ && h->hooked_ == hwnd) chain.push_back(h);
  return chain;
}

void TUtlWndProcHookList::Link(HWND hwnd, const std::vector<TUtlCustomWndProcHook*>& chain, WNDPROC orig) {
  WNDPROC previous = orig;
  for (TUtlCustomWndProcHook* h : chain) {
    h->previous_ = previous;
    previous = h->own_;
  }
  SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
}

// --- the hook -------------------------------------------------------------------------------

TUtlCustomWndProcHook::TUtlCustomWndProcHook(TComponent* owner) : TUtlComponent(owner) {
  caller = [](TUtlCustomWndProcHook* h, HWND hwnd, UINT msg, WPARAM w, LPARAM l) { return h->Called(hwnd, msg, w, l); };
  TUtlWndProcHookList::Instance().hooks_.push_back(this);
}

TUtlCustomWndProcHook::~TUtlCustomWndProcHook() {
  SetActive(false);
  if (TUtlWndProcHookList* l = TUtlWndProcHookList::Existing()) {
    std::erase(l->hooks_, this);
    TUtlWndProcHookList::FreeIfEmpty();
  }
}

void TUtlCustomWndProcHook::Loaded() {
  TUtlComponent::Loaded();
  if (active_) Hook();  // stored True
}

void TUtlCustomWndProcHook::Notification(TComponent* component, TOperation operation) {
  TUtlComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == winControl_) SetWinControl(nullptr);
  if (component == this) SetActive(false);
}

void TUtlCustomWndProcHook::SetActive(bool value) {
  if (value == active_) return;
  if (value)
    Hook();
  else
    Unhook();
}

void TUtlCustomWndProcHook::Hook() {
  if (InState(csLoading)) {
    active_ = true;  // hooked by Loaded
    return;
  }
  if (!InState(csDesigning) && !Valid(hooked_)) {
    const HWND h = GetHandle();
    if (Valid(h) && IsWindow(h)) {  // an explicit handle may name a window gone meanwhile
      if (!own_) own_ = BindProc(this);
      TUtlWndProcHookList& l = TUtlWndProcHookList::Instance();
      const WNDPROC orig = l.Underlying(h);  // before this hook counts
      hooked_ = h;
      active_ = true;
      TUtlWndProcHookList::Link(h, l.ActiveOn(h), orig);
    }
  }
  active_ = true;
}

void TUtlCustomWndProcHook::Unhook() {
  if (!InState(csDesigning) && Valid(hooked_)) {
    const HWND h = hooked_;
    TUtlWndProcHookList& l = TUtlWndProcHookList::Instance();
    const WNDPROC orig = l.Underlying(h);  // while this hook still counts
    active_ = false;
    hooked_ = 0;
    if (IsWindow(h)) {
      const auto chain = l.ActiveOn(h);
      if (chain.empty())
        SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(orig));
      else
        TUtlWndProcHookList::Link(h, chain, orig);
    }
  }
  if (own_) UnbindProc(own_);
  own_ = nullptr;
  previous_ = nullptr;
  active_ = false;
}

HWND TUtlCustomWndProcHook::GetHandle() {
  if (Valid(handle_)) return handle_;
  TWinControl* c = GetWinControl();
  if (!c) return kNoHookWindow;
  if (!c->HandleAllocated() && (c->InState(csLoading) || c->InState(csDestroying))) return kNoHookWindow;
  return c->Handle();
}

void TUtlCustomWndProcHook::SetHandle(HWND value) {
  if (value == handle_) return;
  const bool was = active_;
  SetActive(false);
  handle_ = value;
  SetActive(was);
  if (OnChangeHandle) OnChangeHandle(this);
}

TWinControl* TUtlCustomWndProcHook::GetWinControl() {
  if (winControl_) return winControl_;
  return dynamic_cast<TWinControl*>(Owner());
}

void TUtlCustomWndProcHook::SetWinControl(TWinControl* value) {
  if (value == winControl_) return;
  const bool was = active_;
  SetActive(false);
  if (winControl_ && winControl_ != Owner()) winControl_->RemoveFreeNotification(this);
  winControl_ = value;
  TWinControl* c = GetWinControl();
  if (c && c != Owner()) c->FreeNotification(this);
  SetActive(was);
  if (OnChangeWinControl) OnChangeWinControl(this);
}

LRESULT TUtlCustomWndProcHook::Called(HWND, UINT msg, WPARAM wparam, LPARAM lparam) {
  TMessage m{msg, wparam, lparam, 0};
  WndProc(m);
  return m.Result;
}

void TUtlCustomWndProcHook::WndProc(TMessage& msg) {
  const HWND h = GetHandle();
  if (!Valid(h)) return;
  bool handled = false;
  if (OnMessageBefore) OnMessageBefore(this, msg, handled);
  if (!handled) {
    if (msg.Msg == WM_DESTROY && active_) {
      const WNDPROC previous = previous_;
      const HWND hooked = hooked_;
      Unhook();
      TWinControl* c = GetWinControl();
      if (!(c && c->InState(csDestroying))) new TUtlWndProcHookTimer(this, 25);
      msg.Result = CallWindowProcA(previous, hooked, msg.Msg, msg.WParam, msg.LParam);
    } else if (msg.Msg == WM_LBUTTONDOWN && autoDrag_ && IsWindow(h)) {
      ReleaseCapture();
      SendMessageA(h, WM_SYSCOMMAND, kScDragMove, 0);
    } else {
      msg.Result = CallWindowProcA(previous_, hooked_, msg.Msg, msg.WParam, msg.LParam);
    }
  }
  if (OnMessageAfter) OnMessageAfter(this, msg, handled);
}

// --- the re-hook timer ----------------------------------------------------------------------

TUtlWndProcHookTimer::TUtlWndProcHookTimer(TUtlCustomWndProcHook* hook, unsigned interval) : TUtlCustomTimer(hook) {
  SetInterval(interval);
  SetOnTimer([this](TObject*) { Rehook(); });
  SetEnabled(true);
}

void TUtlWndProcHookTimer::Rehook() {
  SetEnabled(false);
  if (auto* hook = dynamic_cast<TUtlCustomWndProcHook*>(Owner())) {
    hook->Hook();
    if (hook->OnChangeHandle) hook->OnChangeHandle(this);
  }
  Free();
}
