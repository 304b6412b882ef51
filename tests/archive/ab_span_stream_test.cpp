// The spanning stream and ZIP volume handling: how written data is split
// over image files, which names and numbers are asked for, and a spanned set
// written and loaded again by the ZIP archive.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "archive/ab_span_stream.h"
#include "archive/ab_utils.h"
#include "archive/ab_zip_archive.h"
#include "tests/support/temp_folder.h"
#include "tests/archive/ab_zip_test_util.h"

using namespace ziptest;

namespace {

struct Request {
  int32_t number;
  AnsiString name;
};

int64_t SizeOf(const std::string& path) { return static_cast<int64_t>(std::filesystem::file_size(path)); }

TEST(SpanStream, ThresholdSplitsWritesOverImageFiles) {
  TempFolder dir;
  std::vector<Request> requests;
  {
    TAbSpanStream s(dir / "archive.zip", fmCreate, 100000, mkImageFiles);
    s.OnRequestImage = [&](TObject*, int32_t n, AnsiString& name, bool&) { requests.push_back({n, name}); };
    std::string data(250000, 'd');
    s.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
    EXPECT_EQ(s.ArchiveTotalWritten(), 250000);
  }
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].number, 1);
  EXPECT_EQ(requests[0].name, dir / "archive.z02");
  EXPECT_EQ(requests[1].number, 2);
  EXPECT_EQ(requests[1].name, dir / "archive.z03");
  EXPECT_EQ(SizeOf(dir / "archive.zip"), 100000);
  EXPECT_EQ(SizeOf(dir / "archive.z02"), 100000);
  EXPECT_EQ(SizeOf(dir / "archive.z03"), 50000);
}

TEST(SpanStream, WithoutThresholdItIsOnePlainFile) {
  TempFolder dir;
  TAbSpanStream s(dir / "one.zip", fmCreate, 0, mkImageFiles);
  bool asked = false;
  s.OnRequestImage = [&](TObject*, int32_t, AnsiString&, bool&) { asked = true; };
  std::string data(300000, 'p');
  s.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
  int64_t here = s.Position();
  EXPECT_EQ(s.Seek(0, soBeginning), here);  // seeking while writing never moves
  EXPECT_FALSE(asked);
  EXPECT_EQ(SizeOf(dir / "one.zip"), 300000);
}

TEST(SpanStream, FullVolumeWithoutHandlerOrWithAbort) {
  TempFolder dir;
  std::string data(2000, 'f');
  TAbSpanStream bare(dir / "a.zip", fmCreate, 1000, mkImageFiles);
  EXPECT_THROW(bare.Write(data.data(), 2000), EAbZipStreamFull);

  // A removable medium proposes the same name again, image number 3.
  TAbSpanStream removable(dir / "b.zip", fmCreate, 1000, mkRemovable);
  std::vector<Request> requests;
  removable.OnRequestImage = [&](TObject*, int32_t n, AnsiString& name, bool& abort) {
    requests.push_back({n, name});
    abort = true;
  };
  EXPECT_THROW(removable.Write(data.data(), 2000), EAbUserAbort);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].number, 3);
  EXPECT_EQ(requests[0].name, dir / "b.zip");
}

TEST(SpanStream, NamesAndReading) {
  TempFolder dir;
  EXPECT_THROW(TAbSpanStream("relative.zip", fmCreate, 0, mkImageFiles), EAbException);

  std::filesystem::create_directory(dir / "my.dir");
  TAbSpanStream s(dir / "my.dir/archive.zip", fmCreate, 0, mkImageFiles);
  EXPECT_EQ(s.NextImageName(), dir / "my.dir/archive.z02");
  s.SetSpanNumber(8);
  EXPECT_EQ(s.NextImageName(), dir / "my.dir/archive.z10");
  s.SetSpanNumber(99);
  EXPECT_EQ(s.NextImageName(), "");

  dir.Write("r.zip", "abc");
  TAbSpanStream r(dir / "r.zip", fmOpenRead, 0, mkImageFiles);
  char buf[8];
  EXPECT_EQ(r.Read(buf, 8), 3);
  EXPECT_EQ(r.Read(buf, 8), 0);  // at the end of a volume without a handler
}

// Reading keeps its own position over a read-ahead buffer: every mix of
// small and large reads and seeks must give the file's bytes at the place
// asked for.
TEST(SpanStream, BufferedReadsAndSeeksGiveTheFileBytes) {
  TempFolder dir;
  std::string data(200000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + i / 251);
  dir.Write("b.zip", data);
  TAbSpanStream r(dir / "b.zip", fmOpenRead, 0, mkImageFiles);
  EXPECT_EQ(r.Size(), 200000);
  std::string got(100000, '\0');
  auto readAt = [&](int64_t at, int64_t count) {
    EXPECT_EQ(r.Seek(at, soBeginning), at);
    EXPECT_EQ(r.Read(got.data(), count), count);
    EXPECT_EQ(got.substr(0, count), data.substr(at, count)) << "at " << at << ", " << count << " bytes";
    EXPECT_EQ(r.Position(), at + count);
  };
  readAt(0, 10);
  readAt(65530, 20);     // across the end of the first buffer
  readAt(5, 3);          // back into bytes read before
  readAt(1000, 90000);   // larger than the buffer
  readAt(199990, 10);    // up to the end
  EXPECT_EQ(r.Read(got.data(), 10), 0);
  EXPECT_EQ(r.Seek(-4, soEnd), 199996);
  EXPECT_EQ(r.Seek(-6, soCurrent), 199990);
  EXPECT_EQ(r.Seek(10, soEnd), 199990);  // off the volume: the position stays
  EXPECT_EQ(r.Read(got.data(), 100), 10);
}

TEST(ZipVolumes, ImageNamesReplaceTheExtension) {
  struct Case {
    const char* name;
    int n;
    const char* expected;
  } cases[] = {{"/b/backup.zip", 0, "/b/backup.z01"},
               {"/b/backup.zip", 1, "/b/backup.z02"},
               {"/b/BACKUP.ZIP", 10, "/b/BACKUP.z11"},
               {"/b.d/backup", 2, "/b.d/backup.03"}};
  for (const Case& c : cases) EXPECT_EQ(TAbZipArchive::ImageNameFor(c.name, c.n), c.expected);
}

// A set written with a volume size and read back: peers read it too.
TEST(ZipVolumes, SpannedSetIsWrittenLoadedAndNotOverwritten) {
  TempFolder dir;
  std::string set = dir / "set.zip";
  std::string random(250000, '\0');
  uint32_t x = 12345;
  for (char& c : random) c = static_cast<char>((x = x * 1103515245 + 12345) >> 24);
  {
    auto zip = OpenZip(set);
    zip->SetSpanningThreshold(100000);
    zip->AddFiles(dir.Write("r.bin", random), AbAttrAnyFile);
    zip->AddFiles(dir.Write("t.txt", std::string(50000, 't')), AbAttrAnyFile);
    zip->Save();
    EXPECT_TRUE(zip->Spanned());
  }
  EXPECT_EQ(SizeOf(dir / "set.z01"), 100000);
  EXPECT_EQ(SizeOf(dir / "set.z02"), 100000);
  EXPECT_EQ(FileBytes(dir / "set.z01").substr(0, 4), std::string("PK\x07\x08", 4));

  auto zip = OpenZip(set);
  EXPECT_TRUE(zip->Spanned());
  ASSERT_EQ(zip->Count(), 2);
  EXPECT_EQ(zip->Items(0)->GetUncompressedSize(), 250000);
  zip->AddFiles(dir.Write("more.txt", "m"), AbAttrAnyFile);
  EXPECT_THROW(zip->Save(), EAbZipSpanOverwrite);
  EXPECT_EQ(zip->Items(2)->Action(), iaNone);

  ShellResult test = Shell("cd " + Quote(dir.name()) + " && 7zz t set.zip");
  EXPECT_EQ(test.status, 0) << test.output;
  ShellResult join = Shell("cd " + Quote(dir.name()) + " && zip -q -s 0 set.zip --out joined.zip && unzip -tq joined.zip");
  EXPECT_EQ(join.status, 0) << join.output;

  // Reading on past the volume images asks for the last volume under the
  // archive's own extension, found whatever its case.
  zip.reset();
  std::filesystem::rename(set, dir / "set.ZIP");
  zip = OpenZip(dir / "set.ZIP");
  AnsiString next = dir / "set.z02";
  bool abort = false;
  zip->RequestImageName(true, 2, next, abort);
  EXPECT_FALSE(abort);
  EXPECT_EQ(next, dir / "set.ZIP");
}

// Small volumes and many entries: the central directory itself spans
// volumes and its headers straddle volume boundaries.
TEST(ZipVolumes, DirectoryOverSeveralVolumesLoadsBack) {
  TempFolder dir;
  std::string set = dir / "many.zip";
  const int kEntries = 300;
  {
    auto zip = OpenZip(set);
    zip->SetSpanningThreshold(8000);
    for (int i = 0; i < kEntries; ++i)
      zip->AddFiles(dir.Write("a_rather_long_file_name_for_a_small_volume_" + std::to_string(i) + ".txt", "x"),
                    AbAttrAnyFile);
    zip->Save();
    ASSERT_TRUE(zip->Spanned());
    EXPECT_GT(zip->Footer().DiskNumber, zip->Footer().StartDiskNumber);
  }
  auto zip = OpenZip(set);
  ASSERT_EQ(zip->Count(), kEntries);
  EXPECT_EQ(zip->Items(kEntries - 1)->GetFileName(), "a_rather_long_file_name_for_a_small_volume_299.txt");
  EXPECT_EQ(zip->Items(kEntries - 1)->GetUncompressedSize(), 1);
}

// Stands in for the disk prompts and volume labels of removable drives.
class RecordingMedia : public TAbMediaServices {
public:
  bool Confirm(const AnsiString& text, const AnsiString&) override {
    prompts.push_back(text);
    return false;
  }
  int32_t SetVolumeLabel(const AnsiString& label, const AnsiString&) override {
    labels.push_back(label);
    return 0;
  }
  std::vector<AnsiString> prompts, labels;
};

TEST(ZipVolumes, BlankDiskRequestLabelsTheDiskEvenWhenCancelled) {
  TempFolder dir;
  RecordingMedia media;
  SetAbMediaServices(&media);
  TMemoryStream m;
  TAbZipArchive zip(&m, dir / "a.zip");
  TAbSpanStream disk(dir / "a.zip", fmCreate, 0, mkRemovable);
  AnsiString name = dir / "a.zip";
  bool abort = false;
  zip.DoSpanningMediaRequest(&disk, 3, name, abort);
  SetAbMediaServices(nullptr);
  EXPECT_TRUE(abort);
  EXPECT_TRUE(zip.Spanned());
  EXPECT_EQ(media.prompts, std::vector<AnsiString>{"Insert a blank floppy disk"});
  EXPECT_EQ(media.labels, std::vector<AnsiString>{"PKBACK# 002"});
}

// Opening the first volume of a set searches the following images for the
// end record: a missing image fails, an aborted request ends the load empty.
TEST(ZipVolumes, FirstVolumeLooksForTheLastOne) {
  TempFolder dir;
  dir.Write("set.z01", std::string("PK\x07\x08", 4) + std::string(100, '\0'));
  dir.Write("set.z02", std::string(100, '\0'));
  EXPECT_THROW(OpenZip(dir / "set.z01"), EAbFileNotFound);

  TAbZipArchive zip(dir / "set.z01", fmOpenRead);
  std::vector<int32_t> asked;
  zip.OnRequestImage = [&](TObject*, int32_t n, AnsiString&, bool& abort) {
    asked.push_back(n);
    abort = true;
  };
  zip.Load();
  EXPECT_EQ(zip.Count(), 0);
  EXPECT_EQ(asked, std::vector<int32_t>{-1});
}

}  // namespace
