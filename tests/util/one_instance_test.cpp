// Single instance with a real second process: it finds the lock of this
// (first) copy's title, says so and ends; another title runs; a title with
// "/" still makes one lock file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

#include <string>

#include "platform/gui/application.h"
#include "platform/rtl/files.h"
#include "platform/rtl/process.h"
#include "platform/rtl/text.h"
#include "tests/support/temp_folder.h"
#include "util/components/one_instance.h"

namespace {

struct OneInstance : ::testing::Test {
  void SetUp() override { setenv("XDG_RUNTIME_DIR", tmp.name().c_str(), 1); }
  void TearDown() override { unsetenv("XDG_RUNTIME_DIR"); }
  // Runs the second copy; its exit code and what it wrote to stderr.
  static std::pair<int, AnsiString> Second(const AnsiString& title, const char* mode) {
    TChildProcess peer;
    EXPECT_TRUE(peer.Start(std::vector<AnsiString>{VX_ONE_INSTANCE_PEER, title, mode}, TChildOutput::Keep));
    peer.WaitPumping();
    return {peer.ExitCode(), peer.ErrorOutput()};
  }
  TempFolder tmp;
};

TEST_F(OneInstance, ASecondCopyWithTheSameTitleSaysSoAndEnds) {
  const AnsiString title = "Záloha/T " + std::to_string(getpid());
  Application->SetTitle(title);
  TUtlOneInstance first(Application);
  EXPECT_FALSE(first.IsAnotherInstanceRunning());
  EXPECT_FALSE(first.IsAnotherInstanceRunning());  // asking again: still the first
  const auto [code, messages] = Second(title, "message");
  EXPECT_EQ(code, 3);
  EXPECT_NE(messages.find(AnsiToUtf8("Application \"" + title + "\" is already running.")), AnsiString::npos)
      << messages;
  EXPECT_EQ(Second(title + " jiná", "quiet").first, 0);
  // One lock file per name, "/" escaped.
  EXPECT_TRUE(FileExists(OneInstanceLockFolder() + "Záloha%2FT " + std::to_string(getpid()) + ".OneInstance.Default"));
}

}  // namespace
