// The desktop component routines and hooks on a real X server: the colour
// under the pointer, the hook chain on a top-level X window and its re-hook
// after the window is re-created, and the minimised previous instance restored.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/gui/user.h"
#include "util/components/app_window_routines.h"
#include "util/components/wndproc_hook.h"
// X11 last, with its Time renamed: the runtime has a function of that name.
#define Time XlibTime
#include "tests/platform/gui/x11_test_support.h"

#include <X11/extensions/XTest.h>
#undef Time

namespace {

struct DesktopX11 : ::testing::Test {
  void SetUp() override {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "this test needs an X server";
    dpy = XOpenDisplay(nullptr);
    ASSERT_NE(dpy, nullptr);
    form = new TForm(nullptr);
    form->SetBounds(100, 100, 200, 150);
    form->SetColor(TColor(0x2040C0));
    form->Show();
  }
  void TearDown() override {
    form->Free();
    Application->ProcessMessages();
    if (dpy) XCloseDisplay(dpy);
  }
  Display* dpy = nullptr;
  TForm* form = nullptr;
};

TEST_F(DesktopX11, TheColourUnderThePointer) {
  XTestFakeMotionEvent(dpy, -1, 200, 200, 0);
  XFlush(dpy);
  EXPECT_TRUE(PumpUntil([] { return UtlColorUnderCursor() == TColor(0x2040C0); }))
      << std::hex << UtlColorUnderCursor();
}

TEST_F(DesktopX11, HooksChainOnTheWindowAndFollowItsReCreation) {
  constexpr UINT kProbe = WM_USER + 11;
  std::vector<std::string> log;
  auto hook = [&](const std::string& name) {
    auto* h = new TUtlWndProcHook(form);
    h->OnMessageBefore = [&log, name](TObject*, TMessage& m, bool&) {
      if (m.Msg == kProbe) log.push_back(name);
    };
    h->SetActive(true);
    return h;
  };
  TUtlWndProcHook* older = hook("older");
  hook("newer");
  int changed = 0;
  older->OnChangeHandle = [&](TObject*) { ++changed; };
  SendMessageA(form->Handle(), kProbe, 0, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"newer", "older"}));
  form->RecreateWnd();
  ASSERT_TRUE(PumpUntil([&] { return changed == 1; }));  // 25 ms of real time
  log.clear();
  SendMessageA(form->Handle(), kProbe, 0, 0);
  EXPECT_EQ(log, (std::vector<std::string>{"newer", "older"}));
}

TEST_F(DesktopX11, TheMinimisedPreviousInstanceIsRestored) {
  const AnsiString title = Application->Title();
  Application->SetTitle("Záloha X");
  char cls[256] = {};
  GetClassNameA(Application->Handle(), cls, sizeof cls);
  const HWND other = CreateWindowExA(0, cls, "Záloha X", WS_OVERLAPPEDWINDOW, 10, 10, 120, 80, 0, 0, nullptr, nullptr);
  ShowWindow(other, SW_SHOWNORMAL);
  ShowWindow(other, SW_MINIMIZE);
  ASSERT_TRUE(PumpUntil([&] { return IsIconic(other) != 0; }));
  EXPECT_TRUE(UtlActivatePrevInstance());
  EXPECT_TRUE(PumpUntil([&] { return !IsIconic(other) && IsWindowVisible(other); }));
  DestroyWindow(other);
  Application->SetTitle(title);
}

}  // namespace
