// ZIP records at the byte level: the exact layout of a saved one-file archive,
// the end-record search, type detection and the stored-name rules.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "archive/ab_utils.h"
#include "archive/ab_zip_archive.h"
#include "archive/ab_zip_records.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"
#include "tests/support/temp_folder.h"
#include "tests/archive/ab_zip_test_util.h"

using namespace ziptest;

namespace {

// A saved archive of one stored file: every field of the three records.
TEST(ZipRecords, OneFileArchiveHasExactLayout) {
  TempFolder dir;
  std::string src = dir.Write("a.txt", "hello hello hello");
  {
    auto zip = OpenZip(dir / "one.zip");
    zip->SetCompressionMethodToUse(smStored);
    zip->AddFiles(src, AbAttrAnyFile);
    zip->Save();
  }
  TAbFileInfo info;
  ASSERT_TRUE(GetFileInfo(src, info));
  uint32_t stamp = static_cast<uint32_t>(DateTimeToDosDateTime(info.DateTime));
  std::string b = FileBytes(dir / "one.zip");
  const size_t dataAt = 30 + 5, centralAt = dataAt + 17, endAt = centralAt + 46 + 5;
  ASSERT_EQ(b.size(), endAt + 22);

  EXPECT_EQ(U32(b, 0), 0x04034B50u);
  EXPECT_EQ(U16(b, 4), 10);  // version needed: stored
  EXPECT_EQ(U16(b, 6), 0);   // flags
  EXPECT_EQ(U16(b, 8), 0);   // method
  EXPECT_EQ(U16(b, 10), stamp & 0xFFFF);
  EXPECT_EQ(U16(b, 12), stamp >> 16);
  uint32_t crc = Crc32OfString("hello hello hello");
  EXPECT_EQ(U32(b, 14), crc);
  EXPECT_EQ(U32(b, 18), 17u);
  EXPECT_EQ(U32(b, 22), 17u);
  EXPECT_EQ(U16(b, 26), 5);
  EXPECT_EQ(U16(b, 28), 0);  // an ASCII name has no extra field
  EXPECT_EQ(b.substr(30, 5), "a.txt");
  EXPECT_EQ(b.substr(dataAt, 17), "hello hello hello");

  EXPECT_EQ(U32(b, centralAt), 0x02014B50u);
  EXPECT_EQ(U16(b, centralAt + 4), 20);  // made by: version 2.0, host 0
  EXPECT_EQ(U16(b, centralAt + 6), 10);
  EXPECT_EQ(U32(b, centralAt + 16), crc);
  EXPECT_EQ(U16(b, centralAt + 32), 0);  // comment
  EXPECT_EQ(U16(b, centralAt + 34), 0);  // disk
  EXPECT_EQ(U16(b, centralAt + 36), 0);  // internal attributes
  EXPECT_EQ(U32(b, centralAt + 38), static_cast<uint32_t>(info.Attr));
  EXPECT_EQ(U32(b, centralAt + 42), 0u);

  EXPECT_EQ(U32(b, endAt), 0x06054B50u);
  EXPECT_EQ(U16(b, endAt + 4), 0);
  EXPECT_EQ(U16(b, endAt + 6), 0);
  EXPECT_EQ(U16(b, endAt + 8), 1);
  EXPECT_EQ(U16(b, endAt + 10), 1);
  EXPECT_EQ(U32(b, endAt + 12), 51u);
  EXPECT_EQ(U32(b, endAt + 16), centralAt);
  EXPECT_EQ(U16(b, endAt + 20), 0);
}

// Flag bits and versions that each compression setting leaves in the header.
TEST(ZipRecords, FlagsAndVersionsFollowTheOptions) {
  struct Case {
    TAbZipSupportedMethod method;
    TAbZipDeflationOption option;
    bool password;
    uint16_t flags;
    uint16_t needed;
    uint16_t methodCode;
  } cases[] = {
      {smDeflated, doNormal, false, 0, 20, 8},    {smDeflated, doMaximum, false, 2, 20, 8},
      {smDeflated, doFast, false, 4, 20, 8},      {smDeflated, doSuperFast, false, 6, 20, 8},
      {smStored, doNormal, false, 0, 10, 0},      {smDeflated, doNormal, true, 9, 20, 8},
      {smStored, doNormal, true, 9, 10, 0},
  };
  TempFolder dir;
  std::string src = dir.Write("t.txt", std::string(5000, 'x'));
  for (const Case& c : cases) {
    std::string path = dir / "f.zip";
    std::remove(path.c_str());
    {
      auto zip = OpenZip(path);
      zip->SetCompressionMethodToUse(c.method);
      zip->SetDeflationOption(c.option);
      if (c.password) zip->SetPassword("pw");
      zip->AddFiles(src, AbAttrAnyFile);
      zip->Save();
    }
    std::string b = FileBytes(path);
    SCOPED_TRACE(static_cast<int>(c.method) * 100 + c.option * 10 + c.password);
    EXPECT_EQ(U16(b, 6), c.flags);
    EXPECT_EQ(U16(b, 4), c.needed);
    EXPECT_EQ(U16(b, 8), c.methodCode);
    uint32_t packed = U32(b, 18);
    if (c.password) {
      // Exactly one descriptor after the data, then the central directory.
      size_t descriptorAt = 30 + 5 + packed;
      EXPECT_EQ(U32(b, descriptorAt), 0x08074B50u);
      EXPECT_EQ(U32(b, descriptorAt + 16), 0x02014B50u);
    }
  }
}

AnsiString EndRecordBytes(uint16_t disk, const AnsiString& comment) {
  TStringStream s;
  TAbZipDirectoryFileFooter f;
  f.DiskNumber = disk;
  f.ZipfileComment = comment;
  f.SaveToStream(s);
  return s.DataString();
}

TEST(ZipRecords, EndRecordIsFoundWithOrWithoutComment) {
  AnsiString body(300, 'x');
  TStringStream plain(body + EndRecordBytes(0, ""));
  EXPECT_EQ(LocateEndRecord(plain), 300);
  EXPECT_EQ(plain.Position(), 300);

  TStringStream commented(body + EndRecordBytes(0, AnsiString(100, 'c')));
  EXPECT_EQ(LocateEndRecord(commented), 300);

  // Past the first 512-byte window, and a comment that would run past the end.
  TStringStream far(EndRecordBytes(0, "") + AnsiString(2000, 'y') + EndRecordBytes(0, AnsiString(5, 'c')).substr(0, 24));
  EXPECT_EQ(LocateEndRecord(far), 0);

  TStringStream tiny(AnsiString(21, 'x'));
  tiny.SetPosition(7);
  EXPECT_EQ(LocateEndRecord(tiny), -1);
  EXPECT_EQ(tiny.Position(), 7);
}

TEST(ZipRecords, DetectionTellsZipSpannedAndStubs) {
  AnsiString zip = EndRecordBytes(0, "");
  struct Case {
    AnsiString bytes;
    TAbArchiveKind zipCheck;
    TAbArchiveKind sfxCheck;
  } cases[] = {
      {zip, akZip, akUnknown},
      {EndRecordBytes(3, ""), akSpannedZip, akUnknown},
      {AnsiString("PK\x07\x08", 4) + AnsiString(40, '\0'), akSpannedZip, akUnknown},
      {"MZ" + AnsiString(28, 'z') + zip, akZip, akSelfExtractingZip},
      {"MZ" + AnsiString(28, 'z') + EndRecordBytes(1, ""), akSpannedZip, akUnknown},
      {AnsiString("\x7F" "ELF", 4) + AnsiString(60, 'e') + zip, akZip, akSelfExtractingZip},
      {AnsiString("PK", 2), akUnknown, akUnknown},
      {AnsiString(100, 'q'), akUnknown, akUnknown},
  };
  for (const Case& c : cases) {
    TStringStream s(c.bytes);
    s.SetPosition(1);
    EXPECT_EQ(DetectZip(s), c.zipCheck);
    EXPECT_EQ(DetectSelfExtractingZip(s), c.sfxCheck);
    EXPECT_EQ(s.Position(), 1);
  }
}

// --- Names ------------------------------------------------------------------------

class ZipNames : public ::testing::Test {
protected:
  void TearDown() override { SetAbZipCodePages({}); }
};

TEST_F(ZipNames, CzechNameIsStoredInOemWithUnicodeBlock) {
  AnsiString name = "Žluťoučký.txt";  // Windows-1250 bytes
  TAbZipDirectoryFileHeader h;
  AbZipApplyName(h, name);
  EXPECT_FALSE(h.IsUTF8());
  EXPECT_EQ(h.VersionMadeBy >> 8, 0);
  EXPECT_EQ(h.FileName, AnsiString("\xA6lu\x9Cou\x9F" "k\xEC.txt"));  // code page 852
  const uint8_t* data;
  uint16_t size;
  ASSERT_TRUE(h.ExtraField.Get(kAbUnicodePathBlockId, data, size));
  std::string utf8 = AnsiToUtf8(name);
  ASSERT_EQ(size, utf8.size() + 5);
  EXPECT_EQ(data[0], 1);
  uint32_t crc = data[1] | data[2] << 8 | data[3] << 16 | static_cast<uint32_t>(data[4]) << 24;
  EXPECT_EQ(crc, Crc32OfString(h.FileName));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(data + 5), size - 5), utf8);
  EXPECT_EQ(AbZipDisplayName(h), name);

  // Without the block the OEM bytes still read back.
  h.ExtraField.Clear();
  EXPECT_EQ(AbZipDisplayName(h), name);
}

TEST_F(ZipNames, NameOutsideTheCodePagesIsStoredAsUtf8) {
  SetAbZipCodePages({437, 437});
  AnsiString name = "řeka.txt";
  TAbZipDirectoryFileHeader h;
  AbZipApplyName(h, name);
  EXPECT_TRUE(h.IsUTF8());
  EXPECT_EQ(h.FileName, AnsiToUtf8(name));
  EXPECT_TRUE(h.ExtraField.Buffer().empty());
  EXPECT_EQ(AbZipDisplayName(h), name);
}

TEST_F(ZipNames, AnsiFormWhenOnlyTheAnsiPageHoldsTheName) {
  AnsiString name = "cena €.txt";  // the euro sign is not in 852
  TAbZipDirectoryFileHeader h;
  AbZipApplyName(h, name);
  EXPECT_EQ(h.VersionMadeBy, kAbZipHostAnsi);
  EXPECT_EQ(h.FileName, name);
  EXPECT_EQ(AbZipDisplayName(h), name);
}

TEST_F(ZipNames, Utf8WithoutTheFlagIsStillReadAsUtf8) {
  TAbZipDirectoryFileHeader h;
  h.FileName = AnsiToUtf8("kůň.txt");
  EXPECT_EQ(AbZipDisplayName(h), AnsiString("kůň.txt"));
}

TEST_F(ZipNames, BlockWithStaleCrcIsIgnored) {
  TAbZipDirectoryFileHeader h;
  AbZipApplyName(h, "Žluťoučký.txt");
  h.FileName = "other.txt";
  EXPECT_EQ(AbZipDisplayName(h), AnsiString("other.txt"));
}

TEST(ZipRecordsFailures, WrongSignatureAndShortExtraField) {
  TAbZipDirectoryFileHeader h;
  h.FileName = "n";
  TStringStream s;
  h.SaveToStream(s);
  AnsiString bytes = s.DataString();
  bytes[2] = 0x03;  // a local signature where a central one belongs
  TStringStream wrong(bytes);
  TAbZipDirectoryFileHeader back;
  EXPECT_THROW(back.LoadFromStream(wrong), EAbZipInvalid);

  AnsiString shortExtra = s.DataString();
  shortExtra[30] = 10;  // claims 10 extra bytes that are not there
  TStringStream cut(shortExtra);
  EXPECT_THROW(back.LoadFromStream(cut), EReadError);
}

}  // namespace
