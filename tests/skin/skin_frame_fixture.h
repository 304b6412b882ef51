// A form framed by TsuiForm for the frame, title bar and menu tests, in a
// built-in style or in the main window's skin, with pixel reads of what the
// window shows.
#pragma once

#include <gtest/gtest.h>

#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/gdi_objects.h"
#include "platform/gui/resources.h"
#include "skin/file_theme.h"
#include "skin/skin_form.h"

namespace skintest {

inline void LoadMainSkin(TsuiBuiltInFileTheme* theme) {
  const ResourceEntry* skin = FindResourceEntry("MAIN_SKIN");
  ASSERT_NE(skin, nullptr);
  theme->SetSkinData(AnsiString(reinterpret_cast<const char*>(skin->data), skin->size));
  ASSERT_TRUE(theme->Ready());
}

class FrameTest : public ::testing::Test {
protected:
  void TearDown() override { Drop(); }
  void Drop() {
    if (form_) form_->Free();
    form_ = nullptr;
    theme_ = nullptr;
    frame_ = nullptr;
  }
  // A shown form of the border style with a frame in the style (FromThemeFile
  // takes theme_, the main skin unless the test made form_ and theme_ with
  // another skin).
  TsuiForm* Frame(TBorderStyle border, TsuiUIStyle style, int width = 300, int height = 200) {
    if (!form_) {
      form_ = new TForm(Application);
      theme_ = new TsuiBuiltInFileTheme(form_);
    }
    form_->SetBorderStyle(border);
    form_->SetBounds(50, 60, width, height);
    form_->SetCaption("Záloha");
    frame_ = new TsuiForm(form_);
    if (style == FromThemeFile && !theme_->Ready()) LoadMainSkin(theme_);
    frame_->SetFileTheme(theme_);
    frame_->SetUIStyle(style);
    form_->Show();
    Application->ProcessMessages();
    return frame_;
  }
  // Window-relative client insets: left, top, right, bottom.
  std::array<int, 4> Insets() const {
    RECT w, c;
    GetWindowRect(form_->Handle(), &w);
    GetClientRect(form_->Handle(), &c);
    POINT o{0, 0};
    ClientToScreen(form_->Handle(), &o);
    return {o.X - w.Left, o.Y - w.Top, w.Right - (o.X + c.Right), w.Bottom - (o.Y + c.Bottom)};
  }
  // A pixel of the window as painted (window coordinates), as 0x00RRGGBB.
  uint32_t Pixel(int x, int y) const {
    UpdateWindow(form_->Handle());
    return GetWindowBackingBitmap(form_->Handle())->Row(y)[x] & 0xFFFFFF;
  }
  static uint32_t Rgb(TColor c) { return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF); }

  TForm* form_ = nullptr;
  TsuiBuiltInFileTheme* theme_ = nullptr;
  TsuiForm* frame_ = nullptr;
};

}  // namespace skintest
