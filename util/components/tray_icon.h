// Tray icon: puts an icon for the program into the desktop's system tray,
// turns mouse events on it into events, a popup menu at the pointer and a
// restore of the program, can blink, and decides four times a second whether
// the main window has its taskbar entry (on this desktop: whether the window
// skips the taskbar). It takes over the application's minimize and restore
// notifications.
#pragma once

#include <memory>

#include "platform/gui/icon.h"
#include "platform/gui/image_list.h"
#include "platform/gui/menus.h"
#include "platform/gui/timer.h"

enum TTrayAction { paLeftDown, paRightDown, paLeftUp, paRightUp, paLeftDblClick, paRightDblClick, paNone };
enum TTrayShow { tyAllways, tyNever, tyOnRestore, tyOnMinimized };

enum TTrayMode { trmIcon, trmText };
enum TTrayTextAlign { ttgCenter, ttgCustom, ttgCenterBottom, ttgCenterTop, ttgCenterLeft, ttgCenterRight };

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

// The text drawn as the icon in text mode; every change draws it anew.
class TUtlIconLabel : public TPersistent {
public:
  explicit TUtlIconLabel(TUtlTrayIcon* tray);
  const AnsiString& Text() const { return text_; }
  void SetText(const AnsiString& value);
  TFont* Font() const { return font_.get(); }
  TTrayTextAlign Alignment() const { return alignment_; }
  void SetAlignment(TTrayTextAlign value);
  // The text's place with ttgCustom.
  int PosX() const { return posX_; }
  void SetPosX(int value);
  int PosY() const { return posY_; }
  void SetPosY(int value);

private:
  friend class TUtlTrayIcon;
  TUtlTrayIcon* tray_;
  std::unique_ptr<TFont> font_;
  AnsiString text_;
  TTrayTextAlign alignment_ = ttgCenter;
  int posX_ = 0, posY_ = 0;
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
  // An optional source of icons: IconIndex copies that image into Icon (-1
  // the icon as saved); the tray shows it at its next update.
  TImageList* IconList() const { return iconList_; }
  void SetIconList(TImageList* value);
  int IconIndex() const { return iconIndex_; }
  void SetIconIndex(int value);
  TUtlIconLabel* IconText() const { return iconText_.get(); }
  // Text mode shows IconText drawn on a 16 x 16 icon in place of Icon.
  TTrayMode Mode() const { return mode_; }
  void SetMode(TTrayMode value);
  TIcon* TextIcon() const { return textIcon_.get(); }
  TTrayShow ShowIcon() const { return showIcon_; }
  void SetShowIcon(TTrayShow value);
  // False hides the desktop's panels (the taskbar's counterpart here); True
  // shows again those it hid, as does the icon's end. Nothing happens at
  // design time.
  bool ShowTaskBar() const { return showTaskBar_; }
  void SetShowTaskBar(bool value);
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
  friend class TUtlIconLabel;
  void RenderTextIcon();
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
  std::unique_ptr<TIcon> icon_, savedIcon_, blankIcon_, textIcon_;
  std::unique_ptr<TUtlIconLabel> iconText_;
  TTrayMode mode_ = trmIcon;
  TImageList* iconList_ = nullptr;
  int iconIndex_ = -1;
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

// An icon of the list's image, transparent where the image is.
HICON IconOfImage(TImageList* list, int index);
