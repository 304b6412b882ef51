// Single instance on a real X server: a second copy with the same title
// finds this copy's application window by class and title and asks it back,
// and the minimized main form is restored.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/rtl/process.h"
#include "tests/support/temp_folder.h"
#include "util/components/one_instance.h"
// Xlib's names only after the layer's headers.
#include "tests/platform/gui/x11_test_support.h"

namespace {

TEST(OneInstanceX11, TheSecondCopyRestoresTheMinimizedFirst) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "this test needs an X server";
  TempFolder tmp;
  setenv("XDG_RUNTIME_DIR", tmp.name().c_str(), 1);
  const AnsiString title = "Vorbex T " + std::to_string(getpid());
  Application->SetTitle(title);
  auto* form = new TForm(nullptr);
  form->SetBounds(80, 80, 300, 200);
  Application->SetMainForm(form);
  form->Show();
  TUtlOneInstance first(Application);
  ASSERT_FALSE(first.IsAnotherInstanceRunning());
  Application->Minimize();
  ASSERT_TRUE(PumpUntil([&] { return IsIconic(form->Handle()) != 0; }));

  TChildProcess second;
  ASSERT_TRUE(second.Start(std::vector<AnsiString>{VX_ONE_INSTANCE_PEER, title, "quiet"}));
  second.WaitPumping();
  EXPECT_EQ(second.ExitCode(), 3);
  EXPECT_TRUE(PumpUntil([&] { return !IsIconic(form->Handle()); }));

  Application->SetMainForm(nullptr);
  form->Free();
  unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
