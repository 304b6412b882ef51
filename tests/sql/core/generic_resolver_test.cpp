// The generic resolver: the statements it writes for changed rows of
// t(id int primary key, name varchar(20), note varchar(20) default 'x'),
// read from the fake server's prepare and execute logs.

#include <gtest/gtest.h>

#include "platform/rtl/format.h"
#include "sql/core/dbc/abstract_statement.h"
#include "sql/core/dbc/blobs.h"
#include "sql/core/dbc/generic_resolver.h"
#include "sql/core/dbc/row_accessor.h"
#include "sql/core/messages.h"
#include "tests/sql/core/catalogue_fixture.h"
#include "tests/sql/core/row_test_columns.h"
#include "tests/sql/core/sql_error.h"

namespace {

class GenericResolver : public CatalogueTest {
protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    Server().Results["SELECT 'x'"] = {{{"c", stString}}, {{Str("x")}}};
    Server().Results["SELECT name, note FROM t"] = {{{"name", stString}, {"note", stString}}, {{Str("a"), Str("x")}}};
  }

  // Sets the column of the row to a value (NULL for nullptr) and posts it.
  static void Change(IZCachedResultSet& rows, int row, int column, const char* value) {
    rows.MoveAbsolute(row);
    if (value)
      rows.UpdateString(column, value);
    else
      rows.UpdateNull(column);
    rows.UpdateRow();
  }

  // The SQL texts prepared and executed since the last call.
  std::vector<AnsiString> Sent() {
    std::vector<AnsiString> sent;
    for (; prepared_ < Server().PreparedSQL.size(); ++prepared_) sent.push_back("P " + Server().PreparedSQL[prepared_]);
    for (; executed_ < Server().ExecutedSQL.size(); ++executed_) sent.push_back("E " + Server().ExecutedSQL[executed_]);
    return sent;
  }

private:
  std::size_t prepared_ = 0;
  std::size_t executed_ = 0;
};

using Texts = std::vector<AnsiString>;

TEST_F(GenericResolver, UpdateSetsOnlyTheChangedColumnAndFindsTheRowByItsKey) {
  struct {
    std::initializer_list<const char*> properties;
    const char* sql;
    int row;
    int column;
    const char* value;
    Texts sent;
  } cases[] = {
      {{}, "SELECT * FROM t", 2, 2, "new",
       {"P UPDATE t SET name=? WHERE id=?", "E UPDATE t SET name='new' WHERE id=2"}},
      // A column set to NULL is written as NULL, not as its default.
      {{}, "SELECT * FROM t", 1, 3, nullptr,
       {"P UPDATE t SET note=? WHERE id=?", "E UPDATE t SET note=NULL WHERE id=1"}},
      {{"where=ALL"}, "SELECT * FROM t", 2, 2, "new",
       {"P UPDATE t SET name=? WHERE id=? AND name=? AND note IS NULL ",
        "E UPDATE t SET name='new' WHERE id=2 AND name='b' AND note IS NULL "}},
      {{"update=all"}, "SELECT * FROM t", 3, 2, "new",
       {"P UPDATE t SET id=?,name=?,note=? WHERE id=?", "E UPDATE t SET id=3,name='new',note='z' WHERE id=3"}},
      // Without the key among the columns, every comparable column identifies the row.
      {{}, "SELECT name, note FROM t", 1, 1, "new",
       {"P UPDATE t SET name=? WHERE name=? AND note=?", "E UPDATE t SET name='new' WHERE name='a' AND note='x'"}},
      // Nothing changed, nothing sent.
      {{}, "SELECT * FROM t", 1, 2, "a", {}},
  };
  for (const auto& c : cases) {
    Ref<IZCachedResultSet> rows = Open(c.sql, c.properties);
    Change(*rows, c.row, c.column, c.value);
    EXPECT_EQ(Sent(), c.sent) << c.sql << " row " << c.row;
  }
}

TEST_F(GenericResolver, InsertAsksForTheDefaultsFirstAndDeleteUsesTheKey) {
  Ref<IZCachedResultSet> rows = Open("SELECT * FROM t");
  Insert(*rows, 4, "d");
  EXPECT_EQ(Sent(), (Texts{"P INSERT INTO t (id,name,note) VALUES (?,?,?)", "E SELECT 'x'",
                           "E INSERT INTO t (id,name,note) VALUES (4,'d','x')"}));
  EXPECT_EQ(rows->GetString(3), "x");

  rows->MoveAbsolute(3);
  rows->DeleteRow();
  EXPECT_EQ(Sent(), (Texts{"P DELETE FROM t WHERE id=?", "E DELETE FROM t WHERE id=3"}));
}

TEST_F(GenericResolver, WithoutDefaultsTheInsertLeavesNullToTheServer) {
  Ref<IZCachedResultSet> rows = Open("SELECT * FROM t", {"defaults=false"});
  Insert(*rows, 4, "d");
  EXPECT_EQ(Sent(), (Texts{"P INSERT INTO t (id,name,note) VALUES (?,?,?)",
                           "E INSERT INTO t (id,name,note) VALUES (4,'d',NULL)"}));
}

TEST_F(GenericResolver, NamesThatNeedQuotingAreQuotedEverywhere) {
  Server().AddTable("q", {{{"id", stInteger}, {"order", stInteger}, {"My Col", stString}}, {{Int(1), Int(7), Str("v")}}});
  Server().PrimaryKeys["q"] = {"order"};
  Ref<IZCachedResultSet> rows = Open("SELECT * FROM q", {"update=ALL"});
  Change(*rows, 1, 3, "w");
  rows->DeleteRow();
  EXPECT_EQ(Sent(), (Texts{"P UPDATE q SET id=?,\"order\"=?,\"My Col\"=? WHERE \"order\"=?",
                           "P DELETE FROM q WHERE \"order\"=?",
                           "E UPDATE q SET id=1,\"order\"=7,\"My Col\"='w' WHERE \"order\"=7",
                           "E DELETE FROM q WHERE \"order\"=7"}));
}

TEST_F(GenericResolver, QueriesThatCannotBeWrittenBackAreRefused) {
  Server().AddTable("u", {{{"uid", stInteger}}, {}});
  Server().Results["SELECT t.id, u.uid FROM t, u"] = {{{"id", stInteger}, {"uid", stInteger}}, {{Int(1), Int(5)}}};
  Server().Results["SELECT 1+1 AS two"] = {{{"two", stInteger}}, {{Int(2)}}};
  struct {
    const char* sql;
    const char* error;
  } cases[] = {{"SELECT t.id, u.uid FROM t, u", SZCanNotUpdateComplexQuery},
               {"SELECT 1+1 AS two", SZCanNotUpdateThisQueryType}};
  for (const auto& c : cases) {
    Ref<IZCachedResultSet> rows = Open(c.sql);
    EXPECT_EQ(SQLError([&] { Change(*rows, 1, 1, "9"); }), c.error) << c.sql;
    EXPECT_EQ(SQLError([&] { rows->DeleteRow(); }), c.error) << c.sql;
    EXPECT_EQ(SQLError([&] { rows->MoveToInsertRow(), rows->UpdateInt(1, 9), rows->InsertRow(); }), c.error)
        << c.sql;
    EXPECT_FALSE(rows->IsPendingUpdates());
  }
  EXPECT_EQ(Sent(), Texts{});
}

// A posted row is one row: another count is an error unless switched off;
// a driver that cannot count (-1) is held to it only when asked to.
TEST_F(GenericResolver, UpdateCountOtherThanOneIsAnErrorUnlessSwitchedOff) {
  struct {
    int count;
    const char* setting;
    bool fails;
  } cases[] = {{2, nullptr, true},  {0, nullptr, true},  {2, "ValidateUpdateCount=false", false},
               {-1, nullptr, false}, {-1, "ValidateUpdateCount=true", true}};
  for (const auto& c : cases) {
    Server().UpdateCounts["UPDATE t SET name='new' WHERE id=2"] = c.count;
    Ref<IZCachedResultSet> rows = c.setting ? Open("SELECT * FROM t", {c.setting}) : Open("SELECT * FROM t");
    if (c.fails) {
      EXPECT_EQ(SQLError([&] { Change(*rows, 2, 2, "new"); }), Format(SZUpdateRecordCount, {c.count})) << c.count;
      EXPECT_EQ(rows->GetString(2), "b");
    } else {
      Change(*rows, 2, 2, "new");
      EXPECT_EQ(rows->GetString(2), "new") << c.count;
    }
    EXPECT_FALSE(rows->IsPendingUpdates());
  }
}

TEST_F(GenericResolver, RowWithoutAnyIdentifyingColumnIsNeverWrittenBlindly) {
  Server().AddTable("m", {{{"memo", stAsciiStream}}, {{Str("text")}}});
  Ref<IZCachedResultSet> rows = Open("SELECT * FROM m");
  Sent();
  rows->First();
  EXPECT_EQ(SQLError([&] { rows->DeleteRow(); }), SZNoRowCondition);
  EXPECT_EQ(SQLError([&] { Change(*rows, 1, 1, "other"); }), SZNoRowCondition);
  EXPECT_EQ(rows->GetString(1), "text");
  EXPECT_EQ(Sent(), Texts{});
  EXPECT_FALSE(rows->RowDeleted());
  EXPECT_FALSE(rows->IsPendingUpdates());
}

// A statement that only keeps what was bound, to read it back.
class BoundParameters : public TZAbstractPreparedStatement {
public:
  BoundParameters() : TZAbstractPreparedStatement(nullptr, "", nullptr) {}
  bool IsNull(int index) const { return DefaultVarManager()->IsNull(InParamValues[index - 1]); }
};

// The resolver binds a blob without a value as the blob it is; the update
// statements of a dataset bind NULL for it. A value of length 0 is a value.
TEST(BindRowColumn, AnEmptyBlobBindsNullOnlyWhenAsked) {
  TZRowAccessor row(Columns({{stBinaryStream, 0}, {stBinaryStream, 0}}));
  row.Alloc();
  row.SetBlob(1, MakeRef<TZAbstractBlob>());
  row.SetBlob(2, TZAbstractBlob::CreateWithData("", 0));
  for (bool emptyBlobAsNull : {false, true}) {
    auto statement = MakeRef<BoundParameters>();
    BindRowColumn(statement.get(), 1, row, 1, stBinaryStream, emptyBlobAsNull);
    BindRowColumn(statement.get(), 2, row, 2, stBinaryStream, emptyBlobAsNull);
    EXPECT_EQ(statement->IsNull(1), emptyBlobAsNull);
    EXPECT_FALSE(statement->IsNull(2));
  }
  row.Dispose();
}

}  // namespace
