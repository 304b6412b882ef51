// The tar archive: the bytes it writes, the dialects it reads, names that a
// dialect cannot hold, and round trips with GNU tar, bsdtar and python; and
// for all three kinds, that a failed save leaves the old file as it was.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <random>

#include "archive/ab_bzip2.h"
#include "archive/ab_gzip.h"
#include "archive/ab_tar.h"
#include "archive/ab_utils.h"
#include "platform/rtl/streams.h"
#include "tests/archive/ab_tar_test_util.h"
#include "tests/support/temp_folder.h"

using namespace tartest;

namespace {

std::string Field(const std::string& block, size_t at, size_t width) { return block.substr(at, width); }

// Adds Content under the stored Name through the archive's input stream and saves.
void AddStream(TAbArchive& a, const std::string& name, const std::string& content) {
  TStringStream in(content);
  TAbArchiveItem* item = a.CreateItem(name);
  a.Add(item);
  item->SetAction(iaStreamAdd);
  a.SetInStream(&in);
  a.Save();
  a.SetInStream(nullptr);
}

std::unique_ptr<TAbTarArchive> OpenTar(const std::string& path) {
  auto a = Open<TAbTarArchive>(path);
  a->SetStoreOptions({});
  return a;
}

}  // namespace

TEST(TarArchive, NewArchiveWithOneSmallFileIsFourBlocks) {
  TempFolder dir;
  std::string file = dir.Write("abc.txt", "xyz");
  chmod(file.c_str(), 0644);
  auto a = Open<TAbTarArchive>(dir / "new.tar");
  AddAndSave(*a, {file});

  std::string bytes = FileBytes(dir / "new.tar");
  ASSERT_EQ(bytes.size(), 2048u);
  EXPECT_EQ(Field(bytes, 0, 100), std::string("abc.txt") + std::string(93, '\0'));
  EXPECT_EQ(Field(bytes, 100, 8), "    644 ");
  EXPECT_EQ(Field(bytes, 124, 12), std::string(10, ' ') + "3 ");
  EXPECT_EQ(bytes[156], '\0');
  EXPECT_EQ(Field(bytes, 257, 8), std::string(8, '\0'));
  TAbTarBlock header;
  std::memcpy(header.data(), bytes.data(), 512);
  EXPECT_EQ(ParseOctalField(header.data() + 148, 8), TarBlockChecksum(header));
  EXPECT_EQ(Field(bytes, 512, 3), "xyz");
  EXPECT_EQ(bytes.substr(515), std::string(2048 - 515, '\0'));
}

TEST(TarArchive, LongNamesGetGnuLongNameRecords) {
  struct {
    size_t length;
    int dataBlocks;
  } cases[] = {{150, 1}, {511, 1}, {512, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    TempFolder dir;
    std::string name(c.length, 'n');
    {
      auto a = OpenTar(dir / "long.tar");
      AddStream(*a, name, "data");
      EXPECT_EQ(a->Format(), tfOldGnu);  // a new archive starts as V7 and switches
    }
    std::string bytes = FileBytes(dir / "long.tar");
    EXPECT_EQ(Field(bytes, 0, 14), std::string("././@LongLink") + '\0');
    EXPECT_EQ(bytes[156], 'L');
    EXPECT_EQ(Field(bytes, 124, 12), PadOctalField(FormatOctal(c.length + 1), 12));
    EXPECT_EQ(Field(bytes, 257, 8), std::string("ustar  ") + '\0');
    EXPECT_EQ(bytes.substr(512, c.length), name);
    const size_t header = 512 * (1 + c.dataBlocks);
    EXPECT_EQ(Field(bytes, header, 100), name.substr(0, 100));
    EXPECT_EQ(bytes.size(), header + 512 + 512 + 1024);  // entry header, data, end

    auto back = OpenTar(dir / "long.tar");
    ASSERT_EQ(back->Count(), 1);
    EXPECT_EQ(back->Items(0)->GetFileName(), name);
    EXPECT_EQ(ExtractToString(*back, 0), "data");
    EXPECT_EQ(Shell("tar -tf " + dir / "long.tar").output, name + "\n");
  }
}

TEST(TarArchive, UstarNamesSplitIntoPrefixAndName) {
  TempFolder dir;
  dir.Write("src/a.txt", "a");
  ASSERT_EQ(Shell("cd " + dir.name() + "/src && tar --format=ustar -cf ../u.tar a.txt").status, 0);
  std::string name = std::string(79, 'p') + "/" + std::string(100, 'n');
  {
    auto a = OpenTar(dir / "u.tar");
    ASSERT_EQ(a->Format(), tfUstar);
    AddStream(*a, name, "long");
  }
  std::string bytes = FileBytes(dir / "u.tar");
  const size_t entry = 1024;  // after a.txt's header and data block
  EXPECT_EQ(Field(bytes, entry, 100), std::string(100, 'n'));
  EXPECT_EQ(Field(bytes, entry + 345, 80), std::string(79, 'p') + '\0');
  EXPECT_EQ(Field(bytes, entry + 257, 8), std::string("ustar") + '\0' + "00");

  auto back = OpenTar(dir / "u.tar");
  EXPECT_EQ(Names(*back), (std::vector<std::string>{"a.txt", name}));
  EXPECT_EQ(Shell("tar -tf " + dir / "u.tar").output, "a.txt\n" + name + "\n");
  EXPECT_EQ(Shell("tar -xOf " + dir / "u.tar " + name).output, "long");
}

TEST(TarArchive, NamesAUstarHeaderCannotHoldAreRefused) {
  TempFolder dir;
  dir.Write("src/a.txt", "a");
  ASSERT_EQ(Shell("cd " + dir.name() + "/src && tar --format=ustar -cf ../u.tar a.txt").status, 0);
  const std::string before = FileBytes(dir / "u.tar");
  auto a = OpenTar(dir / "u.tar");
  for (const std::string& name : {std::string(101, 'x'),                           // no "/" at all
                                  std::string(150, 'p') + "/" + std::string(101, 'n'),  // name part too long
                                  std::string(160, 'p') + "/" + std::string(10, 'n'),   // prefix too long
                                  std::string(200, 'p') + "/" + std::string(60, 'n')}) {  // over 256
    SCOPED_TRACE(name.size());
    EXPECT_THROW(a->CreateItem(name), EAbTarBadFileName);
  }
  TAbTarItem v7;
  v7.SetFormat(tfV7);
  EXPECT_THROW(v7.SetFileName(std::string(101, 'x')), EAbTarBadFileName);
  EXPECT_THROW(v7.SetFileName(""), EAbTarBadFileName);
  EXPECT_EQ(FileBytes(dir / "u.tar"), before);
}

TEST(TarArchive, NumbersBeyondTheirFieldAreRefused) {
  TAbTarItem item;
  const int64_t twelveDigits = (int64_t(1) << 36) - 1;  // 777777777777 octal
  item.SetSize(twelveDigits);
  EXPECT_EQ(item.GetUncompressedSize(), twelveDigits);
  EXPECT_THROW(item.SetSize(twelveDigits + 1), EAbFileTooLarge);
  EXPECT_THROW(item.SetUserId(int64_t(1) << 24), EAbFileTooLarge);  // eight octal digits in an 8-byte field
  EXPECT_EQ(item.GetUncompressedSize(), twelveDigits);
}

TEST(TarArchive, ReadsWhatGnuTarAndBsdtarWrite) {
  TempFolder dir;
  const std::string longName = std::string(120, 'l') + ".txt";
  dir.Write("src/a.txt", "alpha");
  dir.Write("src/sub/b.txt", std::string(3000, 'b'));
  dir.Write("src/" + longName, "long");
  struct {
    const char* command;
    TAbTarFormat format;
    bool longName;
  } cases[] = {
      {"tar --format=gnu -cf", tfOldGnu, true},
      {"tar --format=ustar -cf", tfUstar, false},
      {"tar --format=v7 -cf", tfV7, false},
      {"bsdtar --format=ustar -cf", tfUstar, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    std::string files = "a.txt sub/b.txt";
    if (c.longName) files += " " + longName;
    ASSERT_EQ(Shell("cd " + dir.name() + "/src && " + c.command + " ../peer.tar " + files).status, 0);
    auto a = OpenTar(dir / "peer.tar");
    EXPECT_EQ(a->Format(), c.format);
    std::vector<std::string> expected{"a.txt", "sub/b.txt"};
    if (c.longName) expected.push_back(longName);
    ASSERT_EQ(Names(*a), expected);
    EXPECT_EQ(ExtractToString(*a, 1), std::string(3000, 'b'));
    a->ExtractItemAt(0, dir / "out.txt");
    EXPECT_EQ(FileBytes(dir / "out.txt"), "alpha");
    if (c.longName) {
      EXPECT_EQ(ExtractToString(*a, 2), "long");
    }
    a->TestItemAt(1);
  }
}

TEST(TarArchive, PeersReadWhatWeWrite) {
  TempFolder dir;
  const std::string longName = std::string(130, 'q') + ".txt";
  std::string one = dir.Write("in/one.txt", "first file\n");
  std::string two = dir.Write("in/two.bin", std::string(5000, '\x7f'));
  {
    auto a = Open<TAbTarArchive>(dir / "ours.tar");
    AddAndSave(*a, {one, two});
    a->SetStoreOptions({});
    AddStream(*a, longName, "long one");
  }
  const std::string tar = dir / "ours.tar";
  for (const char* lister : {"tar -tf ", "bsdtar -tf "})
    EXPECT_EQ(Shell(lister + tar).output, "one.txt\ntwo.bin\n" + longName + "\n") << lister;
  EXPECT_EQ(Shell("tar -tvf " + tar).status, 0);
  EXPECT_EQ(Shell("bsdtar -tvf " + tar).status, 0);
  ASSERT_EQ(Shell("mkdir " + dir / "x" + " && tar -xf " + tar + " -C " + dir / "x").status, 0);
  EXPECT_EQ(FileBytes(dir / "x/one.txt"), "first file\n");
  EXPECT_EQ(FileBytes(dir / "x/two.bin"), std::string(5000, '\x7f'));
  EXPECT_EQ(FileBytes(dir / ("x/" + longName)), "long one");
  auto py = Shell("python3 -c \"import tarfile,sys; t=tarfile.open(sys.argv[1]); "
                  "print([(m.name, len(t.extractfile(m).read())) for m in t])\" " + tar);
  EXPECT_EQ(py.output, "[('one.txt', 11), ('two.bin', 5000), ('" + longName + "', 8)]\n");
}

TEST(TarArchive, DetectionNeedsEveryChecksumRight) {
  TempFolder dir;
  dir.Write("src/a.txt", "a");
  ASSERT_EQ(Shell("cd " + dir.name() + "/src && tar -cf ../a.tar a.txt").status, 0);
  TMemoryStream good;
  good.LoadFromFile(dir / "a.tar");
  EXPECT_EQ(DetectTar(good), akTar);
  EXPECT_EQ(good.Position(), 0);

  static_cast<char*>(good.Memory())[150] ^= 1;  // a checksum digit
  EXPECT_EQ(DetectTar(good), akUnknown);
  TStringStream zeros(std::string(1024, '\0')), shortStream("abc");
  EXPECT_EQ(DetectTar(zeros), akUnknown);
  EXPECT_EQ(DetectTar(shortStream), akUnknown);

  // The archive with the damaged header is refused as a whole when loaded.
  std::string bytes = FileBytes(dir / "a.tar");
  bytes[150] ^= 1;
  std::ofstream(dir / "a.tar", std::ios::binary | std::ios::trunc) << bytes;
  EXPECT_THROW(OpenTar(dir / "a.tar"), EAbTarBadOp);
}

TEST(TarArchive, PaxArchivesAreReadOnly) {
  TempFolder dir;
  ASSERT_EQ(Shell("cd " + dir.name() + " && python3 -c \"import tarfile,io; t=tarfile.open('pax.tar','w',"
                  "format=tarfile.PAX_FORMAT); i=tarfile.TarInfo('p.txt'); i.size=2; "
                  "i.pax_headers={'comment':'x'}; t.addfile(i, io.BytesIO(b'hi')); t.close()\"")
                .status,
            0);
  auto a = OpenTar(dir / "pax.tar");
  ASSERT_EQ(a->Count(), 1);
  EXPECT_TRUE(a->IsReadOnly());
  EXPECT_EQ(a->Format(), tfPosix);
  EXPECT_EQ(a->TarItems(0)->Kind(), tkReadOnly);
  EXPECT_EQ(ExtractToString(*a, 0), "hi");
  EXPECT_THROW(a->CreateItem(dir.Write("b.txt", "b")), EAbTarBadOp);
  a->SetIsDirty(true);
  EXPECT_THROW(a->Save(), EAbTarBadOp);
}

// Entries that would leave the folder, and entries with no data of their own
// (links, FIFOs), are not extracted: the refusal names the entry and why, and
// no file is left in their place.
TEST(TarArchive, ExtractionRefusesUnsafeNamesAndEntriesThatAreNoFiles) {
  TempFolder dir;
  ASSERT_EQ(Shell("cd " + dir.name() + " && python3 -c \"import tarfile,io\n"
                  "t=tarfile.open('evil.tar','w',format=tarfile.GNU_FORMAT)\n"
                  "for n in ['ok.txt','../up.txt','/abs.txt','a/../../b.txt']:\n"
                  "  i=tarfile.TarInfo(n); i.size=1; t.addfile(i, io.BytesIO(b'x'))\n"
                  "for n, k, l in [('hard', tarfile.LNKTYPE, 'ok.txt'), ('soft', tarfile.SYMTYPE, 'ok.txt'),\n"
                  "                ('pipe', tarfile.FIFOTYPE, '')]:\n"
                  "  i=tarfile.TarInfo(n); i.type=k; i.linkname=l; t.addfile(i)\n"
                  "t.close()\"")
                .status,
            0);
  auto a = OpenTar(dir / "evil.tar");
  ASSERT_EQ(a->Count(), 7);
  ForceDirectories(dir / "out");
  a->ExtractItemAt(0, dir / "out/ok.txt");
  EXPECT_EQ(FileBytes(dir / "out/ok.txt"), "x");
  const char* reasons[] = {"../up.txt: unsafe member name", "/abs.txt: unsafe member name",
                           "a/../../b.txt: unsafe member name", "hard: hard link to ok.txt, not extracted",
                           "soft: symbolic link to ok.txt, not extracted", "pipe: device or FIFO entry, not extracted"};
  for (int i = 1; i < 7; ++i) {
    SCOPED_TRACE(a->Items(i)->GetFileName());
    try {
      a->ExtractItemAt(i, dir / "out/bad.txt");
      ADD_FAILURE() << "extracted";
    } catch (const EAbTarBadOp& e) {
      EXPECT_NE(e.Message().find(reasons[i - 1]), std::string::npos) << e.Message();
    }
    EXPECT_FALSE(FileExists(dir / "out/bad.txt"));
  }
}

TEST(TarArchive, AFailedAddIsReportedAndTheRestStaysWhole) {
  TempFolder dir;
  std::string keep = dir.Write("keep.txt", "kept");
  std::string gone = dir.Write("gone.txt", std::string(700, 'g'));
  auto a = Open<TAbTarArchive>(dir / "f.tar");
  int failures = 0;
  a->OnProcessItemFailure = [&](TObject*, TAbArchiveItem* item, TAbProcessType type, TAbErrorClass, int32_t) {
    ++failures;
    EXPECT_EQ(item->GetFileName(), "gone.txt");
    EXPECT_EQ(type, ptAdd);
  };
  a->AddFiles(gone, 0);
  a->AddFiles(keep, 0);
  std::remove(gone.c_str());
  a->Save();
  EXPECT_EQ(failures, 1);
  EXPECT_EQ(Names(*a), std::vector<std::string>{"keep.txt"});
  EXPECT_EQ(Shell("tar -xOf " + dir / "f.tar").output, "kept");
}

TEST(TarArchive, SaveReplacesTheFileByRenameKeepingItsMode) {
  TempFolder dir;
  std::string one = dir.Write("one.txt", "1");
  {
    auto a = Open<TAbTarArchive>(dir / "r.tar");
    AddAndSave(*a, {one});
  }
  chmod((dir / "r.tar").c_str(), 0600);
  struct stat before {};
  stat((dir / "r.tar").c_str(), &before);
  auto a = Open<TAbTarArchive>(dir / "r.tar");
  AddAndSave(*a, {dir.Write("two.txt", "2")});
  struct stat after {};
  stat((dir / "r.tar").c_str(), &after);
  EXPECT_NE(before.st_ino, after.st_ino);
  EXPECT_EQ(after.st_mode & 0777, 0600u);
  EXPECT_EQ(Shell("ls " + dir.name()).output, "one.txt\nr.tar\ntwo.txt\n");
  EXPECT_EQ(Shell("tar -tf " + dir / "r.tar").output, "one.txt\ntwo.txt\n");
  // The reopened file serves the next save and extraction.
  EXPECT_EQ(ExtractToString(*a, 0), "1");
}

// A save that cannot write its file fails and leaves the previous archive byte
// for byte, with no temporary file beside it. Run in a child so the file-size
// limit and the ignored SIGXFSZ stay there.
TEST(TarArchive, FailedSavesOfEveryKindKeepTheOldFile) {
  using Opener = std::function<std::unique_ptr<TAbArchive>(const std::string&)>;
  struct {
    const char* name;
    Opener open;
  } kinds[] = {
      {"old.tar", [](const std::string& p) { return std::unique_ptr<TAbArchive>(Open<TAbTarArchive>(p)); }},
      {"old.tgz", [](const std::string& p) { return std::unique_ptr<TAbArchive>(Open<TAbGzipArchive>(p, true)); }},
      {"old.gz", [](const std::string& p) { return std::unique_ptr<TAbArchive>(Open<TAbGzipArchive>(p)); }},
      {"old.tbz", [](const std::string& p) { return std::unique_ptr<TAbArchive>(Open<TAbBzip2Archive>(p, true)); }},
      {"old.bz2", [](const std::string& p) { return std::unique_ptr<TAbArchive>(Open<TAbBzip2Archive>(p)); }},
  };
  std::mt19937 rng(5);
  std::string noise(300000, '\0');
  for (char& c : noise) c = static_cast<char>(rng());
  for (const auto& kind : kinds) {
    SCOPED_TRACE(kind.name);
    TempFolder dir;
    const std::string archive = dir / kind.name;
    AddAndSave(*kind.open(archive), {dir.Write("small.txt", "small")});
    const std::string before = FileBytes(archive);
    ASSERT_FALSE(before.empty());
    const std::string big = dir.Write("big.bin", noise);
    std::remove((dir / "small.txt").c_str());
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      signal(SIGXFSZ, SIG_IGN);
      auto a = kind.open(archive);
      rlimit limit{100000, 100000};
      setrlimit(RLIMIT_FSIZE, &limit);
      if (a->Count() > 0) a->Items(0)->SetAction(iaDelete);
      a->AddFiles(big, 0);
      try {
        a->Save();
      } catch (...) {
        _exit(7);
      }
      _exit(9);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7);
    EXPECT_EQ(FileBytes(archive), before);
    EXPECT_EQ(Shell("ls " + dir.name()).output, "big.bin\n" + std::string(kind.name) + "\n");
  }
}

// Tar and gzip headers keep Unix times; the DOS halves follow them, and
// setting one half keeps the other.
TEST(TarArchive, DosStampHalvesFollowTheUnixTime) {
  TAbTarItem tar;
  TAbGzipItem gzip;
  for (TAbArchiveItem* item : std::initializer_list<TAbArchiveItem*>{&tar, &gzip}) {
    item->SetLastModTimeAsDateTime(UnixSecondsToDateTime(1700000000));
    const uint16_t date = item->GetLastModFileDate();
    const uint16_t time = item->GetLastModFileTime();
    EXPECT_EQ(DosDateTimeToDateTime(date, time), item->GetLastModTimeAsDateTime());
    item->SetLastModFileTime(0);
    EXPECT_EQ(item->GetLastModFileDate(), date);
    EXPECT_EQ(item->GetLastModFileTime(), 0);
    item->SetLastModFileDate(static_cast<uint16_t>(date + 1));
    EXPECT_EQ(item->GetLastModFileDate(), date + 1);
    EXPECT_EQ(item->GetLastModFileTime(), 0);
  }
  EXPECT_EQ(tar.ModTime(), gzip.ModTime());
}

TEST(TarArchive, FoldersAreStoredAsFolderEntries) {
  TempFolder dir;
  dir.Write("src/sub/f.txt", "f");
  {
    auto a = OpenTar(dir / "d.tar");
    a->SetBaseDirectory(dir / "src");
    a->AddFiles("sub", faDirectory);
    a->AddFiles("sub/f.txt", 0);
    a->Save();
  }
  auto listing = Shell("tar -tvf " + dir / "d.tar").output;
  EXPECT_EQ(listing.substr(0, 1), "d") << listing;
  auto a = OpenTar(dir / "d.tar");
  ASSERT_EQ(Names(*a), (std::vector<std::string>{"sub/", "sub/f.txt"}));
  EXPECT_TRUE(a->Items(0)->GetIsDirectory());
  a->ExtractItemAt(0, dir / "out/sub");
  EXPECT_TRUE(DirectoryExists(dir / "out/sub"));
}
