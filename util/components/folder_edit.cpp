// Folder edit: its picture, the folder choice and dropped files.
#include "util/components/folder_edit.h"

#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/colors.h"
#include "platform/gui/gdi.h"
#include "platform/rtl/files.h"
#include "platform/rtl/paths.h"
#include "util/routines/program_routines.h"
#include "util/components/folder_dialog.h"

namespace {
constexpr int kMaxDroppedPath = 255;  // characters of a dropped path that count

// The open folder, 14 x 12 in black, grey and white on magenta (the
// transparent colour); drawn once and shared by every folder edit.
TBitmap* FolderPicture() {
  static TBitmap* picture = [] {
    auto* b = new TBitmap;
    b->SetSize(14, 12);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(Rect(0, 0, 14, 12));
    c->Brush()->SetColor(clWhite);
    c->FillRect(Rect(1, 3, 10, 10));
    c->Pen()->SetColor(clBlack);
    c->Polyline({Point(0, 2), Point(4, 2), Point(5, 3), Point(10, 3), Point(10, 5)});
    c->Polyline({Point(0, 2), Point(0, 10), Point(10, 10), Point(13, 5), Point(3, 5), Point(0, 10)});
    c->Pen()->SetColor(clGray);
    c->Polyline({Point(1, 9), Point(3, 6), Point(12, 6)});
    return b;
  }();
  return picture;
}
}  // namespace

TDirectoryEdit::TDirectoryEdit(TComponent* owner) : TUtlComboEdit(owner) { SetGlyphKind(gkDefault); }

TBitmap* TDirectoryEdit::DefaultPicture() { return FolderPicture(); }

void TDirectoryEdit::PerformButtonAction() {
  TUtlComboEdit::PerformButtonAction();
  AnsiString name = Text();
  bool action = true;
  if (OnBeforeDialog) OnBeforeDialog(this, name, action);
  if (!action) return;
  const AnsiString root(1, PathDelim);
  if (name.empty()) name = initialDir_.empty() ? root : initialDir_;
  // Several folders in the box are not one folder to start at.
  if (!FolderExists(name)) name = root;
  {
    // No error box may come up behind the dialog; the old mode returns even when it raises.
    savedErrorMode_ = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    struct RestoreMode {
      unsigned mode;
      ~RestoreMode() { SetErrorMode(mode); }
    } restore{savedErrorMode_};
    action = dialogKind_ == dkWin32 ? BrowseDirectory(name, dialogText_) : SelectDirectory(name, dialogOptions_);
  }
  if (CanFocus()) SetFocus();
  if (OnAfterDialog) OnAfterDialog(this, name, action);
  if (!action) return;
  ClearSelection();
  if (!Text().empty() && multipleDirs_)
    SetText(Text() + ";" + name);
  else
    SetText(name);
  if (!name.empty() && FolderExists(name)) initialDir_ = name;
}

void TDirectoryEdit::SetAcceptFiles(bool value) {
  if (value == acceptFiles_) return;
  acceptFiles_ = value;
  if (HandleAllocated() && !InState(csDesigning)) DragAcceptFiles(Handle(), value);
}

void TDirectoryEdit::CreateParams(TCreateParams& params) {
  TUtlComboEdit::CreateParams(params);
  // A re-created window keeps taking files.
  if (acceptFiles_ && !InState(csDesigning)) params.ExStyle |= WS_EX_ACCEPTFILES;
}

void TDirectoryEdit::WndProc(TMessage& message) {
  if (message.Msg != WM_DROPFILES) return TUtlComboEdit::WndProc(message);
  message.Result = 0;
  const auto drop = reinterpret_cast<HDROP>(message.WParam);
  struct Release {
    HDROP drop;
    ~Release() { DragFinish(drop); }
  } release{drop};
  DroppedFiles(drop);
}

void TDirectoryEdit::DroppedFiles(HDROP drop) {
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  if (count == 0) return;
  for (UINT i = 0; i < count; ++i) {
    char path[kMaxDroppedPath + 1];
    DragQueryFileA(drop, i, path, sizeof path);
    TakeDroppedPath(path);
    if (!multipleDirs_) break;
  }
  if (OnDropFiles) OnDropFiles(this);
}

void TDirectoryEdit::TakeDroppedPath(const AnsiString& fileName) {
  const AnsiString folder = FileExists(fileName) ? ExtractFilePath(fileName) : fileName;
  if (!Text().empty() && multipleDirs_)
    SetText(Text() + ";" + folder);
  else
    SetText(folder);
}
