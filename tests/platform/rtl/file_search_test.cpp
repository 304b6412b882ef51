#include "platform/rtl/file_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/rtl/files.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

// The fixture tree: plain files in mixed case, a Czech name (UTF-8 on disk),
// a hidden file, a folder, and a link that points back at its own folder.
class FileSearch : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char8_t* name : {u8"b.txt", u8"A.txt", u8"c.ZAL", u8"žluťák.txt", u8".hidden",
                                u8"sub/inner.txt"}) {
      fs::create_directories((tmp.path() / name).parent_path());
      std::ofstream(tmp.path() / name) << "data";
    }
    fs::create_directory_symlink(tmp.path(), tmp.path() / "loop");
  }

  std::vector<AnsiString> Find(const AnsiString& mask, int attributes) {
    std::vector<AnsiString> names;
    TSearchRec rec;
    for (int rc = FindFirst(tmp.name() + "/" + mask, attributes, rec); rc == 0; rc = FindNext(rec))
      names.push_back(rec.Name);
    FindClose(rec);
    return names;
  }

  // Counts every entry below folder, descending into what the search reports as folders.
  int CountTree(const AnsiString& folder) {
    int count = 0;
    TSearchRec rec;
    for (int rc = FindFirst(folder + "/*", faAnyFile, rec); rc == 0; rc = FindNext(rec)) {
      ++count;
      if (rec.Attr & faDirectory) count += CountTree(folder + "/" + rec.Name);
    }
    FindClose(rec);
    return count;
  }

  TempFolder tmp;
};

using Names = std::vector<AnsiString>;

}  // namespace

TEST_F(FileSearch, AttributeMaskChoosesHiddenEntriesAndFoldersSortedByName) {
  // "Ž" sorts after the ASCII letters, the link is listed as a link, not a folder.
  EXPECT_EQ(Find("*", 0), (Names{"A.txt", "b.txt", "c.ZAL", "loop", "žluťák.txt"}));
  EXPECT_EQ(Find("*", faDirectory),
            (Names{"A.txt", "b.txt", "c.ZAL", "loop", "sub", "žluťák.txt"}));
  EXPECT_EQ(Find("*.*", faHidden | faDirectory),
            (Names{".hidden", "A.txt", "b.txt", "c.ZAL", "loop", "sub", "žluťák.txt"}));
}

TEST_F(FileSearch, MasksIgnoreLetterCase) {
  EXPECT_EQ(Find("*.zal", faAnyFile), (Names{"c.ZAL"}));
  EXPECT_EQ(Find("?.TXT", faAnyFile), (Names{"A.txt", "b.txt"}));
  EXPECT_EQ(Find("Ž*", faAnyFile), (Names{"žluťák.txt"}));
  EXPECT_EQ(Find("*.doc", faAnyFile), Names{});
}

TEST_F(FileSearch, EntriesCarryAttributesAndSizes) {
  TSearchRec rec;
  ASSERT_EQ(FindFirst(tmp.name() + "/*", faAnyFile, rec), 0);
  std::vector<std::pair<AnsiString, int>> seen;
  do {
    seen.emplace_back(rec.Name, rec.Attr);
    if (rec.Name == "b.txt") {
      EXPECT_EQ(rec.Size, 4);
    }
    if (rec.Name == "sub") {
      EXPECT_EQ(rec.Size, 0);
    }
  } while (FindNext(rec) == 0);
  FindClose(rec);
  EXPECT_EQ(seen.front(), (std::pair<AnsiString, int>{".hidden", faHidden}));
  EXPECT_NE(std::find(seen.begin(), seen.end(), std::pair<AnsiString, int>{"loop", faSymLink}),
            seen.end());
  EXPECT_NE(std::find(seen.begin(), seen.end(), std::pair<AnsiString, int>{"sub", faDirectory}),
            seen.end());
}

TEST_F(FileSearch, AWalkOverTheTreeDoesNotEnterTheLinkLoop) {
  EXPECT_EQ(CountTree(tmp.name()), 8);  // 7 entries at the top, 1 in sub
}

TEST_F(FileSearch, MissingFolderOrNoMatchReportsNotFound) {
  TSearchRec rec;
  EXPECT_EQ(FindFirst(tmp.name() + "/missing/*", faAnyFile, rec), ENOENT);
  EXPECT_EQ(FindFirst(tmp.name() + "/*.none", faAnyFile, rec), ENOENT);
  FindClose(rec);
}

TEST(MatchesMask, Wildcards) {
  struct {
    const char* name;
    const char* mask;
    bool match;
  } cases[] = {
      {"README", "*.*", true},   {"a.b.c", "*.c", true},     {"abc", "a*c", true},
      {"ac", "a?c", false},      {"tmp_x", "TMP_*", true},   {"c12_x", "c??_*", true},
      {"abcbc", "*bc", true},    {"abd", "a*c", false},      {"", "*", true},
      {"kůň", "KŮŇ", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchesMask(c.name, c.mask), c.match) << c.name << " ~ " << c.mask;
  }
}
