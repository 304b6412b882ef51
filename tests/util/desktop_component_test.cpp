// The desktop component base: the message timer, chained window-procedure
// hooks with their re-hook after a window is re-created, class registration,
// and the routines around the application window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gui/headless_backend.h"
#include "platform/gui/edits.h"
#include "platform/gui/user.h"
#include "tests/util/shown_form.h"
#include "util/components/app_window_routines.h"
#include "util/components/component_classes.h"
#include "util/components/desktop_classes.h"
#include "util/components/wndproc_hook.h"

namespace {

using MessageTimer = ShownForm;

TEST_F(MessageTimer, RunsOnlyWithAnEventAnIntervalAndEnabled) {
  TOwned<TUtlCustomTimer> timer(new TUtlCustomTimer(nullptr));
  int fired = 0;
  EXPECT_FALSE(timer->TimerRunning());  // no OnTimer yet
  Tick(3000);
  timer->SetOnTimer([&](TObject* sender) {
    EXPECT_EQ(sender, timer.get());
    ++fired;
  });
  EXPECT_TRUE(timer->TimerRunning());
  Tick(1000);
  EXPECT_EQ(fired, 1);
  timer->SetInterval(0);
  EXPECT_FALSE(timer->TimerRunning());
  Tick(3000);
  EXPECT_EQ(fired, 1);
  timer->SetInterval(50);
  timer->SetEnabled(false);
  EXPECT_FALSE(timer->TimerRunning());
  timer->SetEnabled(true);
  Tick(50);
  EXPECT_EQ(fired, 2);
}

TEST_F(MessageTimer, AnErrorInTheEventGoesToTheApplicationAndTheTimerGoesOn) {
  TOwned<TUtlCustomTimer> timer(new TUtlCustomTimer(nullptr));
  std::vector<std::string> reported;
  Application->OnException = [&](TObject* sender, const Exception& e) {
    EXPECT_EQ(sender, timer.get());
    reported.push_back(e.what());
  };
  timer->SetInterval(100);
  timer->SetOnTimer([](TObject*) { throw EConvertError("bad"); });
  Tick(100);
  Tick(100);
  Application->OnException = nullptr;
  EXPECT_EQ(reported, (std::vector<std::string>{"bad", "bad"}));
}

constexpr UINT kProbe = WM_USER + 9;

struct Hooks : ShownForm {
  void SetUp() override {
    ShownForm::SetUp();
    own = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(form->Handle(), GWLP_WNDPROC));
    const TWndMethod formProc = form->WindowProc;
    form->WindowProc = [this, formProc](TMessage& m) {
      if (m.Msg == kProbe || m.Msg == WM_SYSCOMMAND || m.Msg == WM_LBUTTONDOWN)
        log.push_back("window:" + std::to_string(m.Msg));
      if (m.Msg == kProbe) m.Result = 42;
      else formProc(m);
    };
  }
  TUtlWndProcHook* Add(const std::string& name, bool handles = false) {
    auto* h = new TUtlWndProcHook(form);
    h->OnMessageBefore = [this, name, handles](TObject*, TMessage& m, bool& handled) {
      if (m.Msg == kProbe) {
        log.push_back(name + ".before");
        handled = handles;
      }
    };
    h->OnMessageAfter = [this, name](TObject*, TMessage& m, bool&) {
      if (m.Msg == kProbe || m.Msg == WM_LBUTTONDOWN) log.push_back(name + ".after:" + std::to_string(m.Result));
    };
    return h;
  }
  std::vector<std::string> Send() {
    log.clear();
    SendMessageA(form->Handle(), kProbe, 0, 0);
    return log;
  }
  WNDPROC Current() { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(form->Handle(), GWLP_WNDPROC)); }
  WNDPROC own = nullptr;
  std::vector<std::string> log;
};

TEST_F(Hooks, TheNewestHookSeesAMessageFirst) {
  TUtlWndProcHook* older = Add("older");
  TUtlWndProcHook* newer = Add("newer");
  EXPECT_EQ(older->GetHandle(), form->Handle());  // the owning form's window
  older->SetActive(true);
  newer->SetActive(true);
  using V = std::vector<std::string>;
  const std::string window = "window:" + std::to_string(kProbe);
  EXPECT_EQ(Send(), (V{"newer.before", "older.before", window, "older.after:42", "newer.after:42"}));

  older->SetActive(false);  // the newer one keeps working; the window's own procedure is not back yet
  EXPECT_EQ(Send(), (V{"newer.before", window, "newer.after:42"}));
  EXPECT_NE(Current(), own);
  older->SetActive(true);  // re-joins in list order: older again sees messages after the newer
  EXPECT_EQ(Send(), (V{"newer.before", "older.before", window, "older.after:42", "newer.after:42"}));

  newer->OnMessageBefore = [this](TObject*, TMessage& m, bool& handled) {
    if (m.Msg == kProbe) log.push_back("newer.before"), handled = true;
  };
  EXPECT_EQ(Send(), (V{"newer.before", "newer.after:0"}));  // kept from the older hook and the window

  newer->SetActive(false);
  older->SetActive(false);
  EXPECT_EQ(Current(), own);
  EXPECT_EQ(Send(), V{window});
  EXPECT_EQ(TUtlWndProcHookList::Existing()->Count(), 2);
  older->Free();
  newer->Free();
  EXPECT_EQ(TUtlWndProcHookList::Existing(), nullptr);  // gone with the last hook
}

TEST_F(Hooks, FreeingAnActiveHookRestoresTheWindow) {
  TUtlWndProcHook* h = Add("h");
  h->SetActive(true);
  EXPECT_NE(Current(), own);
  h->Free();
  EXPECT_EQ(Current(), own);
  EXPECT_EQ(Send(), std::vector<std::string>{"window:" + std::to_string(kProbe)});
}

TEST_F(Hooks, AReCreatedWindowIsHookedAgainAfter25Ms) {
  TUtlWndProcHook* h = Add("h");
  std::vector<TObject*> changes;
  h->OnChangeHandle = [&](TObject* sender) { changes.push_back(sender); };
  h->SetActive(true);
  const HWND first = form->Handle();
  form->RecreateWnd();
  Application->ProcessMessages();
  EXPECT_FALSE(h->Active());  // unhooked by the window's destruction
  ASSERT_EQ(h->ComponentCount(), 1);  // the re-hook timer it owns
  TComponent* timer = h->Components(0);
  Tick(24);
  EXPECT_FALSE(h->Active());
  Tick(1);
  EXPECT_TRUE(h->Active());
  EXPECT_NE(form->Handle(), first);
  EXPECT_EQ(changes, std::vector<TObject*>{timer});
  EXPECT_EQ(h->ComponentCount(), 0);  // the timer freed itself
  EXPECT_EQ(Send(), (std::vector<std::string>{"h.before", "window:" + std::to_string(kProbe), "h.after:42"}));
}

TEST_F(Hooks, AutoDragMovesTheWindowInsteadOfPassingThePress) {
  TUtlWndProcHook* h = Add("h");
  h->SetAutoDrag(true);
  h->SetActive(true);
  log.clear();
  SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  // The window gets the move command, not the press; the after handler still runs.
  EXPECT_EQ(log, (std::vector<std::string>{"window:" + std::to_string(WM_SYSCOMMAND), "h.after:0"}));
}

TEST_F(Hooks, ExplicitHandlesAndControls) {
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  TUtlWndProcHook* h = Add("h");
  int changed = 0;
  h->OnChangeWinControl = [&](TObject*) { ++changed; };
  h->SetActive(true);
  h->SetWinControl(edit);  // moves the hook from the form to the edit
  EXPECT_EQ(changed, 1);
  EXPECT_TRUE(h->Active());
  EXPECT_EQ(h->GetHandle(), edit->Handle());
  EXPECT_EQ(Current(), own);
  edit->Free();  // the removal notice falls back to the owner
  EXPECT_EQ(h->WinControl(), nullptr);
  EXPECT_EQ(h->GetHandle(), form->Handle());
  EXPECT_EQ(Send().size(), 3u);

  // A hook with no window yet is Active without hooking anything.
  auto* loose = new TUtlWndProcHook(nullptr);
  loose->OnMessageBefore = [this](TObject*, TMessage& m, bool&) {
    if (m.Msg == kProbe) log.push_back("loose.before");
  };
  EXPECT_EQ(loose->GetHandle(), kNoHookWindow);
  loose->SetActive(true);
  EXPECT_TRUE(loose->Active());
  loose->SetHandle(form->Handle());
  const std::vector<std::string> both = Send();  // now both hooks are in the chain, the newer first
  ASSERT_EQ(both.size(), 4u);
  EXPECT_EQ(both[0], "loose.before");
  loose->Free();
}

TEST_F(Hooks, AHookStoredActiveHooksOnceLoaded) {
  TUtlWndProcHook* h = Add("h");
  h->BeginLoading();
  h->SetActive(true);
  EXPECT_EQ(Current(), own);  // not while its settings are read
  h->EndLoading();
  EXPECT_TRUE(h->Active());
  EXPECT_NE(Current(), own);
  EXPECT_EQ(Send().size(), 3u);
}

TEST(DesktopClasses, TheNamesCreateTheirClassesAndASecondRegistrationIsSilent) {
  RegisterUtilComponents();
  for (const TUtlClassEntry& entry : DesktopComponentClasses()) {
    const TComponentFactory* factory = GetClass(entry.first);
    ASSERT_NE(factory, nullptr) << entry.first;
    TOwned<TComponent> c((*factory)(nullptr));
    EXPECT_TRUE(c != nullptr) << entry.first;
  }
  int calls = 0;
  UtlRegisterClassSafe({"TUtlWndProcHook", [&](TComponent*) -> TComponent* {
                          ++calls;
                          return nullptr;
                        }});
  EXPECT_NO_THROW(RegisterDesktopComponentClasses());
  TOwned<TComponent> hook((*GetClass("tutlwndprochook"))(nullptr));
  EXPECT_NE(dynamic_cast<TUtlWndProcHook*>(hook.get()), nullptr);
  EXPECT_EQ(calls, 0);  // the first registration stays
  UtlRegisterClassSafe({nullptr, nullptr});
}

TEST(AppWindow, ThePreviousInstanceIsNeverTheOwnWindow) {
  const AnsiString title = Application->Title();
  Application->SetTitle("Záloha T");
  const HWND own = Application->Handle();
  SetWindowTextA(own, "Záloha T");
  EXPECT_EQ(UtlFindPrevInstanceWindow(), 0u);
  EXPECT_FALSE(UtlActivatePrevInstance());

  char cls[256] = {};
  GetClassNameA(own, cls, sizeof cls);
  const HWND otherTitle = CreateWindowExA(0, cls, "Other", WS_POPUP, 0, 0, 10, 10, 0, 0, nullptr, nullptr);
  EXPECT_EQ(UtlFindPrevInstanceWindow(), 0u);
  const HWND other = CreateWindowExA(0, cls, "Záloha T", WS_POPUP, 0, 0, 10, 10, 0, 0, nullptr, nullptr);
  EXPECT_EQ(UtlFindPrevInstanceWindow(), other);
  ShowWindow(other, SW_SHOWMINIMIZED);
  ASSERT_TRUE(IsIconic(other));
  EXPECT_TRUE(UtlActivatePrevInstance());
  EXPECT_FALSE(IsIconic(other));  // restored
  DestroyWindow(other);
  DestroyWindow(otherTitle);
  Application->SetTitle(title);
}

TEST(AppWindow, ShowAndHideTheApplication) {
  const HWND app = Application->Handle();
  UtlShowAppWindow();
  EXPECT_TRUE(IsWindowVisible(app));
  UtlHideApplication();
  EXPECT_FALSE(IsWindowVisible(app));
  UtlHideAppWindow();  // already hidden: nothing changes
  EXPECT_FALSE(IsWindowVisible(app));
}

using ShiftState = ShownForm;  // keys go to the focused form

using ColourUnderCursor = ShownForm;

TEST_F(ColourUnderCursor, IsThePixelOnScreen) {
  form->SetColor(TColor(0x2040C0));
  HeadlessMouseMove(200, 200);  // inside the form's client area
  Tick(1);
  EXPECT_EQ(UtlColorUnderCursor(), TColor(0x2040C0));
  form->SetColor(TColor(0x00FF00));
  Tick(1);
  EXPECT_EQ(UtlColorUnderCursor(), TColor(0x00FF00));
}

TEST_F(ShiftState, FromTheKeys) {
  struct Case {
    std::vector<int> keys;
    TShiftState state;
  } cases[] = {
      {{}, 0}, {{VK_SHIFT}, ssShift}, {{VK_MENU}, ssAlt}, {{VK_CONTROL, VK_SHIFT}, ssCtrl | ssShift},
  };
  for (const Case& c : cases) {
    for (int k : c.keys) HeadlessKeyDown(k);
    Application->ProcessMessages();
    EXPECT_EQ(UtlGetShiftState(), c.state);
    for (int k : c.keys) HeadlessKeyUp(k);
    Application->ProcessMessages();
  }
  EXPECT_EQ(UtlGetShiftState(), 0u);
}

}  // namespace
