// The archive item, the hashed item list and the extra-field block.
#include <gtest/gtest.h>

#include <chrono>

#include "archive/ab_exceptions.h"
#include "archive/ab_item.h"
#include "platform/rtl/streams.h"

namespace {

TAbArchiveItem* NewItem(const AnsiString& name, TAbItemAction action = iaNone) {
  auto* item = new TAbArchiveItem;
  item->SetFileName(name);
  item->SetAction(action);
  return item;
}

}  // namespace

TEST(AbArchiveList, NamesCompareWithoutAsciiCase) {
  EXPECT_EQ(TAbArchiveList::GenerateHash("Data.ZAL"), TAbArchiveList::GenerateHash("data.zal"));
  EXPECT_EQ(TAbArchiveList::GenerateHash(""), 0);
  for (bool owning : {true, false}) {
    TAbArchiveList list(owning);
    std::vector<std::unique_ptr<TAbArchiveItem>> keep;  // a list that does not own leaves them to us
    auto add = [&](TAbArchiveItem* item) {
      if (!owning) keep.emplace_back(item);
      return list.Add(item);
    };
    add(NewItem("other.zal", iaAdd));
    EXPECT_EQ(add(NewItem("Data.ZAL", iaAdd)), 1);
    EXPECT_TRUE(list.IsActiveDupe("data.zal")) << owning;
    EXPECT_EQ(list.Find("DATA.zal"), 1) << owning;
    EXPECT_EQ(list.Find("missing"), -1) << owning;
  }
}

TEST(AbArchiveList, DeletedItemsAreNoDuplicates) {
  TAbArchiveList list(true);
  list.Add(NewItem("data.zal", iaDelete));
  EXPECT_FALSE(list.IsActiveDupe("DATA.ZAL"));
  list.Add(NewItem("DATA.ZAL", iaAdd));
  EXPECT_EQ(list.Count(), 2);
  EXPECT_TRUE(list.IsActiveDupe("data.zal"));
  EXPECT_EQ(list.Find("data.zal"), 1);  // chains run newest first
  list.Delete(1);
  EXPECT_EQ(list.Find("data.zal"), 0);
  EXPECT_FALSE(list.IsActiveDupe("data.zal"));
}

TEST(AbArchiveList, RenamedItemsAreFoundUnderTheNewName) {
  TAbArchiveList list(true);
  list.Add(NewItem("a.zal"));
  TAbArchiveItem* item = NewItem("old.zal");
  list.Add(item);
  item->SetFileName("new.zal");
  EXPECT_EQ(list.Find("old.zal"), -1);
  EXPECT_EQ(list.Find("NEW.ZAL"), 1);
  list.Delete(0);
  EXPECT_EQ(list.Find("new.zal"), 0);
}

TEST(AbArchiveList, ClearAndRangeChecks) {
  TAbArchiveList list(true);
  list.Add(NewItem("a"));
  list.Add(NewItem("b"));
  EXPECT_THROW(list.Items(2), EListError);
  EXPECT_THROW(list.Delete(-1), EListError);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Find("a"), -1);
  EXPECT_FALSE(list.IsActiveDupe("b"));
}

TEST(AbArchiveList, ManyAddsWithDuplicateChecksStayFast) {
  constexpr int kItems = 20000;
  TAbArchiveList list(true);
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kItems; ++i) {
    AnsiString name = "dir/table_" + std::to_string(i) + ".zal";
    ASSERT_FALSE(list.IsActiveDupe(name));
    list.Add(NewItem(name, iaAdd));
  }
  EXPECT_TRUE(list.IsActiveDupe("DIR/TABLE_19999.ZAL"));
  // A linear scan would take some 2*10^8 name comparisons here.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(AbArchiveItem, SizesAndStamps) {
  TAbArchiveItem item;
  item.SetUncompressedSize(4294967295LL);
  EXPECT_EQ(item.GetUncompressedSize(), 4294967295LL);
  EXPECT_THROW(item.SetUncompressedSize(4294967296LL), EAbFileTooLarge);
  EXPECT_EQ(item.GetUncompressedSize(), 4294967295LL);
  item.SetLastModFileDate(0x5821);  // 2024-01-01
  item.SetLastModFileTime(0x7000);  // 14:00:00
  TDateTime when = item.GetLastModTimeAsDateTime();
  item.SetLastModTimeAsDateTime(when);
  EXPECT_EQ(item.GetLastModFileDate(), 0x5821);
  EXPECT_EQ(item.GetLastModFileTime(), 0x7000);
  EXPECT_EQ(TAbArchiveItem().GetLastModTimeAsDateTime(), 0.0);
}

namespace {

std::vector<uint8_t> Record(uint16_t id, std::vector<uint8_t> data) {
  data.insert(data.begin(), {uint8_t(id), uint8_t(id >> 8), uint8_t(data.size()), uint8_t(data.size() >> 8)});
  return data;
}

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

}  // namespace

TEST(AbExtraField, PutKeepsOrMovesRecords) {
  TAbExtraField field;
  field.Put(1, "ab", 2);
  field.Put(2, "cde", 3);
  field.Put(1, "xy", 2);  // same size: in place
  EXPECT_EQ(field.Buffer(), Join({Record(1, {'x', 'y'}), Record(2, {'c', 'd', 'e'})}));
  field.Put(1, "z", 1);  // other size: to the end
  EXPECT_EQ(field.Buffer(), Join({Record(2, {'c', 'd', 'e'}), Record(1, {'z'})}));
  const uint8_t* data;
  uint16_t size;
  ASSERT_TRUE(field.Get(2, data, size));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), size), "cde");
  field.Delete(2);
  EXPECT_EQ(field.Buffer(), Record(1, {'z'}));
  EXPECT_FALSE(field.Get(2, data, size));
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(size, 0);
}

TEST(AbExtraField, DamagedBlocksAreClampedNotOverrun) {
  TAbExtraField field;
  field.Assign({1, 0, 2});
  int record = -1;
  EXPECT_FALSE(field.FindNext(record));
  field.Assign({7, 0, 200, 0, 'a', 'b'});  // claims 200 bytes, holds 2
  record = -1;
  ASSERT_TRUE(field.FindNext(record));
  EXPECT_EQ(field.RecordSize(record), 2);
  EXPECT_FALSE(field.FindNext(record));
  EXPECT_EQ(field.FindField(8), -1);
}

TEST(AbExtraField, ChangedIsCalledOnChangesOnly) {
  struct Counting : TAbExtraField {
    int changes = 0;
    void Changed() override { ++changes; }
  } field;
  field.Put(1, "a", 1);
  field.Delete(5);
  EXPECT_EQ(field.changes, 1);
  TStringStream stream(AnsiString("\x01\x00\x01\x00q", 5));
  field.LoadFromStream(stream, 5);
  EXPECT_EQ(field.changes, 1);
  EXPECT_EQ(field.FindField(1), 0);
  TStringStream shortStream("abc");
  EXPECT_THROW(field.LoadFromStream(shortStream, 4), EReadError);
}
