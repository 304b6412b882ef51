// TsuiMenuBar: the menu bar a skinned frame shows under its title bar in
// place of the form's native one: a flat tool bar with one caption button per
// top-level menu item, each dropping its item's submenu down. The frames
// paint its buttons and background through the helpers below, and it opens a
// submenu by its "&" letter only with Alt held or while a button is lit.
#pragma once

#include "platform/gui/tool_bars.h"
#include "skin/skin_keys.h"

class TMenu;
class TsuiFileTheme;
class TsuiForm;
class TsuiMDIForm;
class TsuiMainMenu;

// The Tag of a bar button drawn hot or selected.
inline constexpr int kMenuBarLitMarker = 888;

class TsuiMenuBar : public TToolBar {
public:
  explicit TsuiMenuBar(TComponent* owner);
  TsuiForm* OwnerForm() const { return ownerForm_; }
  void SetOwnerForm(TsuiForm* frame) { ownerForm_ = frame; }
  TsuiMDIForm* OwnerMDIForm() const { return ownerMDIForm_; }
  void SetOwnerMDIForm(TsuiMDIForm* frame) { ownerMDIForm_ = frame; }

protected:
  void WndProc(TMessage& message) override;

private:
  TsuiForm* ownerForm_ = nullptr;
  TsuiMDIForm* ownerMDIForm_ = nullptr;
};

// What a frame's bar drawing depends on: the style and skin, the menu that
// may bring its own font, and the MDI frame's choice of the MacOS highlight
// text colour.
struct TsuiMenuBarLook {
  TsuiUIStyle UIStyle = DeepBlue;
  const TsuiFileTheme* FileTheme = nullptr;
  TsuiMainMenu* FontMenu = nullptr;
  bool MacTextFromSkin = false;
};

void DrawMenuBarButton(TToolBar* bar, TToolButton* button, TCustomDrawState state, const TsuiMenuBarLook& look);
// The gradient (or MacOS picture) behind the buttons; a plain bar keeps its colour.
void DrawMenuBarBackground(TToolBar* bar, const TRect& rect, TsuiUIStyle style, TColor fromColor, TColor toColor);
// The bar and the side pieces of the frame beside it: a plain fill in the
// bar's colour, or the same gradient rows.
void FillMenuBarPiece(TCanvas* canvas, const TRect& rect, TColor barColor, TColor fromColor, TColor toColor);
// Makes the bar's buttons the menu's top-level items in order (grouped,
// sized to their captions), reusing the buttons it has.
void BindMenuBarButtons(TToolBar* bar, TMenu* menu, TComponent* buttonOwner);
// A TsuiMainMenu's font on the bar: the system menu font or its own size.
void ApplyMenuBarFont(TToolBar* bar, TMenu* menu);
