// Folder browse dialog: a modal dialog that offers the folder tree from the
// root, starting at the folder given, with a prompt above it and an OK
// button that is enabled only on existing folders. Without a display nobody
// can answer it: tests script the answer (ScriptBrowseFolder); otherwise it
// counts as cancelled. BrowseDirectory wraps it for one call.
#pragma once

#include <functional>

#include "platform/gui/graphics_objects.h"
#include "platform/rtl/components.h"

class TBrowseFolderDlg : public TComponent {
public:
  explicit TBrowseFolderDlg(TComponent* owner) : TComponent(owner) {}

  const AnsiString& DialogText() const { return dialogText_; }
  void SetDialogText(const AnsiString& value) { dialogText_ = value; }
  // In: the folder selected first (when it exists); out: the chosen folder.
  const AnsiString& FolderName() const { return folderName_; }
  void SetFolderName(const AnsiString& value) { folderName_ = value; }
  // The folder selected at the moment (the tree's default when the dialog
  // opened on a folder that does not exist).
  const AnsiString& CurrentSelection() const { return currentSelection_; }
  void SetCurrentSelection(const AnsiString& value);

  TNotifyEvent OnInitialized;
  TNotifyEvent OnSelChanged;

  // True when the user confirmed a folder; Cancel leaves FolderName as it was.
  bool Execute();

private:
  bool RunForm(AnsiString& chosen);

  AnsiString dialogText_;
  AnsiString folderName_;
  AnsiString currentSelection_;
};

// The next dialog without a display runs this instead of asking anybody: it
// sees the dialog opened (CurrentSelection is where it starts) and answers
// OK with the folder it leaves in `folder`, or Cancel with false.
using TBrowseFolderScript = std::function<bool(TBrowseFolderDlg& dialog, AnsiString& folder)>;
void ScriptBrowseFolder(TBrowseFolderScript script);

// Shows the dialog with Prompt, starting at FolderName; on OK FolderName
// becomes the chosen folder.
bool BrowseDirectory(AnsiString& folderName, const AnsiString& prompt);
// Exists and is a folder.
bool FolderExists(const AnsiString& path);
