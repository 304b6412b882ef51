// The folder dialog (scripted, as without a display) and the folder edit:
// where the dialog starts, what the choice does to the text and InitialDir,
// several folders, the dialog events, read-only and direct input, Alt+Down.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/colors.h"
#include "platform/gui/forms.h"
#include "platform/gui/headless_backend.h"
#include "tests/support/temp_folder.h"
#include "util/components/folder_dialog.h"
#include "util/components/folder_edit.h"

namespace {

struct FolderEdit : ::testing::Test {
  void SetUp() override {
    for (const char* d : {"Data", "Work", "A", "B"}) std::filesystem::create_directory(tmp.path() / d);
    form = new TForm(nullptr);
    form->SetBounds(100, 100, 400, 200);
    edit = new TDirectoryEdit(form);
    edit->SetParent(form);
    edit->SetBounds(10, 10, 271, 21);
    edit->SetDialogText("Pracovní složka");
    form->Show();
  }
  void TearDown() override { form->Free(); }
  AnsiString Dir(const char* name) const { return (tmp.path() / name).string(); }
  // Scripts the next dialog to choose `folder` (Cancel when empty) and
  // records where it started.
  void Answer(const AnsiString& folder) {
    ScriptBrowseFolder([this, folder](TBrowseFolderDlg& d, AnsiString& chosen) {
      started.push_back(d.CurrentSelection());
      prompts.push_back(d.DialogText());
      if (folder.empty()) return false;
      chosen = folder;
      return true;
    });
  }

  TempFolder tmp;
  TForm* form = nullptr;
  TDirectoryEdit* edit = nullptr;
  std::vector<AnsiString> started, prompts;
};

TEST_F(FolderEdit, TheDialogStartsAtTheTextOrInitialDirOrTheRoot) {
  Answer(Dir("Data") + "/");  // a trailing delimiter is dropped
  edit->HandleButtonClick();
  EXPECT_EQ(edit->Text(), Dir("Data"));
  EXPECT_EQ(edit->InitialDir(), Dir("Data"));

  edit->SetText(Dir("Work"));
  Answer("");  // Cancel
  edit->HandleButtonClick();
  EXPECT_EQ(edit->Text(), Dir("Work"));

  edit->SetText("");
  edit->SetInitialDir(Dir("Gone"));
  Answer("");
  edit->HandleButtonClick();
  EXPECT_EQ(started, (std::vector<AnsiString>{"/", Dir("Work"), "/"}));
  EXPECT_EQ(prompts.front(), "Pracovní složka");
  EXPECT_EQ(edit->InitialDir(), Dir("Gone"));  // unchanged by a cancelled dialog

  Answer("/");  // the root keeps its delimiter
  edit->HandleButtonClick();
  EXPECT_EQ(edit->Text(), "/");
}

TEST_F(FolderEdit, SeveralFoldersAreJoinedAndOfferedAsTheRoot) {
  edit->SetMultipleDirs(true);
  edit->SetText(Dir("A"));
  edit->SetFocus();
  edit->SetSelStart(int(edit->Text().size()));
  Answer(Dir("B"));
  edit->HandleButtonClick();
  EXPECT_EQ(edit->Text(), Dir("A") + ";" + Dir("B"));
  EXPECT_EQ(edit->InitialDir(), Dir("B"));
  Answer("");
  edit->HandleButtonClick();
  EXPECT_EQ(started, (std::vector<AnsiString>{Dir("A"), "/"}));
}

TEST_F(FolderEdit, TheDialogEventsCanStopOrSeeTheChoice) {
  std::vector<std::string> log;
  edit->OnBeforeDialog = [&](TObject*, AnsiString&, bool& action) {
    log.push_back("before");
    action = log.size() > 1;
  };
  edit->OnAfterDialog = [&](TObject*, AnsiString& name, bool& action) {
    log.push_back(std::string("after ") + (action ? "ok " : "cancel ") + name);
  };
  edit->HandleButtonClick();  // stopped before the dialog: no script used
  Answer("");
  edit->HandleButtonClick();
  EXPECT_EQ(log, (std::vector<std::string>{"before", "before", "after cancel /"}));
  EXPECT_EQ(edit->Text(), "");
}

TEST_F(FolderEdit, ReadOnlyKeepsTheButtonQuietAndAltDownOpensTheDialog) {
  edit->SetReadOnly(true);
  int clicks = 0;
  edit->OnButtonClick = [&](TObject*) { ++clicks; };
  edit->HandleButtonClick();
  EXPECT_EQ(clicks, 0);

  edit->SetReadOnly(false);
  edit->SetDirectInput(false);  // no typing, but the button works
  EXPECT_TRUE(edit->TCustomEdit::ReadOnly());
  Answer(Dir("Data"));
  edit->SetFocus();
  HeadlessKeyDown(VK_MENU);
  HeadlessKeyDown(VK_DOWN);
  HeadlessKeyUp(VK_DOWN);
  HeadlessKeyUp(VK_MENU);
  Application->ProcessMessages();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(edit->Text(), Dir("Data"));
}

TEST_F(FolderEdit, AClickOnTheButtonFocusesTheBoxAndChoosesAFolder) {
  TUtlEditButton* button = edit->Button();
  EXPECT_EQ(button->Parent()->Parent(), edit);
  EXPECT_EQ(button->Parent()->BoundsRect(), Rect(271 - 21 - 2, 2, 271 - 2, 21 - 2));
  EXPECT_EQ(button->Height(), 17);
  EXPECT_FALSE(button->Glyph()->Empty());
  Answer(Dir("Work"));
  const TPoint p = button->ClientToScreen(Point(10, 8));
  HeadlessClick(p.X, p.Y);
  Application->ProcessMessages();
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(edit->Text(), Dir("Work"));

  edit->SetEnabled(false);
  EXPECT_FALSE(button->Enabled());
}

TEST_F(FolderEdit, TheButtonPictureFollowsItsKind) {
  EXPECT_EQ(edit->GlyphKind(), gkDefault);
  EXPECT_EQ(edit->Glyph()->Width(), 14);

  // Three dots fitted to the 21-pixel button: 15 wide, gaps of 3, from x = 1.
  edit->SetGlyphKind(gkEllipsis);
  TBitmap* dots = edit->Glyph();
  ASSERT_EQ(dots->Width(), 15);
  for (int x = 0; x < 15; ++x) {
    const bool inDot = (x >= 1 && x < 3) || (x >= 6 && x < 8) || (x >= 11 && x < 13);
    EXPECT_EQ(dots->Canvas()->Pixels(x, 1) == clBlack, inDot) << x;
  }
  edit->SetNumGlyphs(3);
  EXPECT_EQ(edit->NumGlyphs(), 1);

  edit->SetGlyphKind(gkDropDown);
  EXPECT_EQ(edit->ButtonWidth(), GetSystemMetrics(SM_CXVSCROLL));

  TBitmap own;
  own.SetSize(32, 16);
  edit->SetGlyph(&own);
  EXPECT_EQ(edit->GlyphKind(), gkCustom);
  EXPECT_EQ(edit->NumGlyphs(), 2);
  edit->SetNumGlyphs(1);
  EXPECT_EQ(edit->NumGlyphs(), 1);
}

TEST(FolderDialog, WithoutADisplayOrScriptItIsCancelled) {
  TBrowseFolderDlg dialog(nullptr);
  dialog.SetFolderName("/tmp");
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog.FolderName(), "/tmp");

  ScriptBrowseFolder([](TBrowseFolderDlg&, AnsiString& chosen) {
    chosen = "/no/such/folder";  // OK is never enabled there
    return true;
  });
  EXPECT_FALSE(dialog.Execute());
}

}  // namespace
