// The ZIP archive's load and save: round trips, dropped entries, the loop
// that reads the directory, executable stubs, and saves that must leave the
// previous archive untouched when they fail.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <vector>

#include "archive/ab_utils.h"
#include "archive/ab_zip_archive.h"
#include "platform/rtl/streams.h"
#include "tests/support/temp_folder.h"
#include "tests/archive/ab_zip_test_util.h"

using namespace ziptest;

namespace {

struct Failure {
  AnsiString name;
  TAbProcessType type;
  TAbErrorClass errorClass;
  int32_t code;
};

class ZipArchiveTest : public ::testing::Test {
protected:
  std::string Zip() const { return dir / "t.zip"; }

  // An archive of the named files, each holding its own name repeated.
  void MakeArchive(const std::vector<std::string>& names) {
    auto zip = OpenZip(Zip());
    for (const std::string& n : names) zip->AddFiles(dir.Write(n, Repeat(n)), AbAttrAnyFile);
    zip->Save();
  }
  static std::string Repeat(const std::string& n) {
    std::string s;
    for (int i = 0; i < 200; ++i) s += n;
    return s;
  }
  void Collect(TAbZipArchive& zip) {
    zip.OnProcessItemFailure = [this](TObject*, TAbArchiveItem* item, TAbProcessType t, TAbErrorClass c, int32_t code) {
      failures.push_back({item->GetFileName(), t, c, code});
    };
  }
  std::vector<AnsiString> Names() {
    auto zip = OpenZip(Zip());
    std::vector<AnsiString> names;
    for (int i = 0; i < zip->Count(); ++i) names.push_back(zip->Items(i)->GetFileName());
    return names;
  }

  TempFolder dir;
  std::vector<Failure> failures;
};

TEST_F(ZipArchiveTest, SavedEntriesLoadBackWithTheirFields) {
  MakeArchive({"a.sql", "b.sql"});
  auto zip = OpenZip(Zip());
  ASSERT_EQ(zip->Count(), 2);
  for (int i = 0; i < 2; ++i) {
    TAbZipItem* item = zip->ZipItems(i);
    std::string expected = Repeat(i == 0 ? "a.sql" : "b.sql");
    EXPECT_EQ(item->GetUncompressedSize(), static_cast<int64_t>(expected.size()));
    EXPECT_EQ(item->GetCRC32(), Crc32OfString(expected));
    EXPECT_EQ(item->CompressionMethod(), 8);
    EXPECT_EQ(item->Action(), iaNone);
  }
  EXPECT_FALSE(zip->IsDirty());
}

TEST_F(ZipArchiveTest, EntryWhoseCompressionFailsIsDroppedAndReported) {
  MakeArchive({"keep.sql"});
  std::string before = FileBytes(Zip());
  {
    auto zip = OpenZip(Zip());
    Collect(*zip);
    zip->InsertHelper = [](TAbZipArchive* a, TAbZipItem* item, TStream* out) {
      if (item->GetFileName() == "bad.sql") {
        out->WriteBuffer("partial", 7);
        throw EInOutError("disk error");
      }
      CompressItemFromFile(a, item, out);
    };
    zip->AddFiles(dir.Write("bad.sql", "x"), AbAttrAnyFile);
    zip->AddFiles(dir.Write("good.sql", "y"), AbAttrAnyFile);
    zip->Save();
    EXPECT_EQ(zip->Count(), 2);
  }
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].name, "bad.sql");
  EXPECT_EQ(failures[0].type, ptAdd);
  EXPECT_EQ(failures[0].errorClass, ecFileOpen);
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"keep.sql", "good.sql"}));
  // The old entry's bytes come first, unchanged, and the partial bytes are gone.
  std::string after = FileBytes(Zip());
  uint32_t oldDirectory = U32(before, before.size() - 6);
  EXPECT_EQ(after.substr(0, oldDirectory), before.substr(0, oldDirectory));
  EXPECT_EQ(after.find("partial"), std::string::npos);
}

TEST_F(ZipArchiveTest, SourceThatVanishedBeforeTheSaveIsAFailure) {
  auto zip = OpenZip(Zip());
  Collect(*zip);
  std::string gone = dir.Write("gone.sql", "data");
  zip->AddFiles(gone, AbAttrAnyFile);
  zip->AddFiles(dir.Write("here.sql", "data"), AbAttrAnyFile);
  std::remove(gone.c_str());
  zip->Save();
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].name, "gone.sql");
  zip.reset();
  EXPECT_EQ(Names(), std::vector<AnsiString>{"here.sql"});
}

// Entries are compressed behind a header written ahead; a hook that renames
// the entry meanwhile changes the header's length, and the data, larger than
// one piece of the move, follows the final header either way.
TEST_F(ZipArchiveTest, EntryRenamedWhileCompressedKeepsItsDataBehindItsHeader) {
  std::mt19937 rng(3);
  std::string data(300000, '\0');
  for (char& c : data) c = static_cast<char>(rng());
  for (const char* renamed : {"a-much-longer-name-than-before.bin", "b"}) {
    SCOPED_TRACE(renamed);
    std::remove(Zip().c_str());
    {
      auto zip = OpenZip(Zip());
      zip->InsertHelper = [renamed](TAbZipArchive* a, TAbZipItem* item, TStream* out) {
        CompressItemFromFile(a, item, out);
        if (item->GetFileName() == "middle.bin") item->SetFileName(renamed);
      };
      for (const char* name : {"first.sql", "middle.bin", "last.sql"})
        zip->AddFiles(dir.Write(name, name == std::string("middle.bin") ? data : Repeat(name)), AbAttrAnyFile);
      zip->Save();
    }
    EXPECT_EQ(Names(), (std::vector<AnsiString>{"first.sql", renamed, "last.sql"}));
    EXPECT_EQ(Shell("unzip -tq " + Quote(Zip())).status, 0);
    EXPECT_EQ(Shell("unzip -p " + Quote(Zip()) + " " + renamed).output, data);
    EXPECT_EQ(Shell("unzip -p " + Quote(Zip()) + " last.sql").output, Repeat("last.sql"));
  }
}

TEST_F(ZipArchiveTest, FailedReplacementKeepsTheOldMember) {
  MakeArchive({"a.sql"});
  auto zip = OpenZip(Zip());
  Collect(*zip);
  zip->SetStoreOptions({soStripDrive, soStripPath, soReplace});
  std::string newer = dir.Write("a.sql", "newer data");
  zip->AddFiles(newer, AbAttrAnyFile);
  std::remove(newer.c_str());
  zip->Save();
  zip.reset();
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].name, "a.sql");
  auto reread = OpenZip(Zip());
  ASSERT_EQ(reread->Count(), 1);
  EXPECT_EQ(reread->ZipItems(0)->GetCRC32(), Crc32OfString(Repeat("a.sql")));
  EXPECT_EQ(Shell("unzip -p " + Quote(Zip()) + " a.sql").output, Repeat("a.sql"));
}

TEST_F(ZipArchiveTest, AbortDuringSaveKeepsTheOldArchive) {
  MakeArchive({"a.sql"});
  std::string before = FileBytes(Zip());
  auto zip = OpenZip(Zip());
  zip->AddFiles(dir.Write("b.sql", "b"), AbAttrAnyFile);
  zip->OnArchiveProgress = [](TObject*, uint8_t, bool& abort) { abort = true; };
  EXPECT_THROW(zip->Save(), EAbUserAbort);
  EXPECT_EQ(FileBytes(Zip()), before);
}

TEST_F(ZipArchiveTest, DeletedEntryLeavesFileAndList) {
  MakeArchive({"a.sql", "b.sql", "c.sql"});
  auto zip = OpenZip(Zip());
  zip->Items(1)->SetAction(iaDelete);
  zip->SetIsDirty(true);
  zip->Save();
  EXPECT_EQ(zip->Count(), 2);
  zip.reset();
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"a.sql", "c.sql"}));
  EXPECT_EQ(Shell("unzip -tq " + Quote(Zip())).status, 0);
}

TEST_F(ZipArchiveTest, ArchiveWithoutItemsIsNotRewritten) {
  auto zip = OpenZip(Zip());
  zip->Save();
  EXPECT_EQ(FileBytes(Zip()), "");
}

// The directory is read up to the end record; an end record that counts
// other than what was read marks a damaged archive, and a claimed count of 0
// must not break the progress report on the way.
TEST_F(ZipArchiveTest, DirectoryCountDisagreeingWithEndRecordIsRefused) {
  MakeArchive({"a.sql", "b.sql", "c.sql"});
  std::string bytes = FileBytes(Zip());
  for (uint16_t claimed : {2, 0}) {
    std::string patched = bytes;
    size_t end = patched.size() - 22;
    patched[end + 8] = patched[end + 10] = static_cast<char>(claimed);
    TStringStream s(patched);
    TAbZipArchive zip(&s, "/tmp/patched.zip");
    std::vector<int> progress;
    zip.OnArchiveProgress = [&](TObject*, uint8_t p, bool&) { progress.push_back(p); };
    try {
      zip.Load();
      ADD_FAILURE() << "count " << claimed << " was accepted";
    } catch (const EAbZipInvalid& e) {
      EXPECT_NE(e.Message().find("holds 3 entries, the end record counts " + std::to_string(claimed)),
                std::string::npos) << e.Message();
    }
    EXPECT_EQ(progress.size(), 3u);
    for (int p : progress) EXPECT_LE(p, 100);
  }
}

// A ZIP behind an executable stub: the stub is the bytes before the first
// entry, and a save writes them first again.
TEST_F(ZipArchiveTest, ExecutableStubIsKeptBySave) {
  MakeArchive({"a.sql"});
  std::string zipBytes = FileBytes(Zip());
  const std::string stub = "MZ" + std::string(98, '\x90');
  // Shift the one entry's offset and the directory offset by the stub.
  size_t end = zipBytes.size() - 22;
  uint32_t dirOffset = U32(zipBytes, end + 16);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) zipBytes[at + i] = static_cast<char>(v >> (8 * i));
  };
  put32(dirOffset + 42, static_cast<uint32_t>(stub.size()));
  put32(end + 16, dirOffset + static_cast<uint32_t>(stub.size()));
  std::string sfx = dir / "t.zip";
  std::ofstream(sfx, std::ios::binary) << stub << zipBytes;
  {
    auto zip = OpenZip(sfx);
    EXPECT_TRUE(zip->IsExecutable());
    EXPECT_EQ(zip->StubSize(), stub.size());
    zip->AddFiles(dir.Write("b.sql", "bbb"), AbAttrAnyFile);
    zip->Save();
  }
  std::string saved = FileBytes(sfx);
  EXPECT_EQ(saved.substr(0, stub.size()), stub);
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"a.sql", "b.sql"}));
  EXPECT_EQ(Shell("unzip -tq " + Quote(sfx)).status, 0);
}

// A save that cannot write its file fails with EAbBadStream naming the
// archive, and leaves the previous archive byte for byte. Run in a child so the file-size limit and
// the ignored SIGXFSZ stay there.
TEST_F(ZipArchiveTest, SaveIntoSizeLimitedFileKeepsOldArchive) {
  MakeArchive({"a.sql"});
  std::string before = FileBytes(Zip());
  std::string copy = dir.Write("before.copy", before);
  std::mt19937 rng(3);
  std::string big(300000, '\0');
  for (char& c : big) c = static_cast<char>(rng());
  std::string bigFile = dir.Write("big.bin", big);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    auto zip = OpenZip(Zip());
    rlimit limit{100000, 100000};
    setrlimit(RLIMIT_FSIZE, &limit);
    zip->AddFiles(bigFile, AbAttrAnyFile);
    try {
      zip->Save();
    } catch (const EAbBadStream& e) {
      _exit(e.Message().find(Zip() + ": ") != std::string::npos ? 7 : 6);
    } catch (...) {
      _exit(8);
    }
    _exit(9);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 7);
  EXPECT_EQ(Shell("cmp " + Quote(Zip()) + " " + Quote(copy)).status, 0);
  // No temporary file is left beside the archive.
  EXPECT_EQ(Shell("ls " + Quote(dir.name()) + " | grep -c VMS").output, "0\n");
}

// An end record counts entries in 16 bits: one more is refused, not wrapped,
// and the stream keeps what it held.
TEST_F(ZipArchiveTest, MoreEntriesThanTheEndRecordCountsAreRefused) {
  TStringStream s("previous");
  TAbZipArchive zip(&s, "/tmp/many.zip");
  zip.InsertFromStreamHelper = [](TAbZipArchive*, TAbZipItem* item, TStream*, TStream*) { item->SetCRC32(0); };
  for (int i = 0; i <= 0xFFFF; ++i) {
    auto* item = new TAbZipItem;
    item->SetFileName("f" + std::to_string(i));
    zip.Add(item);
    item->SetAction(iaStreamAdd);
  }
  try {
    zip.Save();
    ADD_FAILURE() << "saved";
  } catch (const EAbFileTooLarge& e) {
    EXPECT_EQ(e.Message(), "Too many entries: a ZIP archive holds at most 65,535");
  }
  EXPECT_EQ(s.DataString(), "previous");
}

TEST_F(ZipArchiveTest, FolderIsStoredAsAnEmptyEntryWithItsAttributes) {
  dir.Write("sub/inner.txt", "in");
  auto zip = OpenZip(Zip());
  zip->SetStoreOptions({});
  zip->SetBaseDirectory(dir.name());
  zip->AddFiles("sub", AbAttrAnyFile | faDirectory);
  zip->Save();
  ASSERT_EQ(zip->Count(), 1);
  TAbZipItem* folder = zip->ZipItems(0);
  EXPECT_EQ(folder->GetFileName(), "sub/");
  EXPECT_TRUE(folder->GetIsDirectory());
  EXPECT_EQ(folder->GetUncompressedSize(), 0);
  EXPECT_EQ(folder->CompressionMethod(), 0);
  EXPECT_NE(folder->GetExternalFileAttributes() & faDirectory, 0u);
  EXPECT_EQ(Shell("unzip -tq " + Quote(Zip())).status, 0);
}

TEST_F(ZipArchiveTest, ExtractionWithoutHooksIsRefused) {
  MakeArchive({"a.sql"});
  auto zip = OpenZip(Zip());
  TMemoryStream out;
  EXPECT_THROW(zip->ExtractItemAt(0, "x"), EAbZipNoExtraction);
  EXPECT_THROW(zip->ExtractItemToStreamAt(0, &out), EAbZipNoExtraction);
  EXPECT_THROW(zip->TestItemAt(0), EAbZipNoExtraction);
}

TEST_F(ZipArchiveTest, GarbageIsNoZip) {
  dir.Write("t.zip", std::string(1000, 'g'));
  EXPECT_THROW(OpenZip(Zip()), EAbZipInvalid);
}

}  // namespace
