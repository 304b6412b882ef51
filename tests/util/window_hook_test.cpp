// Window-procedure hooks: the order in which hooks and the window see a
// message, WM_QUIT and WM_DESTROY, re-subclassing a re-created window,
// deferred freeing of an unused control hook, and a later subclasser.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "util/components/window_hook.h"

namespace {

constexpr UINT kProbe = WM_USER + 7;

struct HookedForm : ::testing::Test {
  void SetUp() override {
    form = new TForm(nullptr);
    const TWndMethod own = form->WindowProc;
    form->WindowProc = [this, own](TMessage& m) {
      if (m.Msg == kProbe || m.Msg == WM_QUIT || m.Msg == WM_DESTROY) log.push_back("window");
      own(m);
    };
  }
  void TearDown() override {
    for (TUtlWindowHook* h : hooks) h->Free();
    form->Free();
    Application->ProcessMessages();
  }
  TUtlWindowHook* AddHook(const std::string& name, bool handles = false) {
    auto* h = new TUtlWindowHook(nullptr);
    h->BeforeMessage = [this, name, handles](TObject*, TMessage& m, bool& handled) {
      if (m.Msg == kProbe || m.Msg == WM_QUIT || m.Msg == WM_DESTROY) {
        log.push_back(name + ".before");
        handled = handles;
      }
    };
    h->AfterMessage = [this, name](TObject*, TMessage& m, bool&) {
      if (m.Msg == kProbe || m.Msg == WM_QUIT || m.Msg == WM_DESTROY) log.push_back(name + ".after");
    };
    h->SetWinControl(form);
    hooks.push_back(h);
    return h;
  }
  void Send(UINT msg) { SendMessageA(form->Handle(), msg, 0, 0); }

  TForm* form = nullptr;
  std::vector<TUtlWindowHook*> hooks;
  std::vector<std::string> log;
};

using Log = std::vector<std::string>;

TEST_F(HookedForm, TheLatestHookSeesEachMessageFirstAndCanHideIt) {
  AddHook("a");
  AddHook("b");
  Send(kProbe);
  EXPECT_EQ(log, (Log{"b.before", "a.before", "window", "b.after", "a.after"}));

  log.clear();
  AddHook("c", true);
  Send(kProbe);
  EXPECT_EQ(log, Log{"c.before"});

  log.clear();
  Send(WM_QUIT);  // never shown to before handlers
  EXPECT_EQ(log, (Log{"window", "c.after", "b.after", "a.after"}));
}

TEST_F(HookedForm, DestroyAlwaysReachesTheWindowAndARecreatedWindowIsHookedAgain) {
  AddHook("a");
  AddHook("b", true);
  form->RecreateWnd();
  EXPECT_EQ(log, (Log{"b.before", "window", "b.after", "a.after"}));

  log.clear();
  Send(kProbe);  // the new window is subclassed on the next loop turn
  EXPECT_EQ(log, Log{"window"});
  Application->ProcessMessages();
  log.clear();
  Send(kProbe);
  EXPECT_EQ(log, Log{"b.before"});
}

TEST_F(HookedForm, AnUnusedControlHookIsFreedOnALaterTurn) {
  TUtlWindowHook* h = AddHook("a");
  TForm* other = new TForm(nullptr);
  h->SetWinControl(other);
  TUtlHookList* list = TUtlHookList::Existing();
  ASSERT_NE(list, nullptr);
  EXPECT_NE(list->FindControlHook(form), nullptr);
  EXPECT_EQ(list->FindControlHook(other)->HookCount(), 1);
  Application->ProcessMessages();
  EXPECT_EQ(list->FindControlHook(form), nullptr);
  Send(kProbe);
  EXPECT_EQ(log, Log{"window"});
  h->SetWinControl(nullptr);
  other->Free();
}

LRESULT LaterSubclass(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
WNDPROC g_laterPrevious = nullptr;
int g_laterCalls = 0;
LRESULT LaterSubclass(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == kProbe) ++g_laterCalls;
  return CallWindowProcA(g_laterPrevious, hwnd, msg, wparam, lparam);
}

TEST_F(HookedForm, ALaterSubclasserKeepsItsProcedureAndTheWindowStillGetsItsMessages) {
  TUtlWindowHook* h = AddHook("a");
  g_laterPrevious = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(form->Handle(), GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterSubclass)));
  h->SetActive(false);
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(form->Handle(), GWL_WNDPROC)), &LaterSubclass);
  g_laterCalls = 0;
  Send(kProbe);
  EXPECT_EQ(g_laterCalls, 1);
  EXPECT_EQ(log, Log{"window"});

  log.clear();
  h->SetActive(true);  // still in the chain: not subclassed a second time
  Send(kProbe);
  EXPECT_EQ(log, (Log{"a.before", "window", "a.after"}));
}

TEST_F(HookedForm, AFreedControlLeavesTheHookUnattached) {
  TForm* other = new TForm(nullptr);
  auto* h = new TUtlWindowHook(nullptr);
  h->SetWinControl(other);
  other->Free();
  EXPECT_EQ(h->WinControl(), nullptr);
  h->Free();
}

}  // namespace
