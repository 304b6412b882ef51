// The skinned frames' menus on a real X server (run under Xvfb): Alt and a
// letter typed on the keyboard drop the bar's submenu down, and a click on
// the MDI parent's close button closes the maximized child.
#include <gtest/gtest.h>

#include "platform/gui/application.h"
#include "platform/gui/window_backend.h"
#include "skin/skin_button.h"
#include "skin/skin_form.h"
#include "skin/skin_mdi_form.h"
#include "skin/skin_menus.h"
#include "tests/platform/gui/x11_test_support.h"

#define Region XlibRegion
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef Region

namespace {

class SkinMenuX11 : public XDisplayTest {
protected:
  void Type(std::initializer_list<KeySym> keys) {
    for (KeySym key : keys) {
      const KeyCode code = XKeysymToKeycode(dpy_, key);
      XTestFakeKeyEvent(dpy_, code, True, 0);
      XTestFakeKeyEvent(dpy_, code, False, 0);
    }
    XFlush(dpy_);
  }
  static TsuiMainMenu* FileMenu(TComponent* owner, TMenuItem*& exit) {
    auto* menu = new TsuiMainMenu(owner);
    auto* file = new TMenuItem(menu);
    file->SetCaption("&Soubor");
    menu->Items()->Add(file);
    exit = new TMenuItem(menu);
    exit->SetCaption("&Konec");
    file->Add(exit);
    return menu;
  }
};

TEST_F(SkinMenuX11, AltAndLetterOpenTheBarsSubmenu) {
  auto* form = new TForm(Application);
  form->SetBounds(150, 120, 320, 180);
  auto* frame = new TsuiForm(form);
  TMenuItem* exit = nullptr;
  frame->SetMenu(FileMenu(form, exit));
  int exits = 0;
  exit->OnClick = [&](TObject*) { ++exits; };
  form->Show();
  ASSERT_TRUE(PumpUntil([&] { return form->Active() && GetNativeWindowId(form->Handle()) != 0; }));
  PumpUntil([] { return false; }, 200);

  const KeyCode alt = XKeysymToKeycode(dpy_, XK_Alt_L);
  XTestFakeKeyEvent(dpy_, alt, True, 0);
  Type({XK_s});
  XTestFakeKeyEvent(dpy_, alt, False, 0);
  Type({XK_k});
  EXPECT_TRUE(PumpUntil([&] { return exits == 1; }));
  form->Free();
}

TEST_F(SkinMenuX11, ClickingTheCloseButtonClosesTheMaximizedChild) {
  TCustomForm* previousMain = Application->MainForm();
  auto* parent = new TForm(Application);
  parent->SetFormStyle(fsMDIForm);
  parent->SetBounds(120, 100, 480, 340);
  Application->SetMainForm(parent);
  auto* frame = new TsuiMDIForm(parent);
  TMenuItem* exit = nullptr;
  frame->SetMenu(FileMenu(parent, exit));
  parent->Show();

  auto* child = new TForm(Application);
  child->SetFormStyle(fsMDIChild);
  child->SetBounds(10, 10, 200, 150);
  new TsuiForm(child);
  bool destroyed = false;
  child->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
  child->OnDestroy = [&](TObject*) { destroyed = true; };
  child->Show();
  child->SetWindowState(wsMaximized);
  TsuiToolBarSpeedButton* close = frame->ChildButton(kMDICloseTag);
  ASSERT_TRUE(PumpUntil([&] { return close->Visible() && GetNativeWindowId(parent->Handle()) != 0; }));
  PumpUntil([] { return false; }, 200);

  const TPoint centre = close->ClientToScreen(Point(close->Width() / 2, close->Height() / 2));
  Click(centre.X, centre.Y);
  EXPECT_TRUE(PumpUntil([&] { return destroyed; }));
  EXPECT_EQ(parent->MDIChildCount(), 0);
  EXPECT_FALSE(close->Visible());
  if (!destroyed) child->Free();
  parent->Free();
  Application->SetMainForm(previousMain);
}

}  // namespace
