// Combo edit: a one-line edit with a small button inside its right edge,
// which the folder edit builds on. The button (or its click key, Alt+Down by
// default) runs the edit's action; a descendant may drop a popup control down
// from the box instead, which shows the text and gives its own value back
// when the user accepts it (Enter or the button) and nothing when the user
// leaves it (Esc, another control taking the focus).
#pragma once

#include "platform/gui/menus.h"

#include "util/components/inner_control_edit.h"
#include "util/components/speed_button.h"

class TUtlComboEdit;
// Declared only: the variant header names a Time that X11 headers also define.
class Variant;

// The button: a speed button in a small window of its own inside the edit's
// right edge. A press gives the edit the focus first; a press that closes
// an open popup does only that.
class TUtlEditButton : public TUtlSpeedButton {
public:
  explicit TUtlEditButton(TUtlComboEdit* edit);

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void Click() override;

private:
  TUtlComboEdit* edit_;
  bool swallowNextClick_ = false;
};

// The button's picture: the edit's own (DefaultPicture), the combo-box arrow,
// three dots sized to the button, or one set by the program.
enum TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };

// Which edges of the box and the popup line up: the right ones, or the left.
enum TComboPopupAlign { cpaRight, cpaLeft };

// A control that drops down from a combo edit: a window of its own on the
// screen, on top, that never takes the activation (a click in it leaves the
// focus in the edit). It shows a value and gives back the one chosen.
class TUtlPopupControl : public TCustomControl {
public:
  explicit TUtlPopupControl(TComponent* owner);
  virtual Variant Value() const = 0;
  virtual void SetValue(const Variant& value) = 0;

protected:
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
};

class TUtlComboEdit : public TUtlInnerControlEdit {
public:
  explicit TUtlComboEdit(TComponent* owner);
  ~TUtlComboEdit() override;
  void BeforeDestruction() override;

  // Whether the user may type into the box; the button works either way.
  bool DirectInput() const { return directInput_; }
  void SetDirectInput(bool value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  int ButtonWidth() const;
  void SetButtonWidth(int value);
  void SetEnabled(bool value) override;
  int NumGlyphs() const { return button_->NumGlyphs(); }
  // Only a custom picture takes the count given; the built-in ones have one image.
  void SetNumGlyphs(int value);
  TGlyphKind GlyphKind() const { return glyphKind_; }
  void SetGlyphKind(TGlyphKind value);
  TBitmap* Glyph() const { return button_->Glyph(); }
  // The picture given makes the kind custom.
  void SetGlyph(TBitmap* value);
  TUtlEditButton* Button() const { return button_; }
  AnsiString ButtonHint() const { return button_->Hint(); }
  void SetButtonHint(const AnsiString& value) { button_->SetHint(value); }
  // The key that works the button from the keyboard (0 for none).
  TShortCut ClickKey() const { return clickKey_; }
  void SetClickKey(TShortCut value) { clickKey_ = value; }
  // The button acts even on a read-only box.
  bool AlwaysEnableButton() const { return alwaysEnableButton_; }
  void SetAlwaysEnableButton(bool value) { alwaysEnableButton_ = value; }

  TUtlPopupControl* PopupControl() const { return popup_; }
  bool PopupShowing() const { return popupShowing_; }
  TComboPopupAlign PopupSide() const { return popupSide_; }
  void SetPopupSide(TComboPopupAlign value) { popupSide_ = value; }
  // Hides the popup; with accept its value becomes the text (when the box
  // may be changed and PopupValueAcceptable agrees).
  void ClosePopup(bool accept);

  TNotifyEvent OnButtonClick;

  // The button's click: PerformButtonAction, unless the box is read-only
  // (and AlwaysEnableButton is off).
  void HandleButtonClick();

protected:
  // The picture of gkDefault; none here.
  virtual TBitmap* DefaultPicture() { return nullptr; }
  // OnButtonClick; then the popup, when there is one, closes accepting its
  // value or opens.
  virtual void PerformButtonAction();

  // A descendant that drops a control down hands it over here; it stays the
  // descendant's to free (after the edit is done with it).
  void SetPopupControl(TUtlPopupControl* popup) { popup_ = popup; }
  // Places the popup under the box (over it when the screen ends below),
  // kept on the screen, and shows it with the text as its value (null for
  // an empty text); disableEdit also stops typing while it shows.
  virtual void OpenPopup(bool disableEdit);
  virtual void ShowPopupAt(TPoint origin);
  virtual void HidePopupWindow();
  virtual bool PopupValueAcceptable(const Variant&) { return true; }
  virtual void TakePopupValue(const Variant& value);
  virtual void LoadPopupValue(const Variant& value);
  virtual Variant ReadPopupValue();
  // Text changes while the popup shows come here instead of OnChange.
  virtual void PopupTextChanged() {}

  void Change() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void DoExit() override;
  void PlaceInner() override;
  void LimitTextRect() override;
  bool ClipboardEditable() const override { return directInput_ && !readOnly_; }
  // A height below MinHeight is raised to it (not while the form data is read).
  void Resize() override;

private:
  // The smaller text height of the system font and the box's font, with room for the borders.
  int MinHeight() const;
  void RebuildButtonPicture();

  TWinControl* holder_ = nullptr;
  TUtlEditButton* button_ = nullptr;
  TUtlPopupControl* popup_ = nullptr;
  TGlyphKind glyphKind_ = gkCustom;
  TComboPopupAlign popupSide_ = cpaRight;
  bool popupShowing_ = false;
  bool caretHidden_ = false;
  bool directInput_ = true;
  bool readOnly_ = false;
  bool alwaysEnableButton_ = false;
  TShortCut clickKey_ = ShortCut(VK_DOWN, ssAlt);
};
