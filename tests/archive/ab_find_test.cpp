// File search by masks over a fixture tree with a hidden file, a hidden
// folder, sub-folders and a symbolic link that points back up the tree.
#include <gtest/gtest.h>
#include <unistd.h>

#include "archive/ab_utils.h"
#include "platform/rtl/files.h"
#include "tests/support/temp_folder.h"

class FindFiles : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* name : {"b.zal", "A.zal", ".hidden.zal", "notes.txt", "sub/c.zal", "sub/deeper/d.zal",
                             "sub/deeper/e.txt", ".hid/f.zal", "Zeta/g.zal"})
      dir_.Write(name, "x");
    ASSERT_EQ(symlink(dir_.name().c_str(), (dir_ / "sub/loop").c_str()), 0);
  }

  std::vector<AnsiString> Find(const std::string& masks, int32_t attr, bool recurse) {
    std::vector<AnsiString> found;
    FindFilesByMaskList(masks, attr, found, recurse);
    for (AnsiString& f : found) f.erase(0, root_.size());
    return found;
  }

  TempFolder dir_;
  std::string root_ = dir_.name() + "/";
};

TEST_F(FindFiles, SortedByNameWithoutCase) {
  EXPECT_EQ(Find(root_ + "*.zal", 0, false), (std::vector<AnsiString>{"A.zal", "b.zal"}));
  EXPECT_EQ(Find(root_ + "*.ZAL", faHidden, false), (std::vector<AnsiString>{".hidden.zal", "A.zal", "b.zal"}));
}

TEST_F(FindFiles, RecursesIntoFoldersButNotThroughLinks) {
  EXPECT_EQ(Find(root_ + "*.zal", AbAttrAnyFile & ~faHidden, true),
            (std::vector<AnsiString>{"A.zal", "b.zal", "sub/c.zal", "sub/deeper/d.zal", "Zeta/g.zal"}));
}

TEST_F(FindFiles, FoldersOnlyWhenAsked) {
  EXPECT_EQ(Find(root_ + "*", 0, false), (std::vector<AnsiString>{"A.zal", "b.zal", "notes.txt"}));
  EXPECT_EQ(Find(root_ + "sub/*", faDirectory, false),
            (std::vector<AnsiString>{"sub/c.zal", "sub/deeper/", "sub/loop/"}));
}

TEST_F(FindFiles, MaskListRunsEachMaskInOrder) {
  EXPECT_EQ(Find(root_ + "*.txt ; " + root_ + "a*", 0, true),
            (std::vector<AnsiString>{"notes.txt", "sub/deeper/e.txt", "A.zal"}));
  EXPECT_TRUE(Find(root_ + "missing/*.zal", 0, true).empty());
}

// A name without wildcards: found as written without a listing, or in another
// letter case through one; hidden entries, folders and dangling links follow
// the same rules as in a listing.
TEST_F(FindFiles, PlainNamesFollowTheListingsRules) {
  ASSERT_EQ(symlink((dir_ / "nowhere").c_str(), (dir_ / "dangling.zal").c_str()), 0);
  const struct {
    const char* name;
    int32_t attr;
    std::vector<AnsiString> expected;
  } cases[] = {
      {"b.zal", 0, {"b.zal"}},
      {"B.ZAL", 0, {"b.zal"}},
      {"sub/c.zal", 0, {"sub/c.zal"}},
      {".hidden.zal", 0, {}},
      {".hidden.zal", faHidden, {".hidden.zal"}},
      {"sub", 0, {}},
      {"sub", faDirectory, {"sub/"}},
      {"sub/.", faDirectory, {}},
      {"dangling.zal", 0, {}},
      {"missing.zal", 0, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Find(root_ + c.name, c.attr, false), c.expected) << c.name << " " << c.attr;
}
