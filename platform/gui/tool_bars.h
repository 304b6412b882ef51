// TToolBar and TToolButton: a row of buttons (graphic children) laid out
// left to right, with hot tracking, pressed, checked and drop-down buttons,
// images and captions, custom drawing of the background and of each button,
// and buttons bound to a menu item, which drop the item's submenu down (in a
// popup menu the bar owns for the purpose) and answer their "&" letter.
#pragma once

#include "platform/gui/controls.h"

class TImageList;
class TMenuItem;
class TToolBar;

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
enum TCustomDrawStateFlag : unsigned { cdsSelected = 1, cdsGrayed = 2, cdsDisabled = 4, cdsChecked = 8,
                                       cdsFocused = 16, cdsDefault = 32, cdsHot = 64, cdsMarked = 128,
                                       cdsIndeterminate = 256 };
using TCustomDrawState = unsigned;
enum TEdgeBorder : unsigned { ebLeft = 1, ebTop = 2, ebRight = 4, ebBottom = 8 };
using TEdgeBorders = unsigned;

class TToolButton : public TGraphicControl {
public:
  explicit TToolButton(TComponent* owner);
  TToolButtonStyle Style() const { return style_; }
  void SetStyle(TToolButtonStyle style);
  bool Down() const { return down_; }
  void SetDown(bool value);
  bool Grouped() const { return grouped_; }
  void SetGrouped(bool value) { grouped_ = value; }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);
  // A button bound to a menu item shows its caption and drops its submenu down.
  TMenuItem* MenuItem() const { return menuItem_; }
  void SetMenuItem(TMenuItem* item);
  bool Hot() const { return hot_; }
  bool Pressed() const { return pressed_; }
  TToolBar* ToolBar() const;
  void Click() override;

protected:
  void Paint() override;
  void WndProc(TMessage& message) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TToolBar;
  TToolButtonStyle style_ = tbsButton;
  bool down_ = false, grouped_ = false, autoSize_ = false;
  int imageIndex_ = -1;
  TMenuItem* menuItem_ = nullptr;
  bool hot_ = false, pressed_ = false;
};

using TToolBarCustomDrawEvent = std::function<void(TToolBar* sender, TRect rect, bool& defaultDraw)>;
using TToolBarCustomDrawButtonEvent =
    std::function<void(TToolBar* sender, TToolButton* button, TCustomDrawState state, bool& defaultDraw)>;

class TToolBar : public TCustomControl {
public:
  explicit TToolBar(TComponent* owner);
  int ButtonCount() const;
  TToolButton* Buttons(int index) const;
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool ShowCaptions() const { return showCaptions_; }
  void SetShowCaptions(bool value);
  // Captions beside the images rather than below them.
  bool List() const { return list_; }
  void SetList(bool value);
  bool Wrapable() const { return wrapable_; }
  void SetWrapable(bool value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  TEdgeBorders EdgeBorders() const { return edgeBorders_; }
  void SetEdgeBorders(TEdgeBorders value);
  int ButtonHeight() const { return buttonHeight_; }
  void SetButtonHeight(int value);
  int ButtonWidth() const { return buttonWidth_; }
  void SetButtonWidth(int value);
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* images);
  TImageList* HotImages() const { return hotImages_; }
  void SetHotImages(TImageList* images);
  // Lays the buttons out again (after buttons came, went or changed size).
  void Rearrange();
  // Drops the bound menu item's submenu down under the button; returns when it closes.
  void DropDownMenu(TToolButton* button);

  TToolBarCustomDrawEvent OnCustomDraw;
  TToolBarCustomDrawButtonEvent OnCustomDrawButton;

protected:
  void Paint() override;
  void WndProc(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;
  // Draws a button the platform's way (face, image, caption, drop-down arrow).
  virtual void DrawButton(TToolButton* button, TCanvas* canvas, TCustomDrawState state);

private:
  friend class TToolButton;
  TSize ButtonSize(TToolButton* button);
  bool flat_ = false, transparent_ = false, showCaptions_ = false, list_ = false, wrapable_ = true,
       autoSize_ = false;
  TEdgeBorders edgeBorders_ = ebTop;
  int buttonHeight_ = 22, buttonWidth_ = 23;
  TImageList* images_ = nullptr;
  TImageList* hotImages_ = nullptr;
};
