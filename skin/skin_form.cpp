// The skinned form frame; see skin_form.h. The bands themselves are
// painted by frame_bands.cpp, which the MDI parent's frame shares.
#include "skin/skin_form.h"

#include <algorithm>

#include "platform/gui/bitmap.h"
#include "platform/gui/dialogs.h"
#include "skin/builtin_styles.h"
#include "skin/draw_helpers.h"
#include "skin/file_theme.h"
#include "skin/skin_menus.h"
#include "skin/skin_props.h"
#include "skin/skin_texts.h"
#include "skin/window_region.h"

namespace {

// Skin colours of the frame.
enum : uint8_t { kFormColor = 2, kMenuBarStartColor = 3, kMenuBarEndColor = 4 };
// Built-in elements of the frame.
enum : int { kElRoundCorner = 14, kElFormColor = 15, kElBorderColor = 16, kElBorderWidth = 17 };

// The component library's notifications after which the caption may be back.
constexpr UINT kRecreateNotices[] = {CM_RECREATEWND, 0xB03A, 0xBE10};
// The frame's title band reaches 3 pixels above the title bar.
constexpr int kBandOverlap = 3;

// How many sizes of maximized forms created maximized were seen, up to
// kSettledSizes, by all frames together: a form's first showing sizes it
// twice; any later size finds it maximized for good.
constexpr int kSettledSizes = 2;
int& CreatedMaximizedSizes() {
  static int sizes = 0;
  return sizes;
}

// The frames that took a form over, in the order they did: Alt+Space opens
// the system menu of each of them.
std::vector<TsuiForm*>& LiveFrames() {
  static std::vector<TsuiForm*> frames;
  return frames;
}

}  // namespace

TsuiForm::TsuiForm(TComponent* owner) : TCustomPanel(owner) {
  RegisterSkinProps();
  auto* form = dynamic_cast<TCustomForm*>(owner);
  if (!form) return;
  for (int i = 0; i < form->ControlCount(); ++i)
    if (dynamic_cast<TsuiForm*>(form->Controls(i))) return;  // a second frame takes nothing over
  form_ = form;
  SetParent(form);
  // An MDI child's frame is the one its parent's skinned frame measured.
  if (TCustomForm* main = Application->MainForm(); form->FormStyle() == fsMDIChild && main) {
    bands_.SysBottomFrame = TFrameBands::SaneFrame(int(SendMessageA(main->Handle(), kMDIBottomFrameQuery, 0, 0)));
    bands_.SysLeftFrame = TFrameBands::SaneFrame(int(SendMessageA(main->Handle(), kMDILeftFrameQuery, 0, 0)));
  } else {
    bands_.Measure(form);
  }
  form->SetBorderWidth(0);
  normalBounds_ = form->BoundsRect();
  restorePending_ = form->WindowState() == wsMaximized;

  titleBar_ = new TsuiTitleBar(this);
  titleBar_->SetParent(this);
  menuBarColor_ = menuBarToColor_ = Color();
  SetUIStyle(DeepBlue);
  SetBevelOuter(bvNone);
  SetBevelInner(bvNone);
  SetBorderStyle(bsNone);
  SetAlign(alClient);
  SetCaption(form->Caption());
  TControl::SetText(" ");

  form->SetScaled(false);
  initialBorderStyle_ = form->BorderStyle();
  form->SetAutoScroll(false);
  if (initialBorderStyle_ == bsNone || initialBorderStyle_ == bsSingle || initialBorderStyle_ == bsToolWindow)
    form->SetBorderStyle(bsDialog);
  const HWND h = form->Handle();
  SetWindowLongPtrA(h, GWL_STYLE, GetWindowLongPtrA(h, GWL_STYLE) & ~LONG_PTR(WS_CAPTION));
  savedWindowProc_ = form->WindowProc;
  form->WindowProc = [this](TMessage& m) { FormWindowProc(m); };
  LiveFrames().push_back(this);
  appEvents_ = std::make_unique<TApplicationEvents>(nullptr);
  appEvents_->OnMessage = [this](MSG& msg, bool& handled) { AppMessage(msg, handled); };
  frame_window::Recompute(h);
}

TsuiForm::~TsuiForm() { Detach(); }

// Before the owned title bar goes, while the frame is whole.
void TsuiForm::BeforeDestruction() {
  Detach();
  appEvents_.reset();
  TCustomPanel::BeforeDestruction();
}

// The form gets its own window procedure and caption back.
void TsuiForm::Detach() {
  if (auto* skinned = dynamic_cast<TsuiMainMenu*>(menu_); skinned && skinned->Frame() == this) skinned->SetFrame(nullptr);
  if (frameDestroying_ || !form_) return;
  frameDestroying_ = true;
  std::erase(LiveFrames(), this);
  form_->WindowProc = savedWindowProc_;
  if (form_->InState(csDestroying) || !form_->HandleAllocated()) return;
  frame_window::RestoreCaption(form_->Handle());
}

int TsuiForm::BorderQueryAnswer() const { return bands_.BorderQueryAnswer(); }

int TsuiForm::GetTitleBarBandHeight() const { return TitleBarVisible() ? titleBar_->Height() + kBandOverlap : 0; }

void TsuiForm::FormWindowProc(TMessage& m) {
  if (frameDestroying_) return;
  if (m.Msg == kSkinBorderQuery) {
    m.Result = BorderQueryAnswer();
    return;
  }
  const NCCALCSIZE_PARAMS* params = bands_.AdjustCalcSize(m.Msg, m.WParam, m.LParam, borderWidth_);
  const HWND h = form_->Handle();
  const bool minimized = IsIconic(h);
  const bool ownPaint = (m.Msg == WM_NCPAINT || m.Msg == WM_NCACTIVATE) && !minimized;
  if (!ownPaint) savedWindowProc_(m);
  if (params) m.Result = WVR_VALIDRECTS;
  switch (m.Msg) {
    case WM_SHOWWINDOW: form_->SetMenu(nullptr); return;
    case WM_MDIACTIVATE: titleBar_->SetFormActive(HWND(m.LParam) == h); return;
    case WM_ACTIVATE:
      titleBar_->SetFormActive(LOWORD(m.WParam) != 0);
      PaintFrame();
      return;
    case WM_NCACTIVATE:
    case WM_NCPAINT:
      if (!ownPaint) return;
      titleBar_->PaintNow();
      titleBar_->Invalidate();
      PaintFrame();
      if (m.Msg == WM_NCACTIVATE) m.Result = 1;
      return;
    case WM_SIZE: OnSize(); return;
    case WM_DESTROY: MDIChildGoing(); return;
    case WM_NCHITTEST:
      // An MDI child made with a fixed border keeps its size: its sizing edges
      // answer as a plain border.
      if (form_->FormStyle() == fsMDIChild && initialBorderStyle_ == bsSingle && m.Result >= HTLEFT &&
          m.Result <= HTBOTTOMRIGHT)
        m.Result = HTBORDER;
      return;
    case WM_KEYDOWN: HandleMenuShortCut(WORD(m.WParam), m.LParam); return;
    default:
      if (std::find(std::begin(kRecreateNotices), std::end(kRecreateNotices), m.Msg) != std::end(kRecreateNotices) &&
          (GetWindowLongPtrA(h, GWL_STYLE) & WS_CAPTION))
        RemoveCaptionStyle();
  }
}

void TsuiForm::RemoveCaptionStyle() {
  if (form_ && form_->HandleAllocated()) frame_window::RemoveCaption(form_->Handle());
}

void TsuiForm::OnSize() {
  const bool maximized = form_->WindowState() == wsMaximized;
  const bool mdiChild = form_->FormStyle() == fsMDIChild;
  if (restorePending_) CreatedMaximizedSized(mdiChild, maximized);
  if (maximized && !mdiChild) frame_window::FitToWorkArea(form_);
  if (mdiChild) MDIChildSized(maximized);
  for (int i = 0; i < titleBar_->ButtonCount(); ++i) titleBar_->Buttons(i)->UpdateMaxGlyphs();
  titleBar_->Invalidate();
  PaintFrame();
  UpdateRegion();
}

// The first size of a form created maximized. An MDI child counts as
// maximized already: its window is sized while its content is still being
// read, so that content never moved up and must not move down on the first
// restore. Another form is held maximized through its first showing and
// gets its designed bounds when it is restored.
void TsuiForm::CreatedMaximizedSized(bool mdiChild, bool maximized) {
  if (mdiChild) {
    mdiMaxApplied_ = mdiCreatedMaximized_ = true;
    restorePending_ = false;
  } else if (maximized) {
    // Maximizing a window that is maximized would undo its work-area fit.
    if (CreatedMaximizedSizes() < kSettledSizes) ++CreatedMaximizedSizes();
    else if (!IsZoomed(form_->Handle())) form_->SetWindowState(wsMaximized);
  } else {
    restorePending_ = false;
    form_->SetBoundsRect(normalBounds_);
  }
}

// A maximized MDI child leaves its title to the parent's bar (which shows
// its buttons); the client window hears of each change once.
void TsuiForm::MDIChildSized(bool maximized) {
  const HWND client = GetParent(form_->Handle());
  // The content moves up into the hidden title's place, and back down again.
  const int shift = titleBar_->Height() - kBandOverlap;
  if (maximized) {
    titleBar_->SetVisible(false);
    if (mdiMaxApplied_) return;
    ScrollBy(0, -shift);
    mdiMaxApplied_ = true;
    SendMessageA(client, WM_MDIMAXIMIZE, WPARAM(form_->Handle()), 0);
  } else {
    titleBar_->SetVisible(userTitleBarVisible_);
    if (!mdiMaxApplied_) return;
    if (!mdiCreatedMaximized_ || mdiRestoredOnce_) ScrollBy(0, shift);
    mdiRestoredOnce_ = true;
    mdiMaxApplied_ = false;
    SendMessageA(client, WM_MDIRESTORE, 0, 0);
  }
}

// An MDI child's window going: the parent's bar drops the last child's menu,
// and the client leaves the maximized state that this child held.
void TsuiForm::MDIChildGoing() {
  if (form_->FormStyle() != fsMDIChild) return;
  TCustomForm* main = Application->MainForm();
  if (!main || !main->ClientHandle()) return;
  // Whether or not the client still lists the going window.
  bool last = true;
  for (int i = 0; i < main->MDIChildCount(); ++i) last = last && main->MDIChildren(i) == form_;
  if (last) SendMessageA(main->ClientHandle(), WM_MDIREFRESHMENU, 0, 0);
  if (form_->WindowState() == wsMaximized)
    SendMessageA(main->ClientHandle(), WM_MDIRESTORE, WPARAM(form_->Handle()), 0);
}

// --- looks ----------------------------------------------------------------------------------

void TsuiForm::SetUIStyle(TsuiUIStyle value) {
  uiStyle_ = value;
  if (!form_) return;
  TsuiUIStyle style;
  const bool skin = TsuiFileTheme::ResolveStyle(fileTheme_, value, style);
  titleBar_->SetFileTheme(fileTheme_);
  titleBar_->SetUIStyle(value);
  if (skin) {
    const TsuiFileTheme* t = fileTheme_;
    SetColor(t->GetColor(kFormColor));
    SetMenuBarColor(t->GetColor(kMenuBarStartColor));
    SetMenuBarToColor(t->GetColor(kMenuBarEndColor));
    bands_.ApplySkin(t, titleBar_);
  } else {
    titleBar_->SetRoundCornerBottom(0);
    bands_.ApplyBuiltIn();
    borderColor_ = GetBuiltInColor(style, kElBorderColor);
    borderWidth_ = GetBuiltInInteger(style, kElBorderWidth);
    SetColor(GetBuiltInColor(style, kElFormColor));
    SetMenuBarColor(Color());
    SetMenuBarToColor(Color());
    titleBar_->SetRoundCorner(GetBuiltInInteger(style, kElRoundCorner));
  }
  if (auto* skinned = dynamic_cast<TsuiMainMenu*>(menu_)) {
    skinned->SetUIStyle(value);
    skinned->SetFileTheme(fileTheme_);
  }
  if (autoUpdateSub_) ApplyThemeToChildren(this, value, fileTheme_);
  frame_window::Recompute(form_->Handle());
  Invalidate();
  PaintFrame();
  UpdateRegion();
  form_->Constraints()->SetMinHeight(MenuBarHeight() + titleBar_->Height() + bands_.SkinBottomHeight + kBandOverlap);
}

void TsuiForm::SetFileTheme(TsuiFileTheme* value) {
  if (value == fileTheme_) return;
  if (fileTheme_) fileTheme_->RemoveFreeNotification(this);
  fileTheme_ = value;
  if (value) value->FreeNotification(this);
  SetUIStyle(uiStyle_);
}

void TsuiForm::SetBorderColor(TColor value) {
  borderColor_ = value;
  PaintFrame();
}

void TsuiForm::SetBorderWidth(int value) {
  borderWidth_ = value;
  PaintFrame();
}

void TsuiForm::SetTitleBarVisible(bool value) {
  userTitleBarVisible_ = value;
  if (!titleBar_) return;
  titleBar_->SetVisible(value);
  if (!form_) return;
  frame_window::Recompute(form_->Handle());
  PaintFrame();
  UpdateRegion();
}

void TsuiForm::SetCaption(const AnsiString& value) {
  if (titleBar_) titleBar_->SetCaption(value);
  if (form_) form_->SetCaption(value);
}

void TsuiForm::SetRoundCorner(int value) {
  if (!titleBar_) return;
  titleBar_->SetRoundCorner(value);
  UpdateRegion();
}

void TsuiForm::SetRoundCornerBottom(int value) {
  if (!titleBar_) return;
  titleBar_->SetRoundCornerBottom(value);
  UpdateRegion();
}

void TsuiForm::SetFormPanel(TCustomPanel* value) {
  if (value == this) {
    Application->MessageBox(kFormPanelIsForm, "", MB_OK | MB_ICONERROR);
    return;
  }
  if (formPanel_) formPanel_->RemoveFreeNotification(this);
  formPanel_ = value;
  if (!value) return;
  value->FreeNotification(this);
  value->SetAlign(alClient);
  if (value->ClassName() == "TPanel") {
    value->SetBevelOuter(bvNone);
    value->SetBevelInner(bvNone);
    value->SetBorderStyle(bsNone);
    value->SetCaption("");
  } else if (value->ClassName() == "TsuiImagePanel") {
    value->SetCaption("");
  }
}

// --- painting ------------------------------------------------------------------------------

void TsuiForm::WndProc(TMessage& m) {
  if (m.Msg == WM_ERASEBKGND) {
    m.Result = 1;  // the panel paints all of itself
    return;
  }
  TCustomPanel::WndProc(m);
}

void TsuiForm::Paint() {
  if (frameDestroying_) return;
  const TRect client = ClientRect();
  if (uiStyle_ == MacOS || uiStyle_ == Protein) {
    TBitmap tile, buffer;
    tile.LoadFromResourceName(0, uiStyle_ == MacOS ? "MACOS_FORM_BACKGROUND" : "PROTEIN_FORM_BACKGROUND");
    TPicture picture;
    picture.SetGraphic(&tile);
    buffer.SetSize(client.Width(), client.Height());
    TileImage(buffer.Canvas(), &picture, client);
    Canvas()->Draw(0, 0, &buffer);
  } else {
    FillNormalized(Canvas(), client, Color());
  }
  PaintFrame();
}

void TsuiForm::Resize() {
  TCustomPanel::Resize();
  if (titleBar_) titleBar_->SetTop(0);
}

void TsuiForm::PaintFrame() {
  if (frameDestroying_ || !form_ || !form_->HandleAllocated()) return;
  const HWND h = form_->Handle();
  if (IsIconic(h)) return;
  TsuiUIStyle style;
  const bool skin = TsuiFileTheme::ResolveStyle(fileTheme_, uiStyle_, style);
  const int barTop = GetTitleBarBandHeight(), barBottom = barTop + MenuBarHeight();
  const int clientTop = form_->ClientToScreen(Point(0, 0)).Y - form_->Top();
  frame_window::PaintOnWindow(h, [&](TCanvas* canvas, int w, int height) {
    if (!skin) return PaintBuiltInFrame(canvas, w, height);
    bands_.PaintSkin(canvas, w, height, fileTheme_, titleBar_, barTop, barTop, barBottom, menuBarColor_, menuBarToColor_);
    if (!TitleBarVisible()) bands_.PaintTopEdge(canvas, w, clientTop, fileTheme_);
  });
}

void TsuiForm::PaintBuiltInFrame(TCanvas* canvas, int w, int h) {
  const int bw = borderWidth_, top = GetTitleBarBandHeight(), mbh = MenuBarHeight();
  if (TitleBarVisible() && titleBar_->HasFrameSections()) {
    bands_.PaintBuiltInTitle(canvas, w, bw, titleBar_, form_->BorderStyle() == bsDialog, borderColor_,
                             titleBar_->RoundCorner());
  } else if (!TitleBarVisible()) {
    FillNormalized(canvas, Rect(0, 0, w, 1), borderColor_);
    FillNormalized(canvas, Rect(bw, 1, w - bw, 3), Color());
  }
  FillNormalized(canvas, Rect(0, 0, bw, h), borderColor_);
  FillNormalized(canvas, Rect(0, h - bw, w, h), borderColor_);
  FillNormalized(canvas, Rect(w - bw, 0, w, h), borderColor_);
  if (bw < 4) {
    FillNormalized(canvas, Rect(bw, h - 2, w - bw, h - bw), Color());
    FillNormalized(canvas, Rect(bw, top + mbh, 3, h - bw), Color());
    FillNormalized(canvas, Rect(w - 3, top + mbh, w - bw, h - bw), Color());
    if (mbh > 0) {
      FillMenuBarPiece(canvas, Rect(bw, top, 3, top + mbh), menuBarColor_, menuBarColor_, menuBarToColor_);
      FillMenuBarPiece(canvas, Rect(w - 3, top, w - bw, top + mbh), menuBarColor_, menuBarColor_, menuBarToColor_);
    }
  }
}

void TsuiForm::UpdateRegion() {
  if (frameDestroying_ || !form_ || !form_->HandleAllocated()) return;
  TsuiUIStyle style;
  const bool skin = TsuiFileTheme::ResolveStyle(fileTheme_, uiStyle_, style);
  const int c = TitleBarVisible() ? RoundCorner() : 0;
  const int d = TitleBarVisible() ? std::max(RoundCornerBottom(), 0) : 0;
  // A hidden title bar's picture does not shape the window's top.
  bands_.UpdateRegion(form_->Handle(), form_->Width(), form_->Height(), skin, TitleBarVisible() ? titleBar_ : nullptr,
                      c, d);
}

// --- keyboard and removal ---------------------------------------------------------------

// The application hands a message to its listeners only until one handles
// it, so the first frame to see Alt+Space opens every frame's menu in turn.
void TsuiForm::AppMessage(MSG& msg, bool& handled) {
  if (handled || frameDestroying_) return;
  if (msg.message == WM_KEYDOWN) {
    handled = HandleMenuShortCut(WORD(msg.wParam), msg.lParam) != 0;
    return;
  }
  if (msg.message != WM_SYSCHAR || msg.wParam != ' ') return;
  handled = true;
  for (TsuiForm* frame : std::vector<TsuiForm*>(LiveFrames())) {
    if (std::find(LiveFrames().begin(), LiveFrames().end(), frame) == LiveFrames().end() || !frame->titleBar_) continue;
    TCustomForm* main = Application->MainForm() ? Application->MainForm() : frame->form_;
    frame->titleBar_->PopupSystemMenu(main->Left(), main->Top() + frame->titleBar_->Height());
  }
}

void TsuiForm::Notification(TComponent* component, TOperation operation) {
  TCustomPanel::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == formPanel_) formPanel_ = nullptr;
  if (component == titleBar_) titleBar_ = nullptr;
  if (component == menuBar_) menuBar_ = nullptr;
  if (component == menu_) DestroyMenuBar();
  if (component == fileTheme_) {
    fileTheme_ = nullptr;
    ApplyThemeToChildren(this, DeepBlue, nullptr);
    SetUIStyle(DeepBlue);
  }
}

// --- the menu bar ---------------------------------------------------------------------------

void TsuiForm::SetMenu(TMainMenu* value) {
  if (value == menu_) return;
  if (auto* skinned = dynamic_cast<TsuiMainMenu*>(menu_)) skinned->SetFrame(nullptr);
  if (menu_) menu_->RemoveFreeNotification(this);
  menu_ = value;
  // An MDI child's menu shows on the parent's bar, which reads it anew.
  if (form_ && form_->FormStyle() == fsMDIChild && form_->HandleAllocated())
    SendMessageA(GetParent(form_->Handle()), WM_MDIREFRESHMENU, 0, 0);
  if (!value) return DestroyMenuBar();
  value->FreeNotification(this);
  if (auto* skinned = dynamic_cast<TsuiMainMenu*>(value)) skinned->SetFrame(this);
  CreateMenuBar();
  RebuildMenuBar();
  if (titleBar_) titleBar_->SetTop(0);
}

void TsuiForm::CreateMenuBar() {
  if (menuBar_ || !form_ || form_->FormStyle() == fsMDIChild) return;
  menuBar_ = new TsuiMenuBar(this);
  menuBar_->SetParent(this);
  menuBar_->SetOwnerForm(this);
  menuBar_->SetFlat(true);
  menuBar_->SetEdgeBorders(0);
  menuBar_->SetShowCaptions(true);
  menuBar_->SetButtonHeight(menuBarHeight_);
  menuBar_->SetHeight(menuBarHeight_);
  menuBar_->SetColor(menuBarColor_);
  menuBar_->OnCustomDrawButton = [this](TToolBar* bar, TToolButton* button, TCustomDrawState state, bool& defaultDraw) {
    defaultDraw = false;
    DrawMenuBarButton(bar, button, state, MenuBarLook());
  };
  menuBar_->OnCustomDraw = [this](TToolBar* bar, TRect rect, bool&) {
    DrawMenuBarBackground(bar, rect, MenuBarLook().UIStyle, menuBarColor_, menuBarToColor_);
  };
  menuBar_->SetWrapable(true);
  menuBar_->SetAutoSize(true);
  if (titleBar_) titleBar_->SetTop(0);
}

// Its buttons go with it: they belong to the frame, not to the bar.
void TsuiForm::DestroyMenuBar() {
  if (menuBar_ && form_ && form_->FormStyle() != fsMDIChild) {
    while (menuBar_->ButtonCount() > 0) menuBar_->Buttons(0)->Free();
    menuBar_->Free();
    menuBar_ = nullptr;
  }
  if (auto* skinned = dynamic_cast<TsuiMainMenu*>(menu_)) skinned->SetFrame(nullptr);
  if (menu_) menu_->RemoveFreeNotification(this);
  menu_ = nullptr;
  PaintFrame();
}

void TsuiForm::RebuildMenuBar() {
  if (!menuBar_) return;
  if (!menu_) return DestroyMenuBar();
  menuBar_->SetAutoSize(false);
  ApplyMenuBarFont(menuBar_, menu_);
  BindMenuBarButtons(menuBar_, menu_, this);
  menuBar_->SetAutoSize(true);
  PaintFrame();
}

void TsuiForm::RefreshMenuBarButtons() {
  if (!menuBar_) return;
  for (int i = 0; i < menuBar_->ButtonCount(); ++i) {
    TToolButton* button = menuBar_->Buttons(i);
    if (!button->MenuItem()) continue;
    button->SetCaption(button->MenuItem()->Caption());
    button->SetEnabled(button->MenuItem()->Enabled());
  }
  menuBar_->Invalidate();
}

void TsuiForm::UpdateMenuBarFont() {
  auto* skinned = dynamic_cast<TsuiMainMenu*>(menu_);
  if (!menuBar_ || !menu_) return;
  if (skinned) {
    const TsuiMenuLook& look = skinned->Look();
    if (look.UseSystemFont) {
      SetSystemMenuFont(menuBar_->Font());
    } else {
      menuBar_->Font()->SetName(look.FontName);
      menuBar_->Font()->SetSize(look.FontSize);
      menuBar_->Font()->SetCharset(look.FontCharset);
    }
  }
  menuBar_->Invalidate();
}

int TsuiForm::MenuBarHeight() const { return menuBar_ && menuBar_->Visible() ? menuBar_->Height() : 0; }

void TsuiForm::SetMenuBarHeight(int value) {
  menuBarHeight_ = value;
  if (!menuBar_) return;
  menuBar_->SetButtonHeight(value);
  menuBar_->SetHeight(value);
}

void TsuiForm::SetMenuBarColor(TColor value) {
  menuBarColor_ = value;
  if (menuBar_) menuBar_->SetColor(value);
}

void TsuiForm::SetMenuBarToColor(TColor value) {
  menuBarToColor_ = value;
  if (menuBar_) menuBar_->Invalidate();
}

// A TsuiMainMenu brings its own style, skin and font.
TsuiMenuBarLook TsuiForm::MenuBarLook() const {
  TsuiMenuBarLook look;
  look.UIStyle = uiStyle_;
  look.FileTheme = fileTheme_;
  if (auto* skinned = dynamic_cast<TsuiMainMenu*>(menu_)) {
    look.UIStyle = skinned->UIStyle();
    look.FileTheme = skinned->FileTheme();
    look.FontMenu = skinned;
  }
  return look;
}

int TsuiForm::HandleMenuShortCut(WORD key, LPARAM keyData) {
  if (frameDestroying_ || !form_ || !menu_) return 0;
  if (!IsFormActive(form_) || !form_->Active()) return 0;
  const TShiftState shift = KeyboardShiftState() | ((keyData & (LPARAM(1) << 29)) ? TShiftState(ssAlt) : TShiftState(0));
  return menu_->IsShortCut(key, shift) ? 1 : 0;
}
