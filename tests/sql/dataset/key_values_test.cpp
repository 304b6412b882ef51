// Matching search keys against rows, the step under locating records.
#include <gtest/gtest.h>

#include "sql/dataset/key_values.h"
#include "tests/sql/dataset/fake_fixture.h"

namespace {

TZVariant Value(const AnsiString& text) {
  TZVariant value;
  DefaultVarManager()->SetAsString(value, text);
  return value;
}

TZVariant Value(double number) {
  TZVariant value;
  DefaultVarManager()->SetAsFloat(value, number);
  return value;
}

TEST(MatchKeyValues, PrefixCaseAndFloatTolerance) {
  struct Case {
    TZVariant key, row;
    bool partial, caseInsensitive, matches;
  } cases[] = {
      {Value("ab"), Value("ABC"), true, true, true},
      {Value("ab"), Value("abx"), true, true, true},
      {Value("ab"), Value("xab"), true, true, false},
      {Value("ab"), Value("ABC"), true, false, false},
      {Value("abc"), Value("ABC"), false, true, true},
      {Value("abc"), Value("abcd"), false, true, false},
      {Value(1.000001), Value(1.0000015), false, false, true},
      {Value(1.0), Value(1.1), false, false, false},
      {IntValue(5), Value("5"), false, false, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MatchKeyValues({c.key}, {c.row}, c.partial, c.caseInsensitive), c.matches)
        << c.key.VString << " / " << c.row.VString << " partial " << c.partial << " ci " << c.caseInsensitive;
  EXPECT_TRUE(MatchKeyValues({}, {}, false, false));
}

class KeyRowsTest : public FakeDatasetTest {};

TEST_F(KeyRowsTest, NormalisedKeysMatchResultSetRows) {
  AddResult("select keys", {{{"n", stInteger}, {"f", stDouble}},
                            {{IntValue(1), Value(0.5)}, {IntValue(2), TZVariant()}, {IntValue(3), Value(7.25)}}});
  OpenQuery("select keys");
  query->FetchAll();
  std::vector<TField*> fields = {query->FieldNamed("n"), query->FieldNamed("f")};
  IZResultSet* rows = query->ResultSet().get();
  auto matchingRows = [&](TZVariantDynArray keys, bool partial) {
    NormalizeKeyValues(fields, keys, rows, partial, false);
    std::vector<int> found;
    for (int row = 1; rows->MoveAbsolute(row); ++row)
      if (MatchKeyValuesInResultSet(fields, keys, rows, partial, false)) found.push_back(row);
    return found;
  };
  EXPECT_EQ(matchingRows({Value("2"), TZVariant()}, false), std::vector<int>{2});  // text key, null key
  EXPECT_EQ(matchingRows({Value("3"), Value("7.250001")}, false), std::vector<int>{3});
  EXPECT_EQ(matchingRows({IntValue(1), Value("0.")}, true), std::vector<int>{1});
  EXPECT_TRUE(matchingRows({IntValue(4), TZVariant()}, false).empty());

  rows->MoveAbsolute(3);
  TZVariantDynArray values;
  ReadKeyValuesFromResultSet(fields, rows, values);
  EXPECT_TRUE(MatchKeyValues(values, {IntValue(3), Value(7.25)}, false, false));

  // The query's current record (n = 1) as the master of its own rows.
  TField* master = query->FieldNamed("n");
  ASSERT_EQ(master->ValueAsInteger(), 1);
  EXPECT_FALSE(MasterFieldMatches(fields[0], rows, master));
  rows->MoveAbsolute(1);
  EXPECT_TRUE(MasterFieldMatches(fields[0], rows, master));
}

}  // namespace
