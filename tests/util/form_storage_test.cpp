// Form storage: the main window's ini layout byte for byte after show and
// close, the quoting of values in quotes, the section switch the program
// uses for its table ticks, what an unshown window leaves alone, saving at
// destruction, the minimum track size and the window-placement keys.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "platform/gui/application.h"
#include "platform/gui/edits.h"
#include "platform/gui/type_info.h"
#include "platform/rtl/files.h"
#include "platform/rtl/ini_files.h"
#include "tests/support/file_reader.h"
#include "tests/support/temp_folder.h"
#include "util/components/form_storage.h"
#include "util/routines/registry_file_store.h"
#include "util/routines/registry_readers.h"

namespace {

// Stands in for the exclusion-mask dialog: a component with a ValueText.
class TMaskDialog : public TComponent {
public:
  explicit TMaskDialog(TComponent* owner) : TComponent(owner) {
    RegisterProps<TMaskDialog>("TMaskDialog",
                               {StrProp<TMaskDialog>("ValueText", &TMaskDialog::ValueText, &TMaskDialog::SetValueText)});
  }
  const AnsiString& ValueText() const { return value_; }
  void SetValueText(const AnsiString& v) { value_ = v; }

private:
  AnsiString value_;
};

// The main window's mock-up, with its designed values.
class TForm1 : public TForm {
public:
  // beforeLoad: what the form data sets besides, such as the program's own handlers.
  TForm1(TComponent* owner, const AnsiString& iniFile, std::function<void(TForm1*)> beforeLoad = {})
      : TForm(owner) {
    SetBounds(50, 50, 700, 520);
    work = new TEdit(this);
    work->SetName("suiedit2");
    work->SetParent(this);
    work->SetText("C:\\Zaloha");
    zip = new TEdit(this);
    zip->SetName("label3");
    zip->SetParent(this);
    zip->SetText("C:\\Zip");
    mask = new TMaskDialog(this);
    mask->SetName("suiInputDialog1");
    mask->SetValueText("tmp*");
    storage = new TFormStorage(this);
    storage->SetIniFileName(iniFile);
    storage->SetOptions(0);
    storage->MinMaxInfo()->SetMinTrackWidth(610);
    storage->MinMaxInfo()->SetMinTrackHeight(480);
    TStringList props;
    for (const char* p : {"suiedit2.Text", "label3.Text", "suiInputDialog1.ValueText"}) props.Add(p);
    storage->StoredProps()->Assign(&props);
    if (beforeLoad) beforeLoad(this);
    // What reading the form data does: Loaded chains the storage in.
    BeginLoading();
    EndLoading();
  }
  TEdit* work;
  TEdit* zip;
  TMaskDialog* mask;
  TFormStorage* storage;
};

struct FormStorage : ::testing::Test {
  std::string Ini() const { return (tmp.path() / "vorbex05.ini").string(); }
  std::string Bytes() const { return FileBytes(tmp.path() / "vorbex05.ini"); }
  TempFolder tmp;
};

TEST_F(FormStorage, ShowThenCloseWritesTheMainWindowLayout) {
  std::vector<AnsiString> seenAtShow;
  auto* form = new TForm1(nullptr, Ini(), [&](TForm1* f) {
    f->OnShow = [&seenAtShow, f](TObject*) { seenAtShow.push_back(f->work->Text()); };
  });
  form->Show();
  EXPECT_EQ(seenAtShow, std::vector<AnsiString>{"C:\\Zaloha"});  // first run: designed values stay

  form->work->SetText("  D:\\Prace ");
  form->zip->SetText("");
  form->mask->SetValueText("log*;old*");
  // The program's end button: ticks first, then back to the window's section.
  form->storage->SetIniSection("Checked");
  form->storage->WriteString("users", "True");
  form->storage->WriteString("orders", "False");
  form->storage->SetIniSection("");
  form->Close();
  EXPECT_EQ(Bytes(),
            "[Checked]\r\nusers=True\r\norders=False\r\n"
            "[TForm1]\r\nFormVersion=0\r\nsuiedit2_Text=D:\\Prace\r\nlabel3_Text=\r\n"
            "suiInputDialog1_ValueText=log*;old*\r\n");
  form->Free();
  EXPECT_NE(Bytes().find("[TForm1]"), std::string::npos);  // not saved again at destruction

  auto* again = new TForm1(nullptr, Ini());
  again->Show();
  EXPECT_EQ(again->work->Text(), "D:\\Prace");
  EXPECT_EQ(again->zip->Text(), "");
  EXPECT_EQ(again->mask->ValueText(), "log*;old*");
  again->Free();
}

TEST_F(FormStorage, AWindowReadAgainKeepsOneChainOfHandlers) {
  int ownShows = 0;
  auto* form = new TForm1(nullptr, Ini(), [&](TForm1* f) { f->OnShow = [&](TObject*) { ++ownShows; }; });
  form->BeginLoading();
  form->EndLoading();
  form->Show();
  EXPECT_EQ(ownShows, 1);
  form->Close();  // used to call itself without end
  EXPECT_EQ(TIniFile(Ini()).ReadString("TForm1", "suiedit2_Text", ""), "C:\\Zaloha");
  form->Free();
}

TEST_F(FormStorage, TheRegistryModeKeepsTheSameValuesBelowTheKey) {
  setenv("XDG_CONFIG_HOME", tmp.path().c_str(), 1);
  const AnsiString key = "Software\\Vorbex\\Test";
  auto* form = new TForm1(nullptr, key, [](TForm1* f) { f->storage->SetUseRegistry(true); });
  form->Show();  // reading creates nothing
  EXPECT_FALSE(FileRegistryStore().KeyExists(rkCurrentUser, u"Software\\Vorbex"));
  form->work->SetText("\"D:\\Práce\"");
  form->storage->WriteString("Vsechny", "True");
  form->Close();
  EXPECT_EQ(ReadRegistryText(rkCurrentUser, key + "\\TForm1", "suiedit2_Text"), "\"D:\\Práce\"");  // no quoting added
  EXPECT_EQ(ReadRegistryText(rkCurrentUser, key + "\\TForm1", "Vsechny"), "True");
  std::int32_t version = -1;
  ASSERT_TRUE(ReadRegistryInteger(rkCurrentUser, key + "\\TForm1", "FormVersion", false, version));
  EXPECT_EQ(version, 0);
  form->Free();
  EXPECT_FALSE(FileExists(Ini()));  // no ini file at all

  auto* again = new TForm1(nullptr, key, [](TForm1* f) { f->storage->SetUseRegistry(true); });
  again->Show();
  EXPECT_EQ(again->work->Text(), "\"D:\\Práce\"");
  EXPECT_EQ(again->mask->ValueText(), "tmp*");
  again->Free();
  unsetenv("XDG_CONFIG_HOME");
}

TEST_F(FormStorage, ValuesInQuotesSurviveTheIniFile) {
  auto* form = new TForm1(nullptr, Ini());
  TFormStorage* s = form->storage;
  s->WriteString("Vsechny", "True");  // no section set: the window's own
  s->WriteString("dq", "\"abc\"");
  s->WriteString("sq", "'x'");
  s->WriteString("one", "\"");
  s->WriteString("empty", "");
  EXPECT_EQ(Bytes(), "[TForm1]\r\nVsechny=True\r\ndq=\"\"abc\"\"\r\nsq=\"'x'\"\r\none=\"\"\"\r\nempty=\r\n");
  EXPECT_EQ(s->ReadString("dq", ""), "\"abc\"");
  EXPECT_EQ(s->ReadString("sq", ""), "'x'");
  EXPECT_EQ(s->ReadString("one", ""), "\"");
  EXPECT_EQ(s->ReadString("missing", "dflt"), "dflt");
  s->SetIniSection("Checked");
  s->WriteString("Vsechny", "False");
  EXPECT_EQ(TIniFile(Ini()).ReadString("Checked", "Vsechny", ""), "False");
  EXPECT_EQ(TIniFile(Ini()).ReadString("TForm1", "Vsechny", ""), "True");
  form->Free();
}

TEST_F(FormStorage, AWindowNeverShownSavesNothingAndOneShownButNotClosedSavesAtDestruction) {
  (new TForm1(nullptr, Ini()))->Free();
  EXPECT_FALSE(std::filesystem::exists(Ini()));

  auto* form = new TForm1(nullptr, Ini());
  form->Show();
  form->mask->SetValueText("bak*");
  form->Free();
  EXPECT_EQ(TIniFile(Ini()).ReadString("TForm1", "suiInputDialog1_ValueText", ""), "bak*");
}

TEST_F(FormStorage, AVersionAboveTheStoredOneKeepsTheDesignedValues) {
  TIniFile(Ini()).WriteString("TForm1", "suiedit2_Text", "D:\\Old");
  auto* form = new TForm1(nullptr, Ini());
  form->storage->SetVersion(1);
  form->Show();
  EXPECT_EQ(form->work->Text(), "C:\\Zaloha");
  form->Close();
  EXPECT_EQ(TIniFile(Ini()).ReadString("TForm1", "FormVersion", ""), "1");
  form->Free();
}

TEST_F(FormStorage, TheWindowCannotBeMadeSmallerThanItsMinimumTrackSize) {
  auto* form = new TForm1(nullptr, Ini());
  form->Show();
  form->SetBounds(10, 10, 300, 200);
  EXPECT_EQ(form->Width(), 610);
  EXPECT_EQ(form->Height(), 480);
  form->SetBounds(10, 10, 800, 600);
  EXPECT_EQ(form->Width(), 800);
  form->SetWindowState(wsMaximized);  // the maximized size stays the screen's
  EXPECT_GT(form->Width(), 800);
  form->Free();
}

TEST_F(FormStorage, PreventResizeHoldsTheSizeAndTakesTheMaximizeButton) {
  auto* form = new TForm1(nullptr, Ini());
  form->Show();
  form->SetBounds(10, 10, 700, 520);
  form->storage->SetPreventResize(true);
  EXPECT_FALSE(form->BorderIcons() & biMaximize);
  form->SetBounds(10, 10, 900, 600);
  EXPECT_EQ(form->Width(), 700);
  EXPECT_EQ(SendMessageA(form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(10 + 699, 10 + 300)), LRESULT(HTNOWHERE));
  form->storage->SetPreventResize(false);
  EXPECT_TRUE(form->BorderIcons() & biMaximize);
  form->Free();
}

TEST_F(FormStorage, PlacementKeysRestoreTheWindowOnAScreenOfTheSameSize) {
  auto* form = new TForm1(nullptr, Ini());
  form->storage->SetOptions(fpState | fpPosition);
  form->Show();
  form->SetBounds(40, 30, 640, 500);
  form->Close();
  TIniFile ini(Ini());
  const std::vector<AnsiString> keys = ini.SectionKeys("TForm1");
  const std::vector<AnsiString> head(keys.begin(), keys.begin() + 9);
  const AnsiString sized = "NormPos(" + std::to_string(Screen->Width()) + "x" + std::to_string(Screen->Height()) + ")";
  EXPECT_EQ(head, (std::vector<AnsiString>{"FormVersion", "Flags", "ShowCmd", "PixelsPerInch",
                                           "MinMaxPos(" + sized.substr(8), "MinMaxPos", sized, "NormPos",
                                           "Visible"}));
  EXPECT_EQ(ini.ReadString("TForm1", "Visible", ""), "0");
  form->Free();

  ini.WriteString("TForm1", "NormPos", "1,2,3,4");  // only for other screens
  const AnsiString minMax = "MinMaxPos(" + sized.substr(8);
  ini.WriteString("TForm1", minMax, "5,6,-3,-3");
  auto* again = new TForm1(nullptr, Ini());
  again->storage->SetOptions(fpState | fpPosition);
  again->Show();
  EXPECT_EQ(again->Left(), 40);
  EXPECT_EQ(again->Width(), 640);
  // The minimised and maximised positions stay in the window's record and go back to the file.
  WINDOWPLACEMENT wp;
  ASSERT_TRUE(GetWindowPlacement(again->Handle(), &wp));
  EXPECT_EQ(wp.ptMinPosition.X, 5);
  EXPECT_EQ(wp.ptMinPosition.Y, 6);
  again->Close();
  EXPECT_EQ(TIniFile(Ini()).ReadString("TForm1", minMax, "").substr(0, 4), "5,6,");
  again->Free();
}

TEST(FormStorageNames, TheDefaultFileIsTheProgramPathWithIni) {
  TForm* form = new TForm(nullptr);
  auto* s = new TFormStorage(form);
  EXPECT_EQ(s->IniFileName(), ParamStr(0) + ".ini");
  EXPECT_EQ(s->IniSection(), "TForm");
  EXPECT_EQ(s->Options(), unsigned(fpState | fpPosition));
  form->Free();
}

}  // namespace
