// The file finder: one folder or a tree breadth first, the attribute choice,
// the events and the abort flag.

#include "util/routines/file_finder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/rtl/lists.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

// A ZIP folder: dated backup folders, a stray archive, a hidden file, a
// hidden folder with files in it, and a nested folder one level further down.
class Finder : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* dir : {"20261203", "20261201", ".cache", "20261201/db"}) fs::create_directories(root / dir);
    std::ofstream(root / "stray.zip") << "12345";
    std::ofstream(root / ".cache/x.tmp") << "1";
    std::ofstream(root / ".cache/.h") << "1";
    std::ofstream(root / ".lock") << "1";
    std::ofstream(root / "20261201/db/t.zip") << "123";
    finder.SetDirectory(dir);
  }

  AnsiString Lines(std::initializer_list<const char*> names) {
    AnsiString text;
    for (const char* name : names) text += dir + "/" + name + "\r\n";
    return text;
  }

  TempFolder tmp;
  fs::path root = tmp.path();
  AnsiString dir = tmp.name();
  TFindFile finder{nullptr};
};

TEST_F(Finder, TheFormsSettingsListFilesAndFoldersSortedWithoutHiddenOnes) {
  finder.SetFilter("*");
  finder.SetAttributes(ffDirectory);
  finder.Execute();
  EXPECT_EQ(finder.Files()->Text(), Lines({"20261201", "20261203", "stray.zip"}));
  EXPECT_EQ(finder.FolderCount(), 2u);
  EXPECT_EQ(finder.FileCount(), 1u);
  EXPECT_EQ(finder.TotalSize(), 5u);
  finder.SetDirectory(dir + "/");
  finder.Execute();
  EXPECT_EQ(finder.Files()->Count(), 3);
  EXPECT_EQ(finder.Files()->Strings(0), dir + "/20261201");
}

TEST_F(Finder, DefaultsListPlainAndHiddenFilesButNoFolders) {
  EXPECT_EQ(finder.Filter(), "*.*");
  finder.Execute();
  EXPECT_EQ(finder.Files()->Text(), Lines({".lock", "stray.zip"}));
  finder.SetAttributes(ffHidden | ffDirectory);
  finder.Execute();
  EXPECT_EQ(finder.Files()->Text(), Lines({".cache", ".lock", "20261201", "20261203", "stray.zip"}));
}

TEST_F(Finder, RecursionIsBreadthFirstAndWalksHiddenFoldersUnderTheMask) {
  finder.SetRecurse(true);
  finder.SetAttributes(0);
  std::vector<AnsiString> paths;
  finder.OnNewPath = [&](TObject*, const AnsiString& path, bool&) { paths.push_back(path); };
  finder.Execute();
  EXPECT_EQ(finder.Files()->Text(), Lines({"stray.zip", ".cache/x.tmp", "20261201/db/t.zip"}));
  std::vector<AnsiString> expected{dir + "/", dir + "/.cache/", dir + "/20261201/", dir + "/20261203/",
                                   dir + "/20261201/db/"};
  EXPECT_EQ(paths, expected);
}

TEST_F(Finder, AnEmptyDirectoryClearsTheResultAndStillFiresBothEvents) {
  finder.Execute();
  ASSERT_GT(finder.Files()->Count(), 0);
  std::string events;
  finder.BeforeExecute = [&](TObject* sender) { events += sender == &finder ? "B" : "?"; };
  finder.AfterExecute = [&](TObject*) { events += "A"; };
  finder.SetDirectory("");
  finder.Execute();
  EXPECT_EQ(finder.Files()->Count(), 0);
  EXPECT_EQ(events, "BA");
}

TEST_F(Finder, AbortForTheStartingFolderGivesNothingAndStaysSet) {
  finder.OnNewPath = [](TObject*, const AnsiString&, bool& abort) { abort = true; };
  finder.Execute();
  EXPECT_EQ(finder.Files()->Count(), 0);
  finder.OnNewPath = nullptr;
  finder.Execute();
  EXPECT_EQ(finder.Files()->Count(), 0);  // the flag is not reset between runs
}

TEST_F(Finder, AMissingFolderYieldsNothingAndFilesCanBeAssigned) {
  finder.SetDirectory(dir + "/missing");
  finder.Execute();
  EXPECT_EQ(finder.Files()->Count(), 0);
  TStringList lines;
  lines.Add("x");
  finder.SetFiles(&lines);
  EXPECT_EQ(finder.Files()->Text(), "x\r\n");
}

}  // namespace
