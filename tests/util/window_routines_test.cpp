// The routines that needed windows: the disabled look of an image-list
// image, centring a window on the screen, whether the active window is the
// program's, the version block a program embeds, and the start-up facts of
// the desktop components.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/colors.h"
#include "platform/gui/forms.h"
#include "platform/gui/image_list.h"
#include "platform/rtl/files.h"
#include "tests/support/temp_folder.h"
#include "platform/rtl/paths.h"
#include "util/components/desktop_startup.h"
#include "util/drawing/drawing_routines.h"
#include "util/routines/file_version.h"

VX_EMBED_FILE_VERSION(5, 1, 2, 37);

namespace {

TEST(DisabledImage, OpaquePixelsAreEtchedAndTransparentOnesLeftAlone) {
  // A 4 x 4 image: magenta (transparent) with a white pixel at (1, 1) and a black one at (2, 2).
  TBitmap image;
  image.SetSize(4, 4);
  image.Canvas()->Brush()->SetColor(clFuchsia);
  image.Canvas()->FillRect(Rect(0, 0, 4, 4));
  image.Canvas()->SetPixels(1, 1, clWhite);
  image.Canvas()->SetPixels(2, 2, clBlack);
  TImageList list(nullptr, 4, 4);
  list.AddMasked(&image, clFuchsia);

  TBitmap target;
  target.SetSize(8, 8);
  target.Canvas()->Brush()->SetColor(clGray);
  target.Canvas()->FillRect(Rect(0, 0, 8, 8));
  DrawDisabledImage(&list, target.Canvas(), 2, 2, 0, clRed, clBlue, true);
  TCanvas* c = target.Canvas();
  EXPECT_EQ(c->Pixels(3, 3), clBlue);  // white pixel: shadow on top
  EXPECT_EQ(c->Pixels(4, 4), clBlue);  // black pixel: shadow over the highlight of (1, 1)
  EXPECT_EQ(c->Pixels(5, 5), clRed);   // highlight of (2, 2), one down and right
  EXPECT_EQ(c->Pixels(2, 2), clGray);  // transparent
  EXPECT_EQ(c->Brush()->Color(), clGray);

  TBitmap plain;
  plain.SetSize(8, 8);
  plain.Canvas()->Brush()->SetColor(clGray);
  plain.Canvas()->FillRect(Rect(0, 0, 8, 8));
  DrawDisabledImage(&list, plain.Canvas(), 2, 2, 0, clRed, clBlue, false);
  EXPECT_EQ(plain.Canvas()->Pixels(5, 5), clGray);
}

TEST(CenterWindow, CentresWithoutResizingAndKeepsABigWindowAtTheCorner) {
  TForm* form = new TForm(nullptr);
  form->SetBounds(5, 7, 200, 100);
  CenterWindowOnScreen(form->Handle());
  RECT r;
  GetWindowRect(form->Handle(), &r);
  EXPECT_EQ(r.Left, (GetSystemMetrics(SM_CXSCREEN) - 200) / 2);
  EXPECT_EQ(r.Top, (GetSystemMetrics(SM_CYSCREEN) - 100) / 2);
  EXPECT_EQ(r.Width(), 200);

  form->SetBounds(5, 7, GetSystemMetrics(SM_CXSCREEN) + 50, 100);
  CenterWindowOnScreen(form->Handle());
  GetWindowRect(form->Handle(), &r);
  EXPECT_EQ(r.Left, 0);
  form->Free();
}

TEST(ActiveWindow, OnlyWhileAWindowOfTheProgramIsActive) {
  TForm* form = new TForm(nullptr);
  form->Show();
  EXPECT_TRUE(IsActiveWindowOfThisThread());
  form->Free();
  EXPECT_FALSE(IsActiveWindowOfThisThread());
}

// A graphic control that fills itself with one colour and counts its paints.
struct FilledBlock : TGraphicControl {
  FilledBlock(TWinControl* parent, TRect r, TColor color) : TGraphicControl(parent), color(color) {
    SetParent(parent);
    SetBoundsRect(r);
  }
  void Paint() override {
    ++paints;
    Canvas()->Brush()->SetColor(color);
    Canvas()->FillRect(ClientRect());
  }
  TColor color;
  int paints = 0;
};

TEST(ParentBackground, ParentAndTheSiblingsBelowShowButNotTheControlNorThoseAbove) {
  auto* form = new TForm(nullptr);
  form->SetBounds(0, 0, 200, 200);
  form->SetColor(clRed);
  auto* below = new FilledBlock(form, Rect(10, 10, 30, 30), clLime);
  auto* control = new FilledBlock(form, Rect(20, 20, 40, 40), clBlue);
  auto* above = new FilledBlock(form, Rect(35, 35, 60, 60), clYellow);
  auto* apart = new FilledBlock(form, Rect(100, 100, 120, 120), clBlack);
  form->Show();
  TBitmap image;
  image.SetSize(20, 20);
  below->paints = control->paints = above->paints = apart->paints = 0;

  PaintParentBackground(control, image.Canvas());
  EXPECT_EQ(image.Canvas()->Pixels(5, 5), clLime);
  EXPECT_EQ(image.Canvas()->Pixels(15, 15), clRed);
  EXPECT_EQ(image.Canvas()->Pixels(19, 19), clRed);
  EXPECT_EQ(control->paints, 0);
  EXPECT_EQ(above->paints, 0);
  EXPECT_EQ(apart->paints, 0);
  EXPECT_EQ(below->paints, 1);
  EXPECT_FALSE(form->ControlState() & csPaintCopy);
  EXPECT_FALSE(below->ControlState() & csPaintCopy);
  form->Free();
}

TEST(FileVersion, TheEmbeddedBlockIsReadAndOtherFilesHaveNone) {
  TFixedFileInfo info;
  ASSERT_TRUE(ReadFixedFileVersion(ParamStr(0), info));
  EXPECT_EQ(info.dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(info.dwFileVersionMS, (5u << 16) | 1u);
  EXPECT_EQ(info.dwFileVersionLS, (2u << 16) | 37u);

  TempFolder tmp;
  const std::string text = (tmp.path() / "notes.txt").string();
  std::ofstream(text) << "not a program";
  TFixedFileInfo untouched;
  untouched.dwFileVersionMS = 99;
  for (const std::string& name : {text, (tmp.path() / "missing").string(), std::string("/bin/true")})
    EXPECT_FALSE(ReadFixedFileVersion(name, untouched)) << name;
  EXPECT_EQ(untouched.dwFileVersionMS, 99u);
}

}  // namespace

namespace {

TEST(DesktopStartup, NamesFlagsColoursAndTheTaskbarMessage) {
  const TUtlDesktopFacts& f = DesktopFacts();
  EXPECT_EQ(f.LogFileName, ChangeFileExt(ParamStr(0), ".log"));
  EXPECT_EQ(f.ProgramFolder + ExtractFileName(ParamStr(0)), ParamStr(0));
  EXPECT_EQ(f.Release, awrUnknown);
  EXPECT_TRUE(f.IsWin98OrLater && f.IsWin2000OrLater && f.IsWinXPOrLater);
  EXPECT_FALSE(f.IsWin9x);
  EXPECT_TRUE(f.IsWinNT);  // the system presents itself as 10.0 on the NT line
  EXPECT_EQ(f.TaskbarCreatedMessage, RegisterWindowMessageA("TaskbarCreated"));

  TColor c = 0;
  EXPECT_TRUE(UtlIdentToColor("CLLAVENDER", c));
  EXPECT_EQ(c, TColor(0xFF98C0));
  AnsiString name;
  EXPECT_TRUE(UtlColorToIdent(0x003090, name));
  EXPECT_EQ(name, "clBrown");
  EXPECT_FALSE(UtlIdentToColor("clRed", c));
  EXPECT_FALSE(UtlColorToIdent(0x123456, name));
}

}  // namespace
