#include "platform/rtl/trash.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>

#include <ctime>
#include <filesystem>
#include <fstream>

#include "tests/platform/rtl/own_trash.h"
#include "tests/support/file_reader.h"

namespace fs = std::filesystem;

namespace {

class Trash : public OwnTrashTest {
protected:
  // A dated backup folder with two files in it, like the ones a run prunes.
  fs::path MakeBackupFolder(const fs::path& parent) {
    fs::path folder = parent / "20261201";
    fs::create_directories(folder);
    std::ofstream(folder / "a.zip") << "a";
    std::ofstream(folder / "b.zip") << "b";
    return folder;
  }
};

}  // namespace

TEST_F(Trash, FoldersLandInTheTrashWithInfoAndUniqueNames) {
  fs::path first = MakeBackupFolder(tmp.path() / "zip1");
  fs::path second = MakeBackupFolder(tmp.path() / "zip2");
  ASSERT_TRUE(MoveToTrash(first.string()));
  ASSERT_TRUE(MoveToTrash(second.string() + "/"));
  EXPECT_FALSE(fs::exists(first));
  EXPECT_FALSE(fs::exists(second));
  EXPECT_EQ(FileBytes(trash / "files/20261201/b.zip"), "b");
  EXPECT_EQ(FileBytes(trash / "files/20261201_2/a.zip"), "a");

  std::time_t now = std::time(nullptr);
  char today[16];
  std::strftime(today, sizeof today, "%Y-%m-%d", std::localtime(&now));
  std::string info = FileBytes(trash / "info/20261201.trashinfo");
  EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + first.string() + "\nDeletionDate=" + today + "T", 0), 0u)
      << info;
  EXPECT_NE(FileBytes(trash / "info/20261201_2.trashinfo").find("Path=" + second.string() + "\n"),
            std::string::npos);

  std::string listed = RunShell("trash-list 2>&1").output;
  EXPECT_NE(listed.find(first.string()), std::string::npos) << listed;
  EXPECT_NE(listed.find(second.string()), std::string::npos) << listed;
}

TEST_F(Trash, OriginalPathsAreEscapedInTheInfoFile) {
  fs::path czech = tmp.path() / u8"zálohy a kopie";
  fs::create_directories(czech);
  ASSERT_TRUE(MoveToTrash((tmp.path().string() + "/zálohy a kopie")));  // Windows-1250 name
  EXPECT_TRUE(fs::is_directory(trash / u8"files/zálohy a kopie"));
  std::string info = FileBytes(trash / u8"info/zálohy a kopie.trashinfo");
  EXPECT_NE(info.find("/z%C3%A1lohy%20a%20kopie\n"), std::string::npos) << info;
  EXPECT_NE(RunShell("trash-list 2>&1").output.find(czech.string()), std::string::npos);
}

TEST_F(Trash, AnItemThatCannotBeTrashedStaysWhereItIs) {
  EXPECT_FALSE(MoveToTrash((tmp.path() / "missing").string()));
  EXPECT_FALSE(MoveToTrash(""));

  // The trash itself cannot be made: a file stands where its folder would be.
  std::ofstream(tmp.path() / "data") << "not a folder";
  fs::path folder = MakeBackupFolder(tmp.path() / "zip");
  EXPECT_FALSE(MoveToTrash(folder.string()));
  EXPECT_TRUE(fs::exists(folder / "a.zip"));
}

// Items on a file system of their own: a small tmpfs mounted in a private
// mount namespace of this test program (root only; skipped elsewhere).
class TopTrash : public Trash {
protected:
  void SetUp() override {
    Trash::SetUp();
    mount_ = tmp.path() / "disk";
    fs::create_directories(mount_);
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", mount_.c_str(), "tmpfs", 0, "size=1m") != 0)
      GTEST_SKIP() << "cannot mount a tmpfs here (needs root): " << std::strerror(errno);
    mounted_ = true;
  }
  void TearDown() override {
    if (mounted_) umount2(mount_.c_str(), MNT_DETACH);
    Trash::TearDown();
  }

  fs::path mount_;
  bool mounted_ = false;
};

struct TopTrashCase {
  const char* name;
  std::function<void(const fs::path& top)> prepare;
  const char* trash;  // where the item must land, below the top folder; "" when nowhere
};

TEST_F(TopTrash, AnItemGoesToTheTrashOfItsOwnFileSystemOrStaysWithAReason) {
  const std::string uid = std::to_string(getuid());
  const TopTrashCase cases[] = {
      {"no trash yet", nullptr, ".Trash-"},
      {"an administrator's sticky .Trash",
       [](const fs::path& top) {
         fs::create_directory(top / ".Trash");
         chmod((top / ".Trash").c_str(), 01777);
       },
       ".Trash/"},
      {".Trash without the sticky bit is passed by", [](const fs::path& top) { fs::create_directory(top / ".Trash"); },
       ".Trash-"},
      {".Trash as a link is passed by", [](const fs::path& top) { fs::create_directory_symlink("/tmp", top / ".Trash"); },
       ".Trash-"},
      {"no trash can be made", [&](const fs::path& top) { std::ofstream(top / (".Trash-" + uid)) << "x"; }, ""},
  };
  for (const TopTrashCase& c : cases) {
    SCOPED_TRACE(c.name);
    for (const auto& entry : fs::directory_iterator(mount_)) fs::remove_all(entry.path());
    if (c.prepare) c.prepare(mount_);
    const fs::path folder = MakeBackupFolder(mount_ / "zip");
    AnsiString reason;
    const bool moved = MoveToTrash(folder.string(), reason);
    EXPECT_FALSE(fs::exists(trash / "info"));  // the home trash is not used
    if (!*c.trash) {
      EXPECT_FALSE(moved);
      EXPECT_NE(reason.find(".Trash-" + uid), std::string::npos) << reason;
      EXPECT_EQ(FileBytes(folder / "a.zip"), "a");
      continue;
    }
    ASSERT_TRUE(moved) << reason;
    EXPECT_FALSE(fs::exists(folder));
    const fs::path own = mount_ / (std::string(c.trash) + uid);
    EXPECT_EQ(FileBytes(own / "files/20261201/b.zip"), "b");
    // The path in the info file is relative to the top folder.
    const std::string info = FileBytes(own / "info/20261201.trashinfo");
    EXPECT_EQ(info.rfind("[Trash Info]\nPath=zip/20261201\nDeletionDate=", 0), 0u) << info;
    struct stat st;
    ASSERT_EQ(lstat(own.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
  }
}
