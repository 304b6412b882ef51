// Dataset utilities: type maps, field lists, and filters over fetched rows.
#include <gtest/gtest.h>

#include "platform/db/db_error.h"
#include "sql/dataset/dataset_error.h"
#include "tests/sql/dataset/fake_fixture.h"

namespace {

TEST(DatasetTypes, ColumnTypesRoundTripThroughFieldTypes) {
  for (TZSQLType type : {stBoolean, stShort, stInteger, stLong, stDouble, stString, stUnicodeString, stBytes,
                         stDate, stTime, stTimestamp, stAsciiStream, stBinaryStream})
    EXPECT_EQ(FieldTypeToSQLType(SQLTypeToFieldType(type)), type) << type;
  EXPECT_EQ(SQLTypeToFieldType(stByte), ftSmallint);
  EXPECT_EQ(SQLTypeToFieldType(stBigDecimal), ftFloat);
  EXPECT_EQ(SQLTypeToFieldType(stUnicodeStream), ftWideString);
  EXPECT_EQ(FieldTypeToSQLType(ftAutoInc), stInteger);
  EXPECT_EQ(FieldTypeToSQLType(ftCurrency), stBigDecimal);
  EXPECT_EQ(FieldTypeToSQLType(ftWord), stUnknown);
}

class FieldListTest : public FakeDatasetTest {
protected:
  void SetUp() override {
    FakeDatasetTest::SetUp();
    AddResult("select five", {{{"id", stInteger}, {"a b", stInteger}, {"DESC", stInteger}, {"x-y", stLong}},
                              {{IntValue(1), IntValue(2), IntValue(3), IntValue(4)}}});
    OpenQuery("select five");
  }
  std::vector<AnsiString> Names(const AnsiString& list) {
    bool onlyData = false;
    std::vector<AnsiString> names;
    for (TField* field : ParseFieldList(query, list, onlyData)) names.push_back(field->FieldName());
    EXPECT_TRUE(onlyData);
    return names;
  }
};

TEST_F(FieldListTest, NamesNumbersAndSeparators) {
  using Names_ = std::vector<AnsiString>;
  EXPECT_EQ(Names("id;DESC"), Names("id, DESC"));
  EXPECT_EQ(Names("0,2"), (Names_{"id", "DESC"}));
  EXPECT_EQ(Names("\"a b\";id;id"), (Names_{"a b", "id", "id"}));
  EXPECT_EQ(Names(",;,"), Names_{});
  for (const char* bad : {"5", "null", "id-x"})
    EXPECT_EQ(ErrorOf<EZDatabaseError>([&] { Names(bad); }).substr(0, 28), "Incorrect symbol in field li") << bad;
  EXPECT_THROW(Names("nosuch"), EDatabaseError);
  EXPECT_EQ(DataFieldNameList(query->Fields()), "id,\"a b\",DESC,\"x-y\"");
}

TEST_F(FieldListTest, SortListsTakeDirections) {
  std::vector<TField*> fields;
  std::vector<bool> ascending;
  bool onlyData = false;
  ParseSortFieldList(query, "\"a b\" DESC, id", fields, ascending, onlyData);
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_EQ(fields[0]->FieldName(), "a b");
  EXPECT_EQ(ascending, (std::vector<bool>{false, true}));
  ParseSortFieldList(query, "DESC", fields, ascending, onlyData);
  ASSERT_EQ(fields.size(), 1u);
  EXPECT_EQ(fields[0]->FieldName(), "DESC");
}

class FilterTest : public FakeDatasetTest {};

TEST_F(FilterTest, ExpressionFilterShowsMatchingRowsAndSwitchesBack) {
  AddNumbers("select n", 10);
  OpenQuery("select n");
  query->Next();
  query->Next();  // on 3
  query->SetFilter("n > 7 or n = 3");
  query->SetFiltered(true);
  EXPECT_EQ(query->FieldNamed("n")->ValueAsInteger(), 3);
  std::vector<int> seen;
  for (query->First(); !query->Eof(); query->Next()) seen.push_back(query->FieldNamed("n")->ValueAsInteger());
  EXPECT_EQ(seen, (std::vector<int>{3, 8, 9, 10}));

  query->SetFilter("n > 100");
  EXPECT_TRUE(query->HasNoRecords());
  query->SetFiltered(false);
  EXPECT_EQ(query->RecordTotal(), 10);
}

}  // namespace
