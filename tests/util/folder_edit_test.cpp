// The folder dialog (scripted, as without a display) and the folder edit:
// where the dialog starts, what the choice does to the text and InitialDir,
// several folders, the dialog events, read-only and direct input, Alt+Down,
// Enter and Esc for the form's buttons, the minimum height, dropped files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/colors.h"
#include "platform/gui/forms.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/std_controls.h"
#include "platform/gui/drop_files.h"
#include "platform/gui/headless_backend.h"
#include "platform/rtl/message_loop.h"
#include "tests/platform/gui/comp_test_support.h"
#include "util/routines/program_routines.h"
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
    edit->SetDialogKind(dkWin32);  // as the program's boxes: the browse dialog with the prompt
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

  // Another click key takes Alt+Down's place; AlwaysEnableButton lets a
  // read-only box's button act; the button's hint is the box's ButtonHint.
  EXPECT_EQ(edit->ClickKey(), TShortCut(32808));
  edit->SetClickKey(ShortCut(VK_DOWN, ssCtrl));
  HeadlessKeyDown(VK_MENU);
  HeadlessKeyDown(VK_DOWN);
  HeadlessKeyUp(VK_DOWN);
  HeadlessKeyUp(VK_MENU);
  Application->ProcessMessages();
  EXPECT_EQ(clicks, 1);
  edit->SetReadOnly(true);
  edit->SetAlwaysEnableButton(true);
  Answer(Dir("Work"));
  HeadlessKeyDown(VK_CONTROL);
  HeadlessKeyDown(VK_DOWN);
  HeadlessKeyUp(VK_DOWN);
  HeadlessKeyUp(VK_CONTROL);
  Application->ProcessMessages();
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(edit->Text(), Dir("Work"));
  edit->SetButtonHint("Vybrat složku");
  EXPECT_EQ(edit->Button()->Hint(), "Vybrat složku");
}

TEST_F(FolderEdit, EnterAndEscReachTheFormsButtonsAndAZeroWidthButtonIgnoresAltDown) {
  auto* ok = new TButton(form);
  ok->SetParent(form);
  ok->SetBounds(10, 60, 75, 25);
  ok->SetDefault(true);
  auto* cancel = new TButton(form);
  cancel->SetParent(form);
  cancel->SetBounds(100, 60, 75, 25);
  cancel->SetCancel(true);
  std::vector<std::string> pressed;
  ok->OnClick = [&](TObject*) { pressed.push_back("ok"); };
  cancel->OnClick = [&](TObject*) { pressed.push_back("cancel"); };
  edit->SetText(Dir("Work"));
  edit->SetFocus();
  PressKey(VK_RETURN, "\r");
  PressKey(VK_ESCAPE, "\x1b");
  Application->ProcessMessages();
  EXPECT_EQ(pressed, (std::vector<std::string>{"ok", "cancel"}));
  EXPECT_EQ(edit->Text(), Dir("Work"));
  EXPECT_TRUE(edit->Focused());

  int clicks = 0;
  edit->OnButtonClick = [&](TObject*) { ++clicks; };
  edit->SetButtonWidth(0);
  EXPECT_EQ(edit->ButtonWidth(), 0);
  PressKeyWith(VK_MENU, VK_DOWN);
  Application->ProcessMessages();
  EXPECT_EQ(clicks, 0);
  edit->SetButtonWidth(21);
  Answer("");
  PressKeyWith(VK_MENU, VK_DOWN);
  Application->ProcessMessages();
  EXPECT_EQ(clicks, 1);
}

TEST_F(FolderEdit, WithoutDirectInputTypingPasteAndCutAreRefusedButTheButtonWorks) {
  edit->SetText(Dir("Work"));
  edit->SetDirectInput(false);
  edit->SetFocus();
  edit->SelectAll();
  PressKey('X', "x");
  Application->ProcessMessages();
  EXPECT_EQ(edit->Text(), Dir("Work"));
  Clipboard()->SetAsText(Dir("A"));
  edit->PasteFromClipboard();
  edit->SelectAll();
  edit->CutToClipboard();
  EXPECT_EQ(edit->Text(), Dir("Work"));
  EXPECT_EQ(Clipboard()->AsText(), Dir("A"));
  Answer(Dir("Data"));
  edit->HandleButtonClick();
  EXPECT_EQ(edit->Text(), Dir("Data"));

  edit->SetDirectInput(true);
  edit->SelectAll();
  edit->PasteFromClipboard();
  EXPECT_EQ(edit->Text(), Dir("A"));
}

TEST_F(FolderEdit, SeveralFoldersInABoxWithoutTheFocusAreReplacedByTheChoice) {
  // A press on the button focuses the box first; AutoSelect selects the whole text.
  auto* other = new TEdit(form);
  other->SetParent(form);
  other->SetBounds(10, 100, 100, 21);
  other->SetFocus();
  edit->SetMultipleDirs(true);
  edit->SetText(Dir("A"));
  Answer(Dir("B"));
  ClickOn(edit->Button());
  Application->ProcessMessages();
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(edit->Text(), Dir("B"));
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

TEST_F(FolderEdit, TooLowABoxGrowsToTheTextHeightOfItsSmallerFontAndTheButtonFollows) {
  EXPECT_EQ(edit->Height(), 21);  // the program's boxes are not raised
  edit->SetHeight(5);
  const int raised = edit->Height();
  EXPECT_GT(raised, 5);
  EXPECT_LE(raised, 21);
  EXPECT_EQ(edit->Button()->Height(), raised - 4);
  // The smaller of the system font and the box's own counts: a small font lowers the limit.
  edit->Font()->SetSize(5);
  edit->SetHeight(5);
  EXPECT_GT(edit->Height(), 5);
  EXPECT_LT(edit->Height(), raised);
  // Nothing is raised while the form data is read.
  edit->BeginLoading();
  edit->SetHeight(3);
  EXPECT_EQ(edit->Height(), 3);
  edit->EndLoading();
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

TEST(FolderDialog, AConfirmedFolderGivesItsNameAndTheRootKeepsItsDelimiter) {
  TBrowseFolderDlg dialog(nullptr);
  EXPECT_EQ(dialog.Position(), dpScreenCenter);
  for (const auto& [folder, name] : {std::pair<AnsiString, AnsiString>{"/usr/share/", "share"}, {"/", "/"}}) {
    ScriptBrowseFolder([&](TBrowseFolderDlg& d, AnsiString& chosen) {
      EXPECT_EQ(d.DialogWindow(), HWND(0));  // no window without a display
      chosen = folder;
      return true;
    });
    ASSERT_TRUE(dialog.Execute()) << folder;
    EXPECT_EQ(dialog.ItemDisplayName(), name);
  }
  EXPECT_EQ(dialog.FolderName(), "/");
  EXPECT_EQ(ShortToLongPath("/usr/no such/x/"), "/usr/no such/x/");
  EXPECT_EQ(LongToShortPath("/usr/share"), "/usr/share");
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

TEST_F(FolderEdit, TheOwnChooserCreatesANewFolderAsItsOptionsSay) {
  edit->SetDialogKind(dkVCL);
  const struct {
    TSelectDirOpts options;
    int promptAnswer;  // 0: no prompt expected
    bool taken, created;
  } cases[] = {
      {0, 0, false, false},  // a folder that does not exist cannot be chosen
      {sdAllowCreate, 0, true, false},
      {sdAllowCreate | sdPerformCreate, 0, true, true},
      {sdAllowCreate | sdPerformCreate | sdPrompt, IDNO, false, false},
      {sdAllowCreate | sdPerformCreate | sdPrompt, IDYES, true, true},
  };
  int n = 0;
  for (const auto& c : cases) {
    const AnsiString fresh = Dir("Work") + "/nová " + std::to_string(++n);
    edit->SetText("");
    edit->SetDialogOptions(c.options);
    if (c.promptAnswer) ScriptMessageBoxAnswer(c.promptAnswer);
    Answer(fresh);
    edit->HandleButtonClick();
    EXPECT_EQ(edit->Text(), c.taken ? fresh : "") << n;
    EXPECT_EQ(FolderExists(fresh), c.created) << n;
  }
}

TEST_F(FolderEdit, NoErrorBoxesWhileTheDialogIsOpenAndTheOldModeAfter) {
  SetErrorMode(0x0004);
  unsigned during = 0;
  ScriptBrowseFolder([&](TBrowseFolderDlg&, AnsiString&) {
    during = SetErrorMode(0);
    SetErrorMode(during);
    return false;
  });
  edit->HandleButtonClick();
  EXPECT_EQ(during, 0x8001u);
  EXPECT_EQ(SetErrorMode(0x0004), 0x0004u);
  ScriptBrowseFolder([](TBrowseFolderDlg&, AnsiString&) -> bool { throw EInOutError("dialog failed"); });
  EXPECT_THROW(edit->HandleButtonClick(), EInOutError);
  EXPECT_EQ(SetErrorMode(0), 0x0004u);
}

TEST_F(FolderEdit, DroppedFilesPutTheirFolderIntoTheText) {
  const AnsiString zip = Dir("Data") + "/x.zip";
  { std::ofstream(zip.c_str()) << "PK"; }
  int drops = 0;
  edit->OnDropFiles = [&](TObject*) { ++drops; };
  RECT r;
  GetWindowRect(edit->Handle(), &r);
  const POINT onEdit{r.Left + 20, r.Top + 5};
  const POINT onButton{r.Right - 8, r.Top + 8};
  auto drop = [&](POINT at, std::vector<AnsiString> paths) {
    const bool taken = DropFilesAt(at, paths);
    ProcessMessages();
    return taken;
  };

  EXPECT_FALSE(drop(onEdit, {zip}));  // not asked for: nothing arrives
  edit->SetAcceptFiles(true);
  EXPECT_TRUE(drop(onEdit, {zip, Dir("B")}));  // only the first counts
  EXPECT_EQ(edit->Text(), Dir("Data") + "/");
  edit->SetMultipleDirs(true);
  EXPECT_TRUE(drop(onButton, {Dir("A"), Dir("B")}));  // the button is part of the box
  EXPECT_EQ(edit->Text(), Dir("Data") + "/;" + Dir("A") + ";" + Dir("B"));
  EXPECT_EQ(drops, 2);
  edit->SetAcceptFiles(false);
  EXPECT_FALSE(drop(onEdit, {zip}));
}

}  // namespace
