// The skin pictures' transparent key colour (pure magenta) never shows: a
// framed form holding every skinned control, in each built-in style and in
// the main skin, sizeable and as a dialog, is searched pixel by pixel.
#include <gtest/gtest.h>

#include "platform/gui/forms.h"
#include "skin/db_navigator.h"
#include "skin/skin_button.h"
#include "skin/skin_check_list.h"
#include "skin/skin_edit.h"
#include "skin/skin_progress_bar.h"
#include "skin/skin_scroll_bar.h"
#include "skin/skin_tool_bar.h"
#include "skin/track_bar.h"
#include "tests/skin/pixel_compare.h"
#include "tests/skin/skin_frame_fixture.h"

namespace {

class KeyColourTest : public skintest::FrameTest, public ::testing::WithParamInterface<TsuiUIStyle> {
protected:
  template <class T>
  T* Add(int left, int top, int width, int height) {
    auto* c = new T(form_);
    c->SetParent(form_);
    c->SetBounds(left, top, width, height);
    if constexpr (requires { c->SetFileTheme(theme_); }) c->SetFileTheme(theme_);
    c->SetUIStyle(GetParam());
    return c;
  }
  void AddEveryControl() {
    Add<TsuiButton>(10, 70, 80, 27)->SetCaption("OK");
    Add<TsuiDBNavigator>(100, 70, 250, 30);
    Add<TsuiProgressBar>(10, 110, 150, 20)->SetPosition(50);
    Add<TsuiScrollBar>(170, 110, 150, 17);
    Add<TsuiTrackBar>(10, 140, 150, 30);
    Add<TsuiCheckListBox>(170, 140, 100, 60)->Items()->Add("Tabulky");
    auto* memo = Add<TsuiMemo>(10, 180, 150, 60);
    memo->SetWordWrap(false);
    memo->Lines()->Add("Protokol zálohy do /var/lib/vorbex/zálohy/účetnictví.sql.gz");
    memo->SetHScrollBar(Add<TsuiScrollBar>(0, 0, 100, 17));
    Add<TsuiEdit>(280, 140, 100, 21)->SetText("Záloha");
    Add<TsuiToolBar>(10, 250, 300, 26);
    Application->ProcessMessages();
  }
};

TEST_P(KeyColourTest, NoControlOrFrameShowsIt) {
  for (TBorderStyle border : {bsSizeable, bsDialog}) {
    Frame(border, GetParam(), 420, 340);
    AddEveryControl();
    UpdateWindow(form_->Handle());
    EXPECT_EQ(skintest::FirstKeyPixel(*GetWindowBackingBitmap(form_->Handle())), "none") << "border style " << int(border);
    Drop();
  }
}

INSTANTIATE_TEST_SUITE_P(EveryStyle, KeyColourTest,
                         ::testing::Values(FromThemeFile, MacOS, WinXP, DeepBlue, Protein, BlueGlass),
                         [](const auto& info) { return UIStyleNames().at(info.param).c_str(); });

}  // namespace
