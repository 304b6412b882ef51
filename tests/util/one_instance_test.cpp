// Single instance with a real second process: it finds the lock of this
// (first) copy's title, says so and ends; another title runs; a title with
// "/" still makes one lock file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
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
  void TearDown() override {
    unsetenv("XDG_RUNTIME_DIR");
    unsetenv("TMPDIR");
    unsetenv("XDG_CACHE_HOME");
  }
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

// Without a runtime folder the locks go to a folder of this user's own, never
// to the temp folder all users share; a folder of that name someone else owns
// is passed over for the user's cache.
TEST_F(OneInstance, WithoutARuntimeFolderTheLocksStayInThisUsersOwnFolder) {
  unsetenv("XDG_RUNTIME_DIR");
  setenv("TMPDIR", tmp.name().c_str(), 1);
  setenv("XDG_CACHE_HOME", (tmp / "cache").c_str(), 1);
  const std::string own = tmp / ("vorbex05-" + std::to_string(getuid()));
  EXPECT_EQ(AnsiToUtf8(OneInstanceLockFolder()), own + "/");
  struct stat st;
  ASSERT_EQ(::stat(own.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(st.st_uid, getuid());
  if (getuid() != 0) GTEST_SKIP() << "handing the folder to another user needs root";
  ASSERT_EQ(::chown(own.c_str(), 65534, 65534), 0);
  EXPECT_EQ(AnsiToUtf8(OneInstanceLockFolder()), tmp / "cache/vorbex05/");
  EXPECT_TRUE(DirectoryExists(tmp / "cache/vorbex05"));
}

}  // namespace
