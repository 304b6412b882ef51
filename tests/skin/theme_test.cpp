// The theme components: style resolution, the getters' defaults, reloading
// by file name and password, the skin carried in form data and the theme
// manager with its list of controls.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/type_info.h"
#include "platform/rtl/streams.h"
#include "skin/file_theme.h"
#include "skin/theme_manager.h"
#include "tests/skin/skin_fixtures.h"

using namespace skintest;

namespace {

TEST(ResolveStyle, PicksTheThemeOnlyForFromThemeFileWithAReadyTheme) {
  TsuiFileTheme ready(nullptr), notReady(nullptr);
  ready.SetThemeFile(kMainSkin);
  ASSERT_TRUE(ready.Ready());
  struct Case {
    const TsuiFileTheme* theme;
    TsuiUIStyle uiStyle;
    bool fromTheme;
    TsuiUIStyle builtIn;
  } cases[] = {
      {nullptr, FromThemeFile, false, DeepBlue}, {&notReady, FromThemeFile, false, DeepBlue},
      {&ready, FromThemeFile, true, FromThemeFile}, {&ready, WinXP, false, WinXP},
      {nullptr, MacOS, false, MacOS},
  };
  for (const Case& c : cases) {
    TsuiUIStyle style = Protein;
    EXPECT_EQ(TsuiFileTheme::ResolveStyle(c.theme, c.uiStyle, style), c.fromTheme);
    EXPECT_EQ(style, c.builtIn);
  }
}

TEST(FileTheme, GettersAnswerDefaultsWithoutAndWithASkin) {
  TsuiFileTheme never(nullptr);
  EXPECT_EQ(never.GetColor(2), 0);  // black: the form colour of a theme that never loaded
  EXPECT_EQ(never.GetBitmap(0), nullptr);
  EXPECT_EQ(never.GetInteger(0), 0);
  EXPECT_FALSE(never.GetBool(1));

  TsuiFileTheme main(nullptr);
  main.SetThemeFile(kMainSkin);
  ASSERT_TRUE(main.Ready());
  EXPECT_EQ(main.GetColor(2), 0xFFFFFF);
  EXPECT_EQ(main.GetColor(3), 0x567530);  // RGB 48, 117, 86 of the menu bar
  EXPECT_EQ(main.GetBitmap(3), nullptr);  // SKIN2_TITLEBAR4 is left out of the main skin
  EXPECT_EQ(main.GetInteger(2), 8);
  EXPECT_TRUE(main.GetBool(1));
  EXPECT_EQ(main.GetBitmap(11)->Width(), 306);
  // Numbers beyond a family reach other families' names, which the list asked lacks.
  EXPECT_EQ(main.GetColor(40), -1);
  EXPECT_EQ(main.GetColor(128 + 2), 0xFFFFFF);  // only the low 7 bits count
}

TEST(FileTheme, BitmapFramesAndAbsentKeys) {
  TsuiFileTheme theme(nullptr);
  theme.SetThemeFile(kMainSkin);
  TBitmap dest;
  theme.GetBitmapFrame(11, &dest, 18, 18);
  EXPECT_EQ(dest.Width(), 17);
  EXPECT_EQ(dest.Height(), 17);
  theme.GetBitmapFrame(11, &dest, 0, 5);
  EXPECT_EQ(dest.Width(), 306);
  theme.GetBitmapFrame(14, &dest, 3, 1);  // SKIN2_TOOLBAR: not in the skin
  EXPECT_TRUE(dest.Empty());
}

TEST(FileTheme, AFileFoundNowhereKeepsTheSkinAndAnEmptyPasswordDoesNotReload) {
  TempFolder dir;
  TsuiFileTheme theme(nullptr);
  theme.SetThemeFile(kMainSkin);
  theme.SetThemeFile(dir / "no-such.ssk");
  EXPECT_TRUE(theme.Ready());
  EXPECT_EQ(theme.ThemeFile(), kMainSkin);

  const std::string locked = MakeSkin(dir, "locked", "SKIN2_FORMCOLOR integer 5\n", "pw");
  theme.SetThemeFile(locked);
  EXPECT_FALSE(theme.Ready());
  EXPECT_EQ(theme.GetColor(2), 0);
  theme.SetPassword("");
  EXPECT_FALSE(theme.Ready());
  theme.SetPassword("pw");  // a password reloads the current file
  EXPECT_TRUE(theme.Ready());
  EXPECT_EQ(theme.GetColor(2), 5);
}

class SkinDataTest : public ::testing::Test {
protected:
  void TearDown() override { unsetenv("TMPDIR"); }
  TempFolder dir_;
};

TEST_F(SkinDataTest, TheSkinInFormDataLoadsAndLeavesNoFile) {
  setenv("TMPDIR", dir_.name().c_str(), 1);
  TsuiBuiltInFileTheme theme(nullptr);
  theme.SetSkinData(FileBytes(kMainSkin));
  EXPECT_TRUE(theme.Ready());
  EXPECT_EQ(theme.GetColor(2), 0xFFFFFF);
  EXPECT_TRUE(std::filesystem::is_empty(dir_.name()));
  EXPECT_FALSE(theme.SkinDataStored());  // no design-time file to copy back
}

TEST_F(SkinDataTest, ASaveThatKeepsFailingLeavesTheThemeNotReady) {
  TsuiBuiltInFileTheme theme(nullptr);
  theme.SetSkinData(FileBytes(kMainSkin));
  ASSERT_TRUE(theme.Ready());
  setenv("TMPDIR", (dir_ / "missing/folder").c_str(), 1);
  theme.SetSkinData(FileBytes(kMainSkin));
  EXPECT_FALSE(theme.Ready());
  EXPECT_EQ(theme.GetColor(2), 0);
}

TEST_F(SkinDataTest, DesignTimeFileIsWrittenBack) {
  TsuiBuiltInFileTheme theme(nullptr);
  theme.SetThemeFile(kMainSkin);
  ASSERT_TRUE(theme.SkinDataStored());
  TStringStream out;
  theme.WriteSkinData(&out);
  EXPECT_EQ(out.DataString(), FileBytes(kMainSkin));
}

// A control with the two published properties the manager sets.
class TProbeControl : public TComponent {
public:
  explicit TProbeControl(TComponent* owner) : TComponent(owner) {
    static const bool registered = [] {
      RegisterProps<TProbeControl>(
          "TProbeControl",
          {EnumProp("UIStyle", UIStyleNames(), &TProbeControl::UIStyle, &TProbeControl::SetUIStyle),
           RefProp("FileTheme", &TProbeControl::FileTheme, &TProbeControl::SetFileTheme)});
      return true;
    }();
    (void)registered;
  }
  TsuiUIStyle UIStyle() const { return style_; }
  void SetUIStyle(TsuiUIStyle s) { style_ = s; }
  TsuiFileTheme* FileTheme() const { return theme_; }
  void SetFileTheme(TsuiFileTheme* t) {
    theme_ = t;
    if (OnFileTheme) OnFileTheme(t);
  }
  std::function<void(TsuiFileTheme*)> OnFileTheme;

private:
  TsuiUIStyle style_ = MacOS;
  TsuiFileTheme* theme_ = nullptr;
};

// A skinned control as the theme sees it: a "Tsui" class with FileTheme.
class TsuiButton : public TProbeControl {
public:
  using TProbeControl::TProbeControl;
};

TEST(FileTheme, LoadingASkinMakesItsControlsReloadTheirPictures) {
  TForm* form = new TForm(nullptr);
  auto* theme = new TsuiFileTheme(form);
  auto* skinned = new TsuiButton(form);
  auto* other = new TProbeControl(form);  // not a skinned class: left alone
  skinned->SetFileTheme(theme);
  other->SetFileTheme(theme);
  std::vector<TsuiFileTheme*> seen;
  skinned->OnFileTheme = [&](TsuiFileTheme* t) { seen.push_back(t); };
  other->OnFileTheme = [&](TsuiFileTheme*) { ADD_FAILURE(); };
  theme->SetThemeFile(kMainSkin);
  EXPECT_EQ(seen, (std::vector<TsuiFileTheme*>{nullptr, theme}));
  form->Free();
}

class ThemeManagerTest : public ::testing::Test {
protected:
  ThemeManagerTest() : form_(new TForm(nullptr)) {
    theme_ = new TsuiBuiltInFileTheme(form_);
    theme_->SetName("suiBuiltInFileTheme1");
    a_ = new TProbeControl(form_);
    a_->SetName("suiButton1");
    b_ = new TProbeControl(form_);
    b_->SetName("suiMemo1");
    plain_ = new TComponent(form_);
    plain_->SetName("Timer1");
    manager_ = new TsuiThemeManager(form_);
    manager_->SetName("suiThemeManager1");
    for (const char* name : {"suiButton1", "Timer1", "nobody", "suiMemo1"}) manager_->CompList()->Add(name);
  }
  ~ThemeManagerTest() override { form_->Free(); }

  TForm* form_;
  TsuiFileTheme* theme_;
  TProbeControl *a_, *b_;
  TComponent* plain_;
  TsuiThemeManager* manager_;
};

TEST_F(ThemeManagerTest, HandsStyleAndThemeToTheListedControls) {
  int changes = 0;
  manager_->OnUIStyleChanged = [&](TObject* sender) {
    EXPECT_EQ(sender, manager_);
    ++changes;
  };
  manager_->SetFileTheme(theme_);
  EXPECT_EQ(changes, 0);  // the same style again: no event
  EXPECT_EQ(a_->FileTheme(), theme_);
  EXPECT_EQ(a_->UIStyle(), DeepBlue);
  manager_->SetUIStyle(FromThemeFile);
  manager_->SetUIStyle(FromThemeFile);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(b_->UIStyle(), FromThemeFile);
  EXPECT_EQ(b_->FileTheme(), theme_);
}

TEST_F(ThemeManagerTest, RemovingAListedControlDropsItsName) {
  b_->Free();
  ASSERT_EQ(manager_->CompList()->Count(), 3);
  EXPECT_EQ(manager_->CompList()->IndexOf("suiMemo1"), -1);
  plain_->Free();
  EXPECT_EQ(manager_->CompList()->Count(), 2);
}

TEST_F(ThemeManagerTest, RemovingTheFileThemeFallsBackToDeepBlue) {
  manager_->SetFileTheme(theme_);
  manager_->SetUIStyle(FromThemeFile);
  theme_->Free();
  EXPECT_EQ(manager_->FileTheme(), nullptr);
  EXPECT_EQ(manager_->UIStyle(), DeepBlue);
  EXPECT_EQ(a_->UIStyle(), FromThemeFile);  // controls are not updated by the removal
}

TEST_F(ThemeManagerTest, PublishedPropertiesReachTheManager) {
  SetEnumProp(manager_, "UIStyle", "WinXP");
  SetObjectProp(manager_, "FileTheme", theme_);
  EXPECT_EQ(a_->UIStyle(), WinXP);
  EXPECT_EQ(a_->FileTheme(), theme_);
  EXPECT_EQ(GetStrProp(theme_, "Password"), "");
}

}  // namespace
