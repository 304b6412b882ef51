// Tray icon: the tray record and its shell calls, the hidden window that
// receives the tray's mouse messages, the popup and restore actions, the
// blink and task-entry timers and the application's minimize/restore.
#include "util/components/tray_icon.h"

#include <algorithm>
#include <cstring>

#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/colors.h"
#include "platform/gui/forms.h"
#include "platform/gui/gdi_objects.h"

namespace {
constexpr const char* kTrayClass = "TUtlTrayIconWindow";
constexpr size_t kTipLimit = 63;  // characters of the hint the tray shows

// A 16 x 16 icon that is transparent all over: the dark blink phase.
HICON MakeBlankIcon() {
  auto* icon = new GdiIcon;
  icon->width = icon->height = 16;
  icon->color.assign(256, Pixel{});
  icon->mask.assign(256, 1);
  return icon;
}

// An icon of the bitmap, transparent where it has the given colour.
HICON IconOfBitmap(TBitmap* image, TColor transparent) {
  auto* icon = new GdiIcon;
  icon->width = image->Width();
  icon->height = image->Height();
  for (int y = 0; y < icon->height; ++y)
    for (int x = 0; x < icon->width; ++x) {
      const TColor c = image->Canvas()->Pixels(x, y);
      icon->color.push_back(c == transparent ? 0 : ColorToPixel(ColorToRGB(c)));
      icon->mask.push_back(c == transparent ? 1 : 0);
    }
  return icon;
}

}  // namespace

HICON IconOfImage(TImageList* list, int index) {
  TBitmap image;
  image.SetSize(list->Width(), list->Height());
  image.Canvas()->Brush()->SetColor(clFuchsia);
  image.Canvas()->FillRect(Rect(0, 0, list->Width(), list->Height()));
  list->Draw(image.Canvas(), 0, 0, index);
  return IconOfBitmap(&image, clFuchsia);
}

// --- TUtlIconLabel ---------------------------------------------------------------------------

TUtlIconLabel::TUtlIconLabel(TUtlTrayIcon* tray) : tray_(tray), font_(std::make_unique<TFont>()) {
  font_->SetName("Arial");
  font_->SetSize(10);
  font_->SetStyle(fsBold);
  font_->SetColor(clBlack);
  font_->OnChange = [this](TObject*) { tray_->RenderTextIcon(); };
}

void TUtlIconLabel::SetText(const AnsiString& value) {
  text_ = value;
  tray_->RenderTextIcon();
}

void TUtlIconLabel::SetAlignment(TTrayTextAlign value) {
  alignment_ = value;
  tray_->RenderTextIcon();
}

void TUtlIconLabel::SetPosX(int value) {
  posX_ = value;
  tray_->RenderTextIcon();
}

void TUtlIconLabel::SetPosY(int value) {
  posY_ = value;
  tray_->RenderTextIcon();
}

// --- TUtlIconBlink ---------------------------------------------------------------------------

TUtlIconBlink::TUtlIconBlink(TUtlTrayIcon* tray) : tray_(tray), timer_(new TTimer(tray)) {
  timer_->SetEnabled(false);
  timer_->SetInterval(1000);
  timer_->OnTimer = [tray](TObject*) { tray->BlinkTick(); };
}

void TUtlIconBlink::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  timer_->SetEnabled(value);
  if (!value) tray_->BlinkStopped();
}

// --- TUtlTrayIcon ----------------------------------------------------------------------------

TUtlTrayIcon::TUtlTrayIcon(TComponent* owner)
    : TComponent(owner),
      action_(std::make_unique<TUtlTrayAction>()),
      icon_(std::make_unique<TIcon>()),
      savedIcon_(std::make_unique<TIcon>()),
      blankIcon_(std::make_unique<TIcon>()),
      textIcon_(std::make_unique<TIcon>()) {
  blink_ = std::make_unique<TUtlIconBlink>(this);
  iconText_ = std::make_unique<TUtlIconLabel>(this);
  blankIcon_->SetHandle(MakeBlankIcon());
  WNDCLASSEXA wc;
  wc.lpfnWndProc = &TrayWindowProc;
  wc.lpszClassName = kTrayClass;
  RegisterClassExA(&wc);
  window_ = CreateWindowExA(0, kTrayClass, "", 0, 0, 0, 0, 0, 0, 0, nullptr, nullptr);
  SetWindowLongPtrA(window_, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
  taskEntryTimer_ = new TTimer(this);
  taskEntryTimer_->SetInterval(250);
  taskEntryTimer_->OnTimer = [this](TObject*) { ApplyTaskEntryRule(); };
  if (!InState(csDesigning) && Application) {
    savedMinimize_ = Application->OnMinimize;
    savedRestore_ = Application->OnRestore;
    Application->OnMinimize = [this](TObject*) { ApplicationMinimized(); };
    Application->OnRestore = [this](TObject*) { ApplicationRestored(); };
  }
}

TUtlTrayIcon::~TUtlTrayIcon() {
  if (!InState(csDesigning) && Application) {
    Application->OnMinimize = savedMinimize_;
    Application->OnRestore = savedRestore_;
  }
  if (iconShown_) RemoveTrayIcon();
  // Panels of other programs this icon hid do not stay hidden after it.
  if (!showTaskBar_ && !InState(csDesigning)) ShowDesktopPanels(1);
  SetWindowLongPtrA(window_, GWL_USERDATA, 0);
  DestroyWindow(window_);
}

void TUtlTrayIcon::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  if (value) return;
  if (iconShown_) RemoveTrayIcon();
  // Switched off: the task entry comes back.
  appMinimized_ = false;
  const TTrayShow rule = showTaskEntry_;
  showTaskEntry_ = tyAllways;
  ApplyTaskEntryRule();
  showTaskEntry_ = rule;
}

void TUtlTrayIcon::SetHint(const AnsiString& value) {
  if (value == hint_) return;
  hint_ = value;
  UpdateTrayIcon();
}

void TUtlTrayIcon::SetIcon(TIcon* value) {
  icon_->Assign(value);
  if (InState(csDesigning)) savedIcon_->Assign(value);
  UpdateTrayIcon();
}

void TUtlTrayIcon::SetPopupMenu(TPopupMenu* value) {
  if (value == popupMenu_) return;
  if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = value;
  if (value) value->FreeNotification(this);
}

void TUtlTrayIcon::SetIconList(TImageList* value) {
  if (value == iconList_) return;
  if (iconList_) iconList_->RemoveFreeNotification(this);
  iconList_ = value;
  if (value) {
    value->FreeNotification(this);
  } else {
    iconIndex_ = -1;
    icon_->Assign(savedIcon_.get());
  }
}

void TUtlTrayIcon::SetIconIndex(int value) {
  if (!iconList_) return;
  iconIndex_ = std::clamp(value, -1, iconList_->Count() - 1);
  if (iconIndex_ == -1)
    icon_->Assign(savedIcon_.get());
  else
    icon_->SetHandle(IconOfImage(iconList_, iconIndex_));
}

void TUtlTrayIcon::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  // A freed menu or icon list is not used afterwards.
  if (operation == opRemove && component == popupMenu_) popupMenu_ = nullptr;
  if (operation == opRemove && component == iconList_) SetIconList(nullptr);
}

void TUtlTrayIcon::SetShowTaskBar(bool value) {
  showTaskBar_ = value;
  if (!InState(csDesigning)) ShowDesktopPanels(value);
}

void TUtlTrayIcon::SetShowIcon(TTrayShow value) {
  if (value == showIcon_) return;
  showIcon_ = value;
  if (InState(csDesigning)) return;
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  const bool minimized = main && main->HandleAllocated() && IsIconic(main->Handle());
  if (value == tyAllways || (value == tyOnMinimized && minimized)) {
    if (iconShown_)
      RegisterTrayIcon();
    else
      AddTrayIcon();
  } else if (value == tyNever && iconShown_) {
    RemoveTrayIcon();
  }
}

void TUtlTrayIcon::SetMode(TTrayMode value) {
  mode_ = value;
  if (value == trmText)
    RenderTextIcon();
  else
    UpdateTrayIcon();
}

void TUtlTrayIcon::RenderTextIcon() {
  if (mode_ != trmText) return;
  constexpr int kSize = 16;
  TBitmap image;
  image.SetSize(kSize, kSize);
  TCanvas* c = image.Canvas();
  // Measured with the label's own font, so a new font places the text right at once.
  c->Font()->Assign(iconText_->Font());
  const TSize t = c->TextExtent(iconText_->Text());
  const int centreX = kSize / 2 - t.cx / 2, centreY = kSize / 2 - t.cy / 2;
  TPoint at;
  switch (iconText_->Alignment()) {
    case ttgCenter: at = {centreX, centreY}; break;
    case ttgCustom: at = {iconText_->PosX(), iconText_->PosY()}; break;
    case ttgCenterBottom: at = {centreX, kSize - t.cy}; break;
    case ttgCenterTop: at = {centreX, 0}; break;
    case ttgCenterLeft: at = {0, centreY}; break;
    case ttgCenterRight: at = {kSize - t.cx, centreY}; break;
  }
  // The background: a colour one step from the text's, transparent in the icon.
  const TColor fontColor = TColor(ColorToRGB(iconText_->Font()->Color()));
  const TColor back = fontColor < 1 ? fontColor + 1 : fontColor - 1;
  c->Brush()->SetColor(back);
  c->FillRect(Rect(0, 0, kSize, kSize));
  c->Brush()->SetStyle(bsClear);
  c->TextOut(at.X, at.Y, iconText_->Text());
  textIcon_->SetHandle(IconOfBitmap(&image, back));
  UpdateTrayIcon();
}

HICON TUtlTrayIcon::CurrentIconHandle() const {
  if (mode_ == trmText && !textIcon_->Empty()) return textIcon_->Handle();
  if (mode_ != trmText && !icon_->Empty()) return icon_->Handle();
  return Application ? Application->Icon()->Handle() : nullptr;
}

HICON TUtlTrayIcon::BlinkIconHandle() const {
  const TIcon* chosen = !blinkVisible_ ? blankIcon_.get() : mode_ == trmText ? textIcon_.get() : savedIcon_.get();
  if (!chosen->Empty()) return chosen->Handle();
  return Application ? Application->Icon()->Handle() : nullptr;
}

void TUtlTrayIcon::FillTip() {
  if (showHint_ && !hint_.empty())
    data_.uFlags |= NIF_TIP;
  else
    data_.uFlags &= ~NIF_TIP;
  std::memset(data_.szTip, 0, sizeof data_.szTip);
  std::strncpy(data_.szTip, hint_.c_str(), kTipLimit);
}

void TUtlTrayIcon::AddTrayIcon() {
  if (!Working()) return;
  data_ = NOTIFYICONDATAA{};
  data_.cbSize = NOTIFYICONDATAA_V1_SIZE;  // the first form: a tip of 63 characters
  data_.hWnd = window_;
  data_.uID = kIconId;
  data_.uFlags = NIF_MESSAGE | NIF_ICON;
  data_.uCallbackMessage = WM_TRAYNOTIFY;
  FillTip();
  data_.hIcon = CurrentIconHandle();
  RegisterTrayIcon();
}

void TUtlTrayIcon::RegisterTrayIcon() {
  if (!Working()) return;
  Shell_NotifyIconA(NIM_ADD, &data_);
  iconShown_ = true;
}

void TUtlTrayIcon::UpdateTrayIcon() {
  if (!Working() || !iconShown_) return;
  FillTip();
  data_.hIcon = blink_->Enabled() ? BlinkIconHandle() : CurrentIconHandle();
  Shell_NotifyIconA(NIM_MODIFY, &data_);
}

void TUtlTrayIcon::RemoveTrayIcon() {
  if (InState(csDesigning)) return;
  Shell_NotifyIconA(NIM_DELETE, &data_);
  iconShown_ = false;
}

LRESULT TUtlTrayIcon::TrayWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<TUtlTrayIcon*>(GetWindowLongPtrA(hwnd, GWL_USERDATA));
  switch (msg) {
    case WM_DESTROY: case WM_CLOSE: case WM_QUERYENDSESSION: case WM_QUIT: case WM_ENDSESSION: case WM_NCDESTROY:
      return 1;
    case WM_TRAYNOTIFY:
      if (!self) return 0;
      // The menu opens before the event of the press that opened it.
      switch (UINT(lparam)) {
        case WM_MOUSEMOVE: self->DoMouseMove(); break;
        case WM_LBUTTONDOWN: self->DispatchTrayAction(paLeftDown); self->DoMouseLeftDown(); break;
        case WM_LBUTTONUP: self->DispatchTrayAction(paLeftUp); self->DoMouseLeftUp(); break;
        case WM_LBUTTONDBLCLK: self->DispatchTrayAction(paLeftDblClick); self->DoMouseLeftDblClick(); break;
        case WM_RBUTTONDOWN: self->DispatchTrayAction(paRightDown); self->DoMouseRightDown(); break;
        case WM_RBUTTONUP: self->DispatchTrayAction(paRightUp); self->DoMouseRightUp(); break;
        case WM_RBUTTONDBLCLK: self->DispatchTrayAction(paRightDblClick); self->DoMouseRightDblClick(); break;
        default: break;
      }
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wparam, lparam);
  }
}

void TUtlTrayIcon::DispatchTrayAction(TTrayAction event) {
  if (event == action_->Popup()) ShowPopupAtCursor();
  if (event == action_->Restore() && Application) Application->Restore();
}

void TUtlTrayIcon::ShowPopupAtCursor() {
  if (!popupMenu_ || action_->Popup() == paNone) return;
  POINT p;
  GetCursorPos(&p);
  popupMenu_->SetPopupComponent(this);
  popupMenu_->Popup(p.X, p.Y);
  if (Application) PostMessage(Application->Handle(), WM_NULL, 0, 0);
}

void TUtlTrayIcon::ApplicationMinimized() {
  if (!enabled_) return;
  if (showIcon_ == tyOnMinimized && !iconShown_) AddTrayIcon();
  appMinimized_ = true;
}

void TUtlTrayIcon::ApplicationRestored() {
  if (!enabled_) return;
  Application->BringToFront();
  if (showIcon_ == tyOnMinimized) RemoveTrayIcon();
  appMinimized_ = false;
}

// The main window's taskbar entry: a window that skips the taskbar is the
// desktop's way of having no button there.
void TUtlTrayIcon::ApplyTaskEntryRule() {
  if (InState(csDesigning) || !Application) return;
  TCustomForm* main = Application->MainForm();
  if (!main || !main->HandleAllocated()) return;
  bool show = true;
  switch (showTaskEntry_) {
    case tyAllways: show = true; break;
    case tyNever: show = false; break;
    case tyOnRestore: show = !appMinimized_; break;
    case tyOnMinimized: show = appMinimized_; break;
  }
  const HWND h = main->Handle();
  const LONG_PTR ex = GetWindowLongPtrA(h, GWL_EXSTYLE);
  const LONG_PTR wanted = show ? ex & ~LONG_PTR(WS_EX_TOOLWINDOW) : ex | WS_EX_TOOLWINDOW;
  if (wanted != ex) SetWindowLongPtrA(h, GWL_EXSTYLE, wanted);
}

void TUtlTrayIcon::BlinkTick() {
  if (InState(csDesigning) || !enabled_) return;
  blinkVisible_ = !blinkVisible_;
  if (blinkVisible_)
    DoBlinkVisible();
  else
    DoBlinkInvisible();
  UpdateTrayIcon();
}

void TUtlTrayIcon::BlinkStopped() {
  blinkVisible_ = true;
  DoBlinkVisible();
  UpdateTrayIcon();
}
