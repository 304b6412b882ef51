// Tray icon with balloons: the record, the notices turned into events, the
// popup menu, cycling and the application's minimizing into the tray.
#include "util/components/balloon_tray_icon.h"

#include <algorithm>
#include <cstring>

#include "platform/gui/application.h"
#include "platform/gui/icon.h"
#include "platform/gui/image_list.h"
#include "platform/gui/menus.h"
#include "platform/rtl/format.h"
#include "util/components/app_window_routines.h"
#include "util/components/desktop_startup.h"
#include "util/components/tray_icon.h"

namespace {
constexpr size_t kTipLimit = 127;
constexpr size_t kInfoLimit = 255;
constexpr size_t kInfoTitleLimit = 63;
constexpr UINT kQueryEndSession = 0x0011;
constexpr char SInsertFailed[] = "%s.InsertToTray failed";
constexpr char SDeleteFailed[] = "%s.DeleteFromTray failed";

void CopyText(char* into, size_t size, const AnsiString& text, size_t limit) {
  std::memset(into, 0, size);
  std::strncpy(into, text.c_str(), std::min(limit, size - 1));
}
}  // namespace

TUtlBalloonTrayIcon::TUtlBalloonTrayIcon(TComponent* owner)
    : TUtlCustomTimer(owner), icon_(std::make_unique<TIcon>()) {
  // An empty handler lets the timer run; the step is DoTimer.
  if (!InState(csDesigning)) SetOnTimer([](TObject*) {});
  SetEnabled(false);
  SetInterval(200);
  if (!InState(csDesigning)) {
    appEvents_ = new TApplicationEvents(this);
    appEvents_->OnMinimize = [this](TObject*) {
      if (minimizeToTray_) Minimize();
    };
  }
}

TUtlBalloonTrayIcon::~TUtlBalloonTrayIcon() {
  if (visible_) {
    NOTIFYICONDATAA data;
    FillIconData(data);
    Shell_NotifyIconA(NIM_DELETE, &data);
  }
}

void TUtlBalloonTrayIcon::FillIconData(NOTIFYICONDATAA& data) const {
  data = NOTIFYICONDATAA{};
  const bool second = UtlThisRelease().IsWin2000OrLater;
  data.cbSize = second ? NOTIFYICONDATAA_V2_SIZE : NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = WindowHandle();
  data.uID = iconId_;
  data.uFlags = flags_;
  data.uCallbackMessage = kCallbackMessage;
  data.hIcon = icon_->Empty() ? nullptr : icon_->Handle();
  if (showHint_) CopyText(data.szTip, sizeof data.szTip, hint_, second ? kTipLimit : 63);
}

bool TUtlBalloonTrayIcon::Send(DWORD message, const NOTIFYICONDATAA& data) {
  NOTIFYICONDATAA copy = data;
  return Shell_NotifyIconA(message, &copy) != 0;
}

bool TUtlBalloonTrayIcon::UpdateIcon() {
  NOTIFYICONDATAA data;
  FillIconData(data);
  return Send(NIM_MODIFY, data);
}

// Adds or deletes the icon; an error while filling the record names the component.
void TUtlBalloonTrayIcon::AddOrDelete(DWORD message, const char* failure) {
  try {
    NOTIFYICONDATAA data;
    FillIconData(data);
    Send(message, data);
  } catch (const Exception&) {
    throw EUtlTrayIcon(Format(failure, {Name()}));
  }
}

void TUtlBalloonTrayIcon::ShowIcon() {
  flags_ |= NIF_ICON;
  AddOrDelete(NIM_ADD, SInsertFailed);
  visible_ = true;
  if (OnShow) OnShow(this);
}

void TUtlBalloonTrayIcon::HideIcon() {
  flags_ &= ~NIF_ICON;
  AddOrDelete(NIM_DELETE, SDeleteFailed);
  visible_ = false;
  if (OnHide) OnHide(this);
  if (minimizeToTray_) ShowApplication();
  if (auto* control = dynamic_cast<TControl*>(Owner()); control && !control->Visible()) control->SetVisible(true);
}

void TUtlBalloonTrayIcon::ShowBalloon() {
  if (!UtlThisRelease().IsWin2000OrLater) return;
  NOTIFYICONDATAA data;
  FillIconData(data);
  data.uFlags = NIF_INFO;  // the icon's own flags stay as they are
  data.dwInfoFlags = infoType_;
  data.uTimeout = UINT(std::max(infoTimeout_, 0));
  CopyText(data.szInfo, sizeof data.szInfo, infoText_, kInfoLimit);
  CopyText(data.szInfoTitle, sizeof data.szInfoTitle, infoTitle_, kInfoTitleLimit);
  Send(NIM_MODIFY, data);
}

void TUtlBalloonTrayIcon::RaiseOwner() {
  if (auto* control = dynamic_cast<TWinControl*>(Owner()); control && control->HandleAllocated())
    SetForegroundWindow(control->Handle());
}

void TUtlBalloonTrayIcon::PopupAtCursor() {
  if (!popupMenu_ || !popupMenu_->AutoPopup()) return;
  POINT at;
  GetCursorPos(&at);
  Application->ProcessMessages();
  RaiseOwner();
  popupMenu_->SetPopupComponent(this);
  popupMenu_->Popup(at.X, at.Y);
  // The null message lets the menu close when the user clicks elsewhere.
  if (auto* control = dynamic_cast<TWinControl*>(Owner()); control && control->HandleAllocated())
    PostMessage(control->Handle(), 0, 0, 0);
  if (OnPopupMenu) OnPopupMenu(this);
}

void TUtlBalloonTrayIcon::ShowApplication() { UtlShowApplication(); }
void TUtlBalloonTrayIcon::HideApplication() { UtlHideApplication(); }

void TUtlBalloonTrayIcon::WndProc(TMessage& msg) {
  if (msg.Msg == kCallbackMessage) {
    if (!InState(csDesigning) && iconEnabled_) IconNotice(UINT(msg.LParam));
    return;
  }
  if (msg.Msg == kQueryEndSession) {
    msg.Result = 1;
    return;
  }
  if (msg.Msg == DesktopFacts().TaskbarCreatedMessage && visible_) {
    HideIcon();
    ShowIcon();
  }
  TUtlCustomTimer::WndProc(msg);
}

void TUtlBalloonTrayIcon::IconNotice(UINT notice) {
  POINT at;
  GetCursorPos(&at);
  const TShiftState shift = UtlGetShiftState();
  switch (notice) {
    case WM_MOUSEMOVE: MouseMove(shift, at.X, at.Y); break;
    case WM_LBUTTONDOWN:
      MouseDown(mbLeft, shift | ssLeft, at.X, at.Y);
      leftDown_ = true;
      break;
    case WM_LBUTTONUP:
      MouseUp(mbLeft, shift | ssLeft, at.X, at.Y);
      if (leftDown_) Click();
      if (popupByLeft_) PopupAtCursor();
      leftDown_ = false;
      break;
    case WM_LBUTTONDBLCLK: DblClick(); break;
    case WM_RBUTTONDOWN: MouseDown(mbRight, shift | ssRight, at.X, at.Y); break;
    case WM_RBUTTONUP:
      MouseUp(mbRight, shift | ssRight, at.X, at.Y);
      PopupAtCursor();
      break;
    case WM_MBUTTONDOWN: MouseDown(mbMiddle, shift | ssMiddle, at.X, at.Y); break;
    case WM_MBUTTONUP: MouseUp(mbMiddle, shift | ssMiddle, at.X, at.Y); break;
    case NIN_BALLOONSHOW: if (OnBalloonShow) OnBalloonShow(this); break;
    case NIN_BALLOONTIMEOUT: if (OnBalloonTimeout) OnBalloonTimeout(this); break;
    case NIN_BALLOONUSERCLICK: if (OnBalloonClick) OnBalloonClick(this); break;
  }
}

void TUtlBalloonTrayIcon::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TUtlBalloonTrayIcon::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TUtlBalloonTrayIcon::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  RaiseOwner();
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TUtlBalloonTrayIcon::Click() {
  if (OnClick) OnClick(this);
}

void TUtlBalloonTrayIcon::DblClick() {
  if (popupMenu_ && popupMenu_->AutoPopup() && !popupByLeft_) {
    TMenuItem* items = popupMenu_->Items();
    for (int i = 0; i < items->Count(); ++i)
      if (items->Items(i)->Default()) {
        items->Items(i)->Click();
        if (OnDblClick) OnDblClick(this);
        RaiseOwner();
        return;
      }
  }
  if (InState(csDesigning)) return;
  if (auto* control = dynamic_cast<TWinControl*>(Owner()); minimizeToTray_ && control) {
    if (control->Visible()) HideApplication();
    else ShowApplication();
  }
  if (OnDblClick) OnDblClick(this);
}

void TUtlBalloonTrayIcon::DoTimer() {
  if (imageList_) SetImageIndex(imageIndex_ >= imageList_->Count() - 1 ? 0 : imageIndex_ + 1);
  if (OnCycleIcons) OnCycleIcons(this);
}

void TUtlBalloonTrayIcon::Minimize() {
  if (InState(csDesigning)) return;
  HideApplication();
  SetVisible(true);
  if (OnMinimize) OnMinimize(this);
}

void TUtlBalloonTrayIcon::Loaded() {
  TUtlCustomTimer::Loaded();
  if (minimizeOnStart_ && !InState(csDesigning)) Minimize();
  if (visible_ && !InState(csDesigning)) ShowIcon();
}

void TUtlBalloonTrayIcon::SetHint(const AnsiString& value) {
  if (value == hint_) return;
  hint_ = value;
  UpdateIcon();
}

void TUtlBalloonTrayIcon::SetShowHint(bool value) {
  if (value == showHint_) return;
  showHint_ = value;
  UpdateIcon();
}

void TUtlBalloonTrayIcon::SetIcon(TIcon* value) {
  icon_->Assign(value);
  UpdateIcon();
}

void TUtlBalloonTrayIcon::SetIconID(UINT value) {
  if (value == iconId_) return;
  const bool wasVisible = visible_;
  if (visible_) HideIcon();
  iconId_ = value;
  if (wasVisible) ShowIcon();
}

void TUtlBalloonTrayIcon::SetVisible(bool value) {
  if (value == visible_) return;
  if (InState(csDesigning) || InState(csLoading)) {
    visible_ = value;
    return;
  }
  if (value) ShowIcon();
  else HideIcon();
}

void TUtlBalloonTrayIcon::SetPopupMenu(TPopupMenu* value) {
  popupMenu_ = value;
  if (value) value->FreeNotification(this);
}

void TUtlBalloonTrayIcon::SetImageList(TImageList* value) {
  if (imageList_) {
    imageList_->RemoveFreeNotification(this);
    imageList_->OnChange = nullptr;
  }
  imageList_ = value;
  if (imageList_) {
    imageList_->FreeNotification(this);
    imageList_->OnChange = [this](TObject*) { TakeImage(); };
  }
  TakeImage();
}

void TUtlBalloonTrayIcon::SetImageIndex(int value) {
  imageIndex_ = value;
  TakeImage();
}

void TUtlBalloonTrayIcon::TakeImage() {
  if (!imageList_) return;
  icon_ = std::make_unique<TIcon>();
  if (imageIndex_ >= 0 && imageIndex_ < imageList_->Count()) icon_->SetHandle(IconOfImage(imageList_, imageIndex_));
  UpdateIcon();
}

void TUtlBalloonTrayIcon::Notification(TComponent* component, TOperation operation) {
  TUtlCustomTimer::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == popupMenu_) popupMenu_ = nullptr;
  if (component == imageList_) imageList_ = nullptr;
}
