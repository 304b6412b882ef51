// Window-procedure hooks: a component that watches the messages of a window
// it does not own. Every hook on one control shares one subclassing of the
// control's window (TUtlControlHook); all of them live in one program-wide
// list (TUtlHookList) whose hidden window re-subclasses a re-created window
// and frees an unused control hook on a later loop turn, never from inside
// the window procedure that is handling WM_DESTROY.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include "platform/gui/controls.h"

// Handled: set by a before handler to keep the message from the window and
// from the hooks attached before this one.
using THookMessageEvent = std::function<void(TObject* sender, TMessage& msg, bool& handled)>;

class TUtlControlHook;

class TUtlWindowHook : public TComponent {
public:
  explicit TUtlWindowHook(TComponent* owner);
  ~TUtlWindowHook() override;

  bool Active() const { return active_; }
  void SetActive(bool value);
  // The watched control: the control hook's while attached.
  TWinControl* WinControl() const;
  void SetWinControl(TWinControl* value);

  THookMessageEvent BeforeMessage;
  THookMessageEvent AfterMessage;

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TUtlControlHook;
  void Attach();
  void Detach();

  bool active_ = true;
  TWinControl* control_ = nullptr;
  TUtlControlHook* controlHook_ = nullptr;
};

// One subclassing of one control's window, shared by its hooks.
class TUtlControlHook : public TObject {
public:
  TUtlControlHook() = default;
  ~TUtlControlHook() override;

  TWinControl* Control() const { return control_; }
  void SetControl(TWinControl* value);
  void AddHook(TUtlWindowHook* hook);
  void RemoveHook(TUtlWindowHook* hook);
  int HookCount() const { return static_cast<int>(hooks_.size()); }

private:
  friend class TUtlHookList;
  enum class Order { Before, After };
  void Subclass();
  void Unsubclass();
  bool ControlGoing() const;
  void CallHooks(Order order, TMessage& msg, bool& handled);
  LRESULT HookedMessage(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

  TWinControl* control_ = nullptr;
  HWND subclassed_ = 0;  // the window whose procedure is ours
  WNDPROC previous_ = nullptr;
  std::vector<TUtlWindowHook*> hooks_;
  bool destroying_ = false;
};

// The program's control hooks and the hidden window that defers work on them.
class TUtlHookList {
public:
  enum : UINT { WM_RESUBCLASS = 0xB052, WM_FREEHOOK = 0xB053 };

  // The list, created with its hidden window on first use.
  static TUtlHookList& Instance();
  // The list when it exists, else null.
  static TUtlHookList* Existing();

  TUtlControlHook* FindControlHook(const TWinControl* control) const;
  void Add(TUtlControlHook* hook) { hooks_.push_back(hook); }
  void Remove(TUtlControlHook* hook);
  bool Contains(const TUtlControlHook* hook) const;
  HWND Window() const { return window_; }
  void Post(UINT msg, TUtlControlHook* hook);

private:
  friend class TUtlControlHook;
  TUtlHookList();
  static LRESULT HiddenProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  static LRESULT HookedProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

  std::vector<TUtlControlHook*> hooks_;
  std::map<HWND, TUtlControlHook*> byWindow_;  // whose procedure runs for which window
  HWND window_ = 0;
};
