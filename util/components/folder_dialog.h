// Folder browse dialog: a modal dialog that offers the folder tree from the
// root, starting at the folder given, with a prompt above it and an OK
// button that is enabled only on existing folders. Without a display nobody
// can answer it: tests script the answer (ScriptBrowseFolder); otherwise it
// counts as cancelled. BrowseDirectory wraps it for one call.
#pragma once

#include <functional>

#include "platform/gui/graphics_objects.h"
#include "platform/rtl/components.h"
#include "platform/rtl/message_loop.h"

bool FolderExists(const AnsiString& path);

enum TDialogPosition { dpDefault, dpScreenCenter };

class TBrowseFolderDlg : public TComponent {
public:
  explicit TBrowseFolderDlg(TComponent* owner) : TComponent(owner) {}

  // Where the tree starts: the desktop or the computer's drives. Both are the
  // file system's root here, so the choice changes nothing but is kept.
  bool DesktopRoot() const { return desktopRoot_; }
  void SetDesktopRoot(bool value) { desktopRoot_ = value; }

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

  // dpScreenCenter (the default) centres the dialog on the screen.
  TDialogPosition Position() const { return position_; }
  void SetPosition(TDialogPosition value) { position_ = value; }
  // After OK: the chosen folder's name as the dialog showed it ("/" for the root).
  const AnsiString& ItemDisplayName() const { return itemDisplayName_; }
  // The dialog's window while it is open, otherwise 0.
  HWND DialogWindow() const { return dialogWindow_; }

  // The user may also name a folder that does not exist (typed into the
  // path box); only the program's own folder chooser asks for that.
  bool AllowNewFolder() const { return allowNewFolder_; }
  void SetAllowNewFolder(bool value) { allowNewFolder_ = value; }

private:
  bool RunForm(AnsiString& chosen);
  bool Acceptable(const AnsiString& folder) const { return allowNewFolder_ ? !folder.empty() : FolderExists(folder); }

  AnsiString dialogText_;
  AnsiString folderName_;
  AnsiString currentSelection_;
  AnsiString itemDisplayName_;
  HWND dialogWindow_ = 0;
  TDialogPosition position_ = dpScreenCenter;
  bool desktopRoot_ = true;
  bool allowNewFolder_ = false;
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
// Long and short (8.3) forms of a path. No file system here keeps a second,
// short name for an entry, so both give the path back as it is.
inline AnsiString ShortToLongPath(const AnsiString& path) { return path; }
inline AnsiString LongToShortPath(const AnsiString& path) { return path; }

// The program's own folder chooser: the same dialog, where sdAllowCreate lets
// the user name a new folder, sdPrompt asks before accepting one (No counts
// as Cancel) and sdPerformCreate makes it (EInOutError when that fails).
enum TSelectDirOpt : unsigned { sdAllowCreate = 1, sdPerformCreate = 2, sdPrompt = 4 };
using TSelectDirOpts = unsigned;
bool SelectDirectory(AnsiString& directory, TSelectDirOpts options);
