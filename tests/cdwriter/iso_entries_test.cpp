// Record helpers, the directory sorts and the 64-bit file stream.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "cdwriter/file_stream_ex.h"
#include "cdwriter/iso_entries.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "tests/support/temp_folder.h"

TEST(IsoHelpers, ConvertAddressesSizesAndTexts) {
  struct {
    int32_t frames;
    int m, s, f;
  } msf[] = {{4500, 1, 0, 0}, {150, 0, 2, 0}, {4500 * 3 + 75 * 7 + 74, 3, 7, 74}};
  for (const auto& c : msf) {
    uint8_t m, s, f;
    LbaToMsf(c.frames, m, s, f);
    EXPECT_EQ(std::to_string(m) + ":" + std::to_string(s) + ":" + std::to_string(f),
              std::to_string(c.m) + ":" + std::to_string(c.s) + ":" + std::to_string(c.f));
  }
  struct {
    int64_t size, sectors;
  } sectors[] = {{0, 0}, {1, 1}, {2048, 1}, {2049, 2}, {int64_t{5} << 30, 2621440}};
  for (const auto& c : sectors) EXPECT_EQ(SectorsOf(c.size), c.sectors) << c.size;

  uint8_t joliet[8];
  PutJolietText("AB", joliet, sizeof joliet);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(joliet), 8), std::string("\0A\0B\0 \0 ", 8));
  PutJolietText("Č", joliet, 2);  // Windows-1250 C8h is U+010C
  EXPECT_EQ(joliet[0], 0x01);
  EXPECT_EQ(joliet[1], 0x0C);
  uint8_t iso[6];
  PutIsoText("ABCDEFGH", iso, 4);
  PutIsoText("X", iso + 4, 2);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(iso), 6), "ABCDX ");

  EXPECT_EQ(PadNumber(4, "0", 7), "0007");
  EXPECT_EQ(PadNumber(2, "ab", 7), "ab7");
  EXPECT_EQ(PadNumber(2, "0", 12345), "12345");
  EXPECT_EQ(LastPathPart("\\DOCS\\2024"), "\\2024");
  EXPECT_EQ(LastPathPart("\\DOCS\\"), "\\DOCS\\");
  EXPECT_EQ(LastPathPart("DOCS"), "DOCS");
}

TEST(IsoHelpers, RecordDateCarriesTheZoneOffset) {
  GmtOffset = -4;  // one hour west
  uint8_t date[7];
  PutRecordDate(date, EncodeDate(2024, 2, 29) + EncodeTime(23, 59, 58, 0));
  const uint8_t expected[7] = {124, 2, 29, 23, 59, 58, 0xFC};
  EXPECT_EQ(0, std::memcmp(date, expected, sizeof date));
  GmtOffset = LocalGmtOffset();
}

TEST(IsoHelpers, Form2CountsAtLeast150SectorsForAFile) {
  struct {
    int64_t size, sectors, counted_size, form2_size;
  } cases[] = {{0, 0, 0, 0}, {1, 150, 2048, 150 * 2048}, {2324 * 200 + 1, 201, 201 * 2048, 201 * 2048}};
  for (const auto& c : cases) {
    TFEntry e;
    e.FileSize = c.size;
    EXPECT_EQ(Form2SectorsOf(e), c.sectors) << c.size;
    EXPECT_EQ(e.FileSize, c.counted_size);
    EXPECT_EQ(e.JolietSize, c.counted_size);
    EXPECT_EQ(e.Form2Size, c.form2_size);
  }
}

namespace {

// A root and directories given as (name, level, parent index, number).
struct DirTable {
  std::vector<TDEntry> dirs;
  std::vector<TDEntry*> items;
  DirTable(std::initializer_list<std::tuple<const char*, int, int, int>> rows) : dirs(rows.size() + 1) {
    dirs[0].ShortName = dirs[0].LongName = "ROOT";
    dirs[0].Level = dirs[0].Number = 1;
    dirs[0].Parent = &dirs[0];
    size_t i = 1;
    for (const auto& [name, level, parent, number] : rows) {
      dirs[i].ShortName = dirs[i].LongName = name;
      dirs[i].Level = level;
      dirs[i].Parent = &dirs[parent];
      dirs[i].Number = number;
      ++i;
    }
    for (auto& d : dirs) items.push_back(&d);
  }
  std::string Order() const {
    std::string s;
    for (size_t i = 1; i < items.size(); ++i) s += items[i]->ShortName + std::to_string(items[i]->Number) + " ";
    return s;
  }
  int High() const { return static_cast<int>(items.size()) - 1; }
};

}  // namespace

TEST(DirectorySorts, KeysAndRenumbering) {
  {
    DirTable t{{"ONLY", 2, 0, 9}};
    SortByName(t.items, t.High(), false);
    EXPECT_EQ(t.Order(), "ONLY2 ");
  }
  {
    // Level first: B on level 2 goes before A on level 3.
    DirTable t{{"A", 3, 2, 5}, {"B", 2, 0, 7}, {"C", 2, 0, 3}};
    SortByName(t.items, t.High(), false);
    EXPECT_EQ(t.Order(), "B2 C3 A4 ");
    EXPECT_EQ(t.items[0]->Number, 1);
  }
  {
    // Parent numbers from before the sort, then names; Joliet compares the long names.
    DirTable t{{"Z", 2, 0, 2}, {"Y", 3, 1, 3}, {"X", 3, 1, 4}, {"W", 2, 0, 5}};
    t.dirs[4].LongName = "a";
    SortByParentName(t.items, t.High(), true);
    EXPECT_EQ(t.Order(), "Z2 W3 X4 Y5 ");
    SortByParentName(t.items, t.High(), false);
    EXPECT_EQ(t.Order(), "W2 Z3 X4 Y5 ");
  }
  {
    DirTable t{{"A", 2, 0, 4}, {"B", 2, 0, 2}, {"C", 2, 0, 3}};
    SortByNumber(t.items, t.High());
    EXPECT_EQ(t.Order(), "B2 C3 A4 ");
    t.dirs[1].Parent = &t.dirs[3];  // A under C (number 3)
    SortByParent(t.items, t.High());
    EXPECT_EQ(t.Order(), "B2 C3 A4 ");
  }
}

TEST(FileStreamEx, CreatesSeeksSizesAndFailsQuietly) {
  TempFolder dir;
  const AnsiString name = dir / "big.bin";
  {
    TFileStreamEx s(name, kCreateFileMode);
    ASSERT_GE(s.Handle(), 0);
    EXPECT_EQ(s.Write("abc", 3), 3);
    s.SetSize(int64_t{5} << 30);  // sparse, past every 32-bit size
    EXPECT_EQ(s.GetSize(), int64_t{5} << 30);
    EXPECT_EQ(s.Seek(-1, 2), (int64_t{5} << 30) - 1);
  }
  TFileStreamEx r(name, fmOpenRead | fmShareDenyNone);
  char buf[4] = {};
  EXPECT_EQ(r.Read(buf, 4), 4);
  EXPECT_EQ(std::string(buf, 4), std::string("abc\0", 4));
  EXPECT_EQ(r.Write("x", 1), 0);  // opened for reading only
  EXPECT_THROW(r.SetSize(1), EOSError);

  TFileStreamEx missing(dir / "missing.bin", fmOpenRead);
  EXPECT_LT(missing.Handle(), 0);
  EXPECT_EQ(missing.Read(buf, 4), 0);
}
