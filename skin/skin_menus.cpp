// The owner-drawn menus; see skin_menus.h.
#include "skin/skin_menus.h"

#include <memory>

#include "platform/gui/bitmap.h"
#include "platform/gui/colors.h"
#include "platform/gui/forms.h"
#include "platform/gui/image_list.h"
#include "skin/builtin_styles.h"
#include "skin/draw_helpers.h"
#include "skin/file_theme.h"
#include "skin/skin_form.h"
#include "skin/skin_props.h"

namespace {

// Skin colour numbers the menus read.
enum : uint8_t {
  kFormColor = 2, kLeftBarStart = 9, kLeftBarEnd = 10, kItemColor = 11, kItemFont = 12, kSelectedColor = 13,
  kSelectedBorder = 14, kSelectedFont = 15
};
// Built-in elements the menus read.
enum : int {
  kElFormColor = 15, kElSelectedBorder = 18, kElSelected = 19, kElSelectedFont = 20, kElItemColor = 21,
  kElItemFont = 22, kElBarColor = 23
};
constexpr TColor kDisabledFont = 0x808080;
constexpr int kCaptionGap = 4;
constexpr int kShortCutGap = 16;
constexpr int kMeasureExtra = 40;

// The first `rows` rows of a named picture, stretched over rect.
void StretchResourceRows(TCanvas* canvas, const TRect& rect, const char* name, int rows) {
  TBitmap picture, cut;
  picture.LoadFromResourceName(0, name);
  cut.SetSize(picture.Width(), std::min(rows, picture.Height()));
  cut.Canvas()->Draw(0, 0, &picture);
  StretchBitmapToRect(&cut, canvas, rect);
}

void DrawBar(const TsuiMenuLook& look, TCanvas* canvas, const TRect& rect) {
  if (look.BarWidth <= 0) return;
  const TRect bar = Rect(rect.Left, rect.Top, rect.Left + look.BarWidth, rect.Bottom);
  if (look.BarToColor == look.BarColor) FillRectColor(canvas, bar, look.BarColor);
  else DrawHorizontalGradient(canvas, bar, look.BarColor, look.BarToColor);
}

void DrawPlainBackground(const TsuiMenuLook& look, TCanvas* canvas, const TRect& rect) {
  DrawBar(look, canvas, rect);
  FillRectColor(canvas, Rect(rect.Left + std::max(look.BarWidth, 0), rect.Top, rect.Right, rect.Bottom), look.Color);
}

void DrawText(TCanvas* canvas, const AnsiString& text, TRect r, UINT flags) {
  RECT box = r;
  canvas->RequireState(csHandleValid | csFontValid | csBrushValid);
  ::DrawTextA(canvas->Handle(), text.c_str(), int(text.size()), &box, flags | DT_SINGLELINE | DT_VCENTER);
}

bool UsableImage(const TMenuItem* item, TImageList* images) {
  return images && item->ImageIndex() != -1 && item->ImageIndex() < images->Count();
}

}  // namespace

void TsuiMenuLook::Apply(TsuiUIStyle style, const TsuiFileTheme* theme) {
  UIStyle = style;
  BarWidth = 26;
  const bool mac = style == MacOS;
  MenuItemHeight = mac ? 20 : 21;
  SeparatorHeight = mac ? 12 : 5;
  SeparatorColor = mac ? 0 : 0x848284;
  TsuiUIStyle s;
  if (TsuiFileTheme::ResolveStyle(theme, style, s)) {
    BarColor = theme->GetColor(kLeftBarStart);
    BarToColor = theme->GetColor(kLeftBarEnd);
    Color = theme->GetColor(kItemColor);
    FontColor = theme->GetColor(kItemFont);
    SelectedBorderColor = theme->GetColor(kSelectedBorder);
    SelectedColor = theme->GetColor(kSelectedColor);
    SelectedFontColor = theme->GetColor(kSelectedFont);
    FlatBorderLineColor = theme->GetColor(kFormColor);
    return;
  }
  BarColor = BarToColor = GetBuiltInColor(s, kElBarColor);
  Color = GetBuiltInColor(s, kElItemColor);
  FontColor = GetBuiltInColor(s, kElItemFont);
  SelectedBorderColor = GetBuiltInColor(s, kElSelectedBorder);
  SelectedColor = GetBuiltInColor(s, kElSelected);
  SelectedFontColor = GetBuiltInColor(s, kElSelectedFont);
  FlatBorderLineColor = GetBuiltInColor(s, kElFormColor);
}

void TsuiMenuLook::Measure(const TMenuItem* item, TCanvas* canvas, int& width, int& height) const {
  if (item->Caption() == "-") {
    height = SeparatorHeight;
    return;
  }
  height = std::max(canvas->TextHeight(item->Caption()), MenuItemHeight);
  width = canvas->TextWidth(item->Caption()) + canvas->TextWidth(ShortCutToText(item->ShortCut())) + BarWidth +
          kMeasureExtra;
}

void TsuiMenuLook::Draw(const TMenuItem* item, TCanvas* canvas, const TRect& r, bool selected,
                        TImageList* images) const {
  if (FlatMenu)
    if (HWND window = WindowFromDC(canvas->Handle())) DrawFlatMenuBorder(window, 0, FlatBorderLineColor);
  const bool mac = UIStyle == MacOS;
  if (item->Caption() == "-") {
    if (mac) {
      DrawMacMenuSeparator(canvas, r);
      return;
    }
    DrawPlainBackground(*this, canvas, r);
    DrawMenuSeparatorLine(canvas, r, SeparatorColor, BarWidth, true);
    return;
  }
  const bool highlighted = selected && item->Enabled();
  if (highlighted && mac) DrawMacMenuSelected(canvas, r);
  else if (highlighted) {
    FillRectColor(canvas, r, SelectedColor);
    FrameRectColor(canvas, r, SelectedBorderColor);
  } else if (mac) DrawMacMenuItem(canvas, r);
  else DrawPlainBackground(*this, canvas, r);

  TFont* font = canvas->Font();
  if (UseSystemFont) SetSystemMenuFont(font);
  else {
    font->SetName(FontName);
    font->SetSize(FontSize);
  }
  canvas->Brush()->SetStyle(bsClear);
  font->SetColor(!item->Enabled() ? kDisabledFont : selected ? SelectedFontColor : FontColor);
  if (item->Default()) font->SetStyle(font->Style() | fsBold);
  DrawText(canvas, item->Caption(), Rect(r.Left + BarWidth + kCaptionGap, r.Top, r.Right, r.Bottom), DT_LEFT);
  const AnsiString keys = ShortCutToText(item->ShortCut());
  if (!keys.empty())
    DrawText(canvas, keys, Rect(r.Right - canvas->TextWidth(keys) - kShortCutGap, r.Top, r.Right, r.Bottom),
             DT_LEFT | DT_NOPREFIX);

  const int x = r.Left + 4;
  if (item->Checked()) {
    if (UsableImage(item, images)) {
      FrameRectColor(canvas, Rect(x - 2, r.Top + 1, x + 17, r.Top + 20), 0);
      FillRectColor(canvas, Rect(x - 1, r.Top + 2, x + 16, r.Top + 19), SelectedColor);
    } else {
      MenuCheckMarks()->Draw(canvas, x, r.Top + 3, 0, item->Enabled());
    }
  }
  if (UsableImage(item, images)) images->Draw(canvas, x, r.Top + 3, item->ImageIndex(), item->Enabled());
}

void AssignMenuItemHandlers(TMenuItem* item, const TMenuMeasureItemEvent& measure, const TMenuDrawItemEvent& draw) {
  for (int i = 0; i < item->Count(); ++i) {
    TMenuItem* child = item->Items(i);
    child->OnMeasureItem = measure;
    child->OnDrawItem = draw;
    AssignMenuItemHandlers(child, measure, draw);
  }
}

void FillRectColor(TCanvas* canvas, const TRect& rect, TColor color) {
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(color);
  canvas->FillRect(rect);
}

void FrameRectColor(TCanvas* canvas, const TRect& rect, TColor color) {
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(color);
  canvas->FrameRect(rect);
}

void DrawMenuSeparatorLine(TCanvas* canvas, const TRect& r, TColor color, int barWidth, bool leftToRight) {
  canvas->Pen()->SetColor(color);
  const int y = r.Top + 2;
  if (leftToRight) {
    canvas->MoveTo(r.Left + barWidth + 4, y);
    canvas->LineTo(r.Right - 2, y);
  } else {
    canvas->MoveTo(r.Left + 2, y);
    canvas->LineTo(r.Right - barWidth - 4, y);
  }
}

void DrawMacMenuSeparator(TCanvas* canvas, const TRect& rect) { StretchResourceRows(canvas, rect, "MACOS_MENU_BAR", 12); }
void DrawMacMenuItem(TCanvas* canvas, const TRect& rect) { StretchResourceRows(canvas, rect, "MACOS_MENU_BAR", 20); }
void DrawMacMenuSelected(TCanvas* canvas, const TRect& rect) {
  StretchResourceRows(canvas, rect, "MACOS_MENU_SELECT", 20);
}

void DrawFlatMenuBorder(HWND window, TColor outerColor, TColor lineColor) {
  RECT w{};
  GetWindowRect(window, &w);
  // The menu's own window DC stands in for the screen's: it covers the same pixels.
  HDC dc = GetWindowDC(window);
  TCanvas canvas;
  canvas.SetHandle(dc);
  const int L = 0, T = 0, R = w.Width(), B = w.Height();
  FrameRectColor(&canvas, Rect(L, T + 1, R - 1, B - 1), outerColor);
  FrameRectColor(&canvas, Rect(L + 1, T + 2, R - 2, B - 2), 0xFFFFFF);
  canvas.Pen()->SetColor(lineColor);
  canvas.Polyline({{L, B - 1}, {R - 1, B - 1}, {R - 1, T}, {R, T}, {L, T}});
  canvas.SetHandle(nullptr);
  ReleaseDC(window, dc);
}

void SetSystemMenuFont(TFont* font) {
  const TFont system;
  font->Assign(&system);
  font->SetColor(clMenuText);
}

namespace {

void AddCheckMark(TImageList* list) {
  TBitmap mark;
  mark.LoadFromResourceName(0, "MENU_CHECKED");
  list->AddMasked(&mark, 0xFFFFFF);
}

}  // namespace

TImageList* MenuCheckMarks() {
  static const std::unique_ptr<TImageList> list = [] {
    auto images = std::make_unique<TImageList>(nullptr);
    AddCheckMark(images.get());
    return images;
  }();
  return list.get();
}

// --- the shared menu base -------------------------------------------------------------

template <class Base>
TsuiMenuBase<Base>::TsuiMenuBase(TComponent* owner) : Base(owner) {
  RegisterSkinProps();
  Base::SetOwnerDraw(true);
  look_.SeparatorHeight = 21;
  SetUIStyle(GetOwnerUIStyle(owner));
}

template <class Base>
void TsuiMenuBase<Base>::SetFileTheme(TsuiFileTheme* value) {
  if (fileTheme_) fileTheme_->RemoveFreeNotification(this);
  fileTheme_ = value;
  if (value) value->FreeNotification(this);
  SetUIStyle(look_.UIStyle);
}

template <class Base>
void TsuiMenuBase<Base>::InstallItemHandlers() {
  AssignMenuItemHandlers(
      Base::Items(),
      [this](TObject* s, TCanvas* c, int& w, int& h) { look_.Measure(static_cast<TMenuItem*>(s), c, w, h); },
      [this](TObject* s, TCanvas* c, TRect r, bool selected) {
        look_.Draw(static_cast<TMenuItem*>(s), c, r, selected, ItemImages());
      });
}

template <class Base>
void TsuiMenuBase<Base>::Loaded() {
  Base::Loaded();
  InstallItemHandlers();
}

template <class Base>
void TsuiMenuBase<Base>::Notification(TComponent* component, TOperation operation) {
  Base::Notification(component, operation);
  if (operation == opRemove && component == fileTheme_) {
    fileTheme_ = nullptr;
    SetUIStyle(DeepBlue);
  }
}

template <class Base>
void TsuiMenuBase<Base>::MenuChanged(TObject* sender, TMenuItem* source, bool rebuild) {
  Base::MenuChanged(sender, source, rebuild);
  if (rebuild) InstallItemHandlers();
}

template class TsuiMenuBase<TPopupMenu>;
template class TsuiMenuBase<TMainMenu>;

void TsuiPopupMenu::SetSeparatorHeight(int value) {
  if (look_.UIStyle != MacOS) look_.SeparatorHeight = value;
}

void TsuiPopupMenu::SetMenuItemHeight(int value) {
  if (look_.UIStyle != MacOS) look_.MenuItemHeight = value;
}

TsuiMainMenu::TsuiMainMenu(TComponent* owner) : TsuiMenuBase(owner), checkMarks_(new TImageList(this)) {
  AddCheckMark(checkMarks_);
  TMenu::SetImages(checkMarks_);
}

void TsuiMainMenu::AfterConstruction() {
  TsuiMenuBase::AfterConstruction();
  if (auto* form = dynamic_cast<TCustomForm*>(Owner())) form->SetMenu(nullptr);
}

TImageList* TsuiMainMenu::Images() const { return TMenu::Images() == checkMarks_ ? nullptr : TMenu::Images(); }

void TsuiMainMenu::SetImages(TImageList* images) { TMenu::SetImages(images ? images : checkMarks_); }

void TsuiMainMenu::MenuChanged(TObject* sender, TMenuItem* source, bool rebuild) {
  TsuiMenuBase::MenuChanged(sender, source, rebuild);
  if (!frame_) return;
  if (rebuild) frame_->RebuildMenuBar();
  frame_->RefreshMenuBarButtons();
}
