// The folder dialog's own window on a real X server: its tree opens down to
// the folder it starts at, a click on a folder's button reads its
// subfolders, and the keys choose one of them.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/gui/forms.h"
#include "platform/gui/timer.h"
#include "platform/gui/tree_view.h"
#include "platform/gui/window_backend.h"
#include "tests/support/temp_folder.h"
#include "util/components/folder_dialog.h"
#define Time XlibTime
#include "tests/platform/gui/x11_test_support.h"
#undef Time

namespace {

class FolderDialogX11 : public XDisplayTest {};

TEST_F(FolderDialogX11, TheTreeOpensAtTheStartFolderAndAClickAndTheKeysChooseASubfolder) {
  TempFolder tmp;
  for (const char* sub : {"b", "a/deeper"}) std::filesystem::create_directories(tmp.path() / u8"zálohy" / sub);
  const AnsiString start = AnsiString(tmp.path().string()) + "/zálohy";  // the program's own text

  TBrowseFolderDlg dialog(nullptr);
  dialog.SetFolderName(start);
  std::vector<AnsiString> rows, selections;
  dialog.OnSelChanged = [&](TObject*) { selections.push_back(dialog.CurrentSelection()); };
  // Plays the user in the open dialog; on the first failure it cancels it.
  auto play = [&](TForm* form) {
    TTreeView* tree = nullptr;
    for (int i = 0; i < form->ControlCount() && !tree; ++i) tree = dynamic_cast<TTreeView*>(form->Controls(i));
    if (!tree || !tree->Selected()) return false;
    EXPECT_EQ(tree->Selected()->Text(), "zálohy");
    EXPECT_FALSE(tree->Selected()->Expanded());  // not read yet
    // Once the window is on the screen, a click on the folder's button opens
    // it; Down and Enter then choose "a".
    const Window window = GetNativeWindowId(form->Handle());
    if (!PumpUntil([&] {
          XWindowAttributes a{};
          return XGetWindowAttributes(dpy_, window, &a) && a.map_state == IsViewable;
        }))
      return false;
    const int row = tree->ItemIndex();
    const TRect r = tree->ItemRect(row);
    const TPoint p = tree->ClientToScreen(Point(r.Left + tree->Selected()->Level() * 16 + 8, r.Top + r.Height() / 2));
    Click(p.X, p.Y);
    if (!PumpUntil([&] { return tree->Selected()->Expanded(); })) return false;
    for (int i = row + 1; i < tree->Count() && tree->Items()->Strings(i) != "b"; ++i)
      rows.push_back(tree->Items()->Strings(i));
    PostMessage(tree->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    PostMessage(tree->Handle(), WM_KEYDOWN, VK_RETURN, 0);
    return true;
  };
  // The window is mapped once the dialog's loop runs: the play starts from a timer.
  TTimer later(nullptr);
  later.SetEnabled(false);
  later.SetInterval(20);
  later.OnTimer = [&](TObject*) {
    later.SetEnabled(false);
    auto* form = dynamic_cast<TForm*>(TWinControl::FindControl(dialog.DialogWindow()));
    ASSERT_NE(form, nullptr);
    if (!play(form)) {
      ADD_FAILURE() << "the dialog did not answer as expected";
      form->SetModalResult(mrCancel);
    }
  };
  dialog.OnInitialized = [&](TObject*) { later.SetEnabled(true); };
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(rows, std::vector<AnsiString>{"a"});  // "a" closed, its own folder not read
  EXPECT_EQ(dialog.FolderName(), start + "/a");
  EXPECT_EQ(selections, (std::vector<AnsiString>{start, start + "/a"}));
  EXPECT_EQ(dialog.DialogWindow(), HWND(0));
}

}  // namespace
