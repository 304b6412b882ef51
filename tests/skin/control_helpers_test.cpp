// The helpers that work on controls: a parent's background under a control,
// bounds, the edit border, active forms and handing a theme to a frame's
// children. Headless windows.
#include <gtest/gtest.h>

#include "platform/gui/bitmap.h"
#include "platform/gui/edits.h"
#include "platform/gui/forms.h"
#include "platform/gui/gdi.h"
#include "platform/gui/headless_backend.h"
#include "platform/gui/std_controls.h"
#include "platform/gui/type_info.h"
#include "platform/gui/user.h"
#include "skin/draw_helpers.h"
#include "skin/file_theme.h"

namespace {

constexpr TColor kFaceRed = 0x0000FF, kFaceWhite = 0xFFFFFF;

TEST(ControlHelpers, ParentBackgroundShowsUnderTheControl) {
  TForm* form = new TForm(nullptr);
  form->SetBounds(0, 0, 200, 100);
  auto* parent = new TPanel(form);
  parent->SetParent(form);
  parent->SetBounds(0, 0, 100, 60);
  parent->SetColor(kFaceRed);
  auto* child = new TPanel(form);
  child->SetParent(parent);
  SetControlBounds(child, Rect(10, 20, 40, 50));
  EXPECT_EQ(child->Left(), 10);
  EXPECT_EQ(child->Height(), 30);
  SetControlPos(child, Point(12, 22));
  EXPECT_EQ(child->Top(), 22);

  TBitmap canvas;
  canvas.SetSize(30, 30);
  canvas.Canvas()->Brush()->SetColor(kFaceWhite);
  canvas.Canvas()->FillRect(Rect(0, 0, 30, 30));
  DrawParentBackground(canvas.Canvas(), child);
  EXPECT_EQ(canvas.Canvas()->Pixels(15, 15), kFaceRed);
  DrawParentBackground(canvas.Canvas(), form);  // no parent: nothing
  form->Free();
}

TEST(ControlHelpers, EditBorderFramesTheWholeWindow) {
  TForm* form = new TForm(nullptr);
  form->SetBounds(0, 0, 200, 100);
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetBounds(10, 10, 80, 22);
  form->Show();
  DrawEditBorder(edit, kFaceRed, 0x00FF00, true);
  // What the screen shows at the edit's window rectangle.
  RECT r{};
  GetWindowRect(edit->Handle(), &r);
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP screen = HeadlessScreenImage();
  HGDIOBJ old = SelectObject(dc, screen);
  EXPECT_EQ(GetPixel(dc, r.Left, r.Top), COLORREF(kFaceRed));
  EXPECT_EQ(GetPixel(dc, r.Right - 1, r.Bottom - 1), COLORREF(kFaceRed));
  EXPECT_EQ(GetPixel(dc, r.Left + 1, r.Top + 1), COLORREF(0x00FF00));
  SelectObject(dc, old);
  DeleteObject(screen);
  DeleteDC(dc);
  form->Free();
}

// A child with the two published properties ApplyThemeToChildren sets.
class TThemedPanel : public TPanel {
public:
  explicit TThemedPanel(TComponent* owner) : TPanel(owner) {
    static const bool registered = [] {
      RegisterProps<TThemedPanel>(
          "TThemedPanel", {EnumProp("UIStyle", UIStyleNames(), &TThemedPanel::UIStyle, &TThemedPanel::SetUIStyle),
                           RefProp("FileTheme", &TThemedPanel::FileTheme, &TThemedPanel::SetFileTheme)});
      return true;
    }();
    (void)registered;
  }
  TsuiUIStyle UIStyle() const { return style_; }
  void SetUIStyle(TsuiUIStyle s) {
    style_ = s;
    themeWhenStyled_ = theme_;
  }
  TsuiFileTheme* FileTheme() const { return theme_; }
  void SetFileTheme(TsuiFileTheme* t) { theme_ = t; }
  TsuiFileTheme* themeWhenStyled_ = nullptr;

private:
  TsuiUIStyle style_ = MacOS;
  TsuiFileTheme* theme_ = nullptr;
};

TEST(ControlHelpers, ThemeGoesToDirectChildrenWithBothProperties) {
  TForm* form = new TForm(nullptr);
  auto* frame = new TPanel(form);
  frame->SetParent(form);
  auto* direct = new TThemedPanel(form);
  direct->SetParent(frame);
  auto* nested = new TThemedPanel(form);
  nested->SetParent(direct);
  (new TPanel(form))->SetParent(frame);  // without the properties: passed over
  auto* theme = new TsuiFileTheme(form);
  ApplyThemeToChildren(frame, WinXP, theme);
  EXPECT_EQ(direct->UIStyle(), WinXP);
  EXPECT_EQ(direct->themeWhenStyled_, theme);  // the theme is set first
  EXPECT_EQ(nested->UIStyle(), MacOS);
  EXPECT_TRUE(HasPublishedProperty(direct, "FileTheme"));
  EXPECT_FALSE(HasPublishedProperty(frame, "FileTheme"));
  form->Free();
}

TEST(ControlHelpers, WithoutAMainFormAFormAnswersForItself) {
  TForm* form = new TForm(nullptr);
  EXPECT_EQ(IsFormActive(form), form->Active());
  EXPECT_FALSE(IsFormActive(nullptr));
  const TRect area = GetWorkAreaRect();
  EXPECT_GT(area.Width(), 0);
  form->Free();
}

}  // namespace
