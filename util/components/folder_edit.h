// Folder edit: a one-line edit with a small browse button inside its right
// edge. The button (or Alt+Down) opens the folder dialog at the folder typed
// (or InitialDir, or the root), and the chosen folder replaces the text, or
// is appended after ";" when the box holds several folders. Enter and Esc
// reach the form's default and cancel buttons as in any one-line edit.
#pragma once

#include <functional>

#include "platform/gui/drop_files.h"
#include "platform/gui/menus.h"

#include "util/components/folder_dialog.h"
#include "util/components/inner_control_edit.h"
#include "util/components/speed_button.h"

class TDirectoryEdit;

// The browse button: a speed button showing an open folder, in a small
// window of its own inside the edit's right edge. A press gives the edit the
// focus first.
class TUtlEditButton : public TUtlSpeedButton {
public:
  explicit TUtlEditButton(TDirectoryEdit* edit);

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

private:
  TDirectoryEdit* edit_;
};

// Name: the folder offered (and, after the dialog, the one chosen); clearing
// Action stops before the dialog or keeps its answer from being used.
using TExecOpenDialogEvent = std::function<void(TObject* sender, AnsiString& name, bool& action)>;

// The button's picture: the edit's own (an open folder), the combo-box arrow,
// three dots sized to the button, or one set by the program.
enum TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };

// The folder dialog: the program's own chooser, which honours DialogOptions,
// or the browse dialog with DialogText as its prompt.
enum TDirDialogKind { dkVCL, dkWin32 };

class TDirectoryEdit : public TUtlInnerControlEdit {
public:
  explicit TDirectoryEdit(TComponent* owner);
  ~TDirectoryEdit() override;
  void BeforeDestruction() override;

  const AnsiString& InitialDir() const { return initialDir_; }
  void SetInitialDir(const AnsiString& value) { initialDir_ = value; }
  const AnsiString& DialogText() const { return dialogText_; }
  void SetDialogText(const AnsiString& value) { dialogText_ = value; }
  TDirDialogKind DialogKind() const { return dialogKind_; }
  void SetDialogKind(TDirDialogKind value) { dialogKind_ = value; }
  TSelectDirOpts DialogOptions() const { return dialogOptions_; }
  void SetDialogOptions(TSelectDirOpts value) { dialogOptions_ = value; }
  // Files dropped onto the box put their folder into the text.
  bool AcceptFiles() const { return acceptFiles_; }
  void SetAcceptFiles(bool value);
  bool MultipleDirs() const { return multipleDirs_; }
  void SetMultipleDirs(bool value) { multipleDirs_ = value; }
  // Whether the user may type into the box; the button works either way.
  bool DirectInput() const { return directInput_; }
  void SetDirectInput(bool value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  int ButtonWidth() const;
  void SetEnabled(bool value) override;
  void SetButtonWidth(int value);
  int NumGlyphs() const { return button_->NumGlyphs(); }
  // Only a custom picture takes the count given; the built-in ones have one image.
  void SetNumGlyphs(int value);
  TGlyphKind GlyphKind() const { return glyphKind_; }
  void SetGlyphKind(TGlyphKind value);
  TBitmap* Glyph() const { return button_->Glyph(); }
  // The picture given makes the kind custom.
  void SetGlyph(TBitmap* value);
  TUtlEditButton* Button() const { return button_; }
  // The button's hint.
  AnsiString ButtonHint() const { return button_->Hint(); }
  void SetButtonHint(const AnsiString& value) { button_->SetHint(value); }
  // The key that works the button from the keyboard (Alt+Down by default; 0 for none).
  TShortCut ClickKey() const { return clickKey_; }
  void SetClickKey(TShortCut value) { clickKey_ = value; }
  // The button acts even on a read-only box.
  bool AlwaysEnableButton() const { return alwaysEnableButton_; }
  void SetAlwaysEnableButton(bool value) { alwaysEnableButton_ = value; }

  TNotifyEvent OnButtonClick;
  TNotifyEvent OnDropFiles;
  TExecOpenDialogEvent OnBeforeDialog;
  TExecOpenDialogEvent OnAfterDialog;

  // The button's click: the folder choice, unless the box is read-only
  // (and AlwaysEnableButton is off).
  void HandleButtonClick();
  // A dropped path: an existing file gives its folder (with the trailing
  // delimiter), anything else counts as it is.
  virtual void TakeDroppedPath(const AnsiString& fileName);

protected:
  void KeyDown(WORD& key, TShiftState shift) override;
  void PlaceInner() override;
  void LimitTextRect() override;
  bool ClipboardEditable() const override { return directInput_ && !readOnly_; }
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
  // A height below MinHeight is raised to it (not while the form data is read).
  void Resize() override;

private:
  // The smaller text height of the system font and the box's font, with room for the borders.
  int MinHeight() const;
  void PerformButtonAction();
  void RebuildButtonPicture();
  void DroppedFiles(HDROP drop);

  TWinControl* holder_ = nullptr;
  TUtlEditButton* button_ = nullptr;
  TGlyphKind glyphKind_ = gkDefault;
  AnsiString initialDir_;
  AnsiString dialogText_;
  TDirDialogKind dialogKind_ = dkVCL;
  TSelectDirOpts dialogOptions_ = 0;
  bool acceptFiles_ = false;
  unsigned savedErrorMode_ = 0;
  bool multipleDirs_ = false;
  bool directInput_ = true;
  bool readOnly_ = false;
  bool alwaysEnableButton_ = false;
  TShortCut clickKey_ = ShortCut(VK_DOWN, ssAlt);
};
