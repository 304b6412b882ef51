// Fractions of a second and doubles through a query on SQLite, whose driver
// writes them through the core's date and number texts: written by a
// parameter and read back by the sqlite3 tool (and a time through the query).
#include <gtest/gtest.h>

#include <memory>

#include "sql/core/sysutils.h"
#include "sql/dataset/connection.h"
#include "sql/dataset/query.h"
#include "tests/sql/drivers/sqlite/sqlite_test_support.h"

namespace {

class SQLiteRoundTripTest : public sqlite_test::SQLiteTest {
protected:
  void SetUp() override {
    RegisterSQLiteDriver();
    connection->SetProtocol("sqlite-3");
    connection->SetDatabase(DatabasePath());
  }
  void TearDown() override { connection->Free(); }

  TZConnection* connection = new TZConnection(nullptr);
};

TEST_F(SQLiteRoundTripTest, FractionsAndDoublesComeBackAsWritten) {
  const struct {
    const char* type;
    const char* value;   // as written and as the tool prints it
    const char* oracle;  // the tool's expression over v
  } cases[] = {
      {"DATETIME", "2024-02-29 23:59:59.123456", "v"},
      {"TIME", "12:34:56.789", "v"},
      {"DOUBLE", "0.30000000000000004", "v = 0.30000000000000004"},
      {"DOUBLE", "1e308", "v = 1e308"},
  };
  int number = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + c.value);
    // A table of its own: the session's catalogue answers stay cached.
    const std::string table = "rt" + std::to_string(number++);
    // A fresh query for each column type.
    std::unique_ptr<TZQuery, void (*)(TZQuery*)> query(new TZQuery(nullptr), [](TZQuery* q) { q->Free(); });
    query->SetConnection(connection);
    Tool("CREATE TABLE " + table + " (id INTEGER PRIMARY KEY, v " + c.type + ");");
    query->SQL().Clear();
    query->SQL().Add("INSERT INTO " + table + " (id, v) VALUES (1, :v)");
    TParam* param = query->Params().RequireParam("v");
    const std::string type = c.type;
    if (type == "DOUBLE")
      param->SetValueAsFloat(std::strtod(c.value, nullptr));
    else if (type == "TIME")
      param->SetValueAsTime(AnsiSqlDateToDateTime(c.value));
    else
      param->SetValueAsDateTime(AnsiSqlDateToDateTime(c.value));
    query->ExecuteSQL();
    const std::string expected = type == "DOUBLE" ? "1" : c.value;
    EXPECT_EQ(Tool(std::string("SELECT ") + c.oracle + " FROM " + table + ";"), expected);

    query->SQL().Clear();
    query->SQL().Add("SELECT id, v FROM " + table);
    query->Open();
    TField* field = query->FieldNamed("v");
    if (type == "TIME") {
      EXPECT_EQ(SqlTimeText(field->ValueAsDateTime()), c.value);
    }
    query->Close();
  }
}

}  // namespace
