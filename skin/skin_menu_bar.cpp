// The skinned frames' menu bar; see skin_menu_bar.h.
#include "skin/skin_menu_bar.h"

#include "platform/gui/bitmap.h"
#include "platform/gui/menus.h"
#include "skin/builtin_styles.h"
#include "skin/draw_helpers.h"
#include "skin/file_theme.h"
#include "skin/skin_menus.h"

namespace {

// Skin colours and built-in elements of the bar.
enum : uint8_t { kLitColor = 5, kLitBorderColor = 6, kLitFontColor = 7, kFontColor = 8, kSelectedMenuFontColor = 15 };
enum : int { kElLitBorder = 18, kElLitFill = 19, kElLitText = 20, kElText = 22 };
constexpr TColor kDisabledText = 0x808080;
constexpr UINT kCaptionFormat = DT_SINGLELINE | DT_CENTER | DT_VCENTER;

// The caption's font: a TsuiMainMenu's own (or the system menu font), else the bar's.
void SelectFont(TCanvas* canvas, TToolBar* bar, TsuiMainMenu* menu, bool withColor) {
  canvas->SetFont(bar->Font());
  if (!menu) return;
  const TsuiMenuLook& look = menu->Look();
  if (look.UseSystemFont) {
    SetSystemMenuFont(canvas->Font());
    return;
  }
  canvas->Font()->SetName(look.FontName);
  canvas->Font()->SetSize(look.FontSize);
  canvas->Font()->SetCharset(look.FontCharset);
  if (withColor) canvas->Font()->SetColor(look.FontColor);
}

void Caption(TCanvas* canvas, const AnsiString& text, TRect r, TColor color) {
  canvas->Brush()->SetStyle(bsClear);
  SetBkMode(canvas->Handle(), TRANSPARENT);
  SetTextColor(canvas->Handle(), ColorToRGB(color));
  DrawTextA(canvas->Handle(), text.c_str(), int(text.size()), &r, kCaptionFormat);
}

void DrawMacLit(TToolBar* bar, TToolButton* button, const TsuiMenuBarLook& look) {
  TBitmap image;
  image.SetSize(button->Width(), button->Height());
  TBitmap picture;
  picture.LoadFromResourceName(0, "MACOS_MENU_SELECT");
  StretchBitmapToRect(&picture, image.Canvas(), Rect(0, 0, image.Width(), image.Height()));
  SelectFont(image.Canvas(), bar, look.FontMenu, false);
  const TColor text = look.MacTextFromSkin && look.FileTheme ? look.FileTheme->GetColor(kSelectedMenuFontColor)
                                                             : GetBuiltInColor(MacOS, kElLitText);
  Caption(image.Canvas(), button->Caption(), Rect(0, 0, image.Width(), image.Height() + 2), text);
  button->Canvas()->Draw(0, 0, &image);
}

}  // namespace

TsuiMenuBar::TsuiMenuBar(TComponent* owner) : TToolBar(owner) {}

// A letter opens a submenu only with Alt held or while a button is lit.
void TsuiMenuBar::WndProc(TMessage& m) {
  if (m.Msg == CM_DIALOGCHAR && !(KeyboardShiftState() & ssAlt)) {
    bool lit = false;
    for (int i = 0; i < ButtonCount(); ++i) lit = lit || Buttons(i)->Tag() == kMenuBarLitMarker;
    if (!lit) return;
  }
  TToolBar::WndProc(m);
}

void DrawMenuBarButton(TToolBar* bar, TToolButton* button, TCustomDrawState state, const TsuiMenuBarLook& look) {
  button->SetTag(0);
  TCanvas* canvas = button->Canvas();
  TRect r = button->ClientRect();
  TsuiUIStyle style;
  const bool skin = TsuiFileTheme::ResolveStyle(look.FileTheme, look.UIStyle, style);
  const bool lit = state & (cdsHot | cdsSelected);
  if (lit) button->SetTag(kMenuBarLitMarker);
  if (lit && style == MacOS) return DrawMacLit(bar, button, look);
  SelectFont(canvas, bar, look.FontMenu, true);
  r.Top += 2;
  if (lit) {
    const TColor fill = skin ? look.FileTheme->GetColor(kLitColor) : GetBuiltInColor(style, kElLitFill);
    const TColor border = skin ? look.FileTheme->GetColor(kLitBorderColor) : GetBuiltInColor(style, kElLitBorder);
    FillRectColor(canvas, button->ClientRect(), fill);
    FrameRectColor(canvas, button->ClientRect(), border);
    Caption(canvas, button->Caption(), r, skin ? look.FileTheme->GetColor(kLitFontColor) : GetBuiltInColor(style, kElLitText));
    return;
  }
  TColor text = skin ? look.FileTheme->GetColor(kFontColor) : GetBuiltInColor(style, kElText);
  if (!button->Enabled()) text = kDisabledText;
  Caption(canvas, button->Caption(), r, text);
}

void DrawMenuBarBackground(TToolBar* bar, const TRect& rect, TsuiUIStyle style, TColor fromColor, TColor toColor) {
  if (style == MacOS) {
    TBitmap picture;
    picture.LoadFromResourceName(0, "MACOS_MENU_BAR");
    StretchBitmapToRect(&picture, bar->Canvas(), rect);
  } else if (toColor != fromColor) {
    DrawVerticalGradient(bar->Canvas(), rect, fromColor, toColor);
  }
}

void FillMenuBarPiece(TCanvas* canvas, const TRect& rect, TColor barColor, TColor fromColor, TColor toColor) {
  if (rect.Width() <= 0 || rect.Height() <= 0) return;
  if (toColor == fromColor) FillRectColor(canvas, rect, barColor);
  else DrawVerticalGradient(canvas, rect, fromColor, toColor);
}

void BindMenuBarButtons(TToolBar* bar, TMenu* menu, TComponent* buttonOwner) {
  TMenuItem* items = menu->Items();
  while (bar->ButtonCount() > items->Count()) bar->Buttons(0)->Free();
  while (bar->ButtonCount() < items->Count()) {
    auto* button = new TToolButton(buttonOwner);
    button->SetParent(bar);
    button->SetGrouped(true);
    button->SetAutoSize(true);
  }
  for (int i = 0; i < items->Count(); ++i) {
    TToolButton* button = bar->Buttons(i);
    button->SetMenuItem(items->Items(i));
    button->SetVisible(items->Items(i)->Visible());
  }
}

void ApplyMenuBarFont(TToolBar* bar, TMenu* menu) {
  auto* skinned = dynamic_cast<TsuiMainMenu*>(menu);
  if (!skinned) return;
  if (skinned->Look().UseSystemFont) SetSystemMenuFont(bar->Font());
  else bar->Font()->SetSize(skinned->Look().FontSize);
}
