// Standard controls against a real X server (run under Xvfb): keys typed on
// the server reach an edit as Windows-1250 characters, and text travels
// between edits and other programs through the CLIPBOARD selection.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/edits.h"
#include "platform/gui/menus.h"
#include "platform/gui/timer.h"
#include "platform/gui/window_backend.h"
#include "platform/rtl/text.h"
#include "tests/platform/gui/x11_test_support.h"

#define Region XlibRegion
#define Screen XlibScreen
#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef Region
#undef Screen

namespace {

class X11Controls : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "these tests need an X server";
    dpy_ = XOpenDisplay(nullptr);
    ASSERT_NE(dpy_, nullptr);
    form_ = new TForm(nullptr);
    form_->SetBounds(120, 120, 300, 140);
    for (int i = 0; i < 2; ++i) {
      edits_[i] = new TEdit(form_);
      edits_[i]->SetParent(form_);
      edits_[i]->SetBounds(10, 10 + 40 * i, 200, 22);
    }
    form_->Show();
    ASSERT_NE(GetNativeWindowId(form_->Handle()), 0u);
    PumpUntil([] { return false; }, 200);  // mapped and focused
  }
  void TearDown() override {
    if (form_) form_->Free();
    if (dpy_) XCloseDisplay(dpy_);
  }
  void Key(KeySym sym, bool down) {
    XTestFakeKeyEvent(dpy_, XKeysymToKeycode(dpy_, sym), down, 0);
    XFlush(dpy_);
  }
  void CtrlKey(KeySym letter) {
    Key(XK_Control_L, true);
    Key(letter, true);
    Key(letter, false);
    Key(XK_Control_L, false);
  }
  Display* dpy_ = nullptr;
  TForm* form_ = nullptr;
  TEdit* edits_[2] = {};
};

TEST_F(X11Controls, TypedCzechLettersArriveAsWindows1250Bytes) {
  edits_[0]->SetFocus();
  const KeyCode spare = SpareKeycode(dpy_);
  ASSERT_NE(spare, 0);
  for (KeySym sym : {XK_ccaron, XK_rcaron, XK_zcaron}) {
    XChangeKeyboardMapping(dpy_, spare, 1, &sym, 1);
    XSync(dpy_, False);
    PumpUntil([] { return false; }, 100);  // the layer hears of the new mapping
    const size_t before = edits_[0]->Text().size();
    XTestFakeKeyEvent(dpy_, spare, True, 0);
    XTestFakeKeyEvent(dpy_, spare, False, 0);
    XFlush(dpy_);
    ASSERT_TRUE(PumpUntil([&] { return edits_[0]->Text().size() > before; }));
  }
  KeySym none = NoSymbol;
  XChangeKeyboardMapping(dpy_, spare, 1, &none, 1);
  XSync(dpy_, False);
  EXPECT_EQ(edits_[0]->Text(), "\xE8\xF8\x9E");
  EXPECT_EQ(edits_[0]->Text(), "čřž");
}

TEST_F(X11Controls, CopyAndPasteGoThroughTheClipboardSelection) {
  const Atom clipboard = XInternAtom(dpy_, "CLIPBOARD", False);
  const Atom utf8 = XInternAtom(dpy_, "UTF8_STRING", False);
  const Atom property = XInternAtom(dpy_, "TEST_CLIP", False);
  const Window other = XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), 0, 0, 1, 1, 0, 0, 0);

  // Ctrl+C in an edit: another program reads the selection as UTF-8.
  edits_[0]->SetText("Žluťoučký kůň");
  edits_[0]->SetFocus();
  edits_[0]->SelectAll();
  CtrlKey(XK_c);
  ASSERT_TRUE(PumpUntil([&] { return XGetSelectionOwner(dpy_, clipboard) != None; }));
  PumpUntil([] { return false; }, 50);
  XConvertSelection(dpy_, clipboard, utf8, property, other, CurrentTime);
  XFlush(dpy_);
  XEvent ev;
  ASSERT_TRUE(PumpUntil([&] { return XCheckTypedWindowEvent(dpy_, other, SelectionNotify, &ev) == True; }));
  EXPECT_EQ(ReadProperty(dpy_, other, property), AnsiToUtf8("Žluťoučký kůň"));

  // The other program takes the clipboard; Ctrl+V in the second edit asks it.
  XSetSelectionOwner(dpy_, clipboard, other, CurrentTime);
  XSync(dpy_, False);
  edits_[1]->SetFocus();
  std::thread owner = AnswerSelectionRequest(dpy_, other, AnsiToUtf8("Příliš žluťoučký"));
  CtrlKey(XK_v);
  const bool pasted = PumpUntil([&] { return !edits_[1]->Text().empty(); });
  owner.join();
  ASSERT_TRUE(pasted);
  EXPECT_EQ(edits_[1]->Text(), "Příliš žluťoučký");
  XDestroyWindow(dpy_, other);
}

TEST_F(X11Controls, MessageBoxAnswersWithTheButtonPressed) {
  // Keys reach the box once it is shown; a timer plays the user.
  auto answer = [&](KeySym key, UINT type) {
    TTimer user(nullptr);
    user.SetInterval(300);
    user.OnTimer = [&](TObject*) {
      user.SetEnabled(false);
      Key(key, true);
      Key(key, false);
    };
    return MessageBoxA(form_->Handle(), "Záloha skončila.", "Vorbex05", type);
  };
  EXPECT_EQ(answer(XK_Return, MB_OK | MB_ICONINFORMATION), IDOK);
  EXPECT_EQ(answer(XK_Return, MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(answer(XK_Escape, MB_OKCANCEL), IDCANCEL);
}

TEST_F(X11Controls, APopupMenuOpensOnTheServerAndTakesAClick) {
  TPopupMenu menu(nullptr);
  TMenuItem* items[2];
  for (int i = 0; i < 2; ++i) {
    items[i] = new TMenuItem(&menu);
    items[i]->SetCaption(i ? "Konec" : "Otevřít");
    items[i]->OnMeasureItem = [](TObject*, TCanvas*, int& w, int& h) { w = 100, h = 20; };
    menu.Items()->Add(items[i]);
  }
  TTimer user(nullptr);
  user.SetInterval(300);
  user.OnTimer = [&](TObject*) {
    user.SetEnabled(false);
    XTestFakeMotionEvent(dpy_, -1, 420, 400 + 2 + 20 + 10, 0);
    XTestFakeButtonEvent(dpy_, 1, True, 0);
    XTestFakeButtonEvent(dpy_, 1, False, 0);
    XFlush(dpy_);
  };
  EXPECT_EQ(menu.Popup(400, 400), items[1]);
}

TEST(RenderForm, WritesAPictureOfTheFormWithEveryControl) {
  const std::filesystem::path png =
      std::filesystem::temp_directory_path() / ("vx_render_form_" + std::to_string(getpid()) + ".png");
  const std::string tool = std::string(VX_BINARY_DIR) + "/tools/render-form/render-form";
  ASSERT_EQ(std::system((tool + " " + png.string()).c_str()), 0);
  std::ifstream in(png, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  std::filesystem::remove(png);
  ASSERT_GT(bytes.size(), 1000u);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");
  // The form (520 x 300 inside its frame) with a 20-pixel margin around it.
  const auto be32 = [&](size_t at) {
    return (unsigned(uint8_t(bytes[at])) << 24) | (unsigned(uint8_t(bytes[at + 1])) << 16) |
           (unsigned(uint8_t(bytes[at + 2])) << 8) | unsigned(uint8_t(bytes[at + 3]));
  };
  EXPECT_GT(be32(16), 560u);
  EXPECT_GT(be32(20), 340u);
}

}  // namespace
