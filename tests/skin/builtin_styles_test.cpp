// The built-in style table: kinds and values of its elements, the embedded
// pictures at their sizes, and the first style of a new control.
#include <gtest/gtest.h>

#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/icon.h"
#include "platform/gui/resources.h"
#include "platform/gui/std_controls.h"
#include "platform/gui/type_info.h"
#include "skin/builtin_styles.h"
#include "skin/skin_form.h"

namespace {

TEST(BuiltInStyles, GettersAnswerOnlyForTheirKind) {
  struct Case {
    uint8_t style;
    int element;
    TColor color;
    int32_t integer;
    bool boolean;
  } cases[] = {
      {FromThemeFile, 15, 0, -1, false},      // no table for the theme-file choice
      {FromThemeFile, 13, 0, -1, false},
      {WinXP, 13, 0, 150, false},             // an integer element is no colour
      {WinXP, 16, 0xC82C00, -1, false},       // RGB #002CC8 as the platform keeps it
      {DeepBlue, 15, 0xE8E8E8, -1, false},
      {BlueGlass, 8, 0, -3, false},
      {MacOS, 2, 0, -1, true},
      {Protein, 6, 0, -1, true},
      {128 + WinXP, 13, 0, 150, false},       // styles are taken modulo 128
      {DeepBlue, 0, 0, -1, false},            // elements outside 1..48
      {DeepBlue, 49, 0, -1, false},
      {6, 13, 0, -1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.style) << "/" << c.element);
    EXPECT_EQ(GetBuiltInColor(c.style, c.element), c.color);
    EXPECT_EQ(GetBuiltInInteger(c.style, c.element), c.integer);
    EXPECT_EQ(GetBuiltInBool(c.style, c.element), c.boolean);
  }
}

// Every named bitmap of every style is embedded with its documented size.
TEST(BuiltInStyles, EveryNamedBitmapIsThereAtItsSize) {
  struct Size {
    int element;
    int w[5], h[5];
  } sizes[] = {
      {1, {252, 54, 222, 222, 231}, {23, 21, 21, 21, 27}},   {3, {60, 52, 52, 52, 52}, {17, 13, 13, 13, 13}},
      {4, {64, 52, 52, 52, 52}, {17, 13, 13, 13, 13}},       {5, {306, 378, 342, 342, 342}, {17, 21, 19, 19, 19}},
      {10, {48, 35, 97, 441, 162}, {23, 29, 32, 23, 33}},    {11, {49, 37, 98, 1, 179}, {23, 29, 32, 23, 33}},
      {12, {48, 35, 97, 1, 101}, {23, 29, 32, 23, 33}},      {24, {13, 6, 1, 1, 1}, {10, 10, 10, 10, 10}},
      {28, {45, 45, 45, 45, 45}, {5, 8, 4, 4, 4}},           {29, {11, 11, 11, 11, 11}, {20, 21, 20, 20, 20}},
      {30, {19, 22, 18, 18, 18}, {11, 11, 11, 11, 11}},      {32, {96, 96, 96, 96, 102}, {22, 17, 16, 16, 16}},
      {33, {33, 21, 21, 21, 21}, {16, 16, 16, 16, 16}},      {34, {40, 44, 44, 44, 44}, {11, 11, 11, 11, 11}},
      {38, {72, 72, 72, 72, 72}, {18, 18, 17, 17, 17}},      {39, {36, 18, 12, 18, 18}, {27, 18, 17, 17, 17}},
      {40, {17, 8, 5, 10, 10}, {7, 1, 5, 5, 5}},             {41, {7, 8, 8, 8, 8}, {84, 86, 83, 83, 86}},
      {42, {1, 1, 1, 1, 1}, {21, 21, 20, 21, 21}},
  };
  for (const Size& s : sizes) {
    for (int style = MacOS; style <= BlueGlass; ++style) {
      SCOPED_TRACE(BuiltInBitmapName(style, s.element));
      TBitmap bitmap;
      GetBuiltInBitmap(style, s.element, &bitmap, 0, 0);
      EXPECT_EQ(bitmap.Width(), s.w[style - 1]);
      EXPECT_EQ(bitmap.Height(), s.h[style - 1]);
      EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
    }
  }
  EXPECT_EQ(BuiltInBitmapName(DeepBlue, 38), "MORE_SCROLLBUTTON");
  EXPECT_EQ(BuiltInBitmapName(WinXP, 38), "WINXP_SCROLLBUTTON");
  EXPECT_EQ(BuiltInBitmapName(DeepBlue, 43), "");
}

TEST(BuiltInStyles, TheTrayIconAndTheMainSkinAreEmbedded) {
  TIcon icon;
  icon.LoadFromResourceName(0, "TRAYICON");
  EXPECT_FALSE(icon.Empty());
  const ResourceEntry* skin = FindResourceEntry("MAIN_SKIN");
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(skin->data), 2), "SK");
}

TEST(BuiltInStyles, FramesAreCutFromTheStrip) {
  TBitmap frame;
  GetBuiltInBitmap(DeepBlue, 1, &frame, 3, 2);
  EXPECT_EQ(frame.Width(), 74);
  EXPECT_EQ(frame.Height(), 21);
  TBitmap untouched;
  untouched.SetSize(5, 5);
  LoadBuiltInBitmap(DeepBlue, 15, &untouched);  // a colour element loads nothing
  EXPECT_EQ(untouched.Width(), 5);
  GetBuiltInBitmap(DeepBlue, 1, nullptr, 3, 1);  // no destination: nothing happens
}

TEST(BuiltInStyles, NewControlsStartWithTheirFormsFrameStyle) {
  TForm* form = new TForm(nullptr);
  EXPECT_EQ(GetOwnerUIStyle(form), DeepBlue);
  TPanel* panel = new TPanel(form);
  panel->SetParent(form);
  auto* frame = new TsuiForm(form);
  frame->SetParent(form);
  frame->SetUIStyle(WinXP);
  EXPECT_EQ(GetOwnerUIStyle(form), WinXP);
  EXPECT_EQ(GetOwnerUIStyle(panel), DeepBlue);  // not a form
  EXPECT_EQ(GetOwnerUIStyle(nullptr), DeepBlue);
  form->Free();
}

}  // namespace
