// Tray icon: puts an icon for the program into the desktop's system tray,
// turns mouse events on it into events, a popup menu at the pointer and a
// restore of the program, can blink, and decides four times a second whether
// the main window has its taskbar entry (on this desktop: whether the window
// skips the taskbar). It takes over the application's minimize and restore
// notifications.
#pragma once

#include <memory>

#include "platform/gui/icon.h"
#include "platform/gui/menus.h"
#include "platform/gui/timer.h"

enum TTrayAction { paLeftDown, paRightDown, paLeftUp, paRightUp, paLeftDblClick, paRightDblClick, paNone };
enum TTrayShow { tyAllways, tyNever, tyOnRestore, tyOnMinimized };

class TUtlTrayIcon;

// Which mouse event pops the menu and which restores the program.
class TUtlTrayAction : public TPersistent {
public:
  TTrayAction Popup() const { return popup_; }
  void SetPopup(TTrayAction v) { popup_ = v; }
  TTrayAction Restore() const { return restore_; }
  void SetRestore(TTrayAction v) { restore_ = v; }

private:
  TTrayAction popup_ = paRightDown;
  TTrayAction restore_ = paLeftDblClick;
};

class TUtlIconBlink : public TPersistent {
public:
  explicit TUtlIconBlink(TUtlTrayIcon* tray);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  unsigned Interval() const { return timer_->Interval(); }
  void SetInterval(unsigned ms) { timer_->SetInterval(ms); }

private:
  TUtlTrayIcon* tray_;
  TTimer* timer_;  // owned by the tray icon
  bool enabled_ = false;
};

class TUtlTrayIcon : public TComponent {
public:
  enum : UINT { WM_TRAYNOTIFY = WM_USER + 1 };
  static constexpr UINT kIconId = 1;

  explicit TUtlTrayIcon(TComponent* owner);
  ~TUtlTrayIcon() override;

  TUtlTrayAction* Action() const { return action_.get(); }
  TUtlIconBlink* Blink() const { return blink_.get(); }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  const AnsiString& Hint() const { return hint_; }
  void SetHint(const AnsiString& value);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value) { showHint_ = value; }
  // Empty: the program's icon is shown.
  TIcon* Icon() const { return icon_.get(); }
  void SetIcon(TIcon* value);
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* value);
  TTrayShow ShowIcon() const { return showIcon_; }
  void SetShowIcon(TTrayShow value);
  // No taskbar of its own can be hidden on this desktop; the value is kept.
  bool ShowTaskBar() const { return showTaskBar_; }
  void SetShowTaskBar(bool value) { showTaskBar_ = value; }
  TTrayShow ShowTaskEntry() const { return showTaskEntry_; }
  void SetShowTaskEntry(TTrayShow value) { showTaskEntry_ = value; }
  bool IconShown() const { return iconShown_; }
  HWND Window() const { return window_; }

  TNotifyEvent OnMouseMove, OnMouseLeftDown, OnMouseRightDown, OnMouseLeftUp, OnMouseRightUp,
      OnMouseLeftDblClick, OnMouseRightDblClick, OnBlinkVisible, OnBlinkInVisible;

protected:
  virtual void DoBlinkVisible() { Fire(OnBlinkVisible); }
  virtual void DoBlinkInvisible() { Fire(OnBlinkInVisible); }
  virtual void DoMouseMove() { Fire(OnMouseMove); }
  virtual void DoMouseLeftDown() { Fire(OnMouseLeftDown); }
  virtual void DoMouseLeftUp() { Fire(OnMouseLeftUp); }
  virtual void DoMouseLeftDblClick() { Fire(OnMouseLeftDblClick); }
  virtual void DoMouseRightDown() { Fire(OnMouseRightDown); }
  virtual void DoMouseRightUp() { Fire(OnMouseRightUp); }
  virtual void DoMouseRightDblClick() { Fire(OnMouseRightDblClick); }
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TUtlIconBlink;
  void Fire(const TNotifyEvent& e) {
    if (e) e(this);
  }
  bool Working() const { return enabled_ && !InState(csDesigning); }
  HICON CurrentIconHandle() const;
  HICON BlinkIconHandle() const;
  void FillTip();
  void AddTrayIcon();
  void RegisterTrayIcon();
  void UpdateTrayIcon();
  void RemoveTrayIcon();
  void DispatchTrayAction(TTrayAction event);
  void ShowPopupAtCursor();
  void ApplicationMinimized();
  void ApplicationRestored();
  void ApplyTaskEntryRule();
  void BlinkTick();
  void BlinkStopped();
  static LRESULT TrayWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

  std::unique_ptr<TUtlTrayAction> action_;
  std::unique_ptr<TUtlIconBlink> blink_;
  std::unique_ptr<TIcon> icon_, savedIcon_, blankIcon_;
  bool blinkVisible_ = true;
  bool enabled_ = true;
  AnsiString hint_;
  bool showHint_ = true;
  TPopupMenu* popupMenu_ = nullptr;
  TTrayShow showIcon_ = tyOnMinimized;
  bool showTaskBar_ = true;
  TTrayShow showTaskEntry_ = tyOnRestore;
  bool iconShown_ = false;
  bool appMinimized_ = false;
  HWND window_ = 0;
  NOTIFYICONDATAA data_;
  TTimer* taskEntryTimer_ = nullptr;
  TTimer* blinkTimer_ = nullptr;
  TNotifyEvent savedMinimize_, savedRestore_;
};
