// Compressing one entry: the method chosen, the header fields filled in, the
// item progress reported, and encryption's effect on flags and sizes.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "archive/ab_zip_archive.h"
#include "archive/ab_zip_compress.h"
#include "platform/rtl/streams.h"

namespace {

// A memory stream that counts the bytes read from it.
class CountingStream : public TMemoryStream {
public:
  int64_t Read(void* buffer, int64_t count) override {
    int64_t n = TMemoryStream::Read(buffer, count);
    bytesRead += n;
    return n;
  }
  int64_t bytesRead = 0;
};

class CompressItemTest : public ::testing::Test {
protected:
  CompressItemTest() : archive(&file, "/tmp/x.zip") {}

  // Compresses Data as a stream entry and returns the target's bytes.
  AnsiString Compress(const AnsiString& data) {
    source.SetSize(0);
    source.Write(data.data(), static_cast<int64_t>(data.size()));
    source.SetPosition(0);
    source.bytesRead = 0;
    TMemoryStream target;
    CompressItemFromStream(&archive, &item, &target, &source);
    AnsiString out(static_cast<size_t>(target.Size()), '\0');
    target.SetPosition(0);
    target.Read(out.data(), target.Size());
    return out;
  }

  TMemoryStream file;
  TAbZipArchive archive;
  TAbZipItem item;
  CountingStream source;
};

AnsiString RandomBytes(size_t n) {
  std::mt19937 rng(7);
  AnsiString s(n, '\0');
  for (char& c : s) c = static_cast<char>(rng());
  return s;
}

TEST_F(CompressItemTest, BestMethodStoresWhatDeflateCannotShrink) {
  AnsiString random = RandomBytes(30000);
  AnsiString out = Compress(random);
  EXPECT_EQ(item.CompressionMethod(), 0);
  EXPECT_EQ(item.GetCompressedSize(), 30000);
  EXPECT_EQ(out, random);
  EXPECT_GE(source.bytesRead, 60000);  // deflated on trial, then stored afresh
  EXPECT_EQ(item.VersionNeededToExtract(), 10);

  AnsiString text;
  for (int i = 0; i < 2000; ++i) text += "INSERT INTO t VALUES (" + std::to_string(i) + ");\n";
  Compress(text);
  EXPECT_EQ(item.CompressionMethod(), 8);
  EXPECT_EQ(item.VersionNeededToExtract(), 20);
  EXPECT_LT(item.GetCompressedSize(), static_cast<int64_t>(text.size()) / 4);
  EXPECT_EQ(item.GetUncompressedSize(), static_cast<int64_t>(text.size()));
}

// Encrypted bytes cannot be taken back: the trial goes through a scratch
// stream, and only the stored data reaches the cipher.
TEST_F(CompressItemTest, BestMethodWithAPasswordEncryptsOnlyTheStoredData) {
  archive.SetPassword("tajne");
  AnsiString out = Compress(RandomBytes(30000));
  EXPECT_EQ(item.CompressionMethod(), 0);
  EXPECT_EQ(item.GetCompressedSize(), 30012);
  EXPECT_EQ(out.size(), 30012u);
}

TEST_F(CompressItemTest, EmptySourceIsAStoredEmptyEntry) {
  item.SetCRC32(1234);
  EXPECT_EQ(Compress(""), "");
  EXPECT_EQ(item.CompressionMethod(), 0);
  EXPECT_EQ(item.GetCRC32(), 0u);
  EXPECT_EQ(item.GetCompressedSize(), 0);
  EXPECT_EQ(item.VersionNeededToExtract(), 10);
}

TEST_F(CompressItemTest, StoringReportsRoundedPercentagesOnce) {
  std::vector<int> seen;
  archive.OnArchiveItemProgress = [&](TObject*, TAbArchiveItem*, uint8_t p, bool&) { seen.push_back(p); };
  archive.SetCompressionMethodToUse(smStored);
  Compress(AnsiString(20000, 's'));
  EXPECT_EQ(seen, (std::vector<int>{41, 82, 100}));
}

TEST_F(CompressItemTest, AbortWhileStoringRaisesUserAbort) {
  archive.OnArchiveItemProgress = [&](TObject*, TAbArchiveItem*, uint8_t, bool& abort) { abort = true; };
  archive.SetCompressionMethodToUse(smStored);
  EXPECT_THROW(Compress(AnsiString(20000, 's')), EAbUserAbort);
}

TEST_F(CompressItemTest, PasswordAddsHeaderAndFlags) {
  archive.SetPassword("tajne");
  archive.SetCompressionMethodToUse(smStored);
  AnsiString out = Compress(AnsiString(100, 'p'));
  EXPECT_EQ(item.GetCompressedSize(), 112);
  EXPECT_EQ(out.size(), 112u);
  EXPECT_EQ(item.GeneralPurposeBitFlag() & 0x0F, 9);
  EXPECT_TRUE(item.GetIsEncrypted());
}

TEST(ZipItemLimits, SizesAndOffsetsBeyond32BitsAreRefused) {
  TAbZipItem item;
  const int64_t tooLarge = int64_t{1} << 32;
  EXPECT_THROW(item.SetCompressedSize(tooLarge), EAbFileTooLarge);
  EXPECT_THROW(item.SetUncompressedSize(tooLarge), EAbFileTooLarge);
  EXPECT_THROW(item.SetRelativeOffset(tooLarge), EAbFileTooLarge);
  item.SetCompressedSize(tooLarge - 1);
  EXPECT_EQ(item.GetCompressedSize(), tooLarge - 1);
}

TEST(ZipItemNames, TrailingSlashOrFolderAttributeMakesAFolder) {
  TAbZipItem item;
  item.SetFileName("data/");
  EXPECT_TRUE(item.GetIsDirectory());
  item.SetFileName("data");
  EXPECT_FALSE(item.GetIsDirectory());
  item.SetExternalFileAttributes(0x10);
  EXPECT_TRUE(item.GetIsDirectory());
}

}  // namespace
