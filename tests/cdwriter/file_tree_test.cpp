// The burner's stored properties and its file tree: inserting files found on
// disk, replacing them, the name rules and the limits of the tree.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "platform/rtl/file_times.h"
#include "platform/rtl/files.h"
#include "tests/cdwriter/burner_test_util.h"

namespace {

class FileTreeTest : public ::testing::Test {
protected:
  void SetUp() override { burner_ = NewBurner(log_); }

  AnsiString Source(const std::string& name, size_t bytes) {
    return Utf8ToAnsi(dir_.Write(AnsiToUtf8(name), std::string(bytes, 'x')));
  }
  // The names of a directory's list, in list order.
  static std::string Listing(const TDEntry* dir) {
    std::string s;
    for (const TFEntry* e = dir->Files; e; e = e->Next) s += e->LongName + "|" + e->ShortName + " ";
    return s;
  }

  TempFolder dir_;
  std::vector<DebugLine> log_;
  BurnerPtr burner_;
};

}  // namespace

TEST_F(FileTreeTest, ConstructorDefaultsTouchNoDrive) {
  TZIDIzizid& b = *burner_;
  EXPECT_TRUE(b.UnderrunProtection());
  EXPECT_FALSE(b.FinalizeDisc());
  EXPECT_FALSE(b.TestWrite());
  EXPECT_FALSE(b.ReplaceFile());
  EXPECT_FALSE(b.PerformOPC());
  EXPECT_TRUE(b.FinalizeTrack());
  EXPECT_TRUE(b.WritePostGap());
  EXPECT_TRUE(b.JolietFileSystem());
  EXPECT_EQ(b.CacheSize(), 4194304);
  EXPECT_EQ(b.Version(), "1.22");
  b.SetVersion("9.99");
  EXPECT_EQ(b.Version(), "1.22");
  EXPECT_EQ(b.ReadSpeed(), 0);
  EXPECT_EQ(b.WriteSpeed(), 0);
  EXPECT_FALSE(b.Bootable);
  EXPECT_EQ(b.ImportSession, 0);
  // The stored WriteSpeed 0 reaches no drive: no transport is loaded.
  b.SetWriteSpeed(0);
  EXPECT_FALSE(b.ASPIInitialized());
  EXPECT_EQ(b.ImageHeader()->Size(), 0);

  ASSERT_EQ(b.DirCount(), 1);
  const TDEntry* root = b.Root();
  EXPECT_EQ(root->ShortName, "CD_ROOT");
  EXPECT_EQ(root->LongName, "CD Root Directory");
  EXPECT_EQ(root->Path, "\\");
  EXPECT_EQ(root->Level, 1);
  EXPECT_EQ(root->Parent, root);
  EXPECT_EQ(root->Files, nullptr);
  EXPECT_EQ(b.FileCount(), 0);
  EXPECT_EQ(b.TotalDataSize(), 0);
  EXPECT_EQ(GmtOffset, LocalGmtOffset());
}

TEST_F(FileTreeTest, CacheSizeIsAtLeastTwoMebibytesInWholeSectors) {
  struct {
    int value, stored;
  } cases[] = {{1000000, 2097152}, {-1, 2097152}, {2097151, 2097152}, {4194304 + 1800, 4194304}, {6000000, 5998592}};
  for (const auto& c : cases) {
    burner_->SetCacheSize(c.value);
    EXPECT_EQ(burner_->CacheSize(), c.stored) << c.value;
  }
}

TEST_F(FileTreeTest, InsertFileFindsItsDestination) {
  const AnsiString a = Source("data/a.txt", 10);
  EXPECT_EQ(burner_->InsertFile("\\", a, false), 1);
  EXPECT_EQ(Listing(burner_->Root()), "a.txt|A.TXT ");

  // KeepSourcePath: the source folder, every level of it, becomes the image folder.
  EXPECT_EQ(burner_->InsertFile("", a, true), 1);
  const AnsiString folder = StringReplace(ExtractFileDir(a), "/", "\\", rfReplaceAll);
  const TDEntry* data = burner_->FindDirectory(folder);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->Path, UpperCase(folder));
  EXPECT_EQ(data->LongName, "data");
  EXPECT_EQ(data->ShortName, "DATA");
  EXPECT_EQ(Listing(data), "a.txt|A.TXT ");
  EXPECT_EQ(data->Level, static_cast<int>(std::count(folder.begin(), folder.end(), '\\')) + 1);
  EXPECT_EQ(burner_->FindDirectory(UpperCase(folder) + "\\"), data);
  EXPECT_TRUE(log_.empty());

  EXPECT_EQ(burner_->InsertFile("\\missing", a, false), 0);
  EXPECT_EQ(log_, (std::vector<DebugLine>{{"INVALID DESTINATION PATH", 4}}));

  const int files = burner_->FileCount();
  EXPECT_EQ(burner_->InsertFile("\\", dir_ / "data/none.txt", false), 255);
  EXPECT_EQ(burner_->InsertFile("\\", dir_ / "data/A.TXT", false), 255);  // names are exact
  EXPECT_EQ(burner_->InsertFile("\\", dir_ / "data/*", false), 255);
  EXPECT_EQ(burner_->InsertFile("\\", dir_ / "data", false), 255);  // a folder is no file
  EXPECT_EQ(burner_->InsertFile("\\", dir_.name() + "/", false), 255);
  EXPECT_EQ(burner_->FileCount(), files);
}

TEST_F(FileTreeTest, FileAttributesDatesAndLinks) {
  const AnsiString hidden = Source(".profile", 5);
  const AnsiString readme = Source("README", 7);
  ASSERT_EQ(symlink(AnsiToUtf8(readme).c_str(), (dir_ / "link.txt").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (dir_ / "dangling.txt").c_str()), 0);
  TDateTime age = 0;
  ASSERT_TRUE(FileAge(readme, age));

  EXPECT_EQ(burner_->InsertFile("\\", hidden, false), 1);
  EXPECT_EQ(burner_->InsertFile("\\", readme, false), 1);
  EXPECT_EQ(burner_->InsertFile("\\", dir_ / "link.txt", false), 1);
  EXPECT_EQ(burner_->InsertFile("\\", dir_ / "dangling.txt", false), 255);
  // The ISO 9660 name of a file without an extension ends in its dot; the Joliet name stays as given.
  EXPECT_EQ(Listing(burner_->Root()), ".profile|.PROFILE README|README. link.txt|LINK.TXT ");
  const TFEntry* profile = burner_->File(0);
  EXPECT_EQ(profile->Attr & faHidden, faHidden);
  const TFEntry* readme_entry = burner_->File(1);
  EXPECT_EQ(readme_entry->FileSize, 7);
  EXPECT_EQ(readme_entry->SourcePath, readme);
  EXPECT_DOUBLE_EQ(readme_entry->DateTime, age);
  EXPECT_EQ(burner_->File(2)->FileSize, 7);  // the file the link leads to
  EXPECT_EQ(burner_->TotalDataSize(), 3 * 2048);
}

TEST_F(FileTreeTest, ReplaceFileKeepsOrReplacesTheEntry) {
  const AnsiString first = Source("one/same.txt", 3000);
  const AnsiString second = Source("two/same.txt", 5000);
  burner_->InsertFile("\\", first, false);
  EXPECT_EQ(burner_->InsertFile("\\", second, false), 2);  // refused, and said so
  EXPECT_EQ(log_, (std::vector<DebugLine>{{"FILE NAME ALREADY IN THE FOLDER: same.txt", 4}}));
  EXPECT_EQ(burner_->FileCount(), 1);
  EXPECT_EQ(burner_->File(0)->SourcePath, first);
  EXPECT_EQ(burner_->TotalDataSize(), 4096);

  burner_->SetReplaceFile(true);
  EXPECT_EQ(burner_->InsertFile("\\", second, false), 1);
  EXPECT_EQ(burner_->FileCount(), 1);
  EXPECT_EQ(burner_->File(0)->SourcePath, second);
  EXPECT_EQ(burner_->File(0)->ShortName, "SAME.TXT");
  EXPECT_EQ(burner_->TotalDataSize(), 6144);

  // An entry of an earlier session was never counted, so replacing it takes nothing off.
  TTreeRecord old;
  old.Name = "old.txt";
  old.Size = 10000;
  EXPECT_EQ(burner_->AddFileEntry(burner_->Root(), old, 0, 777, ""), 1);
  EXPECT_TRUE(burner_->File(1)->Imported);
  EXPECT_EQ(burner_->TotalDataSize(), 6144);
  EXPECT_EQ(burner_->InsertFile("\\", Source("old.txt", 1), false), 1);
  EXPECT_FALSE(burner_->File(1)->Imported);
  EXPECT_EQ(burner_->TotalDataSize(), 8192);

  // A folder of that name stays a folder.
  TDEntry* folder = burner_->AddDirectory(burner_->Root(), "same.dir", faDirectory);
  ASSERT_NE(folder, nullptr);
  EXPECT_EQ(burner_->InsertFile("\\", Source("same.dir", 10), false), 2);
  EXPECT_EQ(Listing(burner_->Root()), "same.txt|SAME.TXT old.txt|OLD.TXT same.dir|SAME.DIR ");
  EXPECT_EQ(burner_->Root()->Files->Next->Next->Dir, folder);
  EXPECT_EQ(burner_->TotalDataSize(), 8192);
}

TEST_F(FileTreeTest, LongNamesStopAt108Characters) {
  const std::string stem108(104, 'n'), stem109(105, 'n');
  EXPECT_EQ(burner_->InsertFile("\\", Source(stem108 + ".txt", 1), false), 1);
  EXPECT_EQ(burner_->InsertFile("\\", Source(stem109 + ".txt", 1), false), 2);
  EXPECT_EQ(burner_->InsertFile("\\", Source(std::string(107, 'r'), 1), false), 1);  // 108 with the dot
  EXPECT_EQ(burner_->InsertFile("\\", Source(std::string(108, 'r'), 1), false), 2);  // 109 with the dot
  ASSERT_EQ(burner_->FileCount(), 2);
  EXPECT_EQ(burner_->File(0)->LongName, stem108 + ".txt");
  EXPECT_EQ(burner_->File(1)->ShortName, std::string(107, 'R') + ".");
  EXPECT_EQ(log_, (std::vector<DebugLine>{{"FILE NAME TOO LONG FOR JOLIET: " + stem109 + ".txt", 4},
                                          {"FILE NAME TOO LONG FOR JOLIET: " + std::string(108, 'r'), 4}}));

  // A handler that clears Skip cannot bring a longer name in; one that
  // shortens the name can, and one that sets Skip keeps any file out.
  AnsiString seen_path;
  burner_->OnAddFile = [&](TObject*, const AnsiString& path, AnsiString& long_name, AnsiString& short_name,
                           TDateTime&, int, int64_t size, bool& skip) {
    seen_path = path;
    EXPECT_EQ(size, 1);
    if (long_name.starts_with("short")) {
      long_name = "short.txt";
      short_name = "SHORT.TXT";
    }
    skip = long_name.starts_with("skip");
  };
  const AnsiString too_long = Source(std::string(200, 'k') + ".txt", 1);
  EXPECT_EQ(burner_->InsertFile("\\", too_long, false), 2);
  EXPECT_EQ(seen_path, too_long);
  EXPECT_EQ(burner_->InsertFile("\\", Source("short" + std::string(200, 's') + ".txt", 1), false), 1);
  EXPECT_EQ(burner_->InsertFile("\\", Source("skip.txt", 1), false), 2);
  EXPECT_EQ(Listing(burner_->Root()),
            stem108 + ".txt|" + UpperCase(stem108) + ".TXT " + std::string(107, 'r') + "|" +
                std::string(107, 'R') + ". short.txt|SHORT.TXT ");

  // Folder names up to 110 characters fit; a longer one is no destination.
  EXPECT_NE(burner_->AddDirectory(burner_->Root(), std::string(110, 'd'), faDirectory), nullptr);
  EXPECT_EQ(burner_->ForceDirectory("\\" + std::string(111, 'd')), nullptr);
  log_.clear();
  EXPECT_EQ(burner_->InsertFile("", Source(std::string(111, 'd') + "/f.txt", 1), true), 0);
  EXPECT_EQ(log_, (std::vector<DebugLine>{{"INVALID DESTINATION PATH", 4}}));
}

TEST_F(FileTreeTest, FilesOf4GiBAreRefused) {
  const std::string big = dir_ / "big.bin";
  { std::ofstream(big) << ""; }
  std::filesystem::resize_file(big, uint64_t{1} << 32);
  std::filesystem::resize_file(dir_.Write("under.bin", ""), (uint64_t{1} << 32) - 1);
  EXPECT_EQ(burner_->InsertFile("\\", big, false), 2);
  EXPECT_EQ(burner_->InsertFile("\\", dir_ / "under.bin", false), 1);
  EXPECT_EQ(log_, (std::vector<DebugLine>{{"FILE TOO LARGE FOR ISO 9660: big.bin", 4}}));
  ASSERT_EQ(burner_->FileCount(), 1);
  EXPECT_EQ(burner_->File(0)->FileSize, (int64_t{1} << 32) - 1);
  EXPECT_EQ(burner_->TotalDataSize(), int64_t{1} << 32);
}

TEST_F(FileTreeTest, TreeLimitsRefuseWithTheirMessages) {
  burner_->ClearTree(3, 3);
  const AnsiString f = Source("f.txt", 1);
  ASSERT_NE(burner_->ForceDirectory("\\a\\b"), nullptr);  // two folders, two entries
  EXPECT_EQ(burner_->ForceDirectory("\\c"), nullptr);
  EXPECT_EQ(burner_->InsertFile("\\a", f, false), 1);
  EXPECT_EQ(burner_->InsertFile("\\a\\b", f, false), 2);  // the fourth entry
  EXPECT_EQ(log_, (std::vector<DebugLine>{{">>> MAXIMUM DIRECTORIES CAN BE 3", 3}, {"MAXIMUM FILES CAN BE 3", 3}}));
  EXPECT_EQ(burner_->FileCount(), 3);

  // A folder whose entry finds no room is not kept either.
  burner_->ClearTree(1, 5);
  log_.clear();
  ASSERT_NE(burner_->AddDirectory(burner_->Root(), "x", faDirectory), nullptr);
  EXPECT_EQ(burner_->AddDirectory(burner_->Root(), "y", faDirectory), nullptr);
  EXPECT_EQ(burner_->DirCount(), 2);
  EXPECT_EQ(burner_->IsoOrder().size(), 2u);
  EXPECT_EQ(burner_->JolietOrder().size(), 2u);
  EXPECT_EQ(log_, (std::vector<DebugLine>{{"MAXIMUM FILES CAN BE 1", 3}}));

  burner_->ClearTree();
  EXPECT_EQ(burner_->DirCount(), 1);
  EXPECT_EQ(burner_->FileCount(), 0);
}

TEST_F(FileTreeTest, FoldersAreFoundByPathAndAddedOnce) {
  TDEntry* docs = burner_->ForceDirectory("\\Docs\\2024\\Účty");
  ASSERT_NE(docs, nullptr);
  EXPECT_EQ(docs->Path, "\\DOCS\\2024\\ÚčTY");
  EXPECT_EQ(docs->ShortName, "__TY");
  EXPECT_EQ(docs->Level, 4);
  // Looking up falls back to the upper-case path; adding takes the names as they are.
  EXPECT_EQ(burner_->FindDirectory("\\docs\\2024\\Účty"), docs);
  EXPECT_EQ(burner_->ForceDirectory("\\Docs\\2024\\Účty\\"), docs);
  EXPECT_EQ(burner_->AddDirectory(docs->Parent, "\\Účty\\", faDirectory), docs);
  EXPECT_EQ(burner_->DirCount(), 4);
  EXPECT_EQ(burner_->AddDirectory(burner_->Root(), "a-very-long-folder-name", faDirectory)->ShortName,
            "A-VERY-LONG-F");
  EXPECT_EQ(burner_->AddDirectory(burner_->Root(), "a-very-long-folder-too", faDirectory)->ShortName,
            "A-VERY-LONG-F_1");
  EXPECT_EQ(burner_->ForceDirectory("\\x\\..\\y"), nullptr);
  EXPECT_FALSE(burner_->LayoutValid());
}

// Names that differ only in letter case, or only in a final dot, are all kept:
// Joliet names as given, ISO 9660 names made unique in their folder.
TEST_F(FileTreeTest, NamesThatOnlyLookAlikeAreAllKept) {
  for (const char* name : {"Readme.txt", "README.txt", "readme.TXT", "noext", "noext.", "Data/a.txt", "data/a.txt"})
    Source(name, 1);
  for (const char* name : {"Readme.txt", "README.txt", "readme.TXT", "noext", "noext."})
    EXPECT_EQ(burner_->InsertFile("\\", dir_ / name, false), 1) << name;
  for (const char* folder : {"Data", "data"}) {
    ASSERT_NE(burner_->ForceDirectory(AnsiString("\\") + folder), nullptr);
    EXPECT_EQ(burner_->InsertFile(AnsiString("\\") + folder, dir_ / (std::string(folder) + "/a.txt"), false), 1) << folder;
  }
  EXPECT_EQ(Listing(burner_->Root()),
            "Readme.txt|README.TXT README.txt|README_1.TXT readme.TXT|README_2.TXT noext|NOEXT. noext.|NOEXT_1. "
            "Data|DATA data|DATA_1 ");
  ASSERT_EQ(burner_->DirCount(), 3);
  EXPECT_EQ(burner_->FindDirectory("\\data"), burner_->Dir(2));
  EXPECT_EQ(burner_->FindDirectory("\\DATA"), burner_->Dir(1));  // the first of the look-alikes
  EXPECT_EQ(burner_->File(burner_->FileCount() - 1)->SourcePath, dir_ / "data/a.txt");
  EXPECT_TRUE(log_.empty());
}

// Names outside Windows-1250 keep their Joliet form as given through the
// UTF-16 calls; their Windows-1250 form has "_" for what the code page lacks,
// and the ISO 9660 names made from it are numbered apart. A Windows-1250 name
// keeps no second form.
TEST_F(FileTreeTest, NamesOutsideTheCodePageKeepTheirJolietForm) {
  // Outside the test macros: they quote their arguments in the code page.
  const WideString greek_path = u"\\Ελληνικά", folder = u"Папка", alpha = u"αβγ.txt", alpha2 = u"αβγ (2).txt";
  const std::vector<WideString> names = {folder, alpha, u"δεζ.txt", u"ΑΒΓ.txt", u"čaj.txt"};
  const WideString name108 = WideString(104, u'\u03bb') + u".txt", name109 = u"\u03bb" + name108;
  const WideString smile = u"smile\U0001F600.txt", smile_folder = u"\\folder\U0001F600";
  const auto source = [&](const WideString& name) { return Utf8ToWide(dir_.Write(WideToUtf8(name), "x")); };

  ASSERT_NE(burner_->ForceDirectory(greek_path + u"\\" + folder), nullptr);
  for (size_t i = 1; i < names.size(); ++i)
    EXPECT_EQ(burner_->InsertFile(greek_path, source(names[i]), false), 1) << WideToUtf8(names[i]);
  const TDEntry* greek = burner_->FindDirectory(greek_path);
  ASSERT_NE(greek, nullptr);
  EXPECT_EQ(burner_->FindDirectory(greek_path + u"\\" + folder + u"\\")->Parent, greek);
  EXPECT_EQ(burner_->FindDirectory("\\________"), nullptr);  // its Windows-1250 form is no path
  EXPECT_EQ(greek->LongName, "________");
  EXPECT_EQ(greek->WideName, greek_path.substr(1));
  EXPECT_EQ(greek->Path, "\\________");
  EXPECT_EQ(Listing(greek), "_____|_____ ___.txt|___.TXT ___.txt|____1.TXT ___.txt|____2.TXT čaj.txt|čAJ.TXT ");
  std::vector<WideString> joliet;
  for (const TFEntry* e = greek->Files; e; e = e->Next) joliet.push_back(JolietName(*e));
  EXPECT_EQ(joliet, names);
  const TFEntry* alpha_entry = greek->Files->Next;
  EXPECT_EQ(alpha_entry->WideSourcePath, Utf8ToWide(dir_ / WideToUtf8(alpha)));
  EXPECT_EQ(alpha_entry->SourcePath, dir_ / "___.txt");
  EXPECT_TRUE(greek->Files->Next->Next->Next->Next->WideName.empty());

  // The same name again is taken; a stored name puts the file in under another one.
  EXPECT_EQ(burner_->InsertFile(greek_path, source(alpha), false), 2);
  EXPECT_EQ(burner_->InsertFile(greek_path, source(alpha), false, alpha2), 1);
  EXPECT_EQ(burner_->File(burner_->FileCount() - 1)->WideName, alpha2);

  // 108 UTF-16 units fit a record; 109 do not, nor a character beyond UCS-2.
  log_.clear();
  EXPECT_EQ(burner_->InsertFile(u"\\", source(name108), false), 1);
  EXPECT_EQ(burner_->InsertFile(u"\\", source(name109), false), 2);
  EXPECT_EQ(burner_->InsertFile(u"\\", source(smile), false), 2);
  EXPECT_EQ(burner_->ForceDirectory(smile_folder), nullptr);
  EXPECT_EQ(log_, (std::vector<DebugLine>{{"FILE NAME TOO LONG FOR JOLIET: " + std::string(105, '_') + ".txt", 4},
                                          {"NAME HAS A CHARACTER OUTSIDE JOLIET'S UCS-2: smile_.txt", 4}}));

  // A handler sees the Windows-1250 forms; a name it gives is taken as it is.
  burner_->OnAddFile = [](TObject*, const AnsiString&, AnsiString& long_name, AnsiString&, TDateTime&, int,
                          int64_t, bool&) {
    if (long_name == "___.txt") long_name = "renamed.txt";
  };
  EXPECT_EQ(burner_->InsertFile(u"\\", source(u"\u03c9\u03c8\u03c7.txt"), false), 1);
  EXPECT_EQ(burner_->File(burner_->FileCount() - 1)->LongName, "renamed.txt");
  EXPECT_TRUE(burner_->File(burner_->FileCount() - 1)->WideName.empty());
}
