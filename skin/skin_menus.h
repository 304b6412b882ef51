// Owner-drawn menus: TsuiPopupMenu and TsuiMainMenu measure and paint every
// item themselves (a colour bar along the leading edge, a flat background,
// a framed highlight, caption, shortcut, check mark or image, a thin
// separator), in the colours of a built-in style or of a skin.
#pragma once

#include "platform/gui/menus.h"
#include "skin/skin_keys.h"

class TsuiFileTheme;
class TsuiForm;

// The look both menus share, and the per-item measuring and drawing.
struct TsuiMenuLook {
  TsuiUIStyle UIStyle = DeepBlue;
  int MenuItemHeight = 21;
  int SeparatorHeight = 21;
  int BarWidth = 0;
  TColor BarColor = clBtnFace, BarToColor = clBtnFace;
  TColor Color = 0xFFFFFF;
  TColor SeparatorColor = 0x808080;
  TColor SelectedBorderColor = clHighlight, SelectedColor = clHighlight;
  TColor SelectedFontColor = 0xFFFFFF, FontColor = 0xFFFFFF;
  TColor BorderColor = 0;
  TColor FlatBorderLineColor = 0;  // the style's form colour
  bool FlatMenu = false;
  AnsiString FontName = "MS Sans Serif";
  int FontSize = 8;
  int FontCharset = 1;
  bool UseSystemFont = true;

  // The style's (or skin's) colours and measures.
  void Apply(TsuiUIStyle style, const TsuiFileTheme* theme);
  void Measure(const TMenuItem* item, TCanvas* canvas, int& width, int& height) const;
  // images: the menu's own list for item images (null when it has none).
  void Draw(const TMenuItem* item, TCanvas* canvas, const TRect& rect, bool selected, TImageList* images) const;
};

// Gives item and all its sub-items the two handlers.
void AssignMenuItemHandlers(TMenuItem* item, const TMenuMeasureItemEvent& measure, const TMenuDrawItemEvent& draw);
void FillRectColor(TCanvas* canvas, const TRect& rect, TColor color);
void FrameRectColor(TCanvas* canvas, const TRect& rect, TColor color);
void DrawMenuSeparatorLine(TCanvas* canvas, const TRect& rect, TColor color, int barWidth, bool leftToRight);
void DrawMacMenuSeparator(TCanvas* canvas, const TRect& rect);
void DrawMacMenuSelected(TCanvas* canvas, const TRect& rect);
void DrawMacMenuItem(TCanvas* canvas, const TRect& rect);
void DrawFlatMenuBorder(HWND window, TColor outerColor, TColor lineColor);
// The menu font: the platform's default font in the menu text colour.
void SetSystemMenuFont(TFont* font);
// The shared list whose image 0 is the check mark.
TImageList* MenuCheckMarks();

// What both skinned menus add to their platform menu: style, skin, look and
// the item handlers (also given to items added later).
template <class Base>
class TsuiMenuBase : public Base {
public:
  explicit TsuiMenuBase(TComponent* owner);

  TsuiUIStyle UIStyle() const { return look_.UIStyle; }
  void SetUIStyle(TsuiUIStyle value) { look_.Apply(value, fileTheme_); }
  TsuiFileTheme* FileTheme() const { return fileTheme_; }
  void SetFileTheme(TsuiFileTheme* value);
  bool OwnerDraw() const { return true; }
  TsuiMenuLook& Look() { return look_; }
  void InstallItemHandlers();

protected:
  // The list item images come from (null for none).
  virtual TImageList* ItemImages() const { return Base::Images(); }
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void MenuChanged(TObject* sender, TMenuItem* source, bool rebuild) override;

  TsuiMenuLook look_;

private:
  TsuiFileTheme* fileTheme_ = nullptr;
};

class TsuiPopupMenu : public TsuiMenuBase<TPopupMenu> {
public:
  explicit TsuiPopupMenu(TComponent* owner) : TsuiMenuBase(owner) {}
  // Both keep the MacOS measures while that style is on.
  void SetSeparatorHeight(int value);
  void SetMenuItemHeight(int value);
};

class TsuiMainMenu : public TsuiMenuBase<TMainMenu> {
public:
  explicit TsuiMainMenu(TComponent* owner);
  void AfterConstruction() override;
  // Null while the internal check-mark list is in place; nil puts it back.
  TImageList* Images() const;
  void SetImages(TImageList* images);
  // The frame that shows the menu in its bar (set and cleared by the frame).
  TsuiForm* Frame() const { return frame_; }
  void SetFrame(TsuiForm* frame) { frame_ = frame; }

protected:
  TImageList* ItemImages() const override { return Images(); }
  // The frame's bar follows every change of the items.
  void MenuChanged(TObject* sender, TMenuItem* source, bool rebuild) override;

private:
  TImageList* checkMarks_;
  TsuiForm* frame_ = nullptr;
};
