// The title bar, its buttons, sections and system menu; see title_bar.h.
#include "skin/title_bar.h"

#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/icon.h"
#include "skin/builtin_styles.h"
#include "skin/draw_helpers.h"
#include "skin/file_theme.h"
#include "skin/skin_form.h"
#include "skin/skin_mdi_form.h"
#include "skin/skin_props.h"
#include "skin/skin_texts.h"

namespace {

// Skin keys of the title bar (colours, bitmaps, integers, booleans).
enum : uint8_t { kTransColor = 0, kTitleFontColor = 1, kFormColor = 2 };
enum : uint8_t { kTitleBar1 = 0, kTitleBar2 = 1, kTitleBar3 = 2, kTitleBar4 = 3, kTitleBar5 = 4, kTitleButtons = 11 };
enum : uint8_t { kIconPosX = 0, kIconPosY = 1, kCaptionTop = 2, kButtonPosX = 3, kButtonPosY = 4 };
enum : uint8_t { kFiveSections = 0, kButtonsTransparent = 4 };
// Built-in elements of the title bar.
enum : int {
  kElTitleButtons = 5, kElButtonsTransparent = 6, kElLeftOffset = 7, kElRightOffset = 8, kElButtonTop = 9,
  kElTitleLeft = 10, kElTitleClient = 11, kElTitleRight = 12, kElMinWidth = 13, kElRoundCorner = 14
};
constexpr int kButtonFrames = 18;
constexpr int kBuiltInMinHeight = 50;
// The frame's title band reaches 3 pixels above the bar.
constexpr int kFrameOverlap = 3;
constexpr int kAppIconSize = 16;

// First strip frame of each button type (normal, mouse over, pressed follow).
int FirstFrame(TsuiTitleBarBtnType type, bool maximized) {
  switch (type) {
    case suiControlBox: return 1;
    case suiHelp: return 4;
    case suiMax: return maximized ? 10 : 7;
    case suiMin: return 13;
    case suiClose: return 16;
    default: return 0;
  }
}

bool IsMaximized(TCustomForm* form) { return form && form->WindowState() == wsMaximized; }

void DrawTransparent(TCanvas* canvas, int x, int y, TBitmap* picture, TColor transColor) {
  TBitmap copy;
  copy.Assign(picture);
  copy.SetTransparentColor(transColor);
  copy.SetTransparent(true);
  canvas->Draw(x, y, &copy);
}

// The picture's transparent pixels show backColor.
void DrawTransparentOver(TCanvas* canvas, int x, int y, TBitmap* picture, TColor transColor, TColor backColor) {
  TBitmap cell;
  cell.SetSize(picture->Width(), picture->Height());
  cell.Canvas()->Brush()->SetColor(backColor);
  cell.Canvas()->FillRect(Rect(0, 0, cell.Width(), cell.Height()));
  DrawTransparent(cell.Canvas(), 0, 0, picture, transColor);
  canvas->Draw(x, y, &cell);
}

}  // namespace

// --- buttons ---------------------------------------------------------------------------

TsuiTitleBarButton::TsuiTitleBarButton(TsuiTitleBar* bar) : bar_(bar) {
  for (auto& pic : pics_) pic = std::make_unique<TBitmap>();
}

TsuiTitleBarButton::~TsuiTitleBarButton() = default;

bool TsuiTitleBarButton::HasPictures() const {
  for (const auto& pic : pics_)
    if (pic->Empty()) return false;
  return true;
}

void TsuiTitleBarButton::SetButtonType(TsuiTitleBarBtnType type) {
  if (type == suiControlBox)
    for (int i = 0; i < bar_->ButtonCount(); ++i)
      if (bar_->Buttons(i)->ButtonType() == suiControlBox) {
        Application->MessageBox(kOnlyOneControlBox, "", MB_OK | MB_ICONERROR);
        return;
      }
  type_ = type;
  UpdateGlyphs();
}

void TsuiTitleBarButton::SetUIStyle(TsuiUIStyle style) {
  uiStyle_ = style;
  UpdateGlyphs();
}

void TsuiTitleBarButton::LoadFrames(int first) {
  TsuiUIStyle style;
  const TsuiFileTheme* theme = bar_->FileTheme();
  const bool skin = TsuiFileTheme::ResolveStyle(theme, uiStyle_, style);
  for (int i = 0; i < 3; ++i) {
    if (skin) theme->GetBitmapFrame(kTitleButtons, pics_[i].get(), kButtonFrames, first + i);
    else GetBuiltInBitmap(style, kElTitleButtons, pics_[i].get(), kButtonFrames, first + i);
  }
}

void TsuiTitleBarButton::UpdateGlyphs() {
  TsuiUIStyle style;
  const TsuiFileTheme* theme = bar_->FileTheme();
  if (TsuiFileTheme::ResolveStyle(theme, uiStyle_, style)) {
    Transparent = theme->GetBool(kButtonsTransparent);
    Top = theme->GetInteger(kButtonPosY);
  } else {
    Transparent = GetBuiltInBool(style, kElButtonsTransparent);
    Top = GetBuiltInInteger(style, kElButtonTop);
  }
  if (type_ == suiCustom) return;
  LoadFrames(FirstFrame(type_, false));
  if (type_ == suiMax) UpdateMaxGlyphs();
}

void TsuiTitleBarButton::UpdateMaxGlyphs() {
  if (type_ != suiMax || bar_->Custom()) return;
  LoadFrames(FirstFrame(suiMax, IsMaximized(bar_->ParentForm())));
}

void TsuiTitleBarButton::Execute() {
  TCustomForm* form = bar_->ParentForm();
  if (!form) return;
  bool allow = true;
  switch (type_) {
    case suiMax:
      if (bar_->OnMaxClick) bar_->OnMaxClick(bar_, allow);
      if (!allow) return;
      if (IsMaximized(form)) {
        form->SetWindowState(wsNormal);
      } else {
        form->SetWindowState(wsMaximized);
        if (!bar_->IsOnSkinnedForm()) {
          const TRect area = GetWorkAreaRect();
          form->SetBounds(area.Left - 2, area.Top - 2, area.Width() + 4, area.Height() + 1);
        }
      }
      UpdateMaxGlyphs();
      return;
    case suiMin:
      if (bar_->OnMinClick) bar_->OnMinClick(bar_, allow);
      if (!allow) return;
      if (Application->MainForm() == form) SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
      else form->SetWindowState(wsMinimized);
      return;
    case suiClose: form->Close(); return;
    case suiControlBox:
      if (ControlBoxMenu) {
        const TPoint p = bar_->ClientToScreen(Point(0, bar_->Height()));
        ControlBoxMenu->Popup(std::max(p.X, 0), p.Y);
      }
      return;
    default: return;
  }
}

void TsuiTitleBarButton::Assign(const TsuiTitleBarButton& other) {
  Visible = other.Visible;
  type_ = other.type_;
  Transparent = other.Transparent;
  Top = other.Top;
  uiStyle_ = other.uiStyle_;
  for (int i = 0; i < 3; ++i) pics_[i]->Assign(other.pics_[i].get());
  ControlBoxMenu = other.ControlBoxMenu;
}

TsuiTitleBarSection::TsuiTitleBarSection(TsuiTitleBar* bar) : bar_(bar), picture_(std::make_unique<TBitmap>()) {}
TsuiTitleBarSection::~TsuiTitleBarSection() = default;

void TsuiTitleBarSection::Changed() { bar_->Invalidate(); }

void TsuiTitleBarSection::SetWidth(int value) {
  width_ = value;
  Changed();
}

void TsuiTitleBarSection::SetAlign(TsuiTitleBarAlign value) {
  if (value == suiClient)
    for (int i = 0; i < bar_->SectionCount(); ++i)
      if (bar_->Sections(i)->Align() == suiClient) {
        Application->MessageBox(kOnlyOneClientSection, "", MB_OK | MB_ICONERROR);
        return;
      }
  align_ = value;
  if (value == suiClient) stretch_ = true;
  Changed();
}

void TsuiTitleBarSection::SetStretch(bool value) {
  stretch_ = value || align_ == suiClient;
  Changed();
}

void TsuiTitleBarSection::SetAutoSize(bool value) {
  autoSize_ = value;
  if (!picture_->Empty()) width_ = picture_->Width();
  Changed();
}

void TsuiTitleBarSection::SetCapSec(bool value) {
  capSec_ = value;
  Changed();
}

void TsuiTitleBarSection::SetPicture(const TBitmap* value) {
  picture_->Assign(value);
  if (autoSize_ && !picture_->Empty()) width_ = picture_->Width();
  Changed();
}

void TsuiTitleBarSection::Assign(const TsuiTitleBarSection& other) {
  width_ = other.width_;
  align_ = other.align_;
  picture_->Assign(other.picture_.get());
  stretch_ = other.stretch_;
  autoSize_ = other.autoSize_;
  Changed();
}

// --- system menu -------------------------------------------------------------------------

TsuiTitleBarPopupMenu::TsuiTitleBarPopupMenu(TsuiTitleBar* bar) : TsuiPopupMenu(bar), bar_(bar) {
  auto add = [this](const char* caption, TNotifyEvent click) {
    auto* item = new TMenuItem(this);
    item->SetCaption(caption);
    item->OnClick = std::move(click);
    Items()->Add(item);
    return item;
  };
  minimize_ = add(kSystemMenuMinimize, [this](TObject*) { bar_->ExecuteButtonOf(suiMin); });
  maximize_ = add(kSystemMenuMaximize, [this](TObject*) {
    for (int i = 0; i < bar_->ButtonCount(); ++i)
      if (bar_->Buttons(i)->Visible && bar_->Buttons(i)->ButtonType() == suiMax) bar_->Buttons(i)->Execute();
  });
  add("-", nullptr);
  close_ = add(kSystemMenuClose, [this](TObject*) {
    if (TCustomForm* form = bar_->ParentForm()) form->Close();
  });
  InstallItemHandlers();
}

TMenuItem* TsuiTitleBarPopupMenu::Popup(int x, int y) {
  minimize_->SetEnabled(bar_->HasVisibleButton(suiMin));
  maximize_->SetEnabled(bar_->HasVisibleButton(suiMax));
  close_->SetEnabled(bar_->HasVisibleButton(suiClose));
  return TsuiPopupMenu::Popup(x, y);
}

// --- the bar ------------------------------------------------------------------------------

TsuiTitleBar::TsuiTitleBar(TComponent* owner)
    : TCustomPanel(owner), fullTitle_(std::make_unique<TBitmap>()), fullTitleOnColor_(std::make_unique<TBitmap>()) {
  RegisterSkinProps();
  SetControlStyle(ControlStyle() & ~unsigned(csAcceptsControls));
  SetAlign(alTop);
  SetBevelOuter(bvNone);
  Font()->SetName("Tahoma");
  Font()->SetStyle(fsBold);
  Font()->SetColor(0xFFFFFF);
  systemMenu_ = new TsuiTitleBarPopupMenu(this);
  for (TsuiTitleBarBtnType type : {suiControlBox, suiClose, suiMax, suiMin}) AddButton()->SetButtonType(type);
  SetUIStyle(GetOwnerUIStyle(owner));
}

TsuiTitleBar::~TsuiTitleBar() = default;

TsuiTitleBarButton* TsuiTitleBar::AddButton() {
  buttons_.push_back(std::make_unique<TsuiTitleBarButton>(this));
  return buttons_.back().get();
}

TsuiTitleBarSection* TsuiTitleBar::AddSection() {
  sections_.push_back(std::make_unique<TsuiTitleBarSection>(this));
  return sections_.back().get();
}

TCustomForm* TsuiTitleBar::ParentForm() const { return GetParentForm(this); }

bool TsuiTitleBar::IsOnSkinnedForm() const {
  return (Parent() && Parent()->ClassName() == "TsuiForm") || (Owner() && Owner()->ClassName() == "TsuiMDIForm");
}

bool TsuiTitleBar::HasVisibleButton(TsuiTitleBarBtnType type) const {
  for (const auto& b : buttons_)
    if (b->Visible && b->ButtonType() == type) return true;
  return false;
}

bool TsuiTitleBar::ExecuteButtonOf(TsuiTitleBarBtnType type) {
  for (const auto& b : buttons_)
    if (b->Visible && b->ButtonType() == type) {
      b->Execute();
      return true;
    }
  return false;
}

void TsuiTitleBar::SetFileTheme(TsuiFileTheme* value) {
  if (fileTheme_) fileTheme_->RemoveFreeNotification(this);
  fileTheme_ = value;
  if (value) value->FreeNotification(this);
  applyingTheme_ = true;
  SetUIStyle(uiStyle_);
  applyingTheme_ = false;
}

void TsuiTitleBar::SetUIStyle(TsuiUIStyle value) {
  uiStyle_ = value;
  if (custom_) return;
  sections_.clear();
  TsuiUIStyle style;
  const bool skin = TsuiFileTheme::ResolveStyle(fileTheme_, value, style);
  if (skin) BuildSkinSections();
  else BuildBuiltInSections(style);
  for (auto& b : buttons_) b->SetUIStyle(style);
  systemMenu_->SetFileTheme(fileTheme_);
  systemMenu_->SetUIStyle(style);
  if (!applyingTheme_)
    Font()->SetColor(value == MacOS ? TColor(0) : skin ? fileTheme_->GetColor(kTitleFontColor) : TColor(0xFFFFFF));
  SetAutoSize(true);
  Invalidate();
}

void TsuiTitleBar::BuildSkinSections() {
  const TsuiFileTheme* t = fileTheme_;
  fiveSections_ = t->GetBool(kFiveSections);
  titleTransColor_ = t->GetColor(kTransColor);
  auto add = [&](uint8_t key, TsuiTitleBarAlign align, bool autoSize) {
    TsuiTitleBarSection* s = AddSection();
    TBitmap picture;
    t->GetBitmapFrame(key, &picture, 0, 0);
    s->SetPicture(&picture);
    s->SetAlign(align);
    if (autoSize) s->SetAutoSize(true);
    return s;
  };
  add(kTitleBar1, suiLeft, true);
  add(kTitleBar2, fiveSections_ ? suiLeft : suiClient, false)->SetCapSec(fiveSections_);
  add(kTitleBar3, fiveSections_ ? suiLeft : suiRight, true);
  if (fiveSections_) {
    add(kTitleBar4, suiClient, false);
    add(kTitleBar5, suiRight, true);
  }
  leftBtnXOffset_ = t->GetInteger(kIconPosX);
  rightBtnXOffset_ = t->GetInteger(kButtonPosX);
  buttonTop_ = t->GetInteger(kButtonPosY);
  iconTop_ = t->GetInteger(kIconPosY);
  captionTop_ = t->GetInteger(kCaptionTop);
  titleBackColor_ = t->GetColor(kFormColor);
  if (IsOnSkinnedForm()) {
    buttonTop_ -= kFrameOverlap;
    iconTop_ -= kFrameOverlap;
  }
  TCustomForm* form = ParentForm();
  if (!form) return;
  TBitmap* strip = t->GetBitmap(kTitleButtons);
  const int n = (strip ? strip->Width() / kButtonFrames : 0) * ButtonCount() + rightBtnXOffset_;
  const int w3 = Sections(2)->Picture()->Width();
  const int m = fiveSections_ ? w3 + std::max(Sections(4)->Picture()->Width(), n) + 16 : std::max(w3, n);
  form->Constraints()->SetMinWidth(Sections(0)->Picture()->Width() + m);
}

void TsuiTitleBar::BuildBuiltInSections(TsuiUIStyle style) {
  auto add = [&](int element, TsuiTitleBarAlign align, bool autoSize) {
    TsuiTitleBarSection* s = AddSection();
    TBitmap picture;
    LoadBuiltInBitmap(style, element, &picture);
    s->SetPicture(&picture);
    s->SetAlign(align);
    if (autoSize) s->SetAutoSize(true);
  };
  add(kElTitleLeft, suiLeft, true);
  add(kElTitleRight, suiRight, true);
  add(kElTitleClient, suiClient, false);
  leftBtnXOffset_ = GetBuiltInInteger(style, kElLeftOffset);
  rightBtnXOffset_ = GetBuiltInInteger(style, kElRightOffset);
  buttonTop_ = GetBuiltInInteger(style, kElButtonTop) - (IsOnSkinnedForm() ? kFrameOverlap : 0);
  iconTop_ = buttonTop_;
  if (TCustomForm* form = ParentForm()) {
    form->Constraints()->SetMinWidth(GetBuiltInInteger(style, kElMinWidth));
    form->Constraints()->SetMinHeight(kBuiltInMinHeight);
  }
  roundCorner_ = GetBuiltInInteger(style, kElRoundCorner);
  roundCornerBottom_ = 0;
}

void TsuiTitleBar::SetAutoSize(bool) {
  if (sections_.empty()) {
    autoSize_ = false;
    return;
  }
  autoSize_ = true;
  SetHeight(std::max(Sections(0)->Picture()->Height() - (IsOnSkinnedForm() ? kFrameOverlap : 0), 0));
}

void TsuiTitleBar::SetButtonInterval(int value) {
  buttonInterval_ = value;
  Invalidate();
}

void TsuiTitleBar::SetFormActive(bool value) {
  formActive_ = value;
  Invalidate();
}

void TsuiTitleBar::SetDrawAppIcon(bool value) {
  drawAppIcon_ = value;
  Invalidate();
}

void TsuiTitleBar::SetInactiveCaptionColor(TColor value) {
  inactiveCaptionColor_ = value;
  Invalidate();
}

void TsuiTitleBar::GetSectionBitmap(int index, TBitmap*& bitmap) const {
  if (index == -1) bitmap = fullTitle_.get();
  else if (index == -2) bitmap = fullTitleOnColor_.get();
  else if (sections_.size() > 2 && index >= 0 && index < SectionCount()) bitmap = Sections(index)->Picture();
}

int TsuiTitleBar::BorderQuery() const {
  TCustomForm* form = ParentForm();
  return form ? int(SendMessageA(form->Handle(), kSkinBorderQuery, 0, 0)) : 0;
}

void TsuiTitleBar::Paint() {
  TBitmap buffer;
  buffer.SetSize(Width(), Height());
  buffer.Canvas()->Brush()->SetStyle(bsClear);
  buffer.Canvas()->SetFont(Font());
  DrawSections(&buffer);
  DrawButtonsAndCaption(&buffer);
  // Outside a paint cycle (PaintNow) only the full title pictures are wanted.
  if (Canvas()->HandleAllocated()) Canvas()->Draw(0, 0, &buffer);
}

void TsuiTitleBar::DrawSections(TBitmap* bitmap) {
  if (!ParentForm()) return;
  int xo = 0, yo = 0;
  if (IsOnSkinnedForm()) {
    const int a = BorderQuery();
    xo = a ? -a : -kFrameOverlap;
    yo = -kFrameOverlap;
  }
  int bw = 0;
  for (const auto& b : buttons_) bw += b->PicNormal()->Width() + buttonInterval_;
  const int width = bitmap->Width();
  fullTitle_->SetPixelFormat(pf24bit);
  fullTitle_->SetSize(width - 2 * xo, bitmap->Height() - yo);
  fullTitleOnColor_->SetPixelFormat(pf24bit);
  fullTitleOnColor_->SetSize(fullTitle_->Width(), fullTitle_->Height());
  fullTitleOnColor_->Canvas()->Brush()->SetColor(titleBackColor_);
  fullTitleOnColor_->Canvas()->FillRect(Rect(0, 0, fullTitle_->Width(), fullTitle_->Height()));

  TCanvas* on = bitmap->Canvas();
  TCanvas* full = fullTitle_->Canvas();
  int x = xo, xr = width - xo, lw = 0;
  bool captionDrawn = false;
  TsuiTitleBarSection* client = nullptr;
  for (size_t i = 0; i < sections_.size(); ++i) {
    TsuiTitleBarSection* s = sections_[i].get();
    TBitmap* pic = s->Picture();
    const int pw = pic->Width(), ph = pic->Height();
    if (s->CapSec()) {
      const int nw = i + 1 < sections_.size() ? sections_[i + 1]->Picture()->Width() : 0;
      captionSectionText_ = ShortenText(on, Caption(), width - leftBtnXOffset_ - bw - nw - 21);
      const int cw = on->TextWidth(captionSectionText_) + leftBtnXOffset_ - lw + 17;
      on->StretchDraw(Rect(x, yo, x + cw, yo + ph), pic);
      full->StretchDraw(Rect(x - xo, 0, x + cw - xo, ph), pic);
      x += cw;
      captionDrawn = true;
    } else if (s->Align() == suiLeft) {
      on->Draw(x, yo, pic);
      full->Draw(x - xo, 0, pic);
      x += pw;
      lw = pw;
    } else if (s->Align() == suiRight) {
      DrawTransparentOver(on, xr - pw, yo, pic, titleTransColor_, titleBackColor_);
      full->Draw(xr - xo - pw, 0, pic);
      xr -= pw;
    } else {
      client = s;
    }
  }
  if (client) {
    const int ph = client->Picture()->Height();
    on->StretchDraw(Rect(x, yo, xr, yo + ph), client->Picture());
    full->StretchDraw(Rect(x - xo, 0, xr - xo, ph), client->Picture());
  }
  fullTitleOnColor_->Canvas()->Draw(0, 0, fullTitle_.get());
  if (!captionDrawn) captionSectionText_.clear();
  else if (auto* frame = dynamic_cast<TsuiForm*>(Parent())) frame->PaintFrame();
  else if (auto* mdiFrame = dynamic_cast<TsuiMDIForm*>(Owner())) mdiFrame->PaintFrame();
}

void TsuiTitleBar::DrawButtonsAndCaption(TBitmap* bitmap) {
  TCustomForm* form = ParentForm();
  if (!form) return;
  TCanvas* canvas = bitmap->Canvas();
  const int a = BorderQuery();
  const int width = bitmap->Width();
  int d = width - rightBtnXOffset_ + a - 1;
  POINT cursor{};
  GetCursorPos(&cursor);
  const TPoint mouse = ScreenToClient(Point(cursor.X, cursor.Y));
  hotButton_ = -1;
  buttonRects_.assign(buttons_.size(), TRect{});
  TsuiTitleBarButton* controlBox = nullptr;
  int controlBoxIndex = -1;
  auto statePicture = [&](TsuiTitleBarButton* b, const TRect& r, int index) {
    if (!PointInRect(mouse, r)) return b->PicNormal();
    hotButton_ = index;
    return pressed_ ? b->PicMouseDown() : b->PicMouseOn();
  };
  auto drawCell = [&](TsuiTitleBarButton* b, TBitmap* pic, int x, int y) {
    if (b->Transparent) DrawTransparent(canvas, x, y, pic, uiStyle_ == FromThemeFile ? titleTransColor_ : kSkinMagenta);
    else canvas->Draw(x, y, pic);
  };
  for (size_t i = 0; i < buttons_.size(); ++i) {
    TsuiTitleBarButton* b = buttons_[i].get();
    if (!b->Visible || !b->HasPictures()) continue;
    if (b->ButtonType() == suiControlBox) {
      controlBox = b;
      controlBoxIndex = int(i);
      continue;
    }
    const int w = b->PicNormal()->Width(), h = b->PicNormal()->Height();
    d -= b->ButtonType() == suiClose ? w : w + buttonInterval_ + 1;
    if (d + w + 1 > width) d = width - w - 1;
    const TRect r = Rect(d, buttonTop_, d + w, buttonTop_ + h);
    buttonRects_[i] = r;
    drawCell(b, statePicture(b, r, int(i)), d, buttonTop_);
  }
  int x = std::max(leftBtnXOffset_ - a - 3, 0);
  if (controlBox) {
    const int w = controlBox->PicNormal()->Width(), h = controlBox->PicNormal()->Height();
    const TRect r = Rect(x, iconTop_, x + w, iconTop_ + h);
    buttonRects_[size_t(controlBoxIndex)] = r;
    if (drawAppIcon_) {
      if (PointInRect(mouse, r)) hotButton_ = controlBoxIndex;
      canvas->StretchDraw(Rect(x + 3, iconTop_, x + 3 + kAppIconSize, iconTop_ + kAppIconSize), Application->Icon());
      x += 21;
    } else {
      drawCell(controlBox, statePicture(controlBox, r, controlBoxIndex), x, iconTop_ - 1);
      x += w + 5;
    }
  }
  if (x == 0) x = 6;
  DrawCaption(canvas, x, d);
}

void TsuiTitleBar::DrawCaption(TCanvas* canvas, int x, int right) {
  if (!formActive_) canvas->Font()->SetColor(inactiveCaptionColor_);
  AnsiString text = captionSectionText_;
  if (text.empty()) {
    text = Caption();
    if (canvas->TextWidth(text) > right - x) {
      while (!text.empty() && canvas->TextWidth(text + "...") > right - x) text.pop_back();
      text += "...";
    }
  }
  drawnCaption_ = text;
  TsuiUIStyle style;
  const bool skin = TsuiFileTheme::ResolveStyle(fileTheme_, uiStyle_, style);
  const int y = skin ? captionTop_ - kFrameOverlap : buttonTop_ + (style == Protein ? 3 : 0);
  canvas->Brush()->SetStyle(bsClear);
  canvas->TextOut(x, y, text);
}

void TsuiTitleBar::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND: m.Result = 1; return;
    case CM_MOUSELEAVE:
    case CM_FONTCHANGED:
      TCustomPanel::WndProc(m);
      Invalidate();
      return;
    case WM_NCMOUSEMOVE:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
      if (TCustomForm* form = ParentForm()) m.Result = SendMessageA(form->Handle(), m.Msg, m.WParam, m.LParam);
      return;
    default: TCustomPanel::WndProc(m);
  }
}

void TsuiTitleBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomPanel::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  pressed_ = true;
  Repaint();
  TCustomForm* form = ParentForm();
  if (hotButton_ != -1 || !form || IsMaximized(form)) return;
  // The window manager's move loop takes the drag from here.
  ReleaseCapture();
  POINT cursor{};
  GetCursorPos(&cursor);
  SendMessageA(form->Handle(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(cursor.X, cursor.Y));
  pressed_ = false;
}

void TsuiTitleBar::MouseMove(TShiftState shift, int x, int y) {
  TCustomPanel::MouseMove(shift, x, y);
  Invalidate();
}

void TsuiTitleBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomPanel::MouseUp(button, shift, x, y);
  if (button != mbLeft) return;
  Repaint();
  if (hotButton_ != -1) {
    const int index = hotButton_;
    TsuiTitleBarButton* b = Buttons(index);
    if (b->ButtonType() != suiControlBox || b->ControlBoxMenu) {
      b->Execute();
      if (b->ButtonType() == suiCustom && OnCustomBtnsClick) OnCustomBtnsClick(this, index);
      else if (b->ButtonType() == suiHelp && OnHelpBtnClick) OnHelpBtnClick(this, index);
    } else {
      const TPoint p = ClientToScreen(Point(0, Height()));
      PopupSystemMenu(p.X, p.Y);
    }
  }
  pressed_ = false;
  Invalidate();
}

void TsuiTitleBar::DblClick() {
  TCustomPanel::DblClick();
  if (hotButton_ == -1) ExecuteButtonOf(suiMax);
  else if (Buttons(hotButton_)->ButtonType() == suiControlBox)
    if (TCustomForm* form = ParentForm()) form->Close();
}

void TsuiTitleBar::PopupSystemMenu(int x, int y) { systemMenu_->Popup(x, y); }

void TsuiTitleBar::Notification(TComponent* component, TOperation operation) {
  TCustomPanel::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == fileTheme_) {
    fileTheme_ = nullptr;
    SetUIStyle(DeepBlue);
  }
  for (auto& b : buttons_)
    if (b->ControlBoxMenu == component) b->ControlBoxMenu = nullptr;
}
