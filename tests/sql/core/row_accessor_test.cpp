// Row buffers and the row accessor: the byte layout that the dataset layer
// reads directly, buffer copies with their blob references, the column checks,
// the null flags and the row ordering used for sorting.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "sql/core/dbc/blobs.h"
#include "sql/core/dbc/column_info.h"
#include "sql/core/dbc/row_accessor.h"
#include "sql/core/sql_exception.h"
#include "tests/sql/core/row_test_columns.h"

namespace {

TEST(RowLayout, ColumnsFollowEachOtherWithANullByteAndASlot) {
  TZRowAccessor accessor(Columns({{stInteger, 0}, {stString, 10}, {stBoolean, 0}}));
  EXPECT_EQ(accessor.ColumnOffsets(), (std::vector<int>{0, 5, 17}));
  EXPECT_EQ(accessor.ColumnsSize(), 20);
  EXPECT_EQ(accessor.RowSize(), 26);
  EXPECT_FALSE(accessor.HasBlobs());
}

TEST(RowLayout, SlotSizesByType) {
  struct {
    TZSQLType type;
    int precision;
    int slot;
  } cases[] = {
      {stUnknown, 5, 0},       {stBoolean, 0, 2},        {stByte, 0, 1},      {stShort, 0, 2},
      {stInteger, 0, 4},       {stLong, 0, 8},           {stFloat, 0, 4},     {stDouble, 0, 8},
      {stBigDecimal, 0, 10},   {stString, 7, 8},         {stUnicodeString, 7, 16},
      {stBytes, 7, 9},         {stDate, 0, 8},           {stTime, 0, 8},      {stTimestamp, 0, 8},
      {stAsciiStream, 0, 8},   {stUnicodeStream, 0, 8},  {stBinaryStream, 0, 8},
      {stString, -4, 1},  // a negative precision never gives a negative slot
  };
  for (const auto& c : cases) {
    TZColumnInfo info;
    info.ColumnType = c.type;
    info.Precision = c.precision;
    EXPECT_EQ(TZRowAccessor::GetColumnSize(info), c.slot) << GetSQLTypeName(c.type) << " " << c.precision;
  }
  TZRowAccessor streams(Columns({{stInteger, 0}, {stBinaryStream, 0}}));
  EXPECT_TRUE(streams.HasBlobs());
  EXPECT_EQ(streams.RowSize(), 6 + 5 + 9);
}

TEST(RowLayout, SizesBeyondThe32BitRangeOverflow) {
  EXPECT_THROW(TZRowAccessor(Columns({{stString, INT_MAX}})), EIntOverflow);
  EXPECT_THROW(TZRowAccessor(Columns({{stUnicodeString, INT_MAX / 2}})), EIntOverflow);
  EXPECT_THROW(TZRowAccessor(Columns({{stBytes, INT_MAX / 2}, {stBytes, INT_MAX / 2}})), EIntOverflow);
}

TEST(RowBuffers, AllocClearAndHeader) {
  TZRowAccessor accessor(Columns({{stInteger, 0}, {stString, 3}}));
  TZRowBuffer* buffer = accessor.AllocBuffer();
  EXPECT_EQ(buffer->Index, 0);
  for (int i = 0; i < accessor.ColumnsSize(); i++) EXPECT_EQ(buffer->Columns()[i], 1) << i;
  buffer->Index = 7;
  buffer->UpdateType = utModified;
  buffer->BookmarkFlag = 2;
  // The header is plain little-endian bytes for the dataset layer.
  auto* raw = reinterpret_cast<std::uint8_t*>(buffer);
  EXPECT_EQ(raw[0], 7);
  EXPECT_EQ(raw[4], utModified);
  EXPECT_EQ(raw[5], 2);

  TZRowBuffer* copy = accessor.AllocBuffer();
  accessor.CopyBuffer(buffer, copy);
  EXPECT_EQ(std::memcmp(buffer, copy, accessor.RowSize()), 0);

  accessor.ClearBuffer(buffer);
  EXPECT_EQ(buffer->Index, -1);
  EXPECT_EQ(buffer->UpdateType, utUnmodified);
  EXPECT_EQ(buffer->BookmarkFlag, 0);
  accessor.DisposeBuffer(buffer);
  accessor.DisposeBuffer(copy);
  accessor.DisposeBuffer(nullptr);
}

class BlobRows : public ::testing::Test {
protected:
  BlobRows() : accessor(Columns({{stInteger, 0}, {stAsciiStream, 0}})) {
    src = accessor.AllocBuffer();
    dest = accessor.AllocBuffer();
    accessor.SetRowBuffer(src);
    accessor.SetInt(1, 42);
    source = MakeRef<TZAbstractBlob>();
    source->SetString("source");
    blob = source;
    accessor.SetBlob(2, blob);
  }
  ~BlobRows() override {
    accessor.DisposeBuffer(src);
    accessor.DisposeBuffer(dest);
  }
  // References that rows hold: all but the fixture's two.
  int Count() { return source->RefCount() - 2; }

  TZRowAccessor accessor;
  TZRowBuffer* src;
  TZRowBuffer* dest;
  Ref<TZAbstractBlob> source;
  Ref<IZBlob> blob;
};

TEST_F(BlobRows, CopySharesTheBlob) {
  EXPECT_EQ(Count(), 1);
  accessor.CopyBuffer(src, dest);
  EXPECT_EQ(Count(), 2);
  EXPECT_EQ(accessor.GetBlobObject(dest, 2).get(), blob.get());
  accessor.ClearBuffer(src);
  EXPECT_EQ(Count(), 1);
  accessor.SetRowBuffer(dest);
  bool isNull;
  EXPECT_EQ(accessor.GetString(2, isNull), "source");
  // Copying over a row that holds a blob releases it first.
  accessor.CopyBuffer(src, dest);
  EXPECT_EQ(Count(), 0);
}

TEST_F(BlobRows, CloneGetsItsOwnBlob) {
  accessor.CloneBuffer(src, dest);
  EXPECT_EQ(Count(), 1);
  Ref<IZBlob> cloned = accessor.GetBlobObject(dest, 2);
  ASSERT_TRUE(cloned);
  EXPECT_NE(cloned.get(), blob.get());
  accessor.SetRowBuffer(dest);
  accessor.SetString(2, "changed");
  bool isNull;
  EXPECT_EQ(cloned->GetString(), "changed");
  EXPECT_EQ(blob->GetString(), "source");
  EXPECT_EQ(accessor.GetInt(1, isNull), 42);
}

TEST_F(BlobRows, MoveLeavesTheSourceCleared) {
  src->Index = 5;
  accessor.MoveBuffer(src, dest);
  EXPECT_EQ(Count(), 1);
  EXPECT_EQ(dest->Index, 5);
  EXPECT_EQ(src->Index, -1);
  for (int i = 0; i < accessor.ColumnsSize(); i++) EXPECT_EQ(src->Columns()[i], 1) << i;
  accessor.SetRowBuffer(dest);
  bool isNull;
  EXPECT_EQ(accessor.GetString(2, isNull), "source");
}

TEST_F(BlobRows, CopyingABufferOntoItselfKeepsIt) {
  accessor.CopyBuffer(src, src);
  accessor.CloneBuffer(src, src);
  accessor.MoveBuffer(src, src);
  EXPECT_EQ(Count(), 1);
  bool isNull;
  EXPECT_EQ(accessor.GetString(2, isNull), "source");
  EXPECT_EQ(accessor.GetInt(1, isNull), 42);
}

TEST_F(BlobRows, AbsentBlobBecomesNullInTheCopy) {
  accessor.SetNull(2);
  EXPECT_EQ(Count(), 0);
  accessor.SetNotNull(2);
  EXPECT_EQ(src->Columns()[5], 0);
  EXPECT_TRUE(accessor.IsNull(2));
  accessor.CopyBuffer(src, dest);
  EXPECT_EQ(dest->Columns()[5], 1);
  accessor.CloneBuffer(src, dest);
  EXPECT_EQ(dest->Columns()[5], 1);
}

TEST_F(BlobRows, EmptyOrAbsentBlobReadsAsNull) {
  EXPECT_FALSE(accessor.IsNull(2));
  blob->Clear();
  EXPECT_TRUE(accessor.IsNull(2));
  accessor.SetRowBuffer(dest);
  bool isNull;
  Ref<IZBlob> created = accessor.GetBlob(2, isNull);
  EXPECT_TRUE(isNull);
  ASSERT_TRUE(created);
  EXPECT_TRUE(created->IsEmpty());
  EXPECT_EQ(dest->Columns()[5], 0);
  EXPECT_TRUE(accessor.IsNull(2));
  EXPECT_EQ(accessor.GetBlob(2, isNull).get(), created.get());
  EXPECT_FALSE(isNull);
}

TEST(RowChecks, ColumnIndexAndBufferAreChecked) {
  TZRowAccessor accessor(Columns({{stInteger, 0}, {stAsciiStream, 0}}));
  bool isNull;
  try {
    accessor.GetInt(1, isNull);
    FAIL();
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "Row buffer is not assigned");
  }
  TZRowBuffer* buffer = accessor.AllocBuffer();
  accessor.SetRowBuffer(buffer);
  auto message = [&](auto op) -> AnsiString {
    try {
      op();
    } catch (const EZSQLException& e) {
      return e.Message();
    }
    return "no error";
  };
  EXPECT_EQ(message([&] { accessor.IsNull(0); }), "Column with index 0 is not accessable");
  EXPECT_EQ(message([&] { accessor.SetInt(3, 1); }), "Column with index 3 is not accessable");
  EXPECT_EQ(message([&] { accessor.GetValue(3); }), "Column with index 3 is not accessable");
  EXPECT_EQ(message([&] { accessor.GetBlobObject(buffer, -1); }), "Column with index -1 is not accessable");
  EXPECT_EQ(message([&] { accessor.CompareBuffers(buffer, buffer, {1, 9}, {true, true}); }),
            "Column with index 9 is not accessable");
  EXPECT_EQ(message([&] { accessor.GetBlob(1, isNull); }), "Cannot access blob record in column 1 with type Integer");
  EXPECT_EQ(message([&] { accessor.SetBlobObject(buffer, 1, nullptr); }),
            "Cannot access blob record in column 1 with type Integer");
  accessor.Dispose();
  EXPECT_EQ(accessor.RowBuffer(), nullptr);
  EXPECT_EQ(message([&] { accessor.CloneFrom(buffer); }), "Row buffer is not assigned");
  EXPECT_EQ(message([&] { accessor.CompareBuffers(nullptr, nullptr, {1}, {}); }), "Row buffer is not assigned");
}

TEST(RowChecks, ColumnAreaEndsAtIndex32767) {
  // The first column fills indexes 0..32766, so the Integer's null byte is at 32767.
  TZRowAccessor accessor(Columns({{stString, 32765}, {stInteger, 0}, {stBytes, 10}}));
  EXPECT_EQ(accessor.ColumnOffsets()[1], 32767);
  TZRowBuffer* buffer = accessor.AllocBuffer();
  accessor.SetRowBuffer(buffer);
  bool isNull;
  EXPECT_TRUE(accessor.IsNull(2));
  EXPECT_THROW(accessor.SetInt(2, 1), ERangeError);
  accessor.SetNotNull(2);
  EXPECT_THROW(accessor.GetInt(2, isNull), ERangeError);
  EXPECT_THROW(accessor.IsNull(3), ERangeError);
  accessor.SetString(1, "still usable");
  TZRowBuffer* copy = accessor.AllocBuffer();
  accessor.CopyBuffer(buffer, copy);
  accessor.SetRowBuffer(copy);
  EXPECT_EQ(accessor.GetString(1, isNull), "still usable");
  accessor.DisposeBuffer(buffer);
  accessor.DisposeBuffer(copy);
}

TEST(RowChecks, BytesCrossingTheAreaEndStoreNothing) {
  // The Bytes column's data starts at 32766: the count fits, the bytes do not.
  TZRowAccessor accessor(Columns({{stString, 32763}, {stBytes, 10}}));
  TZRowBuffer* buffer = accessor.AllocBuffer();
  accessor.SetRowBuffer(buffer);
  EXPECT_THROW(accessor.SetBytes(2, {1, 2, 3}), ERangeError);
  EXPECT_EQ(buffer->Columns()[accessor.ColumnOffsets()[1]], 1);
  accessor.DisposeBuffer(buffer);
}

class RowOrder : public ::testing::Test {
protected:
  RowOrder()
      : accessor(Columns({{stInteger, 0}, {stLong, 0}, {stString, 10}, {stBytes, 4}, {stBinaryStream, 0},
                          {stDouble, 0}, {stBoolean, 0}})) {
    row1 = accessor.AllocBuffer();
    row2 = accessor.AllocBuffer();
  }
  ~RowOrder() override {
    accessor.DisposeBuffer(row1);
    accessor.DisposeBuffer(row2);
  }
  int Compare(TZIntegerDynArray columns, TZBooleanDynArray dirs = {}) {
    return accessor.CompareBuffers(row1, row2, columns, dirs);
  }

  TZRowAccessor accessor;
  TZRowBuffer* row1;
  TZRowBuffer* row2;
};

TEST_F(RowOrder, FarApartIntegersNeverOverflow) {
  accessor.SetRowBuffer(row1);
  accessor.SetInt(1, 2147483647);
  accessor.SetLong(2, INT64_MAX);
  accessor.SetRowBuffer(row2);
  accessor.SetInt(1, -1);
  accessor.SetLong(2, INT64_MIN);
  EXPECT_GT(Compare({1}), 0);
  EXPECT_GT(Compare({2}), 0);
  EXPECT_LT(Compare({2}, {false}), 0);
}

TEST_F(RowOrder, NullsOrderFirstAscendingAndLastDescending) {
  accessor.SetRowBuffer(row2);
  accessor.SetInt(1, -2147483647 - 1);
  EXPECT_LT(Compare({1}, {true}), 0);
  EXPECT_GT(Compare({1}, {false}), 0);
  // Two nulls are equal and the next column decides.
  accessor.SetRowBuffer(row1);
  accessor.SetDouble(6, 2.5);
  accessor.SetRowBuffer(row2);
  accessor.SetDouble(6, -2.5);
  EXPECT_GT(Compare({2, 6}), 0);
  EXPECT_LT(Compare({2, 6}, {true, false}), 0);
  EXPECT_EQ(Compare({2, 3}), 0);
}

TEST_F(RowOrder, ValuesOfEachKind) {
  struct {
    const char* text1;
    const char* text2;
    int column;
    int sign;
  } cases[] = {
      {"abc", "abd", 3, -1},    {"b", "a", 3, 1},         {"same", "same", 3, 0},
      {"ab", "abc", 4, -1},     {"\xff", "\x01", 4, 1},   {"x", "x", 4, 0},
      {"", "", 5, 0},           {"\x01", "", 5, 1},       {"a", "b", 5, -1},
      {"False", "True", 7, -1}, {"True", "True", 7, 0},
  };
  for (const auto& c : cases) {
    accessor.SetRowBuffer(row1);
    accessor.SetString(c.column, c.text1);
    accessor.SetRowBuffer(row2);
    accessor.SetString(c.column, c.text2);
    int result = Compare({c.column});
    EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.text1 << " vs " << c.text2 << " in column " << c.column;
  }
}

TEST_F(RowOrder, NullBlobAndEmptyBlobAreEqual) {
  accessor.SetRowBuffer(row2);
  accessor.SetBlob(5, MakeRef<TZAbstractBlob>());
  EXPECT_EQ(Compare({5}), 0);
  accessor.SetString(5, "x");
  EXPECT_LT(Compare({5}), 0);
}

}  // namespace
