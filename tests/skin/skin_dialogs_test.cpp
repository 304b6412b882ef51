// The skinned message and input dialogs, run modally on the message loop with
// scripted answers: their layout, keys, Ctrl+C text and returned values.
#include <gtest/gtest.h>

#include <functional>

#include "platform/gui/bitmap.h"
#include "platform/gui/clipboard.h"
#include "platform/gui/form_loader.h"
#include "platform/gui/forms.h"
#include "skin/skin_button.h"
#include "skin/skin_dialogs.h"
#include "skin/skin_edit.h"
#include "skin/skin_form.h"
#include "tests/platform/gui/comp_test_support.h"
#include "tests/skin/pixel_compare.h"

namespace {

// Shows the dialog; script runs once its window is up and queues input. A
// loop the input did not end gives up after five seconds with -1.
int ShowWith(TsuiDialog& dialog, std::function<void(TCustomForm*)> script) {
  TTimer starter(nullptr), watchdog(nullptr);
  starter.SetInterval(1);
  starter.OnTimer = [&](TObject*) {
    TCustomForm* window = Screen->ActiveForm();
    if (!window || !window->Visible()) return;
    starter.SetEnabled(false);
    script(window);
  };
  watchdog.SetInterval(5000);
  watchdog.OnTimer = [](TObject*) {
    if (TCustomForm* window = Screen->ActiveForm()) window->SetModalResult(-1);
  };
  return dialog.ShowModal();
}

// The dialog's buttons in the order they were made (rightmost first).
std::vector<TsuiButton*> Buttons(TCustomForm* window) {
  std::vector<TsuiButton*> buttons;
  for (int i = 0; i < window->ComponentCount(); ++i)
    if (auto* b = dynamic_cast<TsuiButton*>(window->Components(i))) buttons.push_back(b);
  return buttons;
}

TEST(MessageDialog, OneLineWithIconLaysOutBelowTheImage) {
  TsuiMessageDialog dialog(nullptr);
  dialog.SetText("Záloha skončila.");
  dialog.SetIconType(TsuiIconType::suiStop);
  int buttonTop = 0, height = 0, labelLeft = 0, imageWidth = 0;
  EXPECT_EQ(ShowWith(dialog,
                     [&](TCustomForm* w) {
                       auto* msg = static_cast<TfrmMsg*>(w);
                       buttonTop = Buttons(w).at(0)->Top();
                       height = w->Height();
                       labelLeft = msg->lbl->Left();
                       imageWidth = msg->Image1->Width();
                       skintest::ExpectPicture(*skintest::Snapshot(w), "message_dialog_stop");
                       PressKey(VK_RETURN, "\r");
                     }),
            mrOk);
  EXPECT_EQ(buttonTop, 124);
  EXPECT_EQ(height, 179);
  EXPECT_EQ(labelLeft, 88);
  EXPECT_EQ(imageWidth, 42);
}

TEST(MessageDialog, WithoutIconTheWindowNarrowsAndLongTextPushesButtonsDown) {
  TfrmMsg stored(nullptr);
  const int storedWidth = stored.Width();
  TsuiMessageDialog dialog(nullptr);
  dialog.SetText(AnsiString("Tabulka ") + AnsiString(std::string(60, 'x')) + " nebyla zálohována, protože je poškozená a "
                 "server ji odmítl číst.");
  int buttonLeft = 0, buttonTop = 0, labelLeft = 0, labelBottom = 0;
  bool imageVisible = true;
  EXPECT_EQ(ShowWith(dialog,
                     [&](TCustomForm* w) {
                       auto* msg = static_cast<TfrmMsg*>(w);
                       buttonLeft = Buttons(w).at(0)->Left();
                       buttonTop = Buttons(w).at(0)->Top();
                       labelLeft = msg->lbl->Left();
                       labelBottom = msg->lbl->Top() + msg->lbl->Height();
                       imageVisible = msg->Image1->Visible();
                       PressKey(VK_RETURN, "\r");
                     }),
            mrOk);
  EXPECT_EQ(labelLeft, 24);
  EXPECT_FALSE(imageVisible);
  EXPECT_EQ(buttonLeft, storedWidth - 64 - 97);
  EXPECT_GT(labelBottom, 104);
  EXPECT_EQ(buttonTop, labelBottom + 20);
}

TEST(MessageDialog, AWordWiderThanTheLabelIsBrokenToFitAndCopiedWhole) {
  const AnsiString path = "/var/lib/vorbex/zálohy/2026-12-11/účetnictví_databáze_úplná_kopie.sql.gz";
  const AnsiString text = "Soubor " + path + " nelze otevřít.";
  TsuiMessageDialog dialog(nullptr);
  dialog.SetText(text);
  dialog.SetIconType(TsuiIconType::suiWarning);
  AnsiString shown;
  int widest = 0;
  EXPECT_EQ(ShowWith(dialog,
                     [&](TCustomForm* w) {
                       TLabel* label = static_cast<TfrmMsg*>(w)->lbl;
                       shown = label->Caption();
                       TBitmap measure;
                       measure.Canvas()->SetFont(label->Font());
                       RECT r = Rect(0, 0, 225, 0);  // the label's own wrapping
                       DrawTextA(measure.Canvas()->Handle(), shown.c_str(), int(shown.size()), &r,
                                 DT_CALCRECT | DT_WORDBREAK);
                       widest = r.Width();
                       skintest::ExpectPicture(*skintest::Snapshot(w), "message_dialog_long_path");
                       HeadlessKeyDown(VK_CONTROL);
                       PressKey('C');
                       HeadlessKeyUp(VK_CONTROL);
                       PressKey(VK_RETURN, "\r");
                     }),
            mrOk);
  EXPECT_LE(widest, 225);
  AnsiString joined = shown;
  for (size_t at; (at = joined.find("\r\n")) != AnsiString::npos;) joined.erase(at, 2);
  EXPECT_EQ(joined, text);  // only line breaks were added, no character lost
  EXPECT_NE(Clipboard()->AsText().find("\r\n" + text + "\r\n"), std::string::npos);
}

TEST(MessageDialog, ThreeButtonsCtrlCAndKeys) {
  TsuiMessageDialog dialog(nullptr);
  dialog.SetCaption("Vorbex");
  dialog.SetButtonCount(3);
  dialog.SetIconType(TsuiIconType::suiInformation);
  std::vector<std::tuple<std::string, int, bool, bool>> seen;
  bool firstFocused = false;
  AnsiString afterPlainC;
  EXPECT_EQ(ShowWith(dialog,
                     [&](TCustomForm* w) {
                       for (TsuiButton* b : Buttons(w)) {
                         seen.emplace_back(b->Caption(), b->ModalResult(), b->Cancel(), b->Default());
                         if (b->ModalResult() == mrOk) firstFocused = b->Focused();
                       }
                       Clipboard()->SetAsText("untouched");
                       PressKey('C', "c");
                       Application->ProcessMessages();
                       afterPlainC = Clipboard()->AsText();
                       HeadlessKeyDown(VK_CONTROL);
                       HeadlessKeyDown(VK_SHIFT);
                       PressKey('C');
                       HeadlessKeyUp(VK_SHIFT);
                       HeadlessKeyUp(VK_CONTROL);
                       PressKey(VK_ESCAPE, "\x1b");
                     }),
            mrCancel);
  using Seen = std::tuple<std::string, int, bool, bool>;
  EXPECT_EQ(seen, (std::vector<Seen>{{"Cancel", 2, true, false}, {"Cancel", 2, true, false}, {"OK", 1, false, true}}));
  EXPECT_TRUE(firstFocused);
  EXPECT_EQ(afterPlainC, "untouched");
  EXPECT_EQ(Clipboard()->AsText(), "---------------------------\r\nVorbex\r\n---------------------------\r\n"
                                   "Hello world!\r\n---------------------------\r\n"
                                   "Cancel   Cancel   OK\r\n---------------------------");
}

TEST(MessageDialog, OddButtonCountsAndBadTextShowWithoutFault) {
  for (int count : {0, 5}) {
    TsuiMessageDialog dialog(nullptr);
    dialog.SetButtonCount(count);
    dialog.SetText(count ? AnsiString(10000, 'W') : AnsiString());
    size_t made = 0;
    int extraResult = -1;
    EXPECT_EQ(ShowWith(dialog,
                       [&](TCustomForm* w) {
                         made = Buttons(w).size();
                         if (made) extraResult = Buttons(w).front()->ModalResult();
                         w->Close();
                       }),
              mrCancel);
    EXPECT_EQ(made, size_t(count));
    if (count) {
      EXPECT_EQ(extraResult, mrNone);
    }
  }
}

// As a window's stored data configures the dialogs: every published property by
// its name, the fonts through their own properties; the shown window uses them.
TEST(DialogProperties, StoredFormDataSetsEachOne) {
  TForm* form = new TForm(Application);
  TFormLoader load(form);
  auto* msg = load.Create<TsuiMessageDialog>("MessageDialog");
  load.Set(msg, {{"Position", "poDesktopCenter"}, {"Caption", "Vorbex"}, {"UIStyle", "WinXP"},
                 {"ButtonCursor", "-3"}, {"ButtonCount", "3"}, {"Button1Caption", "Ano"}, {"Button2Caption", "Ne"},
                 {"Button3Caption", "Storno"}, {"Button1ModalResult", "6"}, {"Button2ModalResult", "7"},
                 {"Button3ModalResult", "2"}, {"IconType", "suiHelp"}, {"Text", "Přepsat zálohu?"}});
  load.Set(GetObjectProp(msg, "Font"), {{"Name", "DejaVu Serif"}, {"Height", "-13"}, {"Color", "128"}});
  load.Set(GetObjectProp(msg, "CaptionFont"), {{"Name", "DejaVu Sans Mono"}, {"Style", "[fsItalic]"}});
  auto* input = load.Create<TsuiInputDialog>("InputDialog");
  load.Set(input, {{"Position", "poDesigned"}, {"ButtonCursor", "-4"}, {"PromptText", "Maska:"}});
  load.Finish();
  EXPECT_EQ(msg->Position(), poDesktopCenter);
  EXPECT_EQ(msg->CaptionFont()->Name(), "DejaVu Sans Mono");
  EXPECT_EQ(msg->CaptionFont()->Style(), TFontStyles(fsItalic));
  EXPECT_EQ(input->Position(), poDesigned);
  EXPECT_EQ(input->ButtonCursor(), -4);
  using Seen = std::tuple<std::string, int, int>;
  std::vector<Seen> buttons;
  AnsiString labelFont, title;
  int labelHeight = 0;
  EXPECT_EQ(ShowWith(*msg,
                     [&](TCustomForm* w) {
                       for (TsuiButton* b : Buttons(w)) buttons.emplace_back(b->Caption(), b->ModalResult(), b->Cursor());
                       labelFont = static_cast<TfrmMsg*>(w)->lbl->Font()->Name();
                       labelHeight = static_cast<TfrmMsg*>(w)->lbl->Font()->Height();
                       title = static_cast<TfrmMsg*>(w)->suiForm1->Caption();
                       ClickOn(Buttons(w).at(1));
                     }),
            7);
  EXPECT_EQ(buttons, (std::vector<Seen>{{"Storno", 2, -3}, {"Ne", 7, -3}, {"Ano", 6, -3}}));
  EXPECT_EQ(labelFont, "DejaVu Serif");
  EXPECT_EQ(labelHeight, -13);
  EXPECT_EQ(title, "Vorbex");
  form->Free();
}

TEST(InputDialog, OkKeepsTheTypedTextCancelLeavesTheValue) {
  TsuiInputDialog dialog(nullptr);
  dialog.SetValueText("root");
  EXPECT_EQ(ShowWith(dialog,
                     [](TCustomForm*) {
                       PressKey(VK_END);
                       for (char c : std::string("2")) PressKey(0, std::string(1, c));
                       PressKey(VK_RETURN, "\r");
                     }),
            mrOk);
  EXPECT_EQ(dialog.ValueText(), "root2");
  EXPECT_EQ(ShowWith(dialog,
                     [](TCustomForm* w) {
                       static_cast<TfrmInput*>(w)->edt_value->SetText("changed");
                       ClickOn(static_cast<TfrmInput*>(w)->btn2);
                     }),
            mrCancel);
  EXPECT_EQ(dialog.ValueText(), "root2");
  EXPECT_EQ(ShowWith(dialog, [](TCustomForm* w) { w->Close(); }), mrCancel);
  EXPECT_EQ(dialog.ValueText(), "root2");
}

}  // namespace
