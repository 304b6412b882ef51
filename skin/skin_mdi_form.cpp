// The MDI parent's skinned frame; see skin_mdi_form.h. The bands come from
// frame_bands.cpp like TsuiForm's; the built-in path differs in filling the
// gaps beside the client window with the menu bar's colour.
#include "skin/skin_mdi_form.h"

#include <algorithm>
#include <map>

#include "platform/gui/bitmap.h"
#include "platform/gui/menus.h"
#include "skin/builtin_styles.h"
#include "skin/draw_helpers.h"
#include "skin/file_theme.h"
#include "skin/skin_button.h"
#include "skin/skin_form.h"
#include "skin/skin_menus.h"
#include "skin/skin_props.h"
#include "skin/skin_texts.h"
#include "skin/title_bar.h"

namespace {

// Skin keys: colours, bitmaps, booleans.
enum : uint8_t { kMenuBarStartColor = 3, kMenuBarEndColor = 4 };
enum : uint8_t { kTitleBar1 = 0, kTitleBar3 = 2, kTitleButtons = 11 };
enum : uint8_t { kTitleFiveSections = 0 };
// Built-in elements.
enum : int { kElRoundCorner = 14, kElMenuBarColor = 15, kElBorderColor = 16, kElBorderWidth = 17 };

// The client window repainted: WM_PAINT, and the notification some
// platforms send after painting its background.
constexpr UINT kClientPainted = 63;
constexpr int kBandOverlap = 3;
constexpr int kChildButtonStep = 18, kChildButtonRight = 20;
// A minimized child's icon row, kept free by tiling.
constexpr int kIconRowHeight = 25;
constexpr double kCascadeWidth = 0.8, kCascadeHeight = 0.6;
constexpr int kCascadeStep = 22;

// The client windows this component hooked, and the procedure each had
// before: the hook passes messages on even when a later hook outlived us.
std::map<HWND, TsuiMDIForm*>& HookedClients() {
  static std::map<HWND, TsuiMDIForm*> clients;
  return clients;
}
std::map<HWND, WNDPROC>& SavedClientProcs() {
  static std::map<HWND, WNDPROC> procs;
  return procs;
}

int PictureWidth(const TsuiFileTheme* t, uint8_t key) {
  TBitmap* b = t->GetBitmap(key);
  return b ? b->Width() : 0;
}

TsuiForm* FirstSkinnedFrame(TWinControl* form) {
  if (!form) return nullptr;
  for (int i = 0; i < form->ControlCount(); ++i)
    if (auto* frame = dynamic_cast<TsuiForm*>(form->Controls(i))) return frame;
  return nullptr;
}

}  // namespace

TsuiMDIForm::TsuiMDIForm(TComponent* owner) : TComponent(owner) {
  RegisterSkinProps();
  form_ = dynamic_cast<TCustomForm*>(owner);
  if (!form_) throw Exception(kMDIFormNotOnForm);
  form_->SetMenu(nullptr);
  bands_.Measure(form_);
  const TBorderStyle border = form_->BorderStyle();
  if (border == bsNone || border == bsSingle || border == bsToolWindow) form_->SetBorderStyle(bsDialog);
  form_->SetBorderWidth(0);

  titleBar_ = new TsuiTitleBar(this);
  titleBar_->SetParent(form_);
  titleBar_->SetTop(0);
  titleBar_->SetLeft(0);
  titleBar_->SetCaption(form_->Caption());
  CreateMenuBar();
  RebuildMenuBar();
  SetUIStyle(DeepBlue);

  form_->SetAutoScroll(false);
  const HWND h = form_->Handle();
  SetWindowLongPtrA(h, GWL_STYLE, GetWindowLongPtrA(h, GWL_STYLE) & ~LONG_PTR(WS_CAPTION));
  savedWindowProc_ = form_->WindowProc;
  form_->WindowProc = [this](TMessage& m) { FormWindowProc(m); };
  client_ = form_->ClientHandle();
  if (client_) {
    SavedClientProcs().emplace(client_, WNDPROC(GetWindowLongPtrA(client_, GWLP_WNDPROC)));
    HookedClients()[client_] = this;
    SetWindowLongPtrA(client_, GWLP_WNDPROC, LONG_PTR(&ClientHook));
  }
  appEvents_ = std::make_unique<TApplicationEvents>(nullptr);
  appEvents_->OnMessage = [this](MSG& msg, bool& handled) { AppMessage(msg, handled); };
  frame_window::Recompute(h);
}

TsuiMDIForm::~TsuiMDIForm() { Detach(); }

void TsuiMDIForm::BeforeDestruction() {
  Detach();
  FreeWindowList();
  appEvents_.reset();
  DestroyMenuBar();
  TComponent::BeforeDestruction();
}

// The form and its client window get their own procedures back, so neither
// calls into this component once it is gone.
void TsuiMDIForm::Detach() {
  if (frameDestroying_ || !form_) return;
  frameDestroying_ = true;
  if (client_) {
    HookedClients().erase(client_);
    if (IsWindow(client_) && WNDPROC(GetWindowLongPtrA(client_, GWLP_WNDPROC)) == &ClientHook) {
      SetWindowLongPtrA(client_, GWLP_WNDPROC, LONG_PTR(SavedClientProcs()[client_]));
      SavedClientProcs().erase(client_);
    }
  }
  form_->WindowProc = savedWindowProc_;
  if (form_->InState(csDestroying) || !form_->HandleAllocated()) return;
  frame_window::RestoreCaption(form_->Handle());
}

void TsuiMDIForm::Loaded() {
  TComponent::Loaded();
  RebuildMenuBar();
}

// --- hooks ---------------------------------------------------------------------------------

LRESULT TsuiMDIForm::ClientHook(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (auto it = HookedClients().find(hwnd); it != HookedClients().end())
    return it->second->ClientWindowProc(hwnd, msg, wparam, lparam);
  auto saved = SavedClientProcs().find(hwnd);
  const WNDPROC proc = saved == SavedClientProcs().end() ? nullptr : saved->second;
  if (msg == WM_NCDESTROY && saved != SavedClientProcs().end()) SavedClientProcs().erase(saved);
  return proc ? CallWindowProcA(proc, hwnd, msg, wparam, lparam) : DefWindowProcA(hwnd, msg, wparam, lparam);
}

LRESULT TsuiMDIForm::ClientWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  const LRESULT result = CallWindowProcA(SavedClientProcs()[hwnd], hwnd, msg, wparam, lparam);
  if (frameDestroying_) return result;
  switch (msg) {
    case WM_PAINT:
    case kClientPainted:
      if (titleBar_) titleBar_->Invalidate();
      PaintFrame();
      break;
    case WM_MDIREFRESHMENU:
      RebuildMenuBar();
      RereadCaption();
      break;
    case WM_MDIMAXIMIZE:
      ShowChildButtons();
      RereadCaption();
      break;
    case WM_MDIRESTORE:
      HideChildButtons();
      RereadCaption();
      break;
    case WM_MDITILE: Tile(); break;
    case WM_MDICASCADE: Cascade(); break;
    case WM_NCDESTROY:
      HookedClients().erase(hwnd);
      SavedClientProcs().erase(hwnd);
      client_ = 0;
      break;
    default: break;
  }
  return result;
}

void TsuiMDIForm::FormWindowProc(TMessage& m) {
  if (frameDestroying_) return;
  switch (m.Msg) {
    case kSkinBorderQuery: m.Result = bands_.BorderQueryAnswer(); return;
    case kMDIBottomFrameQuery: m.Result = bands_.SysBottomFrame; return;
    case kMDILeftFrameQuery: m.Result = bands_.SysLeftFrame; return;
    default: break;
  }
  const NCCALCSIZE_PARAMS* params = bands_.AdjustCalcSize(m.Msg, m.WParam, m.LParam, borderWidth_);
  const HWND h = form_->Handle();
  const bool ownPaint = (m.Msg == WM_NCPAINT || m.Msg == WM_NCACTIVATE) && !IsIconic(h);
  if (!ownPaint) savedWindowProc_(m);
  if (params) m.Result = WVR_VALIDRECTS;
  switch (m.Msg) {
    case WM_KEYDOWN: HandleMenuShortCut(WORD(m.WParam), m.LParam); return;
    case CM_RECREATEWND: frame_window::RemoveCaption(h); return;
    case WM_ACTIVATE:
      if (titleBar_) titleBar_->SetFormActive(LOWORD(m.WParam) != 0);
      PaintFrame();
      return;
    case WM_NCACTIVATE:
    case WM_NCPAINT:
      if (!ownPaint) return;
      if (titleBar_) titleBar_->Invalidate();
      PaintFrame();
      if (m.Msg == WM_NCACTIVATE) m.Result = 1;
      return;
    case WM_SIZE: OnSize(); return;
    default: return;
  }
}

void TsuiMDIForm::OnSize() {
  if (form_->WindowState() == wsMaximized && form_->FormStyle() != fsMDIChild) {
    frame_window::FitToWorkArea(form_);
  }
  PaintFrame();
  UpdateRegion();
}

// --- menu panel, bar and child buttons --------------------------------------------------------

void TsuiMDIForm::CreateMenuBar() {
  if (menuBar_) return;
  menuPanel_ = new TPanel(this);
  menuPanel_->SetBevelOuter(bvNone);
  menuPanel_->SetBevelInner(bvNone);
  menuPanel_->SetCaption("");
  menuPanel_->SetAlign(alTop);
  menuPanel_->SetVisible(false);
  menuPanel_->SetParent(form_);
  menuBar_ = new TsuiMenuBar(this);
  menuBar_->SetOwnerMDIForm(this);
  menuBar_->SetParent(menuPanel_);
  menuBar_->SetFlat(true);
  menuBar_->SetEdgeBorders(0);
  menuBar_->SetShowCaptions(true);
  menuBar_->SetAutoSize(true);
  menuBar_->OnCustomDrawButton = [this](TToolBar* bar, TToolButton* button, TCustomDrawState state, bool& defaultDraw) {
    defaultDraw = false;
    DrawMenuBarButton(bar, button, state, {uiStyle_, fileTheme_, dynamic_cast<TsuiMainMenu*>(menu_), true});
  };
  menuBar_->OnCustomDraw = [this](TToolBar* bar, TRect rect, bool&) {
    DrawMenuBarBackground(bar, rect, uiStyle_, menuBarColor_, menuBarToColor_);
  };
  titleBar_->SetTop(0);

  TBitmap strip;
  strip.LoadFromResourceName(0, "MDI_CONTROL_BUTTON");
  strip.SetTransparent(true);
  TsuiToolBarSpeedButton** buttons[] = {&childClose_, &childRestore_, &childMinimize_};
  for (int i = 1; i <= 3; ++i) {
    auto* button = new TsuiToolBarSpeedButton(this);
    button->SetParent(menuPanel_);
    button->SetAnchors(akTop | akRight);
    TBitmap glyph;
    CopyBitmapFrame(&strip, &glyph, 3, 4 - i);
    button->SetGlyph(&glyph);
    button->SetLeft(menuPanel_->Width() - kChildButtonRight - kChildButtonStep * (i - 1));
    button->SetTop(bands_.SysLeftFrame < 5 ? 2 : 4);
    button->SetTag(-1380 - i);
    button->OnClick = [this](TObject* sender) { ChildButtonClick(sender); };
    button->SetColor(childButtonColor_);
    button->SetToColor(childButtonToColor_);
    button->BringToFront();
    button->SetVisible(false);
    *buttons[i - 1] = button;
  }
}

void TsuiMDIForm::DestroyMenuBar() {
  for (TsuiToolBarSpeedButton** button : {&childClose_, &childRestore_, &childMinimize_}) {
    if (*button) (*button)->Free();
    *button = nullptr;
  }
  if (menuBar_) {
    while (menuBar_->ButtonCount() > 0) menuBar_->Buttons(0)->Free();
    menuBar_->Free();
  }
  if (menuPanel_) menuPanel_->Free();
  menuBar_ = nullptr;
  menuPanel_ = nullptr;
  menu_ = nullptr;
}

TsuiToolBarSpeedButton* TsuiMDIForm::ChildButton(int tag) const {
  switch (tag) {
    case kMDICloseTag: return childClose_;
    case kMDIRestoreTag: return childRestore_;
    case kMDIMinimizeTag: return childMinimize_;
    default: return nullptr;
  }
}

// The active child's own menu (or the one of its skinned frame) while the
// title bar is there to say whose it is.
TMenu* TsuiMDIForm::GetEffectiveMenu() const {
  TForm* child = form_ ? form_->ActiveMDIChild() : nullptr;
  if (!drawChildMenus_ || !titleBar_ || !child) return menu_;
  if (child->Menu()) return child->Menu();
  if (TsuiForm* frame = FirstSkinnedFrame(child); frame && frame->Menu()) return frame->Menu();
  return menu_;
}

void TsuiMDIForm::RebuildMenuBar() {
  TMenu* shown = GetEffectiveMenu();
  if (shown != shownMenu_) {
    if (shownMenu_ && shownMenu_ != menu_) shownMenu_->RemoveFreeNotification(this);
    if (shown) shown->FreeNotification(this);
    shownMenu_ = shown;
  }
  if (!menuBar_) return;
  if (!shownMenu_) {
    menuPanel_->SetVisible(false);
    return;
  }
  titleBar_->SetTop(0);
  ApplyMenuBarFont(menuBar_, menu_);
  menuPanel_->Constraints()->SetMinHeight(menuBar_->Height());
  BindMenuBarButtons(menuBar_, shownMenu_, this);
  menuPanel_->SetVisible(true);
  menuPanel_->Constraints()->SetMinHeight(menuBar_->Height());
  menuPanel_->SetHeight(menuBar_->Height());
  // The active child may have changed: its buttons follow its state.
  TForm* child = form_->ActiveMDIChild();
  if (child && child->WindowState() == wsMaximized) ShowChildButtons();
  else HideChildButtons();
  RebuildWindowList();
}

void TsuiMDIForm::ShowChildButtons() {
  HideChildButtons();
  TForm* child = form_->ActiveMDIChild();
  TsuiForm* frame = FirstSkinnedFrame(child);
  if (!frame || !frame->TitleBar() || !childClose_) return;
  TsuiTitleBar* bar = frame->TitleBar();
  for (int i = 0; i < bar->ButtonCount(); ++i) {
    switch (bar->Buttons(i)->ButtonType()) {
      case suiMin: childMinimize_->Show(); break;
      case suiMax: childRestore_->Show(); break;
      case suiClose: childClose_->Show(); break;
      default: break;
    }
  }
}

void TsuiMDIForm::HideChildButtons() {
  for (TsuiToolBarSpeedButton* button : {childClose_, childRestore_, childMinimize_})
    if (button) button->Hide();
}

void TsuiMDIForm::ChildButtonClick(TObject* sender) {
  TForm* child = form_->ActiveMDIChild();
  if (!child) return;
  switch (static_cast<TControl*>(sender)->Tag()) {
    case kMDIMinimizeTag: ShowWindow(child->Handle(), SW_SHOWMINIMIZED); break;
    case kMDIRestoreTag: child->SetWindowState(wsNormal); break;
    case kMDICloseTag: child->Close(); break;
    default: break;
  }
  Application->ProcessMessages();
  TForm* active = form_->ActiveMDIChild();
  if (!active || active->WindowState() != wsMaximized) HideChildButtons();
}

// --- window list ---------------------------------------------------------------------------------

void TsuiMDIForm::FreeWindowList() {
  for (TMenuItem* item : std::vector<TMenuItem*>(windowListItems_)) item->Free();
  windowListItems_.clear();
  if (listedIn_) listedIn_->RemoveFreeNotification(this);
  listedIn_ = nullptr;
}

void TsuiMDIForm::RebuildWindowList() {
  if (frameDestroying_ || !form_ || !menu_ || !form_->WindowMenu() || GetEffectiveMenu() != menu_) return;
  FreeWindowList();
  listedIn_ = form_->WindowMenu();
  listedIn_->FreeNotification(this);
  auto add = [this](const AnsiString& caption) {
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(caption);
    item->FreeNotification(this);
    windowListItems_.push_back(item);
    listedIn_->Add(item);
    return item;
  };
  add("-");
  for (int i = form_->MDIChildCount() - 1; i >= 0; --i) {
    TForm* child = form_->MDIChildren(i);
    if (child->InState(csDestroying)) continue;
    // The item names its child by the handle, which outlives no child unnoticed.
    const HWND handle = child->Handle();
    add(child->Caption())->OnClick = [this, handle](TObject*) {
      auto* target = dynamic_cast<TForm*>(TWinControl::FindControl(handle));
      if (!target || !form_->ClientHandle()) return;
      if (target->WindowState() == wsMinimized) target->SetWindowState(wsNormal);
      SendMessageA(form_->ClientHandle(), WM_MDIACTIVATE, WPARAM(handle), 0);
    };
  }
  if (auto* skinned = dynamic_cast<TsuiMainMenu*>(menu_)) skinned->InstallItemHandlers();
}

// --- arrangements -------------------------------------------------------------------------------

void TsuiMDIForm::Cascade() {
  const int w = int(form_->ClientWidth() * kCascadeWidth), h = int(form_->ClientHeight() * kCascadeHeight);
  int x = 0, y = 0;
  for (int i = form_->MDIChildCount() - 1; i >= 0; --i) {
    TForm* child = form_->MDIChildren(i);
    if (child->WindowState() == wsMinimized) continue;
    child->SetBounds(x, y, w, h);
    x += kCascadeStep;
    y += kCascadeStep;
  }
}

void TsuiMDIForm::Tile() {
  std::vector<TForm*> children;
  bool anyMinimized = false;
  for (int i = form_->MDIChildCount() - 1; i >= 0; --i) {
    TForm* child = form_->MDIChildren(i);
    if (child->WindowState() == wsMinimized) anyMinimized = true;
    else children.push_back(child);
  }
  if (children.empty()) return;
  const int n = int(children.size());
  int usable = form_->ClientHeight();
  for (int i = 0; i < form_->ControlCount(); ++i) {
    TControl* c = form_->Controls(i);
    if (c->Visible() && (c->Align() == alTop || c->Align() == alBottom)) usable -= c->Height();
  }
  if (anyMinimized) usable -= kIconRowHeight;
  int offset = 0;
  if (form_->TileMode() == tbVertical) {
    const int column = form_->ClientWidth() / n;
    for (TForm* child : children) {
      child->SetBounds(offset, 0, column - 2, usable - 4);
      offset += column - 2;
    }
  } else {
    const int row = usable / n;
    for (TForm* child : children) {
      child->SetBounds(0, offset, form_->ClientWidth() - 4, row - 2);
      offset += row - 2;
    }
  }
}

// --- keyboard -----------------------------------------------------------------------------------

int TsuiMDIForm::HandleMenuShortCut(WORD key, LPARAM keyData) {
  if (frameDestroying_ || !shownMenu_) return 0;
  const TShiftState shift = KeyboardShiftState() | ((keyData & (LPARAM(1) << 29)) ? TShiftState(ssAlt) : TShiftState(0));
  return shownMenu_->IsShortCut(key, shift) ? 1 : 0;
}

void TsuiMDIForm::AppMessage(MSG& msg, bool& handled) {
  if (handled || msg.message != WM_KEYDOWN) return;
  handled = HandleMenuShortCut(WORD(msg.wParam), msg.lParam) != 0;
}

// --- properties ----------------------------------------------------------------------------------

void TsuiMDIForm::SetMenu(TMainMenu* value) {
  if (auto* skinned = dynamic_cast<TsuiMainMenu*>(menu_); skinned && skinned->Frame()) skinned->SetFrame(nullptr);
  if (menu_ && menu_ != shownMenu_) menu_->RemoveFreeNotification(this);
  menu_ = value;
  if (value) value->FreeNotification(this);
  RebuildMenuBar();
}

void TsuiMDIForm::SetMenuBarColor(TColor value) {
  menuBarColor_ = value;
  if (menuBar_) menuBar_->SetColor(value);
}

void TsuiMDIForm::SetMenuBarToColor(TColor value) {
  menuBarToColor_ = value;
  if (menuBar_) menuBar_->Invalidate();
}

void TsuiMDIForm::SetBorderColor(TColor value) {
  borderColor_ = value;
  PaintFrame();
}

AnsiString TsuiMDIForm::Caption() const { return form_->Caption(); }

void TsuiMDIForm::SetCaption(const AnsiString& value) {
  form_->SetCaption(value);
  if (!titleBar_) return;
  titleBar_->SetCaption(value);
  PaintFrame();
}

bool TsuiMDIForm::TitleBarVisible() const { return titleBar_ && titleBar_->Visible(); }

void TsuiMDIForm::SetTitleBarVisible(bool value) {
  if (!titleBar_) return;
  titleBar_->SetVisible(value);
  titleBar_->SetTop(0);
}

void TsuiMDIForm::SetRoundCorner(int value) {
  roundCorner_ = value;
  UpdateRegion();
}

void TsuiMDIForm::SetRoundCornerBottom(int value) {
  roundCornerBottom_ = value;
  UpdateRegion();
}

TColor TsuiMDIForm::InactiveCaptionColor() const {
  return titleBar_ ? titleBar_->InactiveCaptionColor() : clInactiveCaption;
}

void TsuiMDIForm::SetInactiveCaptionColor(TColor value) {
  if (titleBar_) titleBar_->SetInactiveCaptionColor(value);
}

bool TsuiMDIForm::TitleBarCustom() const { return titleBar_ && titleBar_->Custom(); }

void TsuiMDIForm::SetTitleBarCustom(bool value) {
  if (titleBar_) titleBar_->SetCustom(value);
}

bool TsuiMDIForm::TitleBarDrawAppIcon() const { return !titleBar_ || titleBar_->DrawAppIcon(); }

void TsuiMDIForm::SetTitleBarDrawAppIcon(bool value) {
  if (titleBar_) titleBar_->SetDrawAppIcon(value);
}

void TsuiMDIForm::SetFileTheme(TsuiFileTheme* value) {
  if (value == fileTheme_) return;
  if (fileTheme_) fileTheme_->RemoveFreeNotification(this);
  fileTheme_ = value;
  if (value) value->FreeNotification(this);
  SetUIStyle(uiStyle_);
}

void TsuiMDIForm::SetUIStyle(TsuiUIStyle value) {
  uiStyle_ = value;
  TsuiUIStyle style;
  const bool skin = TsuiFileTheme::ResolveStyle(fileTheme_, value, style);
  if (titleBar_) {
    titleBar_->SetFileTheme(fileTheme_);
    titleBar_->SetUIStyle(value);
  }
  if (skin) {
    const TsuiFileTheme* t = fileTheme_;
    if (menuBar_) {
      SetMenuBarColor(t->GetColor(kMenuBarStartColor));
      SetMenuBarToColor(t->GetColor(kMenuBarEndColor));
    }
    bands_.ApplySkin(t, titleBar_);
    childButtonColor_ = t->GetColor(kMenuBarStartColor);
    childButtonToColor_ = t->GetColor(kMenuBarEndColor);
    const int buttons = titleBar_ ? (titleBar_->ButtonCount() - 1) * 15 : 35;
    const int glyph = PictureWidth(t, kTitleButtons) / 6;
    const int minWidth = t->GetBool(kTitleFiveSections)
                             ? PictureWidth(t, kTitleBar1) + PictureWidth(t, kTitleBar3) + glyph + buttons
                             : PictureWidth(t, kTitleBar1) + std::max(PictureWidth(t, kTitleBar3), buttons + glyph);
    form_->Constraints()->SetMinWidth(minWidth);
    form_->Constraints()->SetMinHeight((titleBar_ ? titleBar_->Height() : 0) + (menuBar_ ? menuBar_->Height() : 0) +
                                       bands_.SkinBottomHeight + kBandOverlap);
  } else {
    borderColor_ = GetBuiltInColor(style, kElBorderColor);
    SetMenuBarColor(GetBuiltInColor(style, kElMenuBarColor));
    SetMenuBarToColor(menuBarColor_);
    childButtonColor_ = childButtonToColor_ = menuBarColor_;
    borderWidth_ = GetBuiltInInteger(style, kElBorderWidth);
    roundCorner_ = GetBuiltInInteger(style, kElRoundCorner);
    roundCornerBottom_ = 0;
    bands_.ApplyBuiltIn();
  }
  if (auto* skinned = dynamic_cast<TsuiMainMenu*>(menu_)) {
    skinned->SetUIStyle(value);
    skinned->SetFileTheme(fileTheme_);
  }
  for (TsuiToolBarSpeedButton* button : {childClose_, childRestore_, childMinimize_}) {
    if (!button) continue;
    button->SetColor(childButtonColor_);
    button->SetToColor(childButtonToColor_);
  }
  if (titleBar_) {
    titleBar_->SetRoundCorner(0);
    titleBar_->SetRoundCornerBottom(0);
  }
  if (form_->HandleAllocated()) frame_window::Recompute(form_->Handle());
  PaintFrame();
  UpdateRegion();
}

void TsuiMDIForm::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opInsert) {
    if (menuBar_) menuBar_->SetTop(0);
    if (titleBar_) titleBar_->SetTop(0);
    return;
  }
  if (component == listedIn_) {
    listedIn_ = nullptr;
    FreeWindowList();
  }
  std::erase(windowListItems_, component);
  if (component == shownMenu_) shownMenu_ = nullptr;
  if (component == menu_) {
    menu_ = nullptr;
    if (!frameDestroying_) RebuildMenuBar();
  } else if (component == shownMenu_ && !frameDestroying_) {
    RebuildMenuBar();
  }
  if (component == menuBar_) menuBar_ = nullptr;
  if (component == menuPanel_) menuPanel_ = nullptr;
  if (component == titleBar_) titleBar_ = nullptr;
  for (TsuiToolBarSpeedButton** button : {&childClose_, &childRestore_, &childMinimize_})
    if (component == *button) *button = nullptr;
  if (component == fileTheme_) {
    fileTheme_ = nullptr;
    SetUIStyle(DeepBlue);
  }
}

// --- painting ----------------------------------------------------------------------------------

int TsuiMDIForm::GetTopBandHeight() const {
  return (TitleBarVisible() ? titleBar_->Height() : 0) + (menuPanel_ && menuPanel_->Visible() ? menuPanel_->Height() : 0);
}

void TsuiMDIForm::PaintFrame() {
  if (frameDestroying_ || !form_ || !form_->HandleAllocated()) return;
  if (form_->BorderWidth() != 0) form_->SetBorderWidth(0);
  const HWND h = form_->Handle();
  if (IsIconic(h)) return;
  TsuiUIStyle style;
  const bool skin = TsuiFileTheme::ResolveStyle(fileTheme_, uiStyle_, style);
  const int top = TitleBarVisible() ? titleBar_->Height() + kBandOverlap : 0;
  const bool bar = menuPanel_ && menuPanel_->Visible() && menuBar_ && menuBar_->Visible();
  frame_window::PaintOnWindow(h, [&](TCanvas* canvas, int w, int height) {
    if (skin)
      bands_.PaintSkin(canvas, w, height, fileTheme_, titleBar_, top, top, bar ? top + menuBar_->Height() : top,
                       menuBarColor_, menuBarToColor_);
    else
      PaintBuiltInFrame(canvas, w, height);
  });
}

void TsuiMDIForm::PaintBuiltInFrame(TCanvas* canvas, int w, int h) {
  const int bw = borderWidth_, top = GetTopBandHeight();
  FillNormalized(canvas, Rect(0, 0, bw, h), borderColor_);
  FillNormalized(canvas, Rect(0, h - bw, w, h), borderColor_);
  FillNormalized(canvas, Rect(w - bw, 0, w, h), borderColor_);
  if (bw < 4) {
    FillNormalized(canvas, Rect(bw, top, 3, h - bw), menuBarColor_);
    FillNormalized(canvas, Rect(bw, h - 3, w - bw, h - bw), menuBarColor_);
    FillNormalized(canvas, Rect(w - 3, top, w - bw, h - bw), menuBarColor_);
    if (menuBar_ && menuBar_->Visible() && menuPanel_ && menuPanel_->Visible()) {
      const int barTop = (titleBar_ ? titleBar_->Height() : 0) + kBandOverlap, barBottom = barTop + menuBar_->Height();
      FillNormalized(canvas, Rect(bw, barTop, 3, barBottom), menuBar_->Color());
      FillNormalized(canvas, Rect(w - 3, barTop, w - bw, barBottom), menuBar_->Color());
    }
  }
  if (bw < 4 && TitleBarVisible() && titleBar_->HasFrameSections()) {
    bands_.PaintBuiltInTitle(canvas, w, bw, titleBar_, form_->BorderStyle() == bsDialog, borderColor_, roundCorner_);
  } else if (!TitleBarVisible()) {
    FillNormalized(canvas, Rect(0, 0, w, 1), borderColor_);
    FillNormalized(canvas, Rect(bw, 1, w - bw, 3), menuBarColor_);
  }
}

void TsuiMDIForm::UpdateRegion() {
  if (frameDestroying_ || !form_ || !form_->HandleAllocated()) return;
  TsuiUIStyle style;
  const bool skin = TsuiFileTheme::ResolveStyle(fileTheme_, uiStyle_, style);
  bands_.UpdateRegion(form_->Handle(), form_->Width(), form_->Height(), skin, titleBar_, roundCorner_,
                      std::max(roundCornerBottom_, 0));
}
