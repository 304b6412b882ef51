// Archive-type detection over files made by the usual tools: the kind each
// name and content gives, the cabinet header check, and that every check
// leaves the stream where it found it.
#include <gtest/gtest.h>

#include <random>

#include "archive/ab_cabinet.h"
#include "archive/ab_detect.h"
#include "platform/rtl/streams.h"
#include "tests/support/temp_folder.h"
#include "tests/archive/ab_zip_test_util.h"

using namespace ziptest;

namespace {

std::string RandomBytes(size_t n) {
  std::mt19937 gen(7);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(gen());
  return s;
}

void MustRun(const std::string& command) {
  ShellResult r = Shell(command);
  ASSERT_EQ(r.status, 0) << command << "\n" << r.output;
}

// One folder of fixtures, made once for the whole suite.
class Detection : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    dir_ = new TempFolder;
    const TempFolder& d = *dir_;
    d.Write("data.txt", "tabulka;radek\n" + std::string(3000, 'x'));
    d.Write("blob", RandomBytes(200000));
    const std::string cd = "cd " + Quote(d.name()) + " && ";
    MustRun(cd + "zip -q plain.zip data.txt && cp plain.zip Backup.Zip");
    MustRun(cd + "zip -q -0 -s 64k split.zip blob");
    MustRun(cd + "tar cf a.tar data.txt && cp a.tar data.bin && tar czf a.tgz data.txt && tar cjf a.tbz data.txt");
    MustRun(cd + "gzip -c data.txt > a.gz && cp a.gz gzip-inside.zip && cp a.tgz a.tar.gz && bzip2 -c data.txt > a.bz2");
    MustRun(cd + "gcab -c a.cab data.txt");
    std::string zip = FileBytes(d / "plain.zip");
    d.Write("mz.exe", "MZ" + std::string(126, '\0') + zip);
    d.Write("elf.exe", FileBytes("/bin/true") + zip);
    d.Write("empty/backup.zip", "");
  }
  static void TearDownTestSuite() { delete dir_; }

  static std::string Path(const std::string& name) { return *dir_ / name; }

  static TempFolder* dir_;
};

TempFolder* Detection::dir_ = nullptr;

}  // namespace

TEST_F(Detection, NameAndContentGiveTheKind) {
  struct Case {
    const char* file;
    TAbArchiveKind kind;
  } cases[] = {
      {"plain.zip", akZip},
      {"Backup.Zip", akZip},  // the extension's case does not matter
      {"split.zip", akSpannedZip},
      {"split.z01", akSpannedZip},  // no known extension: the content decides
      {"mz.exe", akSelfExtractingZip},
      {"elf.exe", akSelfExtractingZip},
      {"a.tar", akTar},
      {"a.gz", akGzip},
      {"a.tgz", akGzippedTar},
      {"a.tar.gz", akGzippedTar},
      {"a.bz2", akBzip2},
      {"a.tbz", akBzippedTar},
      {"a.cab", akCabinet},
      {"missing/backup.zip", akZip},  // no file: the extension stands
      {"empty/backup.zip", akZip},    // an empty file is not looked into
      {"gzip-inside.zip", akUnknown}, // the ZIP check decides alone
      {"data.bin", akTar},
      {"data.txt", akUnknown},
      {"missing.exe", akSelfExtractingZip},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DetermineArchiveKind(Path(c.file), akUnknown), c.kind) << c.file;
}

TEST_F(Detection, AGivenKindIsCheckedAgainstTheContent) {
  EXPECT_EQ(DetermineArchiveKind(Path("a.tar"), akZip), akUnknown);
  EXPECT_EQ(DetermineArchiveKind(Path("a.gz"), akGzippedTar), akGzip);
  EXPECT_EQ(DetermineArchiveKind(Path("a.tar"), akSpannedZip), akSpannedZip);
  EXPECT_EQ(DetermineArchiveKind(Path("missing/x.bin"), akTar), akTar);
}

TEST_F(Detection, ChecksKeepTheStreamPosition) {
  for (const char* name : {"a.cab", "plain.zip", "a.tgz", "data.bin", "data.txt"}) {
    TFileStream file(Path(name), fmOpenRead);
    file.Seek(3, soBeginning);
    DetectAnyKind(file);
    EXPECT_EQ(file.Position(), 3) << name;
    DetectCabinet(file);
    EXPECT_EQ(file.Position(), 3) << name;
  }
}

TEST_F(Detection, CabinetCheckReadsAPlausibleHeaderAtThePosition) {
  const std::string cab = FileBytes(Path("a.cab"));
  auto detect = [](const std::string& bytes, int64_t at = 0) {
    TStringStream s(bytes);
    s.Seek(at, soBeginning);
    TAbArchiveKind kind = DetectCabinet(s);
    EXPECT_EQ(s.Position(), at);
    return kind;
  };
  auto patched = [&](size_t at, char byte) {
    std::string b = cab;
    b[at] = byte;
    return b;
  };
  EXPECT_EQ(detect(cab), akCabinet);
  EXPECT_EQ(detect("padding!" + cab, 8), akCabinet);
  EXPECT_EQ(detect(FileBytes(Path("plain.zip"))), akUnknown);
  EXPECT_EQ(detect(cab.substr(0, 35)), akUnknown);       // shorter than a header
  EXPECT_EQ(detect("MSCF" + std::string(60, '\0')), akUnknown);
  EXPECT_EQ(detect(patched(25, 2)), akUnknown);          // major version
  EXPECT_EQ(detect(patched(30, 0x10)), akUnknown);       // unknown flag
  EXPECT_EQ(detect(patched(19, 0x7F)), akUnknown);       // file table beyond the cabinet
  EXPECT_EQ(detect(patched(26, 0)), akUnknown);          // files without a folder
}
