// A form placement's PreventResize under a real window manager: openbox reads
// the window's size hints and offers it neither resize nor maximise (its
// _NET_WM_ALLOWED_ACTIONS, read with xprop), while a window without the
// setting keeps both, and so does this one once the setting is off again.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/gui/forms.h"
#include "platform/gui/window_backend.h"
#include "tests/support/shell_runner.h"
#include "util/components/form_storage.h"
#define Time XlibTime
#include "tests/platform/gui/x11_test_support.h"
#undef Time

namespace {

// openbox on the test's display while it lives. The properties it leaves on
// the root window go with it, so later tests see no window manager.
class WindowManager {
public:
  bool Start() {
    pid_ = ::fork();
    if (pid_ == 0) {
      const int null = ::open("/dev/null", O_WRONLY);
      ::dup2(null, 1), ::dup2(null, 2);
      ::execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    return pid_ > 0 && PumpUntil([] { return RunShell("xprop -root _NET_SUPPORTING_WM_CHECK").output.find("window id") !=
                                              std::string::npos; }, 20000);  // slow on a busy machine
  }
  ~WindowManager() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
    RunShell("xprop -root -remove _NET_SUPPORTING_WM_CHECK; xprop -root -remove _NET_SUPPORTED");
  }

private:
  pid_t pid_ = -1;
};

std::string AllowedActions(TForm* form) {
  return RunShell("xprop -id " + std::to_string(GetNativeWindowId(form->Handle())) + " _NET_WM_ALLOWED_ACTIONS").output;
}

bool Offers(TForm* form, const char* action) { return AllowedActions(form).find(action) != std::string::npos; }

// Whether the window manager took the shown form in. One that is only just
// starting may miss a window mapped in that moment: it is shown once more.
bool Managed(TForm* form) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (PumpUntil([&] { return Offers(form, "_NET_WM_ACTION_MOVE"); }, 2000)) return true;
    form->Hide();
    form->Show();
  }
  return false;
}

TEST(FormPlacementX11, APreventResizeWindowOffersTheWindowManagerNoResizeOrMaximize) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "this test needs an X server";
  if (RunShell("command -v openbox").status != 0) GTEST_SKIP() << "openbox is not installed";
  WindowManager wm;
  ASSERT_TRUE(wm.Start()) << "openbox did not start";
  TForm* fixed = new TForm(nullptr);
  fixed->SetBounds(50, 50, 300, 200);
  auto* placement = new TFormPlacement(fixed);
  placement->SetPreventResize(true);
  fixed->Show();
  TForm* other = new TForm(nullptr);
  other->SetBounds(400, 50, 300, 200);
  other->Show();

  ASSERT_TRUE(Managed(other)) << AllowedActions(other);
  ASSERT_TRUE(Managed(fixed)) << AllowedActions(fixed);
  EXPECT_TRUE(Offers(other, "_NET_WM_ACTION_RESIZE")) << AllowedActions(other);
  EXPECT_TRUE(Offers(other, "_NET_WM_ACTION_MAXIMIZE_HORZ")) << AllowedActions(other);
  EXPECT_FALSE(Offers(fixed, "_NET_WM_ACTION_RESIZE")) << AllowedActions(fixed);
  EXPECT_FALSE(Offers(fixed, "_NET_WM_ACTION_MAXIMIZE")) << AllowedActions(fixed);
  EXPECT_EQ(fixed->Width(), 300);

  placement->SetPreventResize(false);
  EXPECT_TRUE(PumpUntil([&] { return Offers(fixed, "_NET_WM_ACTION_RESIZE"); }, 10000)) << AllowedActions(fixed);
  other->Free();
  fixed->Free();
}

}  // namespace
