// Folder edit: a combo edit whose button (an open folder) or Alt+Down opens the folder dialog at the folder typed
// (or InitialDir, or the root), and the chosen folder replaces the text, or
// is appended after ";" when the box holds several folders. Enter and Esc
// reach the form's default and cancel buttons as in any one-line edit.
#pragma once

#include <functional>

#include "platform/gui/drop_files.h"

#include "util/components/combo_edit.h"
#include "util/components/folder_dialog.h"

// Name: the folder offered (and, after the dialog, the one chosen); clearing
// Action stops before the dialog or keeps its answer from being used.
using TExecOpenDialogEvent = std::function<void(TObject* sender, AnsiString& name, bool& action)>;

// The folder dialog: the program's own chooser, which honours DialogOptions,
// or the browse dialog with DialogText as its prompt.
enum TDirDialogKind { dkVCL, dkWin32 };

class TDirectoryEdit : public TUtlComboEdit {
public:
  explicit TDirectoryEdit(TComponent* owner);

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

  TNotifyEvent OnDropFiles;
  TExecOpenDialogEvent OnBeforeDialog;
  TExecOpenDialogEvent OnAfterDialog;

  // A dropped path: an existing file gives its folder (with the trailing
  // delimiter), anything else counts as it is.
  virtual void TakeDroppedPath(const AnsiString& fileName);

protected:
  // The open folder.
  TBitmap* DefaultPicture() override;
  // The folder choice.
  void PerformButtonAction() override;
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;

private:
  void DroppedFiles(HDROP drop);

  AnsiString initialDir_;
  AnsiString dialogText_;
  TDirDialogKind dialogKind_ = dkVCL;
  TSelectDirOpts dialogOptions_ = 0;
  bool acceptFiles_ = false;
  unsigned savedErrorMode_ = 0;
  bool multipleDirs_ = false;
};
