// The bzip2 streams and the bzip2 archive: round trips, the stream seek
// rules, detection of short and tar contents, the one-entry rule of plain
// files, and files exchanged with bzip2, GNU tar, bsdtar and python.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "archive/ab_bzip2.h"
#include "archive/ab_bzip2_streams.h"
#include "platform/rtl/streams.h"
#include "tests/archive/ab_tar_test_util.h"
#include "tests/support/temp_folder.h"

using namespace tartest;

namespace {

std::string Compress(const std::string& data) {
  TStringStream out;
  {
    TBZCompressionStream encoder(bs9, &out);
    encoder.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
  }
  return out.DataString();
}

std::string Pattern(size_t size) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 7919) >> 3);
  return s;
}

}  // namespace

TEST(Bzip2Streams, CompressedDataRoundTrips) {
  const std::string data = Pattern(100);
  const std::string packed = Compress(data);
  EXPECT_EQ(packed.substr(0, 4), "BZh9");
  TStringStream source(packed);
  TBZDecompressionStream decoder(&source);
  std::string back(100, '\0');
  decoder.ReadBuffer(back.data(), 100);
  EXPECT_EQ(back, data);

  TempFolder dir;
  std::ofstream(dir / "p.bz2", std::ios::binary) << packed;
  EXPECT_EQ(Shell("bzip2 -dc " + dir / "p.bz2").output, data);
}

TEST(Bzip2Streams, ReadingStopsAtTheEndAndRefusesTruncatedData) {
  const std::string packed = Compress("twelve bytes");
  {
    TStringStream source(packed);
    TBZDecompressionStream decoder(&source);
    char buf[64];
    EXPECT_EQ(decoder.Read(buf, 64), 12);
    EXPECT_EQ(decoder.Read(buf, 64), 0);
  }
  {
    TStringStream source(packed);
    TBZDecompressionStream decoder(&source);
    char buf[64];
    EXPECT_THROW(decoder.ReadBuffer(buf, 13), EReadError);
  }
  TStringStream cut(packed.substr(0, packed.size() - 6));
  TBZDecompressionStream decoder(&cut);
  char buf[64];
  EXPECT_THROW(decoder.Read(buf, 64), EBZDecompressionError);
}

TEST(Bzip2Streams, SeekRules) {
  TStringStream sink;
  TBZCompressionStream encoder(bs1, &sink);
  encoder.WriteBuffer("abcdef", 6);
  EXPECT_EQ(encoder.Seek(0, soCurrent), 6);
  EXPECT_THROW(encoder.Seek(1, soCurrent), EBZCompressionError);
  EXPECT_THROW(encoder.Seek(0, soBeginning), EBZCompressionError);
  char c;
  EXPECT_THROW(encoder.Read(&c, 1), EBZCompressionError);

  const std::string data = Pattern(10000);
  TStringStream source(Compress(data));
  TBZDecompressionStream decoder(&source);
  char buf[10];
  decoder.ReadBuffer(buf, 10);
  EXPECT_EQ(decoder.Seek(0, soCurrent), 10);
  EXPECT_THROW(decoder.Seek(-1, soCurrent), EBZDecompressionError);
  EXPECT_THROW(decoder.Seek(5, soBeginning), EBZDecompressionError);
  EXPECT_THROW(decoder.Seek(0, soEnd), EBZDecompressionError);
  EXPECT_THROW(decoder.Write(buf, 1), EBZDecompressionError);
  EXPECT_EQ(decoder.Seek(990, soCurrent), 1000);  // skips forward
  decoder.ReadBuffer(buf, 10);
  EXPECT_EQ(std::string(buf, 10), data.substr(1000, 10));
  EXPECT_EQ(decoder.Seek(0, soBeginning), 0);  // starts over
  decoder.ReadBuffer(buf, 10);
  EXPECT_EQ(std::string(buf, 10), data.substr(0, 10));
  EXPECT_THROW(decoder.Seek(20000, soCurrent), EReadError);
}

TEST(Bzip2Archive, PlainFilesAreOneEntryNamedAfterTheFile) {
  TempFolder dir;
  const std::string content = Pattern(70000);  // more than a bit bucket takes at once
  dir.Write("data", content);
  ASSERT_EQ(Shell("cd " + dir.name() + " && bzip2 -k data && cp data.bz2 data.tbz && bzip2 -c -k data > x").status,
            0);
  struct {
    const char* file;
    const char* entry;
  } cases[] = {{"data.bz2", "data"}, {"data.tbz", "data.tar"}, {"x", "x"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    auto a = Open<TAbBzip2Archive>(dir / c.file);
    ASSERT_EQ(a->Count(), 1);
    EXPECT_EQ(a->Items(0)->GetFileName(), c.entry);
  }
  auto a = Open<TAbBzip2Archive>(dir / "data.bz2");
  a->TestItemAt(0);
  a->ExtractItemAt(0, dir / "out");
  EXPECT_EQ(FileBytes(dir / "out"), content);

  // Nothing pending: the file is not rewritten.
  struct stat before {}, after {};
  stat((dir / "data.bz2").c_str(), &before);
  a->SetIsDirty(true);
  a->Save();
  stat((dir / "data.bz2").c_str(), &after);
  EXPECT_EQ(before.st_ino, after.st_ino);
}

// A damaged or cut file: the failure names the archive and says what the
// library's result code means.
TEST(Bzip2Archive, DamagedDataIsReportedWithTheArchiveAndTheReason) {
  TempFolder dir;
  const std::string packed = Compress(Pattern(5000));
  std::string flipped = packed;
  flipped[packed.size() / 2] ^= 0x55;
  struct {
    const char* file;
    std::string bytes;
    const char* reason;
  } cases[] = {{"flipped.bz2", flipped, "error -4 (damaged data"},
               {"cut.bz2", packed.substr(0, packed.size() - 6), "error -7 (data cut short)"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    std::string file = dir.Write(c.file, c.bytes);
    auto a = Open<TAbBzip2Archive>(file);
    try {
      a->TestItemAt(0);
      ADD_FAILURE() << "tested OK";
    } catch (const EBZip2Error& e) {
      EXPECT_EQ(e.Message().find(file + ": "), 0u) << e.Message();
      EXPECT_NE(e.Message().find(c.reason), std::string::npos) << e.Message();
    }
  }
}

TEST(Bzip2Archive, DetectionAcceptsShortContentsAndFindsTar) {
  TempFolder dir;
  dir.Write("src/a.txt", "a");
  dir.Write("tiny", "tiny");
  ASSERT_EQ(Shell("cd " + dir.name() + " && bzip2 -k tiny && tar -cjf t.tbz -C src a.txt && gzip -k tiny").status, 0);
  struct {
    const char* file;
    TAbArchiveKind kind;
  } cases[] = {{"tiny.bz2", akBzip2}, {"t.tbz", akBzippedTar}, {"tiny.gz", akUnknown}, {"tiny", akUnknown}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    TMemoryStream s;
    s.LoadFromFile(dir / c.file);
    EXPECT_EQ(DetectBzip2(s), c.kind);
  }
  Open<TAbBzip2Archive>(dir / "tiny.bz2")->TestItemAt(0);
}

TEST(Bzip2Archive, PlainFileWrittenByUsIsReadByPeers) {
  TempFolder dir;
  const std::string content = Pattern(200000);
  std::string file = dir.Write("dump.zal", content);
  std::string second = dir.Write("other.zal", "other");
  auto a = Open<TAbBzip2Archive>(dir / "dump.bz2");
  std::vector<std::string> failed;
  a->OnProcessItemFailure = [&](TObject*, TAbArchiveItem* item, TAbProcessType, TAbErrorClass, int32_t) {
    failed.push_back(item->GetFileName());
  };
  AddAndSave(*a, {file, second});
  EXPECT_EQ(failed, std::vector<std::string>{"other.zal"});
  EXPECT_EQ(Names(*a), std::vector<std::string>{"dump.zal"});

  const std::string bz = dir / "dump.bz2";
  EXPECT_EQ(Shell("bzip2 -t " + bz).status, 0);
  EXPECT_EQ(Shell("bzip2 -dc " + bz).output, content);
  EXPECT_EQ(Shell("python3 -c \"import bz2,sys; sys.stdout.buffer.write(bz2.open(sys.argv[1]).read())\" " + bz)
                .output,
            content);
}

TEST(Bzip2Archive, ConcatenatedStreamsAreReadWhole) {
  TempFolder dir;
  dir.Write("a", "first ");
  dir.Write("b", "second");
  ASSERT_EQ(Shell("cd " + dir.name() + " && bzip2 -c a > m.bz2 && bzip2 -c b >> m.bz2").status, 0);
  auto a = Open<TAbBzip2Archive>(dir / "m.bz2");
  EXPECT_EQ(ExtractToString(*a, 0), "first second");
}

TEST(Bzip2Archive, BzippedTarRoundTripsWithPeers) { CompressedTarRoundTrip<TAbBzip2Archive>("j", "bzip2 -t"); }
