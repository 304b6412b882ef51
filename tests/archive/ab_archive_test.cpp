// The archive model, driven through a small format that records its saves.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "archive/ab_archive.h"
#include "archive/ab_utils.h"
#include "archive/deflate/df_exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/streams.h"
#include "tests/support/temp_folder.h"

namespace {

int gItemsAlive = 0;

struct CountedItem : TAbArchiveItem {
  CountedItem() { ++gItemsAlive; }
  ~CountedItem() override { --gItemsAlive; }
};

using Snapshot = std::vector<std::pair<AnsiString, TAbItemAction>>;

// Saving records the pending actions, then settles them the way a real format
// does: deleted items go, the others take their disk file's stamp and size.
class RecordingArchive : public TAbArchive {
public:
  RecordingArchive(TStream* stream, const AnsiString& name) : TAbArchive(stream, name) {}

  TAbArchiveItem* CreateItem(const AnsiString& fileName) override {
    auto* item = new CountedItem;
    item->SetFileName(FixName(fileName));
    item->SetDiskFileName(DiskNameOf(fileName));
    return item;
  }
  void SaveArchive() override {
    Snapshot snapshot;
    for (int i = 0; i < Count(); ++i) snapshot.emplace_back(Items(i)->GetFileName(), Items(i)->Action());
    saves.push_back(snapshot);
    for (int i = Count() - 1; i >= 0; --i) {
      TAbArchiveItem* item = Items(i);
      if (item->Action() == iaDelete) {
        ItemList().Delete(i);
        continue;
      }
      TAbFileInfo info;
      if (item->Action() != iaNone && GetFileInfo(item->DiskFileName(), info)) {
        item->SetLastModTimeAsDateTime(info.DateTime);
        item->SetUncompressedSize(info.Size);
      }
      item->SetAction(iaNone);
    }
  }
  void LoadArchive() override {
    if (!failLoad) return;
    status_ = arInvalid;
    throw EAbZipInvalid();
  }
  void ExtractItemAt(int, const AnsiString&) override {}
  void ExtractItemToStreamAt(int, TStream*) override {}
  void TestItemAt(int) override {}

  std::vector<Snapshot> saves;
  bool failLoad = false;
};

struct Failure {
  AnsiString name;
  TAbProcessType type;
  TAbErrorClass errorClass;
  int32_t code;
};

class ArchiveModel : public ::testing::Test {
protected:
  void SetUp() override {
    for (const char* name : {"a.zal", "b.zal", "c.zal", "backup.zal", "notes.txt"}) dir_.Write(name, "data");
    archive_ = std::make_unique<RecordingArchive>(&stream_, dir_ / "backup.zal");
    archive_->SetBaseDirectory(dir_.name());
    archive_->OnProcessItemFailure = [this](TObject*, TAbArchiveItem* item, TAbProcessType type,
                                            TAbErrorClass errorClass, int32_t code) {
      failures_.push_back({item->GetFileName(), type, errorClass, code});
    };
  }
  void TearDown() override {
    archive_.reset();
    EXPECT_EQ(gItemsAlive, 0);
  }

  std::vector<AnsiString> Names() const {
    std::vector<AnsiString> names;
    for (int i = 0; i < archive_->Count(); ++i) names.push_back(archive_->Items(i)->GetFileName());
    return names;
  }

  TempFolder dir_;
  TMemoryStream stream_;
  std::unique_ptr<RecordingArchive> archive_;
  std::vector<Failure> failures_;
};

}  // namespace

TEST_F(ArchiveModel, AutoSaveSavesAfterEachAddAndNeverTakesTheArchive) {
  archive_->SetAutoSave(true);
  archive_->AddFiles("*.zal", 0);
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"a.zal", "b.zal", "c.zal"}));
  ASSERT_EQ(archive_->saves.size(), 3u);
  EXPECT_EQ(archive_->saves[0], (Snapshot{{"a.zal", iaAdd}}));
  EXPECT_EQ(archive_->saves[2], (Snapshot{{"a.zal", iaNone}, {"b.zal", iaNone}, {"c.zal", iaAdd}}));
  EXPECT_FALSE(archive_->IsDirty());
  EXPECT_EQ(archive_->Items(0)->DiskFileName(), dir_ / "a.zal");
}

TEST_F(ArchiveModel, TheArchiveIsRecognisedUnderAnyPathSpelling) {
  ASSERT_EQ(symlink(dir_.name().c_str(), (dir_ / "alias").c_str()), 0);
  for (const std::string& spelling : {dir_ / "alias/backup.zal", dir_ / "./backup.zal"}) {
    RecordingArchive archive(&stream_, spelling);
    archive.SetBaseDirectory(dir_.name());
    archive.AddFiles("backup.zal", 0);
    archive.AddFiles(dir_ / "*.zal", 0);
    EXPECT_EQ(archive.Count(), 3) << spelling;
    EXPECT_EQ(archive.ItemList().Find("backup.zal"), -1) << spelling;
  }
}

TEST_F(ArchiveModel, ExclusionMaskAndFolderPart) {
  dir_.Write("sub/d.zal", "x");
  archive_->AddFilesEx("*.zal; sub/*.zal", "b*;c.ZAL", 0);
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"a.zal", "sub/d.zal"}));
  EXPECT_EQ(archive_->Items(1)->DiskFileName(), dir_ / "sub/d.zal");
  archive_->AddFiles(dir_ / "c.zal", 0);  // an absolute mask keeps its whole path
  EXPECT_EQ(archive_->Items(2)->GetFileName(), (dir_ / "c.zal").substr(1));
}

TEST_F(ArchiveModel, RecursiveStoreFindsTheDiskFileOfABareName) {
  dir_.Write("sub/deep/d.zal", "x");
  auto* item = new CountedItem;
  item->SetFileName("d.zal");
  item->SetDiskFileName("d.zal");
  archive_->Add(item);
  archive_->Save();
  archive_->SetStoreOptions({soRecurse});
  archive_->Freshen(0);
  EXPECT_EQ(archive_->Items(0)->DiskFileName(), dir_ / "sub/deep/d.zal");
  EXPECT_EQ(archive_->Items(0)->Action(), iaFreshen);
}

TEST_F(ArchiveModel, SecondAddOfTheSameNameIsRefused) {
  archive_->AddFiles("a.zal", 0);
  archive_->Save();
  archive_->AddFiles("A.ZAL", 0);
  EXPECT_EQ(archive_->Count(), 1);
  EXPECT_FALSE(archive_->IsDirty());
  ASSERT_EQ(failures_.size(), 1u);
  EXPECT_EQ(failures_[0].type, ptAdd);
  EXPECT_EQ(failures_[0].errorClass, ecLibrary);
  EXPECT_EQ(failures_[0].code, 7);
}

TEST_F(ArchiveModel, FreshenMarksOnlyChangedFiles) {
  archive_->AddFiles("a.zal", 0);
  archive_->Save();
  archive_->SetStoreOptions({soFreshen});
  int confirmations = 0;
  archive_->OnConfirmProcessItem = [&](TObject*, TAbArchiveItem*, TAbProcessType type, bool&) {
    EXPECT_EQ(type, ptFreshen);
    ++confirmations;
  };
  archive_->AddFiles("a.zal", 0);
  EXPECT_EQ(archive_->Items(0)->Action(), iaNone);
  EXPECT_EQ(confirmations, 0);
  dir_.Write("a.zal", "longer data");
  archive_->AddFiles("a.zal", 0);
  EXPECT_EQ(archive_->Items(0)->Action(), iaFreshen);
  EXPECT_EQ(confirmations, 1);
  EXPECT_TRUE(archive_->IsDirty());
  EXPECT_EQ(archive_->Count(), 1);
}

TEST_F(ArchiveModel, FreshenOfAVanishedFileIsReported) {
  archive_->AddFiles("a.zal", 0);
  archive_->Save();
  ASSERT_TRUE(DeleteFile(dir_ / "a.zal"));
  archive_->Freshen(0);
  EXPECT_EQ(archive_->Items(0)->Action(), iaNone);
  ASSERT_EQ(failures_.size(), 1u);
  EXPECT_EQ(failures_[0].type, ptFreshen);
  EXPECT_EQ(failures_[0].errorClass, ecFileOpen);
}

TEST_F(ArchiveModel, ReplaceMarksTheListedItem) {
  archive_->AddFiles("a.zal", 0);
  archive_->SetStoreOptions({soReplace});
  archive_->AddFiles("a.zal", 0);  // the pending add is saved first
  ASSERT_EQ(archive_->saves.size(), 1u);
  EXPECT_EQ(archive_->Items(0)->Action(), iaReplace);
  EXPECT_EQ(archive_->Items(0)->DiskFileName(), dir_ / "a.zal");
  EXPECT_TRUE(failures_.empty());
}

TEST_F(ArchiveModel, RefusedItemsAreFreedAndNotLogged) {
  archive_->SetLogFile(dir_ / "log.txt");
  archive_->SetLogging(true);
  archive_->OnConfirmProcessItem = [](TObject*, TAbArchiveItem* item, TAbProcessType, bool& confirm) {
    confirm = item->GetFileName() != "b.zal";
  };
  archive_->AddFiles("*.zal", 0);
  EXPECT_EQ(Names(), (std::vector<AnsiString>{"a.zal", "c.zal"}));
  EXPECT_EQ(gItemsAlive, 2);
  archive_->SetLogging(false);

  std::ifstream in(dir_ / "log.txt", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 3u);
  const char* starts[] = {"backup.zal logging ", "a.zal added ", "c.zal added "};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(lines[i].rfind(i == 0 ? dir_ / starts[0] : starts[i], 0), 0u) << lines[i];
    EXPECT_EQ(lines[i].back(), '\r') << lines[i];
  }
}

TEST_F(ArchiveModel, LoggingStartsAFreshFileOrFailsClearly) {
  std::string log = dir_.Write("log.txt", "old content\r\n");
  archive_->SetLogFile(log);
  archive_->SetLogging(true);
  archive_->SetLogging(false);
  EXPECT_EQ(FileSize(log), static_cast<int64_t>((dir_ / "backup.zal logging ").size()) +
                               static_cast<int64_t>(std::string(DateTimeToStr(Now())).size()) + 2);
  archive_->SetLogFile(dir_ / "missing/log.txt");
  try {
    archive_->SetLogging(true);
    FAIL() << "no exception";
  } catch (const EAbException& e) {
    EXPECT_EQ(e.Message(), "Error creating Log File");
  }
  archive_->AddFiles("a.zal", 0);  // logging on without a log writes nothing
  EXPECT_EQ(archive_->Count(), 1);
}

TEST_F(ArchiveModel, BaseFolderRules) {
  archive_->SetBaseDirectory("/");
  EXPECT_EQ(archive_->BaseDirectory(), "/");
  archive_->SetBaseDirectory(dir_.name() + "/");
  EXPECT_EQ(archive_->BaseDirectory(), dir_.name());
  EXPECT_THROW(archive_->SetBaseDirectory(dir_ / "missing"), EAbNoSuchDirectory);
  EXPECT_EQ(archive_->BaseDirectory(), dir_.name());
  archive_->SetBaseDirectory("");
  EXPECT_EQ(archive_->BaseDirectory(), "");
}

TEST_F(ArchiveModel, SaveRunsForEmptyArchivesAndPendingChangesOnly) {
  int confirmations = 0, saved = 0;
  archive_->OnConfirmSave = [&](TObject*, bool&) { ++confirmations; };
  archive_->OnSave = [&](TObject*) { ++saved; };
  archive_->Save();
  archive_->Save();
  EXPECT_EQ(archive_->saves.size(), 2u);
  archive_->AddFiles("a.zal", 0);
  archive_->Save();
  archive_->Save();
  EXPECT_EQ(archive_->saves.size(), 3u);
  EXPECT_EQ(confirmations, 3);
  EXPECT_EQ(saved, 3);
  archive_->OnConfirmSave = [](TObject*, bool& confirm) { confirm = false; };
  archive_->Move(archive_->Items(0), "x.zal");
  archive_->Save();
  EXPECT_EQ(archive_->saves.size(), 3u);
  EXPECT_TRUE(archive_->IsDirty());
}

TEST_F(ArchiveModel, MoveRenamesUnlessTheNameIsTaken) {
  archive_->AddFiles("*.zal", 0);
  archive_->Save();
  archive_->Move(archive_->Items(0), "B.ZAL");
  ASSERT_EQ(failures_.size(), 1u);
  EXPECT_EQ(failures_[0].type, ptMove);
  EXPECT_EQ(failures_[0].code, 7);
  EXPECT_EQ(archive_->Items(0)->GetFileName(), "a.zal");
  archive_->Move(archive_->Items(0), "/renamed/A.ZAL");
  EXPECT_EQ(archive_->Items(0)->GetFileName(), "renamed/A.ZAL");
  EXPECT_EQ(archive_->Items(0)->Action(), iaMove);
  EXPECT_EQ(archive_->ItemList().Find("renamed/a.zal"), 0);
}

TEST_F(ArchiveModel, FailedLoadStillNotifiesAndInvalidatesTheArchive) {
  int loads = 0;
  archive_->OnLoad = [&](TObject*) { ++loads; };
  archive_->Load();
  EXPECT_EQ(loads, 1);
  archive_->failLoad = true;
  EXPECT_THROW(archive_->Load(), EAbZipInvalid);
  EXPECT_EQ(loads, 2);
  EXPECT_THROW(archive_->AddFiles("a.zal", 0), EAbNoArchive);
  archive_->Save();
  EXPECT_TRUE(archive_->saves.empty());
}

TEST_F(ArchiveModel, FixName) {
  const struct {
    const char* name;
    TAbStoreOptions options;
    const char* stored;
  } cases[] = {
      {"/work/a.zal", {soStripPath}, "a.zal"},
      {"/work/a.zal", {soStripDrive, soRemoveDots}, "work/a.zal"},
      {"/work/a.zal", {}, "work/a.zal"},
      {"../../x/a.zal", {soRemoveDots}, "x/a.zal"},
      {"sub\\a.zal", {}, "sub/a.zal"},
  };
  for (const auto& c : cases) {
    archive_->SetStoreOptions(c.options);
    EXPECT_EQ(archive_->FixName(c.name), c.stored) << c.name;
  }
}

TEST_F(ArchiveModel, DosModeNeedsExistingPaths) {
  archive_->SetDOSMode(true);
  archive_->SetStoreOptions({soStripDrive});
  EXPECT_EQ(archive_->FixName("a.zal"), (dir_ / "a.zal").substr(1));
  EXPECT_THROW(archive_->FixName("missing.zal"), EAbFileNotFound);
}

TEST_F(ArchiveModel, EngineProgressAndSpanningRequests) {
  int reports = 0;
  archive_->OnArchiveItemProgress = [&](TObject*, TAbArchiveItem*, uint8_t progress, bool& abort) {
    ++reports;
    abort = progress >= 50;
  };
  archive_->DoDeflateProgress(10);
  EXPECT_THROW(archive_->DoInflateProgress(50), EAbAbortProgress);
  EXPECT_EQ(reports, 2);
  AnsiString image;
  bool abort = false;
  EXPECT_THROW(archive_->DoSpanningMediaRequest(nullptr, 1, image, abort), EAbSpanningNotSupported);
}

TEST(AbArchiveStreamHelper, NeedsAStream) {
  struct Helper : TAbArchiveStreamHelper {
    using TAbArchiveStreamHelper::TAbArchiveStreamHelper;
    void CopyItemData(TStream*) override {}
    bool SeekFirstItem() override { return false; }
    bool SeekNextItem() override { return false; }
    void ReadHeader() override {}
    void ReadTail() override {}
    bool SeekItem(int) override { return false; }
    void WriteHeader() override {}
    void WriteItem(TStream*) override {}
    void WriteTail() override {}
    int32_t CountItems() override { return 0; }
  };
  try {
    Helper helper(nullptr);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "nil stream");
  }
}
