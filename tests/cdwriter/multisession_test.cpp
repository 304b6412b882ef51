// A second session on a disc burnt before: the layout imports the earlier
// session's tree, the new volume lists old and new files, the old files keep
// their sectors and are not written again, and a file the caller adds wins
// over an imported one of its name. Import of malformed directory sectors.

#include "cdwriter/byte_order.h"
#include "tests/cdwriter/burn_fixture.h"

namespace fs = std::filesystem;

namespace {

const std::string kLongName = std::string(104, 'L') + ".txt";  // 108 characters

class MultisessionTest : public BurnTest {
protected:
  // Burns what src holds now as one session, importing the last one.
  uint32_t BurnSession(bool replace = false) {
    burner_->ClearTree();
    burner_->ImportSession = 255;
    burner_->SetReplaceFile(replace);
    InsertSources();
    EXPECT_EQ(Burn().error, "");
    return burner_->Layout().NextWritableAddress;
  }

  std::string ExtractSession(uint32_t sbsector) {
    const std::string out = dir_ / ("out" + std::to_string(sbsector));
    const ShellResult x = Extract(out, sbsector);
    EXPECT_EQ(x.status, 0) << x.output;
    return out;
  }

  // No sector before the new session's start was written.
  void ExpectOnlyNewSectorsWritten(const TSoftDrive& drive, uint32_t start, bool volume_start_copy) {
    for (const TSoftCommand& c : drive.Log()) {
      if (c.cdb[0] != 0x2A) continue;
      const uint32_t lba = GetBE32(c.cdb.data() + 2);
      if (lba == 0 && volume_start_copy) continue;
      EXPECT_GE(lba, start);
    }
  }
};

TEST_F(MultisessionTest, SecondSessionListsOldAndNewFiles) {
  for (const uint16_t disc : {uint16_t{2}, uint16_t{10}}) {
    SCOPED_TRACE(disc);
    TearDown();
    fs::remove_all(src_);
    fs::remove(disc_file_);
    SetUp();
    TSoftDrive& drive = Insert(Disc(disc));
    Source("a.txt", "old a\n");
    Source("keep/b.bin", std::string(9000, 'b'));
    Source(kLongName, "long\n");
    ASSERT_EQ(BurnSession(), 0u);
    const std::string first = ExtractSession(0);

    fs::remove_all(src_);
    Source("a.txt", "new a, replacing the old one\n");
    Source("new.txt", "new\n");
    drive.ClearLog();
    const uint32_t start = BurnSession(true);
    EXPECT_GT(start, 0u);
    ExpectOnlyNewSectorsWritten(drive, start, disc == 10);
    // The new volume lists the files of both sessions.
    const std::string second = ExtractSession(start);
    EXPECT_EQ(ReadAll(second + "/a.txt"), "new a, replacing the old one\n");
    EXPECT_EQ(ReadAll(second + "/new.txt"), "new\n");
    EXPECT_EQ(ReadAll(second + "/keep/b.bin"), ReadAll(first + "/keep/b.bin"));
    EXPECT_EQ(ReadAll(second + "/" + kLongName), "long\n");
    EXPECT_EQ(ReadAll(first + "/a.txt"), "old a\n");
  }
}

// Imported names keep their whole length in ISO 9660 too: two long names
// that share their first 13 characters stay two files to a reader of the
// ISO 9660 tree.
TEST_F(MultisessionTest, ImportedLongNamesStayApartInIso9660) {
  Insert(Disc(2));
  Source("VeryLongFileName1.txt", "one\n");
  Source("VeryLongFileName2.txt", "two\n");
  BurnSession();
  fs::remove_all(src_);
  Source("second.txt", "2\n");
  const uint32_t start = BurnSession();
  std::vector<std::string> names;
  for (const TFEntry* e = burner_->Root()->Files; e; e = e->Next) names.push_back(e->ShortName);
  EXPECT_EQ(names, (std::vector<std::string>{"SECOND.TXT", "VERYLONGFILENAME1.TXT", "VERYLONGFILENAME2.TXT"}));
  const std::string out = dir_ / "iso_names";
  const ShellResult x = Peer("xorriso", "-osirrox on -read_fs ecma119 -return_with SORRY 32 -load sbsector " +
                                            std::to_string(start) + " -indev " + Quote(disc_file_) +
                                            " -extract / " + Quote(out));
  ASSERT_EQ(x.status, 0) << x.output;
  EXPECT_EQ(ReadAll(out + "/VERYLONGFILENAME1.TXT"), "one\n");
  EXPECT_EQ(ReadAll(out + "/VERYLONGFILENAME2.TXT"), "two\n");
}

// Names outside Windows-1250 come back from the earlier session's Joliet
// tree as they were given, and the new volume lists them so.
TEST_F(MultisessionTest, ImportedNamesKeepCharactersOutsideTheCodePage) {
  Insert(Disc(2));
  const std::string greek = WideToUtf8(u"Ελληνικά/αβγ.txt"), cjk = WideToUtf8(u"中文.txt");
  const std::string cyrillic = WideToUtf8(u"файл.txt"), cyrillic_too = WideToUtf8(u"фаил.txt");
  Source(greek, "alpha\n");
  Source(cjk, "cjk\n");
  Source(cyrillic, "1\n");
  Source(cyrillic_too, "2\n");
  BurnSession();
  fs::remove_all(src_);
  Source("second.txt", "2\n");
  const uint32_t start = BurnSession();
  const std::string out = ExtractSession(start);
  EXPECT_EQ(ReadAll(out + "/" + greek), "alpha\n");
  EXPECT_EQ(ReadAll(out + "/" + cjk), "cjk\n");
  EXPECT_EQ(ReadAll(out + "/" + cyrillic), "1\n");
  EXPECT_EQ(ReadAll(out + "/" + cyrillic_too), "2\n");
  EXPECT_EQ(ReadAll(out + "/second.txt"), "2\n");
  std::vector<std::string> names;
  for (const TFEntry* e = burner_->Root()->Files; e; e = e->Next) names.push_back(WideToUtf8(JolietName(*e)));
  const std::vector<std::string> listed = {"second.txt", WideToUtf8(u"Ελληνικά"), cyrillic_too, cyrillic, cjk};
  EXPECT_EQ(names, listed);
}

TEST_F(MultisessionTest, IsoOnlySessionIsImportedByItsIsoNames) {
  Insert(Disc(2));
  Source("readme.txt", "iso\n");
  burner_->SetJolietFileSystem(false);
  BurnSession();
  fs::remove_all(src_);
  Source("second.txt", "2\n");
  burner_->SetJolietFileSystem(true);
  const uint32_t start = BurnSession();
  const std::string out = ExtractSession(start);
  EXPECT_EQ(ReadAll(out + "/README.TXT"), "iso\n");
  EXPECT_EQ(ReadAll(out + "/second.txt"), "2\n");
}

TEST_F(MultisessionTest, ThreeSectorFolderIsReadWhole) {
  Insert(Disc(2));
  constexpr int kFiles = 50;  // 114-byte Joliet records: 17 a sector
  for (int i = 0; i < kFiles; ++i) Source("many/" + std::string(36, 'f') + std::to_string(100 + i) + ".txt", "x");
  BurnSession();
  fs::remove_all(src_);
  Source("second.txt", "2\n");
  const uint32_t start = BurnSession();
  const std::string out = ExtractSession(start);
  int count = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(out + "/many")) ++count;
  EXPECT_EQ(count, kFiles);
}

TEST_F(MultisessionTest, BlankDiscImportsNothing) {
  Insert(Disc(2));
  EXPECT_FALSE(burner_->ImportSessionTree(255, nullptr));
  EXPECT_EQ(burner_->FileCount(), 0);
}

// Directory sectors with every byte of a record spoiled in turn: the import
// reads each record only within its sector and length, never loops, and the
// layout goes on with what it took.
TEST_F(MultisessionTest, MalformedDirectorySectorsAreSurvived) {
  Insert(Disc(2));
  Source("a.txt", "a\n");
  Source("sub/b.txt", "b\n");
  BurnSession();
  const std::string pristine = ReadAll(disc_file_);
  const uint32_t root = burner_->Layout().JolietDirStart;
  const size_t base = size_t{root} * kSectorBytes;
  burner_->ClearTree();
  ASSERT_TRUE(burner_->ImportSessionTree(255, nullptr));
  const int intact = burner_->FileCount();
  int changed = 0;
  uint32_t seed = 12345;
  for (int round = 0; round < 300; ++round) {
    std::string spoiled = pristine;
    for (int k = 0; k < 8; ++k) {
      seed = seed * 1103515245 + 12345;
      const size_t at = base + (seed >> 8) % (2 * kSectorBytes);
      spoiled[at] = static_cast<char>(seed >> 24);
    }
    std::ofstream(disc_file_, std::ios::binary | std::ios::in | std::ios::out).write(spoiled.data(), spoiled.size());
    burner_->ClearTree();
    try {
      burner_->ImportSessionTree(255, nullptr);
    } catch (const EConvertError&) {
      // a spoiled time: raised out of the layout, as for any invalid date
    }
    EXPECT_LE(burner_->FileCount(), 8);
    if (burner_->FileCount() != intact) ++changed;
  }
  EXPECT_GT(changed, 0) << "the spoiled sectors reached the import";
}

}  // namespace
