// File and shell routines: sizes, separators, filtered listings, tree
// deletion that never follows a link, and shell deletion into the trash.

#include "util/routines/file_routines.h"

#include <gtest/gtest.h>
#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/rtl/lists.h"
#include "tests/platform/rtl/own_trash.h"

namespace fs = std::filesystem;

namespace {

void Touch(const fs::path& path, const std::string& text = "x") { std::ofstream(path) << text; }

TEST(FileTests, ExistenceAndSize) {
  TempFolder tmp;
  Touch(tmp.path() / "empty", "");
  Touch(tmp.path() / "data", "12345");
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FileExists(tmp.name()));
  EXPECT_FALSE(DirectoryExists(tmp.name() + "/data"));
  EXPECT_TRUE(FileExists(tmp.name() + "/data"));
  EXPECT_EQ(GetSizeOfFile(tmp.name() + "/missing"), -1);
  EXPECT_EQ(GetSizeOfFile(tmp.name() + "/empty"), 0);
  EXPECT_EQ(GetSizeOfFile(tmp.name() + "/data"), 5);
  // A sparse file past 4 GiB keeps its full size.
  const std::int64_t big = (std::int64_t{1} << 32) + 7;
  fs::path large = tmp.path() / "large";
  Touch(large, "");
  fs::resize_file(large, static_cast<std::uintmax_t>(big));
  EXPECT_EQ(GetSizeOfFile(large.string()), big);
}

TEST(Separators, AddAndRemoveOneOnly) {
  EXPECT_EQ(AddTrailingSeparator(""), "/");
  EXPECT_EQ(AddTrailingSeparator("/a/"), "/a/");
  EXPECT_EQ(AddTrailingSeparator("/a"), "/a/");
  EXPECT_EQ(RemoveTrailingSeparator("/a//"), "/a/");
  EXPECT_EQ(RemoveTrailingSeparator("/a"), "/a");
}

TEST(Masks, NamesWithoutExtensionGetAPoint) {
  struct Case {
    const char* name;
    const char* mask;
    bool caseSensitive;
    bool match;
  } cases[] = {{"README", "*.*", false, true}, {"README", "*.", false, true}, {"a.txt", "*.", false, false},
               {"b.DOC", "*.doc", false, true}, {"b.DOC", "*.doc", true, false}, {"x", "", true, true},
               {"čaj.txt", "ČAJ.*", false, true}};
  for (const Case& c : cases) {
    EXPECT_EQ(FileNameMatchesMask(c.name, c.mask, c.caseSensitive), c.match) << c.name << " ~ " << c.mask;
  }
}

TEST(Listing, SeveralMasksIgnoringCaseAndAttributeFilter) {
  TempFolder tmp;
  for (const char* name : {"a.txt", "b.DOC", "c.bin", ".hidden.txt"}) Touch(tmp.path() / name);
  fs::create_directory(tmp.path() / "sub.txt");
  TStringList list;
  EXPECT_TRUE(ListMatchingFiles(tmp.name() + "/*.txt;*.doc", faAnyFile, &list, true));
  EXPECT_EQ(list.Text(), tmp.name() + "/.hidden.txt\r\n" + tmp.name() + "/a.txt\r\n" + tmp.name() +
                             "/b.DOC\r\n" + tmp.name() + "/sub.txt\r\n");
  list.Clear();
  EXPECT_TRUE(ListMatchingFiles(tmp.name() + "/*.txt", faReadOnly | faArchive, &list, false));
  EXPECT_EQ(list.Text(), "a.txt\r\n");
  list.Clear();
  EXPECT_FALSE(ListMatchingFiles(tmp.name() + "/missing/*.*", faAnyFile, &list, false));
  EXPECT_EQ(list.Count(), 0);
}

// A small backup folder with a read-only file, a sub-folder and a link that
// points outside the tree.
struct Tree {
  explicit Tree(const fs::path& base) : root(base / "20261201"), outside(base / "outside") {
    fs::create_directories(root / "sub");
    fs::create_directories(outside);
    Touch(outside / "keep.txt");
    Touch(root / "a.zip");
    Touch(root / "sub" / "b.zip");
    Touch(root / "ro.zip");
    fs::permissions(root / "ro.zip", fs::perms::owner_write, fs::perm_options::remove);
    fs::create_directory_symlink(outside, root / "link");
  }
  fs::path root;
  fs::path outside;
};

TEST(TreeDeletion, DeletesReadOnlyFilesAndLinksButNeverLinkTargets) {
  TempFolder tmp;
  Tree tree(tmp.path());
  EXPECT_TRUE(DeleteDirectory(tree.root.string() + "/", false));
  EXPECT_FALSE(fs::exists(tree.root));
  EXPECT_TRUE(fs::exists(tree.outside / "keep.txt"));
  EXPECT_FALSE(DeleteDirectoryTree(""));
}

TEST(TreeDeletion, ALinkGivenAsTheTreeIsRemovedWithoutTouchingItsTarget) {
  TempFolder tmp;
  Tree tree(tmp.path());
  EXPECT_TRUE(DeleteDirectory((tree.root / "link").string(), false));
  EXPECT_FALSE(fs::is_symlink(tree.root / "link"));
  EXPECT_TRUE(fs::exists(tree.outside / "keep.txt"));
}

TEST(TreeDeletion, ARefusedFileKeepsItsFolderButTheRestGoes) {
  TempFolder tmp;
  Tree tree(tmp.path());
  std::vector<std::string> asked;
  auto refuseA = [&](const AnsiString& name, int) {
    asked.push_back(name);
    return fs::path(name).filename() != "a.zip";
  };
  EXPECT_FALSE(DeleteDirectoryTree(tree.root.string(), false, refuseA));
  EXPECT_TRUE(fs::exists(tree.root / "a.zip"));
  EXPECT_FALSE(fs::exists(tree.root / "ro.zip"));
  EXPECT_FALSE(fs::exists(tree.root / "sub"));
  EXPECT_FALSE(fs::is_symlink(tree.root / "link"));
  EXPECT_EQ(asked.size(), 4u);  // a.zip, link, ro.zip, sub/b.zip

  Tree again(tmp.path() / "again");
  asked.clear();
  EXPECT_FALSE(DeleteDirectoryTree(again.root.string(), true, refuseA));
  EXPECT_EQ(asked.size(), 1u);  // stopped at the first refusal
  EXPECT_TRUE(fs::exists(again.root / "ro.zip"));
}

// Deletion "to the recycle bin" goes to a trash of the test's own.
class ShellDeletion : public OwnTrashTest {};

TEST_F(ShellDeletion, ContentsThenTheFolderGoToTheTrashWithInfoFiles) {
  Tree tree(tmp.path());
  EXPECT_TRUE(DeleteDirectory(tree.root.string(), true));
  EXPECT_FALSE(fs::exists(tree.root));
  EXPECT_TRUE(fs::exists(tree.outside / "keep.txt"));
  for (const char* item : {"a.zip", "ro.zip", "sub", "link", "20261201"}) {
    EXPECT_TRUE(fs::exists(trash / "info" / (std::string(item) + ".trashinfo"))) << item;
  }
  EXPECT_TRUE(fs::exists(trash / "files/sub/b.zip"));
  std::string listed = RunShell("XDG_DATA_HOME='" + (tmp.path() / "data").string() + "' trash-list 2>&1").output;
  EXPECT_NE(listed.find(tree.root.string() + "\n"), std::string::npos) << listed;
  EXPECT_NE(listed.find((tree.root / "a.zip").string()), std::string::npos) << listed;
}

TEST_F(ShellDeletion, ALinkToAFolderGoesToTheTrashAloneWithoutItsTargetsContents) {
  Tree tree(tmp.path());
  EXPECT_TRUE(DeleteDirectory((tree.root / "link").string(), true));
  EXPECT_FALSE(fs::is_symlink(tree.root / "link"));
  EXPECT_TRUE(fs::is_symlink(trash / "files/link"));
  EXPECT_TRUE(fs::exists(tree.outside / "keep.txt"));
}

TEST_F(ShellDeletion, AMissingFolderOrAFileIsLeftAloneAndReportsFailure) {
  EXPECT_FALSE(DeleteDirectory(tmp.name() + "/missing", true));
  Touch(tmp.path() / "plain.zip");
  EXPECT_FALSE(DeleteDirectory(tmp.name() + "/plain.zip", true));
  EXPECT_TRUE(fs::exists(tmp.path() / "plain.zip"));
  EXPECT_FALSE(fs::exists(trash / "info"));
}

TEST_F(ShellDeletion, WithoutUndoItemsAreDeletedAndFilesOnlySparesFolders) {
  fs::create_directories(tmp.path() / "d/sub");
  Touch(tmp.path() / "d/a.zal");
  Touch(tmp.path() / "d/b.txt");
  EXPECT_TRUE(ShellDeleteFiles(0, tmp.name() + "/d/*.*", sdoSilent | sdoFilesOnly));
  EXPECT_TRUE(fs::exists(tmp.path() / "d/sub"));
  EXPECT_FALSE(fs::exists(tmp.path() / "d/a.zal"));
  EXPECT_FALSE(fs::exists(trash));
  EXPECT_TRUE(ShellDeleteFolder(0, tmp.name() + "/d/", sdoSilent | sdoFilesOnly));
  EXPECT_FALSE(fs::exists(tmp.path() / "d"));
}

TEST(ShellFlags, OptionsGiveTheShellFlags) {
  EXPECT_EQ(ShellDeleteFlags(0), 0);
  EXPECT_EQ(ShellDeleteFlags(sdoSilent | sdoAllowUndo), 0x0654);
  EXPECT_EQ(ShellDeleteFlags(sdoFilesOnly), 0x0080);
}

TEST(Modules, TheProgramsOwnPath) {
  EXPECT_EQ(GetModuleFilePath(nullptr), "");
  void* self = dlopen(nullptr, RTLD_LAZY);
  EXPECT_EQ(fs::path(GetModuleFilePath(self)), fs::read_symlink("/proc/self/exe"));
}

}  // namespace
