// The skin container and record reader against fixture skins made by mkskin
// and by zip: what each container gives, how the reader and a theme end up,
// and that no temporary file is left behind on any path.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "platform/gui/bitmap.h"
#include "platform/rtl/streams.h"
#include "skin/file_theme.h"
#include "skin/skin_reader.h"
#include "skin/skin_records.h"
#include "skin/skin_texts.h"
#include "tests/skin/skin_fixtures.h"

using namespace skintest;

namespace {

const std::string kBitmapFile = std::string(VX_SOURCE_DIR) + "/skin/main_skin/skin2_progressbar1.bmp";

// Every temporary file the reader makes goes to a folder of the test's own.
class SkinReaderTest : public ::testing::Test {
protected:
  void SetUp() override {
    temp_ = dir_ / "tmp";
    std::filesystem::create_directories(temp_);
    setenv("TMPDIR", temp_.c_str(), 1);
  }
  void TearDown() override { unsetenv("TMPDIR"); }
  bool TempIsEmpty() const { return std::filesystem::is_empty(temp_); }

  std::string SmallSkin(const std::string& name = "small", const std::string& password = "") {
    return MakeSkin(dir_, name,
                    "SKIN2_PROGRESSBAR1 bitmap " + kBitmapFile + "\nSKIN2_FORMCOLOR integer 0x00FFFFFF\n" +
                        "SKIN2_TITLEFIVESECT boolean 1\nNOTE text made for a test\n",
                    password);
  }
  // The SK2 member of a skin, extracted to a file.
  std::string Member(const std::string& skin) {
    const std::string out = dir_ / "SKINDATA.SK2";
    EXPECT_EQ(ExtractSkinMember(skin, kSkinMemberName, out, ""), kSkinExtracted);
    return out;
  }
  // A container made by zip from a member file, signature patched to "SK".
  std::string ZipContainer(const std::string& memberFile, const std::string& password, const std::string& name) {
    const std::string zip = dir_ / (name + ".zip");
    const std::string pw = password.empty() ? "" : "-P " + password + " ";
    const std::string folder = std::filesystem::path(memberFile).parent_path().string();
    EXPECT_EQ(Shell("cd " + folder + " && zip -q -X -9 " + pw + zip + " SKINDATA.SK2"), 0);
    std::string bytes = FileBytes(zip);
    bytes[0] = 'S';
    bytes[1] = 'K';
    const std::string out = dir_ / (name + ".ssk");
    WriteBytes(out, bytes);
    return out;
  }

  TempFolder dir_;
  std::string temp_;
};

enum class Outcome { Ready, NotReady, Raises };

// Loads the file into a reader and into a theme, checking both agree.
void ExpectOutcome(const std::string& file, const std::string& password, Outcome expected) {
  bool raised = false, ready = false;
  try {
    Tsk2SkinFileReader reader(file, password);
    ready = reader.Ready();
  } catch (const Exception& e) {
    raised = true;
    EXPECT_EQ(e.Message(), kSkinReadFailed);
  }
  EXPECT_EQ(raised, expected == Outcome::Raises) << file;
  EXPECT_EQ(ready, expected == Outcome::Ready) << file;
  TsuiFileTheme theme(nullptr);
  theme.SetPassword(password);
  theme.SetThemeFile(file);
  EXPECT_EQ(theme.Ready(), expected == Outcome::Ready) << file;
}

TEST_F(SkinReaderTest, ContainersGiveTheirResultAndTheReaderItsState) {
  const std::string good = FileBytes(SmallSkin());
  struct Case {
    const char* what;
    std::function<void(Container&)> patch;
    int result;
    Outcome outcome;
  } cases[] = {
      {"as written", [](Container&) {}, kSkinExtracted, Outcome::Ready},
      {"lower-case member name",
       [](Container& c) {
         for (size_t at; (at = c.bytes.find("SKINDATA.SK2")) != std::string::npos;)
           c.bytes.replace(at, 12, "skindata.sk2");
       },
       kSkinExtracted, Outcome::Ready},
      {"PK signature", [](Container& c) { c.bytes[0] = 'P'; }, kSkinExtractFailed, Outcome::Raises},
      {"archive comment",
       [](Container& c) {
         Put16(c.bytes, c.End() + 20, 2);
         c.bytes += "hi";
       },
       kSkinExtractFailed, Outcome::Raises},
      {"extra field in the directory",
       [](Container& c) {
         const size_t dir = c.Directory();
         Put16(c.bytes, dir + 30, 4);
         c.bytes.insert(dir + 46 + 12, std::string("\x01\x00\x00\x00", 4));
         Put32(c.bytes, c.End() + 12, c.DirectorySize() + 4);
       },
       kSkinExtractFailed, Outcome::Raises},
      {"member of another name", [](Container& c) { c.bytes[c.Directory() + 46 + 11] = '3'; }, kSkinExtractFailed,
       Outcome::Raises},
      {"directory name longer than 259 bytes", [](Container& c) { Put16(c.bytes, c.Directory() + 28, 300); },
       kSkinExtractFailed, Outcome::Raises},
      {"directory offset beyond the file", [](Container& c) { Put32(c.bytes, c.End() + 16, 0x7FFFFFFF); },
       kSkinExtractFailed, Outcome::Raises},
      {"only the signature", [](Container& c) { c.bytes = "SK"; }, kSkinExtractFailed, Outcome::Raises},
      {"truncated deflate data",
       [](Container& c) {
         const uint32_t packed = Get32(c.bytes, 18), half = packed / 2;
         c.bytes.erase(42 + half, packed - half);
         Put32(c.bytes, 18, half);
         const size_t dir = c.Directory() - (packed - half);
         Put32(c.bytes, dir + 20, half);
         Put32(c.bytes, c.End() + 16, uint32_t(dir));
       },
       kSkinBadPassword, Outcome::NotReady},
      {"uncompressed size one byte too small",  // inflating stops one byte beyond it
       [](Container& c) { Put32(c.bytes, c.Directory() + 24, Get32(c.bytes, c.Directory() + 24) - 1); },
       kSkinBadPassword, Outcome::NotReady},
      {"uncompressed size one byte too large",
       [](Container& c) { Put32(c.bytes, c.Directory() + 24, Get32(c.bytes, c.Directory() + 24) + 1); },
       kSkinBadPassword, Outcome::NotReady},
      {"uncompressed size of 2 GiB, refused before inflating",
       [](Container& c) { Put32(c.bytes, c.Directory() + 24, 0x80000000u); }, kSkinExtractFailed, Outcome::Raises},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    Container c{good};
    test.patch(c);
    const std::string file = dir_.Write("case.ssk", c.bytes);
    const std::string out = dir_ / "out.sk2";
    EXPECT_EQ(ExtractSkinMember(file, kSkinMemberName, out, ""), test.result);
    EXPECT_EQ(std::filesystem::exists(out), test.result == kSkinExtracted);
    std::filesystem::remove(out);
    ExpectOutcome(file, "", test.outcome);
    EXPECT_TRUE(TempIsEmpty());
  }
}

TEST_F(SkinReaderTest, MissingFileFailsWithoutCreatingTheOutput) {
  const std::string out = dir_ / "out.sk2";
  EXPECT_EQ(ExtractSkinMember(dir_ / "none.ssk", kSkinMemberName, out, ""), kSkinExtractFailed);
  EXPECT_FALSE(std::filesystem::exists(out));
  ExpectOutcome(dir_ / "none.ssk", "", Outcome::Raises);
}

TEST_F(SkinReaderTest, EncryptedMembersNeedTheRightPassword) {
  const std::string byMkSkin = SmallSkin("locked", "s3cret");
  const std::string byZip = ZipContainer(Member(SmallSkin()), "s3cret", "zipped");
  for (const std::string& file : {byMkSkin, byZip}) {
    SCOPED_TRACE(file);
    ExpectOutcome(file, "s3cret", Outcome::Ready);
    ExpectOutcome(file, "wrong", Outcome::NotReady);
    ExpectOutcome(file, "", Outcome::NotReady);
    EXPECT_EQ(ExtractSkinMember(file, kSkinMemberName, dir_ / "x", ""), kSkinBadPassword);
    EXPECT_TRUE(TempIsEmpty());
  }
}

TEST_F(SkinReaderTest, HeaderOnlySkinIsReadyWithDefaultAnswers) {
  Tsk2SkinFileReader reader(MakeSkin(dir_, "empty", "# no records\n"), "");
  ASSERT_TRUE(reader.Ready());
  EXPECT_EQ(reader.GetBitmap("SKIN2_TITLEBAR1"), nullptr);
  EXPECT_EQ(reader.GetInteger("SKIN2_FORMCOLOR"), -1);
  EXPECT_FALSE(reader.GetBool("SKIN2_TITLEFIVESECT"));
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(SkinReaderTest, LookupsIgnoreCaseAndKeepTheirTypes) {
  Tsk2SkinFileReader reader(SmallSkin(), "");
  ASSERT_TRUE(reader.Ready());
  TBitmap* bitmap = reader.GetBitmap("skin2_progressbar1");
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->Width(), 3);
  EXPECT_EQ(bitmap->Height(), 12);
  EXPECT_EQ(reader.GetInteger("Skin2_FormColor"), 0xFFFFFF);
  EXPECT_TRUE(reader.GetBool("skin2_titlefivesect"));
  // A name of another kind is not found in the list asked.
  EXPECT_EQ(reader.GetInteger("SKIN2_TITLEFIVESECT"), -1);
  EXPECT_EQ(reader.GetInteger("NOTE"), -1);
}

TEST_F(SkinReaderTest, ACyclicRecordChainFailsTheRead) {
  std::string member = FileBytes(Member(SmallSkin()));
  const uint32_t first = Get32(member, 20);
  const uint32_t second = Get32(member, first + 73);
  Put32(member, second + 73, first);  // the second record points back to the first
  const std::string memberFile = dir_.Write("cyclic/SKINDATA.SK2", member);
  ExpectOutcome(ZipContainer(memberFile, "", "cyclic"), "", Outcome::Raises);
  EXPECT_TRUE(TempIsEmpty());
}

// Damaged record data, read straight from memory.
TEST_F(SkinReaderTest, DamagedRecordDataIsRefused) {
  const std::string member = FileBytes(Member(MakeSkin(dir_, "records", "A integer 7\nB boolean 1\nC text hello\n")));
  const uint32_t a = Get32(member, 20), b = Get32(member, a + 73);
  struct Case {
    const char* what;
    std::function<void(std::string&)> patch;
  } cases[] = {
      {"header size above 24", [](std::string& m) { Put32(m, 12, 25); }},
      {"first record beyond the end", [](std::string& m) { Put32(m, 20, 0x00FFFFFF); }},
      {"integer of 5 bytes", [a](std::string& m) { Put32(m, a + 69, 5); }},
      {"boolean of 2 bytes", [b](std::string& m) { Put32(m, b + 69, 2); }},
      {"record pointing to itself", [a](std::string& m) { Put32(m, a + 73, a); }},
      {"next record beyond the end", [a](std::string& m) { Put32(m, a + 73, 0x00FFFFFF); }},
      {"data beyond the end", [a](std::string& m) { Put32(m, a + 65, 0xFFFFFFF0); }},
      {"cut inside a record", [b](std::string& m) { m.resize(b + 40); }},
      {"shorter than the header", [](std::string& m) { m.resize(20); }},
  };
  int visited = 0;
  TStringStream whole(member);
  ReadSkinRecords(&whole, [&](const TSkinRecord&, const AnsiString&) { ++visited; });
  EXPECT_EQ(visited, 3);
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    std::string damaged = member;
    test.patch(damaged);
    TStringStream stream(damaged);
    EXPECT_THROW(ReadSkinRecords(&stream, [](const TSkinRecord&, const AnsiString&) {}), ESkinFileError);
  }
}

}  // namespace
