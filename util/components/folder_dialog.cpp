// Folder browse dialog: the scripted answer without a display, and the
// dialog form (the path, the folder tree read as it is opened, OK and Cancel).
#include "util/components/folder_dialog.h"

#include <deque>

#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/edits.h"
#include "platform/gui/forms.h"
#include "platform/gui/std_controls.h"
#include "platform/gui/tree_view.h"
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

// A folder's subfolders as nodes of the tree, in name order; each may have
// subfolders of its own, which are read when it is opened.
void AddSubfolders(TTreeView* tree, TTreeNode* node, const AnsiString& folder) {
  TStringList names;
  TSearchRec rec;
  for (int rc = FindFirst(JoinPath(folder, "*"), faDirectory, rec); rc == 0; rc = FindNext(rec))
    if ((rec.Attr & faDirectory) && rec.Name != "." && rec.Name != "..") names.Add(rec.Name);
  FindClose(rec);
  names.Sort();
  for (int i = 0; i < names.Count(); ++i) tree->AddChild(node, names.Strings(i))->SetHasChildren(true);
}

AnsiString NodePath(const TTreeNode* node) {
  return node->Parent() ? JoinPath(NodePath(node->Parent()), node->Text()) : node->Text();
}

// Opens the tree down to the folder, as far as its names are found there.
TTreeNode* NodeOf(TTreeNode* root, const AnsiString& folder) {
  TTreeNode* node = root;
  std::size_t from = 1;
  while (from < folder.size()) {
    const std::size_t to = std::min(folder.find(PathDelim, from), folder.size());
    node->Expand();
    TTreeNode* child = node->Find(folder.substr(from, to - from));
    if (!child) break;
    node = child;
    from = to + 1;
  }
  return node;
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
  auto* tree = new TTreeView(form);
  tree->SetParent(form);
  tree->SetBounds(10, 56, 300, 230);
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

  tree->OnExpanding = [&](TObject*, TTreeNode* node, bool&) {
    if (node->Count() == 0) AddSubfolders(tree, node, NodePath(node));
  };
  tree->OnChange = [&](TObject*, TTreeNode* node) {
    if (!node) return;
    const AnsiString folder = NodePath(node);
    SetCurrentSelection(folder);
    path->SetText(folder);
    ok->SetEnabled(Acceptable(folder));
  };
  path->OnChange = [&](TObject*) {
    if (allowNewFolder_) ok->SetEnabled(Acceptable(path->Text()));
  };
  form->OnShow = [&](TObject*) {
    dialogWindow_ = form->Handle();
    if (OnInitialized) OnInitialized(this);
  };
  TTreeNode* root = tree->AddChild(nullptr, AnsiString(1, PathDelim));
  root->SetHasChildren(true);
  tree->SetSelected(NodeOf(root, currentSelection_));
  root->Expand();
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
