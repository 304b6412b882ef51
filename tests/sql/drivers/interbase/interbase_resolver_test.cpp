// The resolver of cached results on the core's fake server: the defaults of
// a new row are selected from the one-row table, and only updatable or
// scrollable results are cached.

#include <gtest/gtest.h>

#include <algorithm>

#include "sql/drivers/interbase/interbase_connection.h"
#include "sql/drivers/interbase/interbase_utils.h"
#include "tests/sql/core/catalogue_fixture.h"

namespace {

class InterbaseResolver : public CatalogueTest {
protected:
  Ref<IZStatement> Statement(TZResultSetConcurrency concurrency, TZResultSetType type) {
    Ref<IZStatement> statement = connection->CreateStatement();
    statement->SetResultSetConcurrency(concurrency);
    statement->SetResultSetType(type);
    return statement;
  }
  Ref<IZResultSet> Native(const Ref<IZStatement>& statement) {
    return MakeFakeDriverResultSet(statement, "SELECT * FROM t", RowsOf("SELECT * FROM t"));
  }
};

TEST_F(InterbaseResolver, DefaultsComeFromTheOneRowTableWhateverTheyHold) {
  for (const char* defaultValue : {"'x'", "'sent from home'"}) {
    Server().ColumnDefaults["t"]["note"] = defaultValue;
    Metadata()->ClearCache();
    const AnsiString query = AnsiString("SELECT ") + defaultValue + " FROM RDB$DATABASE";
    Server().Results[query] = {{{"c", stString}}, {{Str("value")}}};
    Ref<IZStatement> statement = Statement(rcUpdatable, rtScrollInsensitive);
    Ref<IZResultSet> rows = GetCachedResultSet("SELECT * FROM t", statement, Native(statement));
    auto cached = Query<IZCachedResultSet>(rows);
    ASSERT_TRUE(cached);
    Insert(*cached, 4, "d");
    const auto& executed = Server().ExecutedSQL;
    EXPECT_NE(std::find(executed.begin(), executed.end(), query), executed.end()) << query;
    EXPECT_EQ(cached->GetString(3), "value");
  }
}

TEST_F(InterbaseResolver, OnlyReadOnlyForwardResultsStayNative) {
  const struct {
    TZResultSetConcurrency concurrency;
    TZResultSetType type;
    bool native;
  } cases[] = {
      {rcReadOnly, rtForwardOnly, true},
      {rcReadOnly, rtScrollInsensitive, false},
      {rcUpdatable, rtForwardOnly, false},
  };
  for (const auto& c : cases) {
    Ref<IZStatement> statement = Statement(c.concurrency, c.type);
    Ref<IZResultSet> native = Native(statement);
    Ref<IZResultSet> result = GetCachedResultSet("SELECT * FROM t", statement, native);
    EXPECT_EQ(result.get() == native.get(), c.native) << c.concurrency << "/" << c.type;
    EXPECT_EQ(result->GetConcurrency(), c.concurrency);
  }
}

}  // namespace
