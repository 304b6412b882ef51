// The gzip archive: the member bytes it writes, the header variants it reads,
// detection, the checks of its test, and round trips with gzip, GNU tar,
// bsdtar and python.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <fstream>

#include "archive/ab_gzip.h"
#include "archive/deflate/deflate.h"
#include "platform/rtl/streams.h"
#include "tests/archive/ab_tar_test_util.h"
#include "tests/support/temp_folder.h"

using namespace tartest;

namespace {

uint32_t LE32(const std::string& b, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b.at(at + i));
  return v;
}

uint32_t Crc32Of(const std::string& data) {
  uint32_t crc = 0xFFFFFFFF;
  UpdateCrc32(crc, data.data(), data.size());
  return ~crc;
}

void Overwrite(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace

TEST(GzipArchive, NewMemberHasNameDeflateDataAndTrailer) {
  TempFolder dir;
  const std::string content = "Záloha tabulky\n" + std::string(2000, 'z');
  std::string file = dir.Write("report.zal", content);
  const uint32_t stamp = 1700000000;  // even, so the two-second file stamp keeps it
  utimbuf times{stamp, stamp};
  utime(file.c_str(), &times);
  {
    auto a = Open<TAbGzipArchive>(dir / "report.zal.gz");
    AddAndSave(*a, {file});
  }
  std::string bytes = FileBytes(dir / "report.zal.gz");
  EXPECT_EQ(bytes.substr(0, 4), "\x1F\x8B\x08\x08");
  EXPECT_EQ(LE32(bytes, 4), stamp);
  EXPECT_EQ(bytes.substr(8, 2), std::string("\x02\x00", 2));
  EXPECT_EQ(bytes.substr(10, 11), std::string("report.zal") + '\0');
  EXPECT_EQ(LE32(bytes, bytes.size() - 8), Crc32Of(content));
  EXPECT_EQ(LE32(bytes, bytes.size() - 4), content.size());
  TStringStream raw(bytes.substr(21, bytes.size() - 29)), decoded;
  Inflate(&raw, &decoded, nullptr);
  EXPECT_EQ(decoded.DataString(), content);

  const std::string gz = dir / "report.zal.gz";
  EXPECT_EQ(Shell("gzip -t " + gz).status, 0);
  EXPECT_EQ(Shell("gzip -dc " + gz).output, content);
  EXPECT_EQ(Shell("gzip -lN " + gz + " | tail -1 | awk '{print $4}'").output, dir / "report.zal\n");
  EXPECT_EQ(Shell("python3 -c \"import gzip,sys; sys.stdout.buffer.write(gzip.open(sys.argv[1]).read())\" " + gz)
                .output,
            content);
}

TEST(GzipArchive, ReadsHeadersWithAndWithoutOptionalFields) {
  TempFolder dir;
  dir.Write("plain.txt", "some text");
  ASSERT_EQ(Shell("cd " + dir.name() + " && gzip -n -c plain.txt > noname.gz && gzip -9 -k plain.txt").status, 0);
  auto noName = Open<TAbGzipArchive>(dir / "noname.gz");
  ASSERT_EQ(noName->Count(), 1);
  EXPECT_EQ(noName->Items(0)->GetFileName(), "unknown");
  EXPECT_EQ(ExtractToString(*noName, 0), "some text");

  auto named = Open<TAbGzipArchive>(dir / "plain.txt.gz");
  EXPECT_EQ(named->Items(0)->GetFileName(), "plain.txt");
  EXPECT_EQ(named->Items(0)->GetUncompressedSize(), 9);
  named->ExtractItemAt(0, dir / "back.txt");
  EXPECT_EQ(FileBytes(dir / "back.txt"), "some text");
  named->TestItemAt(0);
}

TEST(GzipArchive, HeaderCrcIsSkippedOnReadAndNotWrittenBack) {
  TempFolder dir;
  // FLG = header CRC | name | comment, with an extra field too.
  ASSERT_EQ(Shell("cd " + dir.name() + " && python3 -c \"import zlib,struct\n"
                  "d=b'payload '*50\n"
                  "h=b'\\x1f\\x8b\\x08' + bytes([2|4|8|16]) + struct.pack('<I',0) + b'\\x00\\x03'\n"
                  "h+=struct.pack('<H',4)+b'AB\\x00\\x00' + b'inner.txt\\x00' + b'a comment\\x00'\n"
                  "h+=struct.pack('<H', zlib.crc32(h) & 0xffff)\n"
                  "c=zlib.compressobj(9, zlib.DEFLATED, -15); body=c.compress(d)+c.flush()\n"
                  "open('hcrc.gz','wb').write(h+body+struct.pack('<II', zlib.crc32(d), len(d)))\"")
                .status,
            0);
  {
    auto a = Open<TAbGzipArchive>(dir / "hcrc.gz");
    auto* item = a->GzipItems(0);
    EXPECT_EQ(item->GetFileName(), "inner.txt");
    EXPECT_EQ(item->FileComment(), "a comment");
    EXPECT_EQ(item->ExtraField().Buffer().size(), 4u);
    std::string payload;
    for (int i = 0; i < 50; ++i) payload += "payload ";
    EXPECT_EQ(ExtractToString(*a, 0), payload);
    a->SetIsDirty(true);
    a->Save();
  }
  std::string bytes = FileBytes(dir / "hcrc.gz");
  EXPECT_EQ(static_cast<uint8_t>(bytes[3]), 4 | 8 | 16);
  EXPECT_EQ(Shell("gzip -t " + dir / "hcrc.gz").status, 0);
  auto back = Open<TAbGzipArchive>(dir / "hcrc.gz");
  EXPECT_EQ(back->GzipItems(0)->FileComment(), "a comment");
}

TEST(GzipArchive, ExtractionRefusesAStoredNameLeavingTheFolder) {
  TempFolder dir;
  ASSERT_EQ(Shell("cd " + dir.name() + " && python3 -c \"import zlib,struct\n"
                  "c=zlib.compressobj(9, zlib.DEFLATED, -15); body=c.compress(b'x')+c.flush()\n"
                  "h=b'\\x1f\\x8b\\x08\\x08' + bytes(6) + b'../evil.txt\\x00'\n"
                  "open('evil.gz','wb').write(h+body+struct.pack('<II', zlib.crc32(b'x'), 1))\"")
                .status,
            0);
  auto a = Open<TAbGzipArchive>(dir / "evil.gz");
  EXPECT_EQ(a->Items(0)->GetFileName(), "../evil.txt");
  try {
    a->ExtractItemAt(0, dir / "out.txt");
    ADD_FAILURE() << "extracted";
  } catch (const EAbGzipInvalid& e) {
    EXPECT_NE(e.Message().find("../evil.txt: unsafe member name"), std::string::npos) << e.Message();
  }
  EXPECT_FALSE(FileExists(dir / "out.txt"));
  EXPECT_EQ(ExtractToString(*a, 0), "x");
}

TEST(GzipArchive, DetectionTellsGzippedTarFromOtherGzipData) {
  TempFolder dir;
  dir.Write("src/a.txt", "a");
  ASSERT_EQ(Shell("cd " + dir.name() + "/src && tar -czf ../t.tgz a.txt && tar -cf ../t.tar a.txt && "
                  "gzip -c a.txt > ../a.gz")
                .status,
            0);
  struct {
    const char* file;
    TAbArchiveKind kind;
  } cases[] = {{"t.tgz", akGzippedTar}, {"a.gz", akGzip}, {"t.tar", akUnknown}, {"src/a.txt", akUnknown}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    TMemoryStream s;
    s.LoadFromFile(dir / c.file);
    s.Seek(1, soBeginning);
    EXPECT_EQ(DetectGzip(s), c.kind);
    EXPECT_EQ(s.Position(), 1);
  }
}

TEST(GzipArchive, TarModeFlagsTakeEffectAtTheNextLoad) {
  TempFolder dir;
  dir.Write("src/a.txt", "a");
  ASSERT_EQ(Shell("cd " + dir.name() + "/src && tar -czf ../t.tgz a.txt").status, 0);
  auto a = Open<TAbGzipArchive>(dir / "t.tgz");
  ASSERT_EQ(Names(*a), std::vector<std::string>{"unknown"});
  a->SetOpenInnerTar(true);
  a->SetIsCompressedTar(true);
  // The listed member is still a gzip member: saving it must not treat it as a tar entry.
  a->SetIsDirty(true);
  a->Save();
  EXPECT_EQ(Shell("tar -tzf " + dir / "t.tgz").output, "a.txt\n");
  a->Load();
  EXPECT_EQ(Names(*a), std::vector<std::string>{"a.txt"});
}

TEST(GzipArchive, TestChecksTheTrailerAgainstTheDecodedData) {
  TempFolder dir;
  const std::string content(100000, 'c');  // far more than a bit bucket holds
  dir.Write("c.txt", content);
  ASSERT_EQ(Shell("cd " + dir.name() + " && gzip -k c.txt").status, 0);
  const std::string good = FileBytes(dir / "c.txt.gz");
  Open<TAbGzipArchive>(dir / "c.txt.gz")->TestItemAt(0);

  std::string badCrc = good;
  badCrc[badCrc.size() - 8] ^= 1;
  Overwrite(dir / "c.txt.gz", badCrc);
  EXPECT_THROW(Open<TAbGzipArchive>(dir / "c.txt.gz")->TestItemAt(0), EAbGzipBadCRC);
  EXPECT_THROW(ExtractToString(*Open<TAbGzipArchive>(dir / "c.txt.gz"), 0), EAbGzipBadCRC);

  std::string badSize = good;
  badSize[badSize.size() - 4] ^= 1;
  Overwrite(dir / "c.txt.gz", badSize);
  EXPECT_THROW(Open<TAbGzipArchive>(dir / "c.txt.gz")->TestItemAt(0), EAbGzipBadFileSize);

  Overwrite(dir / "c.txt.gz", "not gzip at all");
  EXPECT_THROW(Open<TAbGzipArchive>(dir / "c.txt.gz")->TestItemAt(0), EAbGzipInvalid);
}

TEST(GzipArchive, ExtractionDecodesEveryMember) {
  TempFolder dir;
  dir.Write("a", "first ");
  dir.Write("b", "second");
  ASSERT_EQ(Shell("cd " + dir.name() + " && gzip -c a > m.gz && gzip -c b >> m.gz").status, 0);
  auto a = Open<TAbGzipArchive>(dir / "m.gz");
  EXPECT_EQ(a->Count(), 1);
  EXPECT_EQ(ExtractToString(*a, 0), "first second");
  a->TestItemAt(0);
}

TEST(GzipArchive, ReplacingWithShorterContentLeavesNoOldBytes) {
  TempFolder dir;
  std::string file = dir.Write("data.txt", std::string(50000, 'L') + "random tail 123456789");
  ASSERT_EQ(Shell("cd " + dir.name() + " && gzip -k data.txt").status, 0);
  auto a = Open<TAbGzipArchive>(dir / "data.txt.gz");
  a->SetBaseDirectory(dir.name());
  dir.Write("data.txt", "short");
  a->Replace(0);
  a->Save();
  EXPECT_EQ(Shell("gzip -dc " + dir / "data.txt.gz").output, "short");
  EXPECT_EQ(ExtractToString(*Open<TAbGzipArchive>(dir / "data.txt.gz"), 0), "short");
}

TEST(GzipArchive, GzippedTarRoundTripsWithPeers) { CompressedTarRoundTrip<TAbGzipArchive>("z", "gzip -t"); }
