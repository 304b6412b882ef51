// Archive routines: wildcard matching, percentages, text kinds, attribute
// conversions, path routines and the local-time conversions of file stamps.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>

#include "archive/ab_exceptions.h"
#include "archive/ab_utils.h"
#include "platform/rtl/files.h"
#include "tests/support/temp_folder.h"

TEST(AbUtils, MatchWildcard) {
  const struct {
    const char* name;
    const char* pattern;
    bool match;
  } cases[] = {
      {"A.TXT", "*.TXT", true},   {"A.TXT", "A?.TXT", false}, {"README", "*.*", true},
      {"README", "*", true},      {"", "", true},             {"", "*", false},
      {"A", "", false},           {"ABC", "A*C", true},       {"ABC", "A*", true},
      {"AB", "A?C", false},       {"ABC", "A?C", true},       {"ABC", "*B*", true},
      {"DATA.ZAL", "*.ZIP", false}, {"X.ZAL", "?.ZAL", true}, {"XY.ZAL", "?.ZAL", false},
      {"ABCBC", "A*BC", true},    {"ABCBD", "A*BC", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MatchWildcard(c.name, 1, c.pattern, 1), c.match) << c.name << " ~ " << c.pattern;
}

TEST(AbUtils, PercentOf) {
  const struct {
    int32_t done, total;
    int expected;
  } cases[] = {
      {5, 10, 50}, {10, 10, 100}, {11, 10, 100}, {1, 0, 0}, {1, -5, 0},
      {10000000, 20000000, 50}, {2000000000, 2100000000, 95}, {0, 7, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(PercentOf(c.done, c.total), c.expected) << c.done << "/" << c.total;
}

TEST(AbUtils, DetectUtf8) {
  const struct {
    std::string text;
    TAbTextKind kind;
  } cases[] = {
      {"plain ascii", ckAscii},
      {"", ckAscii},
      {"P\xF8\xED\x6C\x69\x9A \x9E\x6C\x75\x9D\x6F\x75\xE8\x6B\xFD", ckAnsi},  // Windows-1250
      {"P\xC5\x99\xC3\xAD\x6C\x69\xC5\xA1", ckUtf8},                          // the same in UTF-8
      {"ok \xC5", ckAnsi},                                                    // cut sequence
      {"\xE2\x82", ckAnsi},
      {"\xC0\x80", ckAnsi},  // overlong lead byte
  };
  for (const auto& c : cases) EXPECT_EQ(DetectUtf8(c.text), c.kind) << c.text;
}

// Stored names in UTF-8 pass whole (characters outside Windows-1250 too);
// the Windows-1250 bytes of older archives are converted.
TEST(AbUtils, StoredNameToUtf8) {
  EXPECT_EQ(StoredNameToUtf8("plain.txt"), "plain.txt");
  EXPECT_EQ(StoredNameToUtf8("P\xC5\x99\xC3\xAD\x6C\x69\xC5\xA1"), "P\xC5\x99\xC3\xAD\x6C\x69\xC5\xA1");
  EXPECT_EQ(StoredNameToUtf8("\xE6\x97\xA5\xE6\x9C\xAC.txt"), "\xE6\x97\xA5\xE6\x9C\xAC.txt");
  EXPECT_EQ(StoredNameToUtf8("P\xF8\xED\x6C\x69\x9A"), "P\xC5\x99\xC3\xAD\x6C\x69\xC5\xA1");
}

TEST(AbUtils, UnixModeAndDosAttributes) {
  const struct {
    uint32_t mode;
    int32_t attr;
  } toDos[] = {
      {040555, faDirectory | faReadOnly}, {0100644, 0},          {0100444, faReadOnly},
      {0120777, faSymLink},               {0010644, faSysFile},  {0140755, faSysFile},
      {0020600, faSysFile},               {0060600, faSysFile},  {0, faReadOnly},
  };
  for (const auto& c : toDos) EXPECT_EQ(UnixModeToDosAttr(c.mode), c.attr) << std::oct << c.mode;
  const struct {
    int32_t attr;
    uint16_t mode;
  } toUnix[] = {
      {0, 0644}, {faReadOnly, 0444}, {faDirectory, 040744}, {faDirectory | faReadOnly, 040544},
      {faArchive, 0644},
  };
  for (const auto& c : toUnix) EXPECT_EQ(DosAttrToUnixMode(c.attr), c.mode) << c.attr;
}

TEST(AbUtils, PathRoutines) {
  const struct {
    const char* path;
    int kind;
  } kinds[] = {{"/srv/x", 2}, {"/", 2}, {"a/b", 1}, {"a.txt", 0}, {"", 0}, {"a\\b", 0}};
  for (const auto& c : kinds) EXPECT_EQ(PathKindOf(c.path), c.kind) << c.path;

  EXPECT_EQ(WithTrailingBackslash("/data"), "/data/");
  EXPECT_EQ(WithTrailingBackslash("/data/"), "/data/");
  EXPECT_EQ(WithTrailingBackslash(""), "");

  EXPECT_EQ(BackslashPosition("/a/b/c", 1), 0);
  EXPECT_EQ(BackslashPosition("/a/b/c", 3), 4);
  EXPECT_EQ(BackslashPosition("/a/b/c", 4), 6);

  const struct {
    const char* fileSpec;
    const char* path;
    const char* name;
  } splits[] = {
      {"/dir/f.txt", "/dir/", "f.txt"}, {"f.txt", "", "f.txt"}, {"a/b/", "a/b/", ""},
      {"dir\\sub\\f.txt", "dir/sub/", "f.txt"},
  };
  for (const auto& c : splits) {
    AnsiString drive = "x", path, name;
    SplitFileSpec(c.fileSpec, drive, path, name);
    EXPECT_EQ(drive, "") << c.fileSpec;
    EXPECT_EQ(path, c.path) << c.fileSpec;
    EXPECT_EQ(name, c.name) << c.fileSpec;
  }

  std::vector<AnsiString> elements;
  SplitPathElements("usr/local/", elements);
  EXPECT_EQ(elements, (std::vector<AnsiString>{"usr", "local"}));

  const struct {
    const char* in;
    const char* out;
  } dots[] = {{"../../x/y", "x/y"}, {"..\\..\\x", "x"}, {"a/../b", "a/../b"}, {"..", ".."}, {"...x", "...x"}};
  for (const auto& c : dots) {
    AnsiString name = c.in;
    RemoveLeadingParentRefs(name);
    EXPECT_EQ(name, c.out) << c.in;
  }
}

TEST(AbUtils, ShortPathChecksEveryElement) {
  TempFolder dir;
  dir.Write("sub/f.txt", "x");
  EXPECT_EQ(ShortPathOf(dir / "sub/f.txt"), dir / "sub/f.txt");
  try {
    ShortPathOf(dir / "missing/f.txt");
    FAIL() << "no exception";
  } catch (const EAbFileNotFound&) {
    FAIL() << "a missing folder is reported as such";
  } catch (const EAbException& e) {
    EXPECT_EQ(e.Message(), "Path not found");
  }
  EXPECT_THROW(ShortPathOf(dir / "sub/missing.txt"), EAbFileNotFound);
}

TEST(AbUtils, ForceDirectoryPath) {
  TempFolder dir;
  ForceDirectoryPath(dir / "a/b/c");
  EXPECT_TRUE(DirectoryExists(dir / "a/b/c"));
  dir.Write("file", "x");
  EXPECT_THROW(ForceDirectoryPath(dir / "file/sub"), EInOutError);
}

TEST(AbUtils, TempFileNames) {
  TempFolder dir;
  AnsiString made = TempFileNameIn(dir.name(), true);
  EXPECT_EQ(made.rfind(dir / "VMS", 0), 0u) << made;
  EXPECT_TRUE(FileExists(made));
  AnsiString fallback = NewTempFile(dir / "missing");
  EXPECT_EQ(fallback.rfind(SystemTempDirectory() + "VMS", 0), 0u) << fallback;
  EXPECT_TRUE(DeleteFile(fallback));
  AnsiString fixed = TempFileNameIn(dir.name(), false);
  EXPECT_EQ(fixed, dir / "VMS1.tmp");
  EXPECT_FALSE(FileExists(fixed));
}

TEST(AbUtils, FreeSpaceAndMedia) {
  EXPECT_EQ(FreeSpaceOf("relative/path"), -1);
  int64_t space = FreeSpaceOf("/tmp/not-yet-there.zip");
  EXPECT_GT(space, 0);
  EXPECT_LE(space, 2147483647);
  EXPECT_FALSE(IsRemovableDrive("/tmp/a.zip"));

  struct Floppy : TAbMediaServices {
    bool IsRemovable(const AnsiString&) override { return true; }
    int32_t SetVolumeLabel(const AnsiString& label, const AnsiString&) override {
      lastLabel = label;
      return 0;
    }
    AnsiString lastLabel;
  } floppy;
  SetAbMediaServices(&floppy);
  EXPECT_TRUE(IsRemovableDrive("/media/a.zip"));
  EXPECT_EQ(SetSpanVolumeLabel("PKBACK# 001xyz", "/media/a.zip"), 0);
  EXPECT_EQ(floppy.lastLabel, "PKBACK# 001");
  SetAbMediaServices(nullptr);
  EXPECT_FALSE(IsRemovableDrive("/media/a.zip"));
}

// Runs the body with TZ set to a zone, restoring the previous zone afterwards.
class PragueTime : public ::testing::Test {
protected:
  void SetUp() override {
    const char* old = std::getenv("TZ");
    hadTz_ = old != nullptr;
    if (old) oldTz_ = old;
    setenv("TZ", "Europe/Prague", 1);
    tzset();
  }
  void TearDown() override {
    if (hadTz_) setenv("TZ", oldTz_.c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }

private:
  bool hadTz_ = false;
  std::string oldTz_;
};

namespace {

uint32_t Dos(int y, int mo, int d, int h, int mi, int s) {
  return (uint32_t((y - 1980) << 9 | mo << 5 | d) << 16) | uint32_t(h << 11 | mi << 5 | s / 2);
}

}  // namespace

TEST_F(PragueTime, FileStampsUseTheLocalTimeOfTheirInstant) {
  TempFolder dir;
  const struct {
    time_t utc;
    uint32_t dos;
  } cases[] = {
      {1719835201, Dos(2024, 7, 1, 14, 0, 0)},    // 2024-07-01 12:00:01 UTC, summer time
      {1704110401, Dos(2024, 1, 1, 13, 0, 0)},    // 2024-01-01 12:00:01 UTC, winter time
      {1711846800, Dos(2024, 3, 31, 3, 0, 0)},    // first second of summer time
  };
  for (const auto& c : cases) {
    EXPECT_EQ(static_cast<uint32_t>(UnixSecondsToDosDateTime(c.utc)), c.dos) << c.utc;
    std::string file = dir.Write("f.zal", "data");
    timespec times[2] = {{c.utc, 0}, {c.utc, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    TAbFileInfo info;
    ASSERT_TRUE(GetFileInfo(file, info));
    EXPECT_EQ(static_cast<uint32_t>(DateTimeToDosDateTime(info.DateTime)), c.dos) << c.utc;
    EXPECT_EQ(info.Size, 4);
    EXPECT_NEAR(UnixSecondsToDateTime(c.utc), DosDateTimeToDateTime(c.dos >> 16, c.dos & 0xFFFF), 1.5 / 86400);
    EXPECT_EQ(DateTimeToUnixSeconds(UnixSecondsToDateTime(c.utc)), c.utc);
  }
}

TEST_F(PragueTime, SetFileDateTimeRoundTrips) {
  TempFolder dir;
  std::string file = dir.Write("f.zal", "x");
  TDateTime stamp = DosDateTimeToDateTime(Dos(2024, 7, 1, 14, 0, 0) >> 16, Dos(2024, 7, 1, 14, 0, 0) & 0xFFFF);
  ASSERT_TRUE(SetFileDateTime(file, stamp));
  EXPECT_EQ(FileDateTimeOf(file), stamp);
  struct stat st;
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, 1719835200);
  EXPECT_FALSE(SetFileDateTime(dir / "missing", stamp));
}

TEST(AbUtils, DosStampLimits) {
  EXPECT_EQ(DateTimeToDosDateTime(DosDateTimeToDateTime(0x21, 0)), 0x00210000);  // 1980-01-01
  EXPECT_EQ(DateTimeToDosDateTime(29220.0), 0);                                 // 1979-12-31
  EXPECT_EQ(DateTimeToDosDateTime(76701.0), 0);                                 // 2110-01-01
  EXPECT_EQ(DosDateTimeToDateTime(0, 0), 0.0);             // month 0 is no date
  EXPECT_EQ(DosDateTimeToDateTime(0x21, 0xBFFF), 0.0);     // hour 23, minute 63
  EXPECT_EQ(FileSizeOf("/nonexistent/file"), -1);
  TAbFileInfo info;
  EXPECT_FALSE(GetFileInfo("/nonexistent/file", info));
  EXPECT_EQ(info.Size, -1);
  EXPECT_EQ(info.Attr, -1);
}
