#include "platform/rtl/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/rtl/file_search.h"
#include "platform/rtl/file_times.h"
#include "platform/rtl/paths.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

void Touch(const fs::path& path, const std::string& content = "x") {
  std::ofstream(path, std::ios::binary) << content;
}

}  // namespace

TEST(Paths, SplitAndJoinNames) {
  struct {
    const char* name;
    const char* path;
    const char* dir;
    const char* file;
    const char* ext;
  } cases[] = {
      {"/a/b/c.txt", "/a/b/", "/a/b", "c.txt", ".txt"},
      {"/c.tar.gz", "/", "/", "c.tar.gz", ".gz"},
      {"rel/name", "rel/", "rel", "name", ""},
      {"/a.d/noext", "/a.d/", "/a.d", "noext", ""},
      {"plain", "", "", "plain", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ExtractFilePath(c.name), c.path);
    EXPECT_EQ(ExtractFileDir(c.name), c.dir);
    EXPECT_EQ(ExtractFileName(c.name), c.file);
    EXPECT_EQ(ExtractFileExt(c.name), c.ext);
  }
  EXPECT_EQ(ChangeFileExt("/x/dump.zal", ".zip"), "/x/dump.zip");
  EXPECT_EQ(ChangeFileExt("/x.d/dump", ".zip"), "/x.d/dump.zip");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/"), "/a");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
}

TEST(Paths, ExpandResolvesDotsAgainstTheCurrentFolder) {
  EXPECT_EQ(ExpandFileName("/a/./b/../c"), "/a/c");
  EXPECT_EQ(ExpandFileName("/../x"), "/x");
  EXPECT_EQ(ExpandFileName("/a/b/"), "/a/b/");
  EXPECT_EQ(ExpandFileName("../kalmir05.ini"),
            IncludeTrailingPathDelimiter(ExtractFileDir(GetCurrentDir())) + "kalmir05.ini");
}

TEST(Files, ExistenceFollowsLinksButAttributesDescribeTheEntry) {
  TempFolder tmp;
  fs::create_directory(tmp.path() / "dir");
  Touch(tmp.path() / "file");
  fs::create_directory_symlink(tmp.path() / "dir", tmp.path() / "dirlink");
  std::string base = tmp.name() + "/";

  EXPECT_TRUE(FileExists(base + "file"));
  EXPECT_FALSE(FileExists(base + "dir"));
  EXPECT_FALSE(FileExists(""));
  EXPECT_TRUE(DirectoryExists(base + "dir"));
  EXPECT_FALSE(DirectoryExists(base + "file"));
  EXPECT_TRUE(DirectoryExists(base + "dirlink"));
  EXPECT_FALSE(DirectoryExists(base + "missing"));

  EXPECT_EQ(FileGetAttr(base + "dir"), faDirectory);
  EXPECT_EQ(FileGetAttr(base + "dirlink"), faSymLink);
  EXPECT_EQ(FileGetAttr(base + "file"), 0);
  EXPECT_EQ(FileGetAttr(base + "missing"), -1);
}

TEST(Files, ReadOnlyIsTheOwnerWriteBitAndHiddenIsTheLeadingDot) {
  TempFolder tmp;
  Touch(tmp.path() / ".hidden");
  std::string name = tmp.name() + "/.hidden";
  EXPECT_EQ(FileGetAttr(name), faHidden);
  ASSERT_EQ(FileSetAttr(name, faReadOnly), 0);
  EXPECT_EQ(FileGetAttr(name), faHidden | faReadOnly);
  struct stat st;
  ASSERT_EQ(stat(name.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & S_IWUSR, 0u);
  ASSERT_EQ(FileSetAttr(name, faNormal), 0);
  EXPECT_EQ(FileGetAttr(name), faHidden);
}

TEST(Files, ForceDirectoriesCreatesEveryMissingParent) {
  TempFolder tmp;
  Touch(tmp.path() / "blocker");
  EXPECT_TRUE(ForceDirectories(tmp.name() + "/a/b/c/"));
  EXPECT_TRUE(fs::is_directory(tmp.path() / "a/b/c"));
  EXPECT_TRUE(ForceDirectories(tmp.name() + "/a/b"));  // exists already
  EXPECT_TRUE(ForceDirectories("/"));
  EXPECT_FALSE(ForceDirectories(""));
  EXPECT_FALSE(ForceDirectories(tmp.name() + "/blocker/sub"));
}

TEST(Files, SizeIsSixtyFourBitAndMinusOneWhenMissing) {
  TempFolder tmp;
  Touch(tmp.path() / "empty", "");
  fs::path big = tmp.path() / "big";
  Touch(big, "");
  fs::resize_file(big, (int64_t{5} << 30) + 7);  // sparse, takes no space
  EXPECT_EQ(FileSize(tmp.name() + "/empty"), 0);
  EXPECT_EQ(FileSize(big.string()), (int64_t{5} << 30) + 7);
  EXPECT_EQ(FileSize(tmp.name() + "/missing"), -1);
  EXPECT_EQ(FileSize(tmp.name()), -1);
}

TEST(Files, DeleteRenameAndCzechNamesOnDisk) {
  TempFolder tmp;
  std::string czech = tmp.name() + "/Žluťoučký kůň.txt";  // Windows-1250 in the program
  ASSERT_TRUE(ForceDirectories(tmp.name() + "/složka"));
  EXPECT_TRUE(fs::is_directory(tmp.path() / u8"složka"));  // UTF-8 on disk
  Touch(tmp.path() / u8"Žluťoučký kůň.txt");
  EXPECT_TRUE(FileExists(czech));
  EXPECT_TRUE(RenameFile(czech, tmp.name() + "/složka/kůň.txt"));
  EXPECT_TRUE(fs::exists(tmp.path() / u8"složka/kůň.txt"));
  EXPECT_FALSE(DeleteFile(tmp.name() + "/složka"));  // folders are not files
  EXPECT_TRUE(DeleteFile(tmp.name() + "/složka/kůň.txt"));
  EXPECT_TRUE(RemoveDir(tmp.name() + "/složka"));
  EXPECT_FALSE(fs::exists(tmp.path() / u8"složka"));
}

TEST(Files, DeleteTreeRemovesLinksAndLeavesTheirTargets) {
  TempFolder tmp;
  fs::create_directories(tmp.path() / "tree/sub");
  fs::create_directories(tmp.path() / "target");
  Touch(tmp.path() / "tree/sub/file");
  Touch(tmp.path() / "target/keep");
  Touch(tmp.path() / "target.txt");
  fs::create_directory_symlink(tmp.path() / "target", tmp.path() / "tree/sub/link");
  fs::create_symlink(tmp.path() / "target.txt", tmp.path() / "tree/filelink");
  fs::permissions(tmp.path() / "tree/sub/file", fs::perms::owner_read);

  EXPECT_TRUE(DeleteTree(tmp.name() + "/tree/"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(tmp.path() / "tree")));
  EXPECT_TRUE(fs::exists(tmp.path() / "target/keep"));
  EXPECT_TRUE(fs::exists(tmp.path() / "target.txt"));

  // A link given as the tree is removed as a link.
  fs::create_directory_symlink(tmp.path() / "target", tmp.path() / "toplink");
  EXPECT_TRUE(DeleteTree(tmp.name() + "/toplink"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(tmp.path() / "toplink")));
  EXPECT_TRUE(fs::exists(tmp.path() / "target/keep"));
  EXPECT_FALSE(DeleteTree(tmp.name() + "/missing"));
}

TEST(Files, TempFileNames) {
  TempFolder tmp;
  EXPECT_EQ(GetTempFileName(tmp.name(), "VMS", 0x1A), tmp.name() + "/VMS001A.tmp");
  EXPECT_FALSE(fs::exists(tmp.path() / "VMS001A.tmp"));
  AnsiString first = GetTempFileName(tmp.name(), "VMS", 0);
  AnsiString second = GetTempFileName(tmp.name(), "VMS", 0);
  EXPECT_NE(first, second);
  EXPECT_TRUE(fs::exists(first));
  EXPECT_TRUE(fs::exists(second));
  EXPECT_EQ(GetTempFileName(tmp.name() + "/missing", "VMS", 0), "");
  EXPECT_EQ(GetTempDir().back(), '/');
}

TEST(Files, ProgramPathIsTheRunningExecutable) {
  EXPECT_EQ(ParamStr(0), fs::read_symlink("/proc/self/exe").string());
  EXPECT_EQ(ParamStr(ParamCount() + 1), "");
}

TEST(FileTimes, LocalTimeOnBothSidesOfDaylightSaving) {
  const char* old_tz = getenv("TZ");
  std::string saved = old_tz ? old_tz : "";
  setenv("TZ", "Europe/Prague", 1);
  tzset();
  TempFolder tmp;
  std::string name = tmp.name() + "/f";
  Touch(name);
  struct {
    TDateTime local;
    int64_t unix_time;
  } cases[] = {
      {EncodeDate(2024, 1, 15) + EncodeTime(12, 0, 0, 0), 1705316400},  // CET, UTC+1
      {EncodeDate(2024, 7, 15) + EncodeTime(12, 0, 0, 0), 1721037600},  // CEST, UTC+2
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(FileSetDate(name, c.local));
    struct stat st;
    ASSERT_EQ(stat(name.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, c.unix_time);
    TDateTime age = 0;
    ASSERT_TRUE(FileAge(name, age));
    EXPECT_NEAR(age, c.local, 1e-8);
  }
  TDateTime age;
  EXPECT_FALSE(FileAge(tmp.name() + "/missing", age));
  if (old_tz) setenv("TZ", saved.c_str(), 1); else unsetenv("TZ");
  tzset();
}
