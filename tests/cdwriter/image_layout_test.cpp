// Where the layout puts descriptors, path tables, directories, the boot
// image and the files, the bytes the header holds there, and where a session
// starts on the software drive's discs.

#include <cstring>
#include <filesystem>

#include "cdwriter/byte_order.h"
#include "cdwriter/cd_texts.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "tests/cdwriter/burner_test_util.h"
#include "tests/cdwriter/soft_drive_fixture.h"

namespace {

class ImageLayoutTest : public ::testing::Test {
protected:
  void SetUp() override { burner_ = NewBurner(log_); }

  AnsiString Source(const std::string& name, uintmax_t bytes) {
    const std::string path = dir_.Write(name, "");
    std::filesystem::resize_file(path, bytes);
    return Utf8ToAnsi(path);
  }
  const uint8_t* Sector(uint32_t lba) const {
    EXPECT_LE((lba + 1) * int64_t{kSectorBytes}, burner_->ImageHeader()->Size());
    return static_cast<const uint8_t*>(burner_->ImageHeader()->Memory()) + size_t{lba} * kSectorBytes;
  }
  static uint32_t Both32(const uint8_t* p) {
    EXPECT_EQ(GetLE32(p), GetBE32(p + 4));
    return GetLE32(p);
  }
  static std::string Text(const uint8_t* p, size_t n) { return std::string(reinterpret_cast<const char*>(p), n); }

  TempFolder dir_;
  std::vector<DebugLine> log_;
  BurnerPtr burner_;
};

}  // namespace

TEST_F(ImageLayoutTest, OneFileOnABlankDisc) {
  burner_->IdVolume = "Záloha 1";
  burner_->IdSystem = "linux";
  ASSERT_EQ(burner_->InsertFile("\\", Source("a.txt", 3000), false), 1);
  LayOut(*burner_);
  const TImageLayout& l = burner_->Layout();
  EXPECT_EQ(l.PrimaryDescriptor, 16u);
  EXPECT_EQ(l.JolietDescriptor, 17u);
  EXPECT_EQ(l.Terminator, 18u);
  EXPECT_EQ(l.IsoPathTableL, 19u);
  EXPECT_EQ(l.IsoPathTableM, 20u);
  EXPECT_EQ(l.JolietPathTableL, 21u);
  EXPECT_EQ(l.JolietPathTableM, 22u);
  EXPECT_EQ(l.IsoDirStart, 23u);
  EXPECT_EQ(l.JolietDirStart, 24u);
  EXPECT_EQ(l.PaddingSectors, 125);
  EXPECT_EQ(l.FirstFileLocation, 150u);
  EXPECT_EQ(l.FileSectors, 2);
  EXPECT_EQ(l.VolumeSpaceSize, 152);
  EXPECT_EQ(l.TrackSize, 152);
  EXPECT_EQ(burner_->ImageHeader()->Size(), 150 * 2048);
  EXPECT_TRUE(burner_->LayoutValid());
  EXPECT_TRUE(burner_->DoDebug());

  const uint8_t* pvd = Sector(16);
  EXPECT_EQ(Text(pvd, 7), "\x01" "CD001\x01");
  EXPECT_EQ(Text(pvd + 8, 32), "LINUX" + std::string(27, ' '));
  EXPECT_EQ(Text(pvd + 40, 32), "ZáLOHA 1" + std::string(24, ' '));
  EXPECT_EQ(Both32(pvd + 80), 152u);
  EXPECT_EQ(Text(pvd + 88, 3), std::string(3, '\0'));  // reserved in the primary descriptor
  EXPECT_EQ(Both32(pvd + 132), 10u);
  EXPECT_EQ(GetLE32(pvd + 140), 19u);
  EXPECT_EQ(GetBE32(pvd + 148), 20u);
  EXPECT_EQ(pvd[156], 34);
  EXPECT_EQ(Both32(pvd + 158), 23u);
  EXPECT_EQ(Both32(pvd + 166), 2048u);
  EXPECT_EQ(Text(pvd + 174, 7), std::string(7, '\0'));
  EXPECT_EQ(pvd[181], 2);
  EXPECT_EQ(Text(pvd + 847, 16), "0000000000000000");
  EXPECT_EQ(pvd[881], 1);
  EXPECT_EQ(Text(pvd + 1024, 8), "        ");
  for (size_t at : {813, 830})
    EXPECT_EQ(Text(pvd + at, 16).find_first_not_of("0123456789"), std::string::npos) << Text(pvd + at, 16);

  const uint8_t* svd = Sector(17);
  EXPECT_EQ(Text(svd, 7), "\x02" "CD001\x01");
  EXPECT_EQ(Text(svd + 88, 3), "\x25\x2F\x40");
  EXPECT_EQ(Text(svd + 40, 4), std::string("\0Z\0\xE1", 4));  // á is U+00E1, not upper-cased
  EXPECT_EQ(Both32(svd + 132), 10u);
  EXPECT_EQ(GetLE32(svd + 140), 21u);
  EXPECT_EQ(GetBE32(svd + 148), 22u);
  EXPECT_EQ(Both32(svd + 158), 24u);
  EXPECT_EQ(Text(svd + 813, 16), Text(pvd + 813, 16));  // DateCreation was never set: the time of writing
  EXPECT_EQ(Text(svd + 830, 16), Text(pvd + 830, 16));
  EXPECT_EQ(svd[702 + 36], 0);
  EXPECT_EQ(Text(Sector(18), 7), "\xFF" "CD001\x01");

  EXPECT_EQ(Text(Sector(19), 10), std::string("\x01\0\x17\0\0\0\x01\0\0\0", 10));
  EXPECT_EQ(Text(Sector(20), 10), std::string("\x01\0\0\0\0\x17\0\x01\0\0", 10));
  EXPECT_EQ(Text(Sector(21), 10), std::string("\x01\0\x18\0\0\0\x01\0\0\0", 10));

  const uint8_t* root = Sector(23);
  EXPECT_EQ(root[0], 34);
  EXPECT_EQ(Both32(root + 2), 23u);
  EXPECT_EQ(root[33], 0);
  EXPECT_EQ(root[34 + 33], 1);
  const uint8_t* file = root + 68;
  EXPECT_EQ(file[0], 33 + 7);
  EXPECT_EQ(Both32(file + 2), 150u);
  EXPECT_EQ(Both32(file + 10), 3000u);
  EXPECT_EQ(file[18 + 6], static_cast<uint8_t>(GmtOffset));
  EXPECT_EQ(file[25], 0);
  EXPECT_EQ(Text(file + 32, 8), "\x07" "A.TXT;1");
  const uint8_t* joliet = Sector(24) + 68;
  EXPECT_EQ(joliet[0], 33 + 14 + 1);
  EXPECT_EQ(Both32(joliet + 2), 150u);
  EXPECT_EQ(Text(joliet + 32, 16), std::string("\x0E\0a\0.\0t\0x\0t\0;\0" "1\0", 16));

  // The first sectors of the volume are kept for rewriting them; the rest is FFh.
  EXPECT_EQ(burner_->VolumeStartLength(), 19u * 2048);
  EXPECT_EQ(0, std::memcmp(burner_->VolumeStart().data() + 16 * 2048, pvd, 2048));
  EXPECT_EQ(burner_->VolumeStart()[19 * 2048], 0xFF);
  // The blank and the accented letter are written, and named.
  EXPECT_EQ(log_, (std::vector<DebugLine>{{Format(SVolumeIdCharacters, {burner_->IdVolume}), 3}}));
}

TEST_F(ImageLayoutTest, VolumeIdsThatCannotBeWrittenAsGivenAreNamed) {
  const AnsiString id17(17, 'V'), id33(33, 'V');
  struct {
    AnsiString id;
    bool joliet;
    std::vector<AnsiString> problems;
  } cases[] = {
      {"BACKUP_2024", true, {}},
      {"backup", true, {}},  // upper-cased in ISO 9660, kept in Joliet
      {"MY DISC", true, {"VOLUME ID \"MY DISC\" HAS CHARACTERS OUTSIDE A-Z, 0-9 AND _"}},
      {id17, false, {}},
      {id17, true, {"VOLUME ID \"" + id17 + "\" CUT TO 16 CHARACTERS IN JOLIET"}},
      {id33, true,
       {"VOLUME ID \"" + id33 + "\" CUT TO 32 CHARACTERS IN ISO 9660",
        "VOLUME ID \"" + id33 + "\" CUT TO 16 CHARACTERS IN JOLIET"}},
  };
  for (const auto& c : cases) EXPECT_EQ(VolumeIdProblems(c.id, c.joliet), c.problems) << c.id;
}

TEST_F(ImageLayoutTest, WithoutJolietAndWithSessionAtOnce) {
  burner_->SetJolietFileSystem(false);
  burner_->UseSessionAtOnce = true;
  ASSERT_EQ(burner_->InsertFile("\\", Source("a.txt", 1), false), 1);
  burner_->InsertFile("\\", Source("README", 0), false);
  LayOut(*burner_);
  const TImageLayout& l = burner_->Layout();
  EXPECT_EQ(l.Terminator, 17u);
  EXPECT_EQ(l.JolietPathTableL, 20u);
  EXPECT_EQ(l.IsoDirStart, 20u);
  EXPECT_EQ(l.VolumeSpaceSize, 151);  // the 150 lead sectors count only for a real write
  EXPECT_EQ(burner_->ImageHeader()->Size(), (150 + 150) * 2048);
  const uint8_t* pvd = Sector(150 + 16);
  EXPECT_EQ(Text(pvd, 6), "\x01" "CD001");
  EXPECT_EQ(Text(Sector(150 + 17), 6), "\xFF" "CD001");
  const uint8_t* empty = Sector(150 + 20) + 68 + 40;  // after ".", "..", "A.TXT;1"
  EXPECT_EQ(empty[0], 33 + 9);
  EXPECT_EQ(Text(empty + 32, 10), "\x09" "README.;1");
  EXPECT_EQ(Both32(empty + 2), 0u);
  EXPECT_EQ(Both32(empty + 10), 0u);
}

TEST_F(ImageLayoutTest, FilesOfAnEarlierSessionKeepTheirSectors) {
  TTreeRecord old;
  old.Name = "old.txt";
  old.Size = 5000;
  ASSERT_EQ(burner_->AddFileEntry(burner_->Root(), old, 0, 777, ""), 1);
  ASSERT_EQ(burner_->InsertFile("\\", Source("new.txt", 5000), false), 1);
  LayOut(*burner_);
  EXPECT_EQ(burner_->Layout().FileSectors, 3);  // the new file only
  const uint8_t* records = Sector(burner_->Layout().IsoDirStart) + 68;
  EXPECT_EQ(Both32(records + 2), 777u);
  EXPECT_EQ(Both32(records + 10), 5000u);
  EXPECT_EQ(Both32(records + 42 + 2), 150u);
}

TEST_F(ImageLayoutTest, DirectoryRecordsNeverCrossASectorEnd) {
  // "." and ".." take 68 bytes; each "F0000.TXT;1" record 44, so 45 fill 2048.
  for (int count : {45, 46}) {
    burner_->ClearTree();
    for (int i = 0; i < count; ++i)
      burner_->InsertFile("\\", Source(Format("F%.4d.TXT", {i}), 0), false);
    LayOut(*burner_);
    const TImageLayout& l = burner_->Layout();
    const int sectors = count == 45 ? 1 : 2;
    EXPECT_EQ(burner_->Root()->DirSize, sectors * 2048) << count;
    EXPECT_EQ(l.JolietDirStart, l.IsoDirStart + sectors);
    const uint8_t* dir = Sector(l.IsoDirStart);
    EXPECT_EQ(Text(dir + 2048 - 44 + 32, 12), "\x0B" "F0044.TXT;1");
    if (count == 46) {
      EXPECT_EQ(Text(dir + 2048 + 32, 12), "\x0B" "F0045.TXT;1");
    }
  }
}

TEST_F(ImageLayoutTest, HeaderOfATreeThatGrewAfterItsLayoutStaysInItsBuffers) {
  LayOut(*burner_);
  for (int i = 0; i < 200; ++i) {
    burner_->AddDirectory(burner_->Root(), Format("FOLDER%.4d", {i}), faDirectory);
    burner_->InsertFile("\\", Source(Format("F%.4d.TXT", {i}), 0), false);
  }
  burner_->BuildHeader();
  EXPECT_GT(burner_->ImageHeader()->Size(), 16 * 2048);
}

TEST_F(ImageLayoutTest, PathTableOfTwoWholeSectorsHasNoPadding) {
  // 10 for the root, 22 for each 13-character name, 20 for each 12-character one.
  for (int i = 0; i < 183; ++i) burner_->AddDirectory(burner_->Root(), Format("D%.12d", {i}), faDirectory);
  for (int i = 0; i < 3; ++i) burner_->AddDirectory(burner_->Root(), Format("E%.11d", {i}), faDirectory);
  LayOut(*burner_);
  const TImageLayout& l = burner_->Layout();
  EXPECT_EQ(l.IsoPathTableSize, 4096u);
  EXPECT_EQ(l.IsoPathTableM, l.IsoPathTableL + 2);
  EXPECT_EQ(l.JolietPathTableL, l.IsoPathTableL + 4);
  const uint8_t* last = Sector(l.IsoPathTableL) + 4096 - 20;
  EXPECT_EQ(Text(last, 2), std::string("\x0C\0", 2));
  EXPECT_EQ(Text(last + 8, 12), "E00000000002");
  const uint8_t* m = Sector(l.IsoPathTableM);
  EXPECT_EQ(Text(m, 2), std::string("\x01\0", 2));
  EXPECT_EQ(GetBE32(m + 2), l.IsoDirStart);
}

TEST_F(ImageLayoutTest, BootRecordCatalogAndMediaType) {
  struct {
    uint32_t sectors;
    bool partitioned;
    uint8_t media;
    uint16_t load;  // 512-byte sectors
  } cases[] = {{600, false, 1, 1}, {720, false, 2, 1}, {1440, false, 3, 1}, {4, false, 0, 16}, {4, true, 4, 1}};
  for (const auto& c : cases) {
    burner_->ClearTree();
    burner_->Bootable = true;
    // A boot program is loaded whole without emulation; a hard disk image
    // starts with its partition table.
    std::string boot(c.sectors * 2048 - 100, '\0');
    if (c.partitioned) {
      boot[446] = static_cast<char>(0x80);
      boot[446 + 4] = 0x0C;
      boot[510] = 0x55;
      boot[511] = static_cast<char>(0xAA);
    }
    burner_->BootImage = Utf8ToAnsi(dir_.Write("boot.img", boot));
    burner_->InsertFile("\\", Source("a.txt", 10), false);
    LayOut(*burner_);
    const TImageLayout& l = burner_->Layout();
    EXPECT_EQ(l.BootRecord, 17u);
    EXPECT_EQ(l.JolietDescriptor, 18u);
    EXPECT_EQ(l.BootImageSectors, c.sectors);
    EXPECT_EQ(l.BootImageSector, l.FirstFileLocation - c.sectors);
    EXPECT_EQ(l.FirstFileLocation, std::max(150u, l.BootCatalog + 1 + c.sectors));
    EXPECT_EQ(burner_->ImageHeader()->Size(), int64_t{l.BootImageSector} * 2048);

    const uint8_t* record = Sector(17);
    EXPECT_EQ(Text(record, 39), std::string("\0CD001\x01" "EL TORITO SPECIFICATION", 30) + std::string(9, '\0'));
    EXPECT_EQ(GetLE32(record + 71), l.BootCatalog);
    const uint8_t* catalog = Sector(l.BootCatalog);
    uint16_t sum = 0;
    for (int i = 0; i < 32; i += 2) sum = static_cast<uint16_t>(sum + (catalog[i] | catalog[i + 1] << 8));
    EXPECT_EQ(sum, 0);
    EXPECT_EQ(Text(catalog, 32), std::string("\x01\0\0\0Zozov AD/UDU Zeziri\0\0\0\0\0", 28) +
                                     Text(catalog + 28, 2) + "\x55\xAA");
    EXPECT_EQ(catalog[32], 0x88);
    EXPECT_EQ(catalog[33], c.media) << c.sectors;
    EXPECT_EQ(catalog[38] | catalog[39] << 8, c.load) << c.sectors;
    EXPECT_EQ(GetLE32(catalog + 40), l.BootImageSector);
  }
  // A boot image that is not there makes no boot record.
  burner_->BootImage = dir_ / "none.img";
  LayOut(*burner_);
  EXPECT_FALSE(burner_->Bootable);
  EXPECT_EQ(burner_->Layout().Terminator, 18u);
}

TEST_F(ImageLayoutTest, PathTablesFollowTheJolietSortsInBothTrees) {
  // The ISO names sort otherwise ("__TY" before "ZETA"); both tables keep the
  // Joliet order, level by level, children after their parents.
  for (const char* path : {"\\Zeta\\b", "\\Účty\\a", "\\Zeta\\a", "\\Alfa"}) burner_->ForceDirectory(path);
  LayOut(*burner_);
  auto names = [](const std::vector<TDEntry*>& order, bool joliet) {
    std::string s;
    for (const TDEntry* d : order) s += (joliet ? d->LongName : d->ShortName) + std::to_string(d->Parent->Number) + " ";
    return s;
  };
  EXPECT_EQ(names(burner_->JolietOrder(), true), "CD Root Directory1 Alfa1 Zeta1 Účty1 a3 b3 a4 ");
  EXPECT_EQ(names(burner_->IsoOrder(), false), "CD_ROOT1 ALFA1 ZETA1 __TY1 A3 B3 A4 ");
}

namespace {

class NextWritableTest : public SoftDriveTest {
protected:
  TZIDIzizid& Burner(const TSoftMediumSetup& medium) {
    TSoftDrive& drive = AddDrive(0, "SOFTVEND", "SOFT WRITER");
    drive.Insert(medium);
    burner_ = NewBurner(log_);
    EXPECT_TRUE(burner_->InitializeASPI(true, ""));
    burner_->SelectDevice(burner_->DeviceList()->Strings(0));
    return *burner_;
  }
  void TearDown() override {
    burner_.reset();
    SoftDriveTest::TearDown();
  }
  std::vector<DebugLine> log_;
  BurnerPtr burner_;
};

}  // namespace

TEST_F(NextWritableTest, ConstructionAndStoredSpeedsReachNoDrive) {
  TSoftDrive& drive = AddDrive(0, "SOFTVEND", "SOFT WRITER");
  drive.Insert(Disc(2));
  burner_ = NewBurner(log_);
  burner_->SetReadSpeed(0);
  burner_->SetWriteSpeed(0);
  EXPECT_TRUE(drive.Log().empty());
  EXPECT_EQ(drive.opens, 0);
}

TEST_F(NextWritableTest, BlankAndAppendableCdR) {
  TZIDIzizid& blank = Burner(Disc(2));
  EXPECT_TRUE(blank.GetNextWritableAddress());
  EXPECT_EQ(blank.Layout().NextWritableAddress, 0u);
  EXPECT_EQ(CurrentDiscType, 2);
  port_.Drive(0)->Insert(Disc(2, 359847, {{1000}, {500}}));
  EXPECT_TRUE(blank.GetNextWritableAddress());
  const uint32_t nwa = port_.Drive(0)->Medium()->NextWritableAddress();
  EXPECT_GT(nwa, 1500u);
  EXPECT_EQ(blank.Layout().NextWritableAddress, nwa);

  // A write lays the session out behind the last one.
  blank.CheckNextWritable = true;
  blank.PrepareImage(false, nullptr);
  EXPECT_EQ(blank.Layout().PrimaryDescriptor, nwa + 16);
  EXPECT_EQ(blank.Layout().FirstFileLocation, nwa + 25);
  EXPECT_EQ(blank.Layout().TrackSize, 25);
  blank.BuildHeader();
  EXPECT_EQ(blank.ImageHeader()->Size(), 25 * 2048);
  EXPECT_TRUE(log_.empty());

  // A failed query leaves the session at 0 and says so.
  port_.Drive(0)->AddFault({0x52, 1, 0x02, {0x05, 0x24, 0x00}, false});
  blank.PrepareImage(false, nullptr);
  EXPECT_EQ(blank.Layout().NextWritableAddress, 0u);
  EXPECT_EQ(log_, (std::vector<DebugLine>{{">>> ERROR GETTING NEXT WRITABLE ADDRESS", 0}}));
}

TEST_F(NextWritableTest, DvdPlusRwContinuesAtTheVolumeEnd) {
  TZIDIzizid& burner = Burner(Disc(10, 2295104));
  EXPECT_TRUE(burner.GetNextWritableAddress());
  EXPECT_EQ(burner.Layout().NextWritableAddress, 0u);  // nothing recorded yet

  std::vector<DebugLine> other_log;
  BurnerPtr other = NewBurner(other_log);
  other->InsertFile("\\", Utf8ToAnsi(VX_SOURCE_DIR "/cdwriter/burner.h"), false);
  LayOut(*other);
  const int64_t volume = other->Layout().VolumeSpaceSize;
  ASSERT_TRUE(port_.Drive(0)->Medium()->Write(0, 150, static_cast<const uint8_t*>(other->ImageHeader()->Memory()))
                  .ok());
  EXPECT_TRUE(burner.GetNextWritableAddress());
  EXPECT_EQ(burner.Layout().NextWritableAddress, volume);
  EXPECT_EQ(CurrentDiscType, 10);
}
