// Text search, replacement and path merging of the desktop component routines.
#include <gtest/gtest.h>

#include "platform/rtl/files.h"
#include "tests/support/temp_folder.h"
#include "util/routines/text_slicing.h"

namespace {

TEST(TextSlicing, Positions) {
  struct Case {
    const char* sub;
    const char* s;
    int from;
    int pos;
  } cases[] = {
      {"ab", "xabab", 1, 2}, {"ab", "xabab", 3, 4}, {"ab", "xabab", 6, 0}, {"", "xab", 1, 0},
      {"ab", "", 1, 0},      {"abc", "ab", 1, 0},   {"b", "ab", 0, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(UtlPosFrom(c.sub, c.s, c.from), c.pos) << c.sub << " in " << c.s;
  EXPECT_EQ(UtlLastPosBefore(",", "a,b,c", 3), 2);
  EXPECT_EQ(UtlLastPos(",", "a,b,c"), 4);
  EXPECT_EQ(UtlLastPosBefore("bc", "a,b,c", 99), 0);
  EXPECT_EQ(UtlLastPosBefore("c", "abc", 1), 0);  // would start beyond the limit
  EXPECT_EQ(UtlLastPos("x", ""), 0);
}

TEST(TextSlicing, ReplaceAllGoesOnAfterTheInsertedText) {
  struct Case {
    const char* s;
    const char* oldText;
    const char* newText;
    const char* result;
  } cases[] = {
      {"aaa", "a", "aa", "aaaaaa"},  // must not loop
      {"a--b--c", "--", "-", "a-b-c"},
      {"abc", "", "x", "abc"},
      {"abab", "ab", "", ""},
  };
  for (const Case& c : cases) {
    AnsiString s = c.s;
    UtlReplaceAll(s, c.oldText, c.newText);
    EXPECT_EQ(s, c.result) << c.s;
  }
  AnsiString s = "a/b/c";
  UtlReplaceChar(s, '/', '.');
  EXPECT_EQ(s, "a.b.c");
}

TEST(TextSlicing, SplitText) {
  struct Case {
    const char* s;
    const char* delimiter;
    std::vector<AnsiString> lines;
  } cases[] = {
      {"x|y|", "|", {"x", "y"}},
      {"x::y", "::", {"x", "y"}},
      {"a\r\nb", ";", {"a", "b"}},
      {"x||y", "|", {"x", "", "y"}},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.Add("before");
    UtlSplitText(c.s, c.delimiter, &list);
    std::vector<AnsiString> got;
    for (int i = 1; i < list.Count(); ++i) got.push_back(list.Strings(i));
    EXPECT_EQ(got, c.lines) << c.s;
  }
}

TEST(TextSlicing, PathsUseTheSlash) {
  struct Case {
    const char* fileName;
    const char* mask;
    const char* merged;
  } cases[] = {
      {"/a/doc.txt", "*.bak", "/a/doc.bak"},   {"/a/doc.txt", "/b/", "/b/doc.txt"},
      {"/a/doc.txt", "   ", "/a/doc.txt"},    {"/a/doc.txt", "new.?", "/a/new.txt"},
      {"/a/doc.txt", "/c/x*.log", "/c/doc.log"}, {"doc", "*.bak", "doc.bak"},
      {"/a/ž d.txt", "/b/čí.*", "/b/čí.txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(UtlMergeFileName(c.fileName, c.mask), c.merged) << c.mask;

  EXPECT_EQ(UtlAddSlash("/a"), "/a/");
  EXPECT_EQ(UtlAddSlash("/a/"), "/a/");
  EXPECT_EQ(UtlRemoveDoubleSlashes("/a//b//c"), "/a/b/c");
  EXPECT_EQ(UtlExtractName("/a/b.c/d.txt"), "d.txt");
  EXPECT_EQ(UtlExtractPath("/a/b.c/d.txt"), "/a/b.c/");
  EXPECT_EQ(UtlExtractName("a:b\\c"), "a:b\\c");  // ordinary name characters here
  EXPECT_EQ(UtlExtractNameNoExt("/a/d.tar.gz"), "d.tar");
  EXPECT_EQ(UtlExpandPath("/base", "sub//x"), "/base/sub/x");
  EXPECT_EQ(UtlExpandPath("/base", "/abs/x"), "/abs/x");
  EXPECT_EQ(UtlSystemFolder().back(), '/');
}

TEST(TextSlicing, CanCreateFile) {
  TempFolder temp;
  const std::string existing = temp.Write("here.txt", "keep");
  EXPECT_FALSE(UtlCanCreateFile(""));
  EXPECT_TRUE(UtlCanCreateFile(existing));
  EXPECT_EQ(FileSize(existing), 4);  // untouched
  EXPECT_TRUE(UtlCanCreateFile(temp / "new file.txt"));
  EXPECT_FALSE(FileExists(temp / "new file.txt"));  // removed again
  EXPECT_FALSE(UtlCanCreateFile(temp / "missing/x.txt"));
  EXPECT_FALSE(UtlCanCreateFile(temp.name()));  // a folder
}

}  // namespace
