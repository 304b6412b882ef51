// Window-procedure hooks that chain: any number of hook components may watch
// the messages of one window. The active hooks on a window form a chain in
// creation order; the newest sees a message first and passes it to the one
// before it, the oldest to the window's own procedure. A hooked window that
// is destroyed unhooks its hooks and re-hooks them 25 ms later, so a control
// that re-creates its window keeps its hooks.
#pragma once

#include <functional>
#include <vector>

#include "util/components/desktop_component.h"

// Handled: set by a before handler to keep the message from the rest of the
// chain and the window.
using TUtlMessageEvent = std::function<void(TObject* sender, TMessage& msg, bool& handled)>;

constexpr HWND kNoHookWindow = HWND(-1);
constexpr UINT kScDragMove = 0xF012;  // move by mouse

class TUtlCustomWndProcHook : public TUtlComponent {
public:
  explicit TUtlCustomWndProcHook(TComponent* owner);
  ~TUtlCustomWndProcHook() override;

  bool Active() const { return active_; }
  virtual void SetActive(bool value);
  // A left-button press anywhere on the window moves the window.
  bool AutoDrag() const { return autoDrag_; }
  void SetAutoDrag(bool value) { autoDrag_ = value; }
  // The explicit window, else the WinControl's (created on demand); -1 when
  // there is none yet.
  virtual HWND GetHandle();
  virtual void SetHandle(HWND value);
  // The explicit control, else the owner when it is a windowed control.
  virtual TWinControl* GetWinControl();
  // The explicit control only (what a stored form holds).
  TWinControl* WinControl() const { return winControl_; }
  virtual void SetWinControl(TWinControl* value);

  // Installs or removes this hook in its window's chain; Active follows.
  virtual void Hook();
  virtual void Unhook();

  TNotifyEvent OnChangeHandle;
  TNotifyEvent OnChangeWinControl;
  TUtlMessageEvent OnMessageAfter;
  TUtlMessageEvent OnMessageBefore;

protected:
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void WndProc(TMessage& msg);

private:
  friend class TUtlWndProcHookList;
  LRESULT Called(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

  bool active_ = false;
  bool autoDrag_ = false;
  HWND handle_ = 0;  // explicit window: 0 or -1 when unset
  TWinControl* winControl_ = nullptr;
  WNDPROC previous_ = nullptr;  // where this hook passes messages on
  WNDPROC own_ = nullptr;       // this hook's callable procedure
  HWND hooked_ = 0;             // the window whose chain holds this hook
};

class TUtlWndProcHook : public TUtlCustomWndProcHook {
public:
  using TUtlCustomWndProcHook::TUtlCustomWndProcHook;
};

// The process's hooks in creation order; exists while any hook does.
class TUtlWndProcHookList {
public:
  static TUtlWndProcHookList* Existing();
  int Count() const { return int(hooks_.size()); }

private:
  friend class TUtlCustomWndProcHook;
  static TUtlWndProcHookList& Instance();
  static void FreeIfEmpty();
  WNDPROC Underlying(HWND hwnd) const;
  std::vector<TUtlCustomWndProcHook*> ActiveOn(HWND hwnd) const;
  // Chains the hooks (oldest first) over orig and makes the newest the window's procedure.
  static void Link(HWND hwnd, const std::vector<TUtlCustomWndProcHook*>& chain, WNDPROC orig);

  std::vector<TUtlCustomWndProcHook*> hooks_;
};

// A one-shot timer owned by a hook: hooks it again (its control has a new
// window by then), tells OnChangeHandle with the timer as sender and frees itself.
class TUtlWndProcHookTimer : public TUtlCustomTimer {
public:
  TUtlWndProcHookTimer(TUtlCustomWndProcHook* hook, unsigned interval);

private:
  void Rehook();
};
