#include "platform/rtl/trash.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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

TEST_F(Trash, AnItemOnAnotherFileSystemStaysWhereItIs) {
  struct stat shm, home;
  if (stat("/dev/shm", &shm) != 0 || stat(tmp.name().c_str(), &home) != 0 || shm.st_dev == home.st_dev)
    GTEST_SKIP() << "no second file system to trash from";
  TempFolder elsewhere_root;  // only for a unique name
  fs::path item = fs::path("/dev/shm") / elsewhere_root.path().filename();
  fs::create_directories(item);
  std::ofstream(item / "keep") << "k";
  EXPECT_FALSE(MoveToTrash(item.string()));
  EXPECT_EQ(FileBytes(item / "keep"), "k");
  EXPECT_TRUE(fs::is_empty(trash / "info"));
  fs::remove_all(item);
}
