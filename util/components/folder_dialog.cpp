// Folder browse dialog: the scripted answer without a display, and the
// dialog form (the path, its subfolders to step into, OK and Cancel).
#include "util/components/folder_dialog.h"

#include <deque>

#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/edits.h"
#include "platform/gui/forms.h"
#include "platform/gui/list_boxes.h"
#include "platform/gui/std_controls.h"
#include "platform/gui/window_backend.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/file_search.h"
#include "platform/rtl/format.h"
#include "platform/rtl/files.h"
#include "platform/rtl/paths.h"

namespace {
// The chooser's own texts: the system names none for these.
constexpr char SFolderCreatePrompt[] = "Složka „%s“ neexistuje. Vytvořit ji?";
constexpr char SFolderCreateFailed[] = "Složku „%s“ nelze vytvořit";

std::deque<TBrowseFolderScript>& Scripts() {
  static std::deque<TBrowseFolderScript> scripts;
  return scripts;
}

// A folder's path without a trailing delimiter, except the root itself.
AnsiString WithoutTrailingDelim(AnsiString path) {
  while (path.size() > 1 && path.back() == PathDelim) path.pop_back();
  return path;
}

AnsiString JoinPath(const AnsiString& folder, const AnsiString& name) {
  return (folder.empty() || folder.back() != PathDelim ? folder + PathDelim : folder) + name;
}

void ListSubfolders(const AnsiString& folder, TStrings* into) {
  TStringList names;
  TSearchRec rec;
  for (int rc = FindFirst(JoinPath(folder, "*"), faDirectory, rec); rc == 0; rc = FindNext(rec))
    if ((rec.Attr & faDirectory) && rec.Name != "." && rec.Name != "..") names.Add(rec.Name);
  FindClose(rec);
  names.Sort();
  into->Clear();
  if (folder != AnsiString(1, PathDelim)) into->Add("..");
  for (int i = 0; i < names.Count(); ++i) into->Add(names.Strings(i));
}
}  // namespace

bool FolderExists(const AnsiString& path) { return !path.empty() && DirectoryExists(path); }

void ScriptBrowseFolder(TBrowseFolderScript script) { Scripts().push_back(std::move(script)); }

void TBrowseFolderDlg::SetCurrentSelection(const AnsiString& value) {
  currentSelection_ = value;
  if (OnSelChanged) OnSelChanged(this);
}

bool TBrowseFolderDlg::Execute() {
  // A folder that does not exist leaves the tree at its default: the root.
  currentSelection_ = FolderExists(folderName_) ? WithoutTrailingDelim(folderName_) : AnsiString(1, PathDelim);
  AnsiString chosen = currentSelection_;
  bool ok = false;
  if (!Scripts().empty()) {
    const TBrowseFolderScript script = std::move(Scripts().front());
    Scripts().pop_front();
    if (OnInitialized) OnInitialized(this);
    // OK is enabled only on existing folders.
    ok = script(*this, chosen) && Acceptable(chosen);
  } else if (Application && GetNativeWindowId(Application->Handle()) != 0) {
    ok = RunForm(chosen);
  }
  if (!ok) return false;
  folderName_ = WithoutTrailingDelim(chosen);
  currentSelection_ = folderName_;
  itemDisplayName_ = ExtractFileName(folderName_);
  if (itemDisplayName_.empty()) itemDisplayName_ = folderName_;
  return true;
}

bool TBrowseFolderDlg::RunForm(AnsiString& chosen) {
  TForm* form = new TForm(nullptr);
  form->SetCaption("Vyhledat složku");
  form->SetBorderStyle(bsDialog);
  form->SetPosition(position_ == dpScreenCenter ? poScreenCenter : poDefaultPosOnly);
  form->SetClientWidth(320);
  form->SetClientHeight(330);
  auto* prompt = new TLabel(form);
  prompt->SetParent(form);
  prompt->SetBounds(10, 8, 300, 16);
  prompt->SetCaption(dialogText_);
  auto* path = new TEdit(form);
  path->SetParent(form);
  path->SetBounds(10, 28, 300, 21);
  path->SetReadOnly(!allowNewFolder_);
  auto* list = new TListBox(form);
  list->SetParent(form);
  list->SetBounds(10, 56, 300, 230);
  auto* ok = new TButton(form);
  ok->SetParent(form);
  ok->SetBounds(150, 296, 75, 25);
  ok->SetCaption("OK");
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  auto* cancel = new TButton(form);
  cancel->SetParent(form);
  cancel->SetBounds(235, 296, 75, 25);
  cancel->SetCaption("Storno");
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);

  auto select = [&](const AnsiString& folder) {
    SetCurrentSelection(folder);
    path->SetText(folder);
    ListSubfolders(folder, list->Items());
    ok->SetEnabled(Acceptable(folder));
  };
  path->OnChange = [&](TObject*) {
    if (allowNewFolder_) ok->SetEnabled(Acceptable(path->Text()));
  };
  list->OnDblClick = [&](TObject*) {
    const int i = list->ItemIndex();
    if (i < 0) return;
    const AnsiString name = list->Items()->Strings(i);
    select(name == ".." ? WithoutTrailingDelim(ExtractFilePath(currentSelection_)) : JoinPath(currentSelection_, name));
  };
  form->OnShow = [&](TObject*) {
    dialogWindow_ = form->Handle();
    if (OnInitialized) OnInitialized(this);
  };
  select(currentSelection_);
  struct Closed {
    HWND& window;
    ~Closed() { window = 0; }
  } closed{dialogWindow_};
  const bool confirmed = form->ShowModal() == mrOk && Acceptable(path->Text());
  chosen = path->Text();
  form->Free();
  return confirmed;
}

bool SelectDirectory(AnsiString& directory, TSelectDirOpts options) {
  TBrowseFolderDlg dialog(nullptr);
  dialog.SetFolderName(directory);
  dialog.SetAllowNewFolder(options & sdAllowCreate);
  if (!dialog.Execute()) return false;
  const AnsiString chosen = dialog.FolderName();
  if (!FolderExists(chosen)) {
    if ((options & sdPrompt) &&
        MessageBox(0, Format(SFolderCreatePrompt, {chosen}).c_str(), "Potvrzení", MB_YESNO | MB_ICONQUESTION) != IDYES)
      return false;
    if ((options & sdPerformCreate) && !ForceDirectories(chosen))
      throw EInOutError(Format(SFolderCreateFailed, {chosen}));
  }
  directory = chosen;
  return true;
}

bool BrowseDirectory(AnsiString& folderName, const AnsiString& prompt) {
  TBrowseFolderDlg dialog(nullptr);
  dialog.SetDialogText(prompt);
  dialog.SetFolderName(folderName);
  if (!dialog.Execute()) return false;
  folderName = dialog.FolderName();
  return true;
}
