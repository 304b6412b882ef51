// The skinned form frame; see skin_form.h. The frame bands and the client
// insets follow the system frame the window layer emulates (3 pixels for
// dialog frames, 4 for sizeable ones).
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

// Skin keys of the frame (colours, bitmaps, integers, booleans).
enum : uint8_t { kTransColor = 0, kFormColor = 2, kMenuBarStartColor = 3, kMenuBarEndColor = 4 };
enum : uint8_t { kLeftBorder = 5, kRightBorder = 6, kBottom1 = 7, kBottom2 = 8, kBottom3 = 9 };
enum : uint8_t { kTitleMinY = 5, kTitleMaxY = 6, kBottomMinY = 7, kBottomMaxY = 8 };
enum : uint8_t { kBottomThreeSections = 1, kTitleNeedRegion = 2, kBottomNeedRegion = 3 };
// Built-in elements of the frame.
enum : int { kElRoundCorner = 14, kElFormColor = 15, kElBorderColor = 16, kElBorderWidth = 17 };

constexpr UINT kFrameChanged = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
// The component library's notifications after which the caption may be back.
constexpr UINT kRecreateNotices[] = {CM_RECREATEWND, 0xB03A, 0xBE10};
constexpr int kMaxSystemFrame = 12;
constexpr int kFallbackSystemFrame = 4;
// The frame's title band reaches 3 pixels above the title bar.
constexpr int kBandOverlap = 3;

// Rectangles given bottom-up fill the same rows.
void FillNormalized(TCanvas* canvas, TRect r, TColor color) {
  if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
  if (r.Left > r.Right) std::swap(r.Left, r.Right);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(color);
  canvas->FillRect(r);
}

int PictureWidth(TBitmap* b) { return b ? b->Width() : 0; }
int PictureHeight(TBitmap* b) { return b ? b->Height() : 0; }

void StretchInto(TCanvas* canvas, TBitmap* picture, const TRect& r) {
  if (picture && !picture->Empty() && r.Width() > 0 && r.Height() > 0) canvas->StretchDraw(r, picture);
}

// The frames that took a form over, in the order they did: Alt+Space opens
// the system menu of each of them.
std::vector<TsuiForm*>& LiveFrames() {
  static std::vector<TsuiForm*> frames;
  return frames;
}

int SaneFrame(int value) { return value < 0 || value > kMaxSystemFrame ? kFallbackSystemFrame : value; }

}  // namespace

TsuiForm::TsuiForm(TComponent* owner) : TCustomPanel(owner), bottomImage_(std::make_unique<TBitmap>()) {
  RegisterSkinProps();
  auto* form = dynamic_cast<TCustomForm*>(owner);
  if (!form) return;
  for (int i = 0; i < form->ControlCount(); ++i)
    if (dynamic_cast<TsuiForm*>(form->Controls(i))) return;  // a second frame takes nothing over
  form_ = form;
  SetParent(form);
  form->HandleNeeded();  // the system frame is measured on the window
  const TRect client = form->ClientRect();
  sysBottomFrame_ = SaneFrame(form->Top() + form->Height() - form->ClientToScreen(Point(client.Right, client.Bottom)).Y);
  sysLeftFrame_ = SaneFrame(form->ClientToScreen(Point(0, 0)).X - form->Left());
  bottomImage_->SetPixelFormat(pf24bit);
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
  SetWindowPos(h, 0, 0, 0, 0, 0, kFrameChanged);
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
  const HWND h = form_->Handle();
  SetWindowLongPtrA(h, GWL_STYLE, GetWindowLongPtrA(h, GWL_STYLE) | WS_CAPTION);
  SetWindowRgn(h, 0, 1);
  SetWindowPos(h, 0, 0, 0, 0, 0, kFrameChanged);
}

int TsuiForm::BorderQueryAnswer() const {
  return skinLeftWidth_ ? std::max(skinLeftWidth_, 4) : sysBottomFrame_ - 1;
}

int TsuiForm::GetTitleBarBandHeight() const { return TitleBarVisible() ? titleBar_->Height() + kBandOverlap : 0; }

// r is the proposed window rectangle; the default handling then takes the
// system frame off it, which leaves the insets the bands cover.
void TsuiForm::AdjustClientRect(RECT& r, const RECT& p) const {
  const int x = p.Left, y = p.Top, cx = p.Width(), cy = p.Height();
  const int B = std::max(4, sysBottomFrame_), L = std::max(4, sysLeftFrame_);
  r.Top = y + 4 - B;
  if (skinLeftWidth_) {
    r.Left = x + std::max(skinLeftWidth_, 4) - L + 1;
    r.Right = x + cx - std::max(skinRightWidth_, 4) + L - 1;
  } else {
    r.Left = x - L + 4;
    r.Right = x + cx + L - 4;
  }
  if (skinBottomHeight_) r.Bottom = y + cy - std::max(skinBottomHeight_, 4) + B - 1;
  else if (borderWidth_ == 3) r.Bottom = y + cy + B - 4;
  else r.Bottom = y + cy + B - 4 - borderWidth_ + 2;
}

void TsuiForm::FormWindowProc(TMessage& m) {
  if (frameDestroying_) return;
  if (m.Msg == kSkinBorderQuery) {
    m.Result = BorderQueryAnswer();
    return;
  }
  auto* params = m.Msg == WM_NCCALCSIZE && m.WParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam) : nullptr;
  if (params) {
    const RECT proposed = params->rgrc[0];
    AdjustClientRect(params->rgrc[0], proposed);
    params->rgrc[1] = params->rgrc[0];
  }
  const HWND h = form_->Handle();
  const bool minimized = IsIconic(h);
  const bool ownPaint = (m.Msg == WM_NCPAINT || m.Msg == WM_NCACTIVATE) && !minimized;
  if (!ownPaint) savedWindowProc_(m);
  if (params) m.Result = WVR_VALIDRECTS;
  switch (m.Msg) {
    case WM_SHOWWINDOW: form_->SetMenu(nullptr); return;
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
    case WM_KEYDOWN: HandleMenuShortCut(WORD(m.WParam), m.LParam); return;
    default:
      if (std::find(std::begin(kRecreateNotices), std::end(kRecreateNotices), m.Msg) != std::end(kRecreateNotices) &&
          (GetWindowLongPtrA(h, GWL_STYLE) & WS_CAPTION))
        RemoveCaptionStyle();
  }
}

void TsuiForm::RemoveCaptionStyle() {
  if (!form_ || !form_->HandleAllocated()) return;
  const HWND h = form_->Handle();
  const LONG_PTR style = GetWindowLongPtrA(h, GWL_STYLE);
  if (!(style & WS_CAPTION)) return;
  SetWindowLongPtrA(h, GWL_STYLE, style & ~LONG_PTR(WS_CAPTION));
  SetWindowPos(h, 0, 0, 0, 0, 0, kFrameChanged);
}

void TsuiForm::OnSize() {
  const bool maximized = form_->WindowState() == wsMaximized;
  // A form created maximized goes back to its designed bounds when restored.
  if (restorePending_ && !maximized) {
    restorePending_ = false;
    form_->SetBoundsRect(normalBounds_);
  }
  if (maximized) {
    const TRect area = GetWorkAreaRect();
    form_->SetBounds(area.Left - 2, area.Top - 2, area.Width() + 4, area.Height() + 1);
  }
  for (int i = 0; i < titleBar_->ButtonCount(); ++i) titleBar_->Buttons(i)->UpdateMaxGlyphs();
  titleBar_->Invalidate();
  PaintFrame();
  UpdateRegion();
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
    skinLeftWidth_ = PictureWidth(t->GetBitmap(kLeftBorder));
    skinRightWidth_ = PictureWidth(t->GetBitmap(kRightBorder));
    skinBottomHeight_ = PictureHeight(t->GetBitmap(kBottom1));
    transColor_ = t->GetColor(kTransColor);
    needTitleRegion_ = t->GetBool(kTitleNeedRegion);
    needBottomRegion_ = t->GetBool(kBottomNeedRegion);
    titleBar_->PaintNow();
    TBitmap* full = nullptr;
    titleBar_->GetSectionBitmap(-1, full);
    full->SetTransparentColor(transColor_);
    full->SetTransparent(needTitleRegion_);
    bottomImage_->SetTransparentColor(transColor_);
    bottomImage_->SetTransparent(needBottomRegion_);
    titleRegionMinY_ = t->GetInteger(kTitleMinY);
    titleRegionMaxY_ = t->GetInteger(kTitleMaxY);
    bottomRegionMinY_ = t->GetInteger(kBottomMinY);
    bottomRegionMaxY_ = t->GetInteger(kBottomMaxY);
  } else {
    titleBar_->SetRoundCornerBottom(0);
    skinBottomHeight_ = skinLeftWidth_ = skinRightWidth_ = 0;
    transColor_ = kSkinMagenta;
    needTitleRegion_ = needBottomRegion_ = false;
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
  SetWindowPos(form_->Handle(), 0, 0, 0, 0, 0, kFrameChanged);
  Invalidate();
  PaintFrame();
  UpdateRegion();
  form_->Constraints()->SetMinHeight(MenuBarHeight() + titleBar_->Height() + skinBottomHeight_ + kBandOverlap);
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
  SetWindowPos(form_->Handle(), 0, 0, 0, 0, 0, kFrameChanged);
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
  RECT window{};
  GetWindowRect(h, &window);
  HDC dc = GetWindowDC(h);
  TCanvas canvas;
  canvas.SetHandle(dc);
  TsuiUIStyle style;
  if (TsuiFileTheme::ResolveStyle(fileTheme_, uiStyle_, style)) PaintSkinFrame(&canvas, window.Width(), window.Height());
  else PaintBuiltInFrame(&canvas, window.Width(), window.Height());
  canvas.SetHandle(nullptr);
  ReleaseDC(h, dc);
}

void TsuiForm::ComposeBottomImage(int w) {
  const TsuiFileTheme* t = fileTheme_;
  TBitmap* first = t->GetBitmap(kBottom1);
  bottomImage_->SetSize(w, PictureHeight(first));
  if (!first || first->Empty()) return;
  TCanvas* c = bottomImage_->Canvas();
  if (t->GetBool(kBottomThreeSections)) {
    TBitmap* third = t->GetBitmap(kBottom3);
    c->Draw(0, 0, first);
    if (third) c->Draw(w - third->Width(), 0, third);
    StretchInto(c, t->GetBitmap(kBottom2), Rect(first->Width(), 0, w - PictureWidth(third), first->Height()));
  } else {
    DrawThreePartImage(first, c, Rect(0, 0, w, first->Height()), false, 0);
  }
}

void TsuiForm::PaintSkinFrame(TCanvas* canvas, int w, int h) {
  const TsuiFileTheme* t = fileTheme_;
  const int top = GetTitleBarBandHeight(), sb = skinBottomHeight_;
  const TColor formColor = t->GetColor(kFormColor);
  if (TitleBarVisible() && titleBar_->HasFrameSections()) {
    TBitmap* image = nullptr;
    titleBar_->GetSectionBitmap(-2, image);
    TCanvas* from = image->Canvas();
    const int iw = image->Width(), ih = image->Height(), left = std::max(skinLeftWidth_, 4),
              right = std::max(4, skinRightWidth_);
    canvas->CopyRect(Rect(0, 0, left, ih), from, Rect(0, 0, left, ih));
    canvas->CopyRect(Rect(0, 0, iw, 3), from, Rect(0, 0, iw, 3));
    canvas->CopyRect(Rect(w - right, 0, w, ih), from, Rect(iw - right, 0, iw, ih));
  }
  TBitmap* leftBorder = t->GetBitmap(kLeftBorder);
  const int lw = PictureWidth(leftBorder);
  StretchInto(canvas, leftBorder, Rect(0, top, lw, h - sb));
  const bool bar = MenuBarHeight() > 0;
  const int barTop = titleBar_->Height() + kBandOverlap, barBottom = barTop + MenuBarHeight();
  if (lw < 4) FillNormalized(canvas, Rect(lw, top, 4, h - sb), formColor);
  if (lw < 4 && bar) FillMenuBarPiece(canvas, Rect(lw, barTop, 4, barBottom), menuBarColor_, menuBarColor_, menuBarToColor_);
  TBitmap* rightBorder = t->GetBitmap(kRightBorder);
  const int rw = PictureWidth(rightBorder);
  StretchInto(canvas, rightBorder, Rect(w - rw, top, w, h - sb));
  if (rw < 4) FillNormalized(canvas, Rect(w - 4, top, w - rw, h - sb), formColor);
  if (rw < 4 && bar)
    FillMenuBarPiece(canvas, Rect(w - 4, barTop, w - rw, barBottom), menuBarColor_, menuBarColor_, menuBarToColor_);

  ComposeBottomImage(w);
  if (needBottomRegion_) {
    TBitmap onColor;
    onColor.SetPixelFormat(pf24bit);
    onColor.SetSize(w, bottomImage_->Height());
    FillNormalized(onColor.Canvas(), Rect(0, 0, w, onColor.Height()), formColor);
    onColor.Canvas()->Draw(0, 0, bottomImage_.get());
    canvas->Draw(0, h - sb, &onColor);
  } else if (!bottomImage_->Empty()) {
    canvas->Draw(0, h - sb, bottomImage_.get());
  }
  if (sb < 4) FillNormalized(canvas, Rect(skinLeftWidth_, h - 4, w - skinRightWidth_, h - sb), formColor);
}

void TsuiForm::PaintBuiltInFrame(TCanvas* canvas, int w, int h) {
  const int bw = borderWidth_, top = GetTitleBarBandHeight(), mbh = MenuBarHeight();
  if (TitleBarVisible() && titleBar_->HasFrameSections()) {
    TBitmap *left = nullptr, *right = nullptr, *middle = nullptr;
    titleBar_->GetSectionBitmap(0, left);
    titleBar_->GetSectionBitmap(1, right);
    titleBar_->GetSectionBitmap(2, middle);
    TBitmap piece;
    if (3 - bw > 0) {
      piece.SetSize(3 - bw, left->Height());
      piece.Canvas()->Draw(0, 0, left);
      canvas->Draw(bw, 0, &piece);
      if (right->Width() > 2) piece.Canvas()->Draw(2 - right->Width(), 0, right);
      else StretchInto(piece.Canvas(), right, Rect(0, 0, piece.Width(), piece.Height()));
      canvas->Draw(w - 3, 0, &piece);
    }
    piece.SetSize(std::max(w - 5, 0), 3);
    const int pw = piece.Width();
    const int a = form_->BorderStyle() == bsDialog ? pw - right->Width() + 2 : pw + sysLeftFrame_ - right->Width() - 1;
    piece.Canvas()->Draw(-2, 0, left);
    piece.Canvas()->Draw(a, 0, right);
    StretchInto(piece.Canvas(), middle, Rect(left->Width() - 2, 0, a, middle->Height()));
    canvas->Draw(2, 0, &piece);
    const int r = titleBar_->RoundCorner();
    if (bw == 1 && r == 11) {
      canvas->Pen()->SetColor(borderColor_);
      canvas->Arc(w - 2 * r + 1, -1, w + 1, 2 * r - 1, w + 1, r - 1, w - r + 1, -1);
      canvas->Arc(-1, -1, 2 * r - 1, 2 * r - 1, r - 1, -1, -1, r - 1);
    }
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
  const HWND h = form_->Handle();
  const int w = form_->Width(), height = form_->Height();
  TsuiUIStyle style;
  if (!TsuiFileTheme::ResolveStyle(fileTheme_, uiStyle_, style)) {
    const int c = TitleBarVisible() ? RoundCorner() : 0;
    const int d = TitleBarVisible() ? std::max(RoundCornerBottom(), 0) : 0;
    SetWindowRgn(h, MakeBuiltInRegion(w, height, c, d), 1);
    return;
  }
  if (!needTitleRegion_ && !needBottomRegion_) {
    SetWindowRgn(h, CreateRectRgn(0, 0, w, height), 1);
    return;
  }
  titleBar_->PaintNow();
  TSkinRegionSource source;
  titleBar_->GetSectionBitmap(-1, source.TitleImage);
  source.BottomImage = bottomImage_.get();
  source.Width = w;
  source.Height = height;
  source.TransColor = transColor_;
  source.TitleMinY = titleRegionMinY_;
  source.TitleMaxY = titleRegionMaxY_;
  source.BottomMinY = bottomRegionMinY_;
  source.BottomMaxY = bottomRegionMaxY_;
  source.NeedTitle = needTitleRegion_;
  source.NeedBottom = needBottomRegion_;
  SetRegionFromSkin(h, source);
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
