// Tray icon with balloon tips and icon cycling: the icon's notices arrive at
// the message timer's hidden window and become mouse events, a popup menu,
// clicks and double clicks; balloons (the record's second form) report
// their showing, timing out and clicks; the timer steps through the icons of
// an image list; with MinimizeToTray the minimized application lives in the
// tray. A new tray (the "TaskbarCreated" message) gets the icon again.
#pragma once

#include <memory>

#include "platform/gui/controls.h"
#include "util/components/desktop_component.h"

class TApplicationEvents;
class TIcon;
class TImageList;
class TPopupMenu;

VX_DECLARE_EXCEPTION(EUtlTrayIcon, Exception)

enum TUtlTrayIconInfoType { tiiNone, tiiInfo, tiiWarning, tiiError };

class TUtlBalloonTrayIcon : public TUtlCustomTimer {
public:
  static constexpr UINT kCallbackMessage = 1235;

  explicit TUtlBalloonTrayIcon(TComponent* owner);
  ~TUtlBalloonTrayIcon() override;

  bool CycleIcons() const { return Enabled(); }
  void SetCycleIcons(bool value) { SetEnabled(value); }
  unsigned CycleInterval() const { return Interval(); }
  void SetCycleInterval(unsigned value) { SetInterval(value); }
  // False: the icon's notices are ignored.
  bool IconEnabled() const { return iconEnabled_; }
  void SetIconEnabled(bool value) { iconEnabled_ = value; }
  const AnsiString& Hint() const { return hint_; }
  void SetHint(const AnsiString& value);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  TIcon* Icon() const { return icon_.get(); }
  void SetIcon(TIcon* value);
  TImageList* ImageList() const { return imageList_; }
  void SetImageList(TImageList* value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);
  UINT IconID() const { return iconId_; }
  void SetIconID(UINT value);
  bool MinimizeToTray() const { return minimizeToTray_; }
  void SetMinimizeToTray(bool value) { minimizeToTray_ = value; }
  bool MinimizeOnStart() const { return minimizeOnStart_; }
  void SetMinimizeOnStart(bool value) { minimizeOnStart_ = value; }
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* value);
  bool PopupByLeft() const { return popupByLeft_; }
  void SetPopupByLeft(bool value) { popupByLeft_ = value; }
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  const AnsiString& InfoText() const { return infoText_; }
  void SetInfoText(const AnsiString& value) { infoText_ = value; }
  const AnsiString& InfoTitle() const { return infoTitle_; }
  void SetInfoTitle(const AnsiString& value) { infoTitle_ = value; }
  int InfoTimeout() const { return infoTimeout_; }
  void SetInfoTimeout(int value) { infoTimeout_ = value; }
  TUtlTrayIconInfoType InfoType() const { return infoType_; }
  void SetInfoType(TUtlTrayIconInfoType value) { infoType_ = value; }

  TNotifyEvent OnMinimize, OnClick, OnDblClick, OnPopupMenu, OnShow, OnHide, OnCycleIcons;
  TNotifyEvent OnBalloonShow, OnBalloonTimeout, OnBalloonClick;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseDown, OnMouseUp;

  // The record as it goes to the tray: the second form (127 characters of tip).
  virtual void FillIconData(NOTIFYICONDATAA& data) const;
  virtual bool UpdateIcon();
  virtual void ShowIcon();
  virtual void HideIcon();
  virtual void PopupAtCursor();
  virtual void ShowApplication();
  virtual void HideApplication();
  // The balloon of InfoTitle, InfoText, InfoType and InfoTimeout by the icon.
  virtual void ShowBalloon();
  void ShowBalloonTip() { ShowBalloon(); }

protected:
  void WndProc(TMessage& msg) override;
  void DoTimer() override;  // one cycling step
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void Click();
  virtual void DblClick();
  virtual void Minimize();

private:
  void IconNotice(UINT notice);
  void TakeImage();
  void RaiseOwner();
  bool Send(DWORD message, const NOTIFYICONDATAA& data);
  void AddOrDelete(DWORD message, const char* failure);

  std::unique_ptr<TIcon> icon_;
  TImageList* imageList_ = nullptr;
  int imageIndex_ = 0;
  UINT iconId_ = 0;
  UINT flags_ = NIF_MESSAGE | NIF_TIP;
  bool iconEnabled_ = true;
  AnsiString hint_;
  bool showHint_ = true;
  bool minimizeToTray_ = false;
  bool minimizeOnStart_ = false;
  TPopupMenu* popupMenu_ = nullptr;
  bool popupByLeft_ = false;
  bool visible_ = false;
  AnsiString infoText_, infoTitle_;
  int infoTimeout_ = 10000;
  TUtlTrayIconInfoType infoType_ = tiiNone;
  bool leftDown_ = false;
  TApplicationEvents* appEvents_ = nullptr;  // the application's minimizing
};
