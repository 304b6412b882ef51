// The zipper as the backup program drives it: one dump packed into a new or
// existing archive in a dated folder, checked with unzip right after each
// call; the paged form of the same calls; the kinds it refuses and creates;
// and the component's events and meters.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "archive/ab_tar.h"
#include "archive/ab_zip_browser.h"
#include "archive/ab_zipper.h"
#include "platform/rtl/files.h"
#include "tests/support/temp_folder.h"
#include "tests/archive/ab_zip_test_util.h"

using namespace ziptest;

namespace {

// A meter component that records what it was told.
class RecordingMeter : public TComponent, public IAbProgressMeter {
public:
  using TComponent::TComponent;
  void DoProgress(uint8_t progress) override { shown.push_back(progress); }
  void Reset() override { ++resets; }

  std::vector<int> shown;
  int resets = 0;
};

struct ItemReport {
  TObject* sender;
  std::string name;
  int progress;
};

struct Failure {
  TObject* sender;
  std::string name;
  TAbProcessType type;
  TAbErrorClass errorClass;
  int32_t code;
};

class Zipper : public ::testing::Test {
protected:
  ~Zipper() override {
    if (zipper.ItemProgressMeter()) meter.Free();
  }
  void SetUp() override {
    dump = dir.Write("work/data.zal", Dump("radek", 4000));
    archive = dir / "zip/20240101/data.zip";
    std::filesystem::create_directories(dir / "zip/20240101");
    std::filesystem::create_directories(dir / "tmp");
    zipper.SetAutoSave(true);  // as the program's form data sets it
    zipper.SetDOSMode(false);
    zipper.SetItemProgressMeter(&meter);
    zipper.OnArchiveItemProgress = [this](TObject* s, TAbArchiveItem* item, uint8_t p, bool& abort) {
      EXPECT_FALSE(abort);
      items.push_back({s, item ? item->GetFileName() : std::string(), p});
    };
    zipper.OnProcessItemFailure = [this](TObject* s, TAbArchiveItem* item, TAbProcessType t, TAbErrorClass ec,
                                         int32_t code) { failures.push_back({s, item->GetFileName(), t, ec, code}); };
    zipper.OnChange = [this](TObject* s) {
      EXPECT_EQ(s, &zipper);
      ++changes;
    };
  }

  static std::string Dump(const std::string& word, int rows) {
    std::string s;
    for (int i = 0; i < rows; ++i) s += "INSERT INTO t VALUES (" + std::to_string(i) + ",'" + word + "');\r\n";
    return s;
  }

  // The date-folder form of the backup run for one dump.
  void PackDateFolder(TAbStoreOptions options = {soStripPath}) {
    zipper.SetTempDirectory(dir / "tmp");
    zipper.SetFileName(archive);
    zipper.SetStoreOptions(options);
    zipper.AddFiles(dump, 0);
  }

  std::string Unzip(const std::string& args) {
    ShellResult r = Shell("unzip " + args + " " + Quote(archive));
    EXPECT_EQ(r.status, 0) << r.output;
    return r.output;
  }

  // The archive holds exactly the member data.zal with Content.
  void ExpectArchiveHolds(const std::string& content) {
    EXPECT_EQ(Unzip("-Z1"), "data.zal\n");
    Unzip("-tq");
    EXPECT_TRUE(Unzip("-p") == content) << "member data differs";
  }

  TempFolder dir;
  std::string dump, archive;
  TAbZipper zipper{nullptr};
  RecordingMeter& meter = *new RecordingMeter(nullptr);
  std::vector<ItemReport> items;
  std::vector<Failure> failures;
  int changes = 0;
};

}  // namespace

TEST_F(Zipper, BackupSequenceWritesAValidArchiveBeforeAddFilesReturns) {
  zipper.SetTempDirectory(dir / "tmp");
  zipper.SetFileName(archive);
  EXPECT_TRUE(FileExists(archive));
  EXPECT_EQ(FileSize(archive), 0);
  EXPECT_EQ(zipper.ArchiveKind, akZip);
  EXPECT_EQ(zipper.Status(), arIdle);
  EXPECT_EQ(zipper.Archive()->TempDirectory(), dir / "tmp");
  EXPECT_EQ(changes, 1);

  zipper.SetStoreOptions({soStripPath});
  zipper.AddFiles(dump, 0);
  ExpectArchiveHolds(FileBytes(dump));
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(failures.empty());

  ASSERT_FALSE(items.empty());
  for (const ItemReport& r : items) {
    EXPECT_EQ(r.sender, &zipper);
    EXPECT_EQ(r.name, "data.zal");
  }
  std::vector<int> reported;
  for (const ItemReport& r : items) reported.push_back(r.progress);
  EXPECT_EQ(meter.shown, reported);  // the meter saw the same reports first
  EXPECT_GE(meter.resets, 2);  // when the archive opened and when the item was confirmed

  const std::string saved = FileBytes(archive);
  zipper.CloseArchive();
  EXPECT_EQ(FileBytes(archive), saved);
  EXPECT_EQ(zipper.FileName(), "");
  EXPECT_EQ(zipper.Archive(), nullptr);
  EXPECT_EQ(zipper.Status(), arInvalid);
  EXPECT_EQ(changes, 3);

  zipper.CloseArchive();  // nothing open: no event
  EXPECT_EQ(changes, 3);
}

TEST_F(Zipper, NewArchiveOfAKindThatCannotBeCreatedIsRefusedBeforeAnythingExists) {
  zipper.SetFileName(archive);
  zipper.CloseArchive();
  const int before = changes;
  for (const char* name : {"setup.exe", "set.cab", "data.bin"}) {
    const std::string path = dir / name;
    EXPECT_THROW(zipper.SetFileName(path), EAbUnhandledType) << name;
    EXPECT_FALSE(std::filesystem::exists(path)) << name;
    EXPECT_EQ(zipper.Archive(), nullptr);
    EXPECT_EQ(zipper.ArchiveKind, akZip);
  }
  EXPECT_EQ(changes, before);
  EXPECT_THROW(zipper.AddFiles(dump, 0), EAbNoArchive);
}

TEST_F(Zipper, WithoutAutoSaveTheArchiveIsWrittenOnlyOnSaveOrClose) {
  zipper.SetAutoSave(false);
  PackDateFolder();
  EXPECT_EQ(FileSize(archive), 0);
  zipper.Save();
  ExpectArchiveHolds(FileBytes(dump));
  zipper.CloseArchive();

  // An existing archive stays as it was until the close writes the change.
  const std::string saved = FileBytes(archive);
  const std::string other = dir.Write("work/other.zal", Dump("jiny", 50));
  zipper.SetFileName(archive);
  zipper.AddFiles(other, 0);
  EXPECT_EQ(FileBytes(archive), saved);
  zipper.CloseArchive();
  EXPECT_EQ(Unzip("-Z1"), "data.zal\nother.zal\n");
  Unzip("-tq");
}

TEST_F(Zipper, ExistingMemberOfTheSameNameIsKeptByDefault) {
  PackDateFolder();
  zipper.CloseArchive();
  const std::string first = FileBytes(archive);
  const std::string firstDump = FileBytes(dump);

  dir.Write("work/data.zal", Dump("novy", 5000));
  PackDateFolder();
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].sender, &zipper);
  EXPECT_EQ(failures[0].name, "data.zal");
  EXPECT_EQ(failures[0].type, ptAdd);
  EXPECT_EQ(failures[0].errorClass, ecLibrary);
  EXPECT_EQ(failures[0].code, 7);
  zipper.CloseArchive();
  EXPECT_EQ(FileBytes(archive), first);
  ExpectArchiveHolds(firstDump);
}

TEST_F(Zipper, ReplaceOptionPutsTheNewerFileInPlaceOfTheMember) {
  PackDateFolder();
  zipper.CloseArchive();

  const std::string newer = Dump("novy", 5000);
  dir.Write("work/data.zal", newer);
  PackDateFolder({soStripPath, soReplace});
  EXPECT_TRUE(failures.empty());
  ExpectArchiveHolds(newer);
  zipper.CloseArchive();
  ExpectArchiveHolds(newer);
}

TEST_F(Zipper, PagedFormGivesTheSameArchive) {
  PackDateFolder();
  zipper.CloseArchive();
  const std::string expected = FileBytes(archive);
  std::filesystem::remove(archive);

  // As the paged backup run calls it.
  zipper.SetFileName(archive);
  zipper.SetAutoSave(true);
  zipper.OpenArchive(archive);  // reopens the empty file just created
  EXPECT_EQ(zipper.ArchiveKind, akZip);
  zipper.AddFiles(dump, 0);
  zipper.Save();
  EXPECT_NE(zipper.Status(), arBusy);
  zipper.CloseArchive();
  EXPECT_EQ(FileBytes(archive), expected);
}

TEST_F(Zipper, ClosingANewArchiveWithNothingAddedLeavesAnEmptyFile) {
  zipper.SetFileName(archive);
  zipper.CloseArchive();
  EXPECT_EQ(FileSize(archive), 0);
}

TEST_F(Zipper, CreatesAndReopensTarAndCompressedArchives) {
  struct Case {
    const char* name;
    TAbArchiveKind kind;
    const char* list;  // a peer command that prints the content
    const char* expected;
  } cases[] = {
      {"d.tar", akTar, "tar tf", "data.zal\n"},
      {"d.tgz", akGzippedTar, "tar tzf", "data.zal\n"},
      {"d.tbz", akBzippedTar, "tar tjf", "data.zal\n"},
      {"d.zal.gz", akGzip, "gzip -dc", nullptr},
      {"d.zal.bz2", akBzip2, "bzip2 -dc", nullptr},
  };
  zipper.OpenInnerTar = true;
  for (const Case& c : cases) {
    const std::string path = dir / c.name;
    zipper.SetFileName(path);
    EXPECT_EQ(zipper.ArchiveKind, c.kind) << c.name;
    zipper.SetStoreOptions({soStripPath});
    zipper.AddFiles(dump, 0);
    zipper.CloseArchive();
    ShellResult r = Shell(std::string(c.list) + " " + Quote(path));
    EXPECT_EQ(r.status, 0) << c.name << r.output;
    EXPECT_TRUE(r.output == (c.expected ? std::string(c.expected) : FileBytes(dump))) << c.name << r.output.substr(0, 200);

    zipper.SetFileName(path);  // detected from the content now
    EXPECT_EQ(zipper.ArchiveKind, c.kind) << c.name;
    ASSERT_EQ(zipper.Archive()->Count(), 1) << c.name;
    zipper.CloseArchive();
  }
}

TEST_F(Zipper, ForcedKindOverridesNameAndContent) {
  zipper.ForceKind = true;
  zipper.ArchiveKind = akZip;
  zipper.SetFileName(dir / "data.dat");
  zipper.SetStoreOptions({soStripPath});
  zipper.AddFiles(dump, 0);
  zipper.CloseArchive();
  EXPECT_EQ(Shell("unzip -tq " + Quote(dir / "data.dat")).status, 0);

  Shell("cd " + Quote(dir / "work") + " && tar cf ../tar.zip data.zal");
  zipper.ArchiveKind = akTar;
  zipper.SetFileName(dir / "tar.zip");
  EXPECT_NE(dynamic_cast<TAbTarArchive*>(zipper.Archive()), nullptr);
  EXPECT_EQ(zipper.Archive()->Count(), 1);
}

TEST_F(Zipper, SettingsReachTheOpenArchive) {
  zipper.SetStoreOptions({soStripPath, soRecurse});
  zipper.SetCompressionMethodToUse(smStored);
  zipper.SetFileName(archive);
  auto* zip = dynamic_cast<TAbZipArchive*>(zipper.Archive());
  ASSERT_NE(zip, nullptr);
  EXPECT_EQ(zip->StoreOptions(), TAbStoreOptions({soStripPath, soRecurse}));
  EXPECT_EQ(zip->CompressionMethodToUse(), smStored);
  EXPECT_TRUE(zip->AutoSave());
  EXPECT_EQ(zip->BaseDirectory(), "");  // the component's empty folder, not the program's

  zipper.SetBaseDirectory(dir / "work/");
  EXPECT_EQ(zipper.BaseDirectory(), dir / "work");
  EXPECT_THROW(zipper.SetBaseDirectory(dir / "nowhere"), EAbNoSuchDirectory);
  EXPECT_EQ(zipper.BaseDirectory(), dir / "work");
  EXPECT_EQ(zip->BaseDirectory(), dir / "work");

  zipper.SetAutoSave(false);
  zipper.SetDeflationOption(doMaximum);
  EXPECT_FALSE(zip->AutoSave());
  EXPECT_EQ(zip->DeflationOption(), doMaximum);

  zipper.AddFiles("data.zal", 0);  // relative to the base folder
  zipper.SetZipfileComment("zaloha");
  zipper.CloseArchive();
  EXPECT_NE(Unzip("-z").find("zaloha"), std::string::npos);
  EXPECT_TRUE(Unzip("-p") == FileBytes(dump));
  EXPECT_THROW(zipper.SetZipfileComment("x"), EAbNoArchive);
}

TEST_F(Zipper, AFreedMeterIsForgotten) {
  auto* owner = new TComponent(nullptr);
  auto* archiveMeter = new RecordingMeter(owner);
  auto* saveMeter = new RecordingMeter(owner);
  zipper.SetArchiveProgressMeter(archiveMeter);
  zipper.SetArchiveSaveProgressMeter(saveMeter);
  meter.Free();
  owner->Free();
  EXPECT_EQ(zipper.ItemProgressMeter(), nullptr);
  EXPECT_EQ(zipper.ArchiveProgressMeter(), nullptr);
  EXPECT_EQ(zipper.ArchiveSaveProgressMeter(), nullptr);
  PackDateFolder();  // progress still reaches the event
  EXPECT_FALSE(items.empty());
}

TEST_F(Zipper, ACorruptArchiveIsNeitherOpenedForChangesNorOverwritten) {
  PackDateFolder();
  zipper.CloseArchive();
  std::string bytes = FileBytes(archive);
  const size_t directory = bytes.rfind("PK\x01\x02");
  ASSERT_NE(directory, std::string::npos);
  bytes[directory + 2] = 9;  // the central header no longer reads as one
  dir.Write("zip/20240101/data.zip", bytes);

  const int before = changes;
  EXPECT_THROW(zipper.SetFileName(archive), EAbZipInvalid);
  EXPECT_EQ(zipper.Status(), arInvalid);
  EXPECT_EQ(changes, before);
  EXPECT_THROW(zipper.AddFiles(dump, 0), EAbNoArchive);
  zipper.CloseArchive();
  EXPECT_EQ(zipper.Archive(), nullptr);
  EXPECT_EQ(FileBytes(archive), bytes);
}

TEST_F(Zipper, AMissingBaseFolderFailsTheOpenAndLeavesNoFile) {
  zipper.SetBaseDirectory(dir / "nowhere");  // accepted while nothing is open
  EXPECT_THROW(zipper.SetFileName(archive), EAbNoSuchDirectory);
  EXPECT_EQ(zipper.Archive(), nullptr);
  EXPECT_FALSE(std::filesystem::exists(archive));
}

TEST_F(Zipper, NamingALogFileLogsEachConfirmedItem) {
  const std::string log = dir / "zip.log";
  zipper.SetLogFile(log);
  EXPECT_TRUE(zipper.Logging());
  PackDateFolder();
  zipper.CloseArchive();
  const std::string text = FileBytes(log);
  EXPECT_EQ(text.find(archive + " logging "), 0u) << text;
  EXPECT_NE(text.find("\r\ndata.zal added "), std::string::npos) << text;
  zipper.SetLogFile("");
  EXPECT_FALSE(zipper.Logging());
}

TEST(ZipBrowser, OpensExistingArchivesForReadingOnly) {
  TempFolder dir;
  dir.Write("d.txt", "obsah");
  ASSERT_EQ(Shell("cd " + Quote(dir.name()) + " && zip -q a.zip d.txt && tar cf a.tar d.txt").status, 0);
  TAbCustomZipBrowser browser(nullptr);
  int changes = 0;
  browser.OnChange = [&](TObject*) { ++changes; };

  browser.SetFileName(dir / "missing.zip");
  EXPECT_EQ(browser.Archive(), nullptr);
  EXPECT_FALSE(std::filesystem::exists(dir / "missing.zip"));
  EXPECT_THROW(browser.GetItem(0), EAbNoArchive);

  for (const char* name : {"a.zip", "a.tar"}) {
    const std::string before = FileBytes(dir / name);
    browser.OpenArchive(dir / name);
    EXPECT_EQ(browser.Status(), arIdle);
    EXPECT_EQ(browser.GetItem(0)->GetFileName(), "d.txt") << name;
    browser.CloseArchive();
    EXPECT_EQ(FileBytes(dir / name), before) << name;
  }
  EXPECT_EQ(browser.ArchiveKind, akTar);
  EXPECT_EQ(changes, 5);
}
