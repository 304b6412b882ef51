// Dates, times, fractions of a second and doubles through a query on SQLite,
// whose driver writes them through the core's date and number texts: written
// by a parameter, read back by the sqlite3 tool and through the query, and
// left untouched while another column of the row is posted (umUpdateAll).
#include <gtest/gtest.h>

#include <cstdlib>
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
    // Beyond the field (a span over a day, microseconds): the cached row
    // holds it, the field does not.
    bool beyondField = false;
  } cases[] = {
      {"DATETIME", "2024-02-29 23:59:59.123456", "v", true},
      {"DATETIME", "1899-12-30 00:00:00", "v"},
      {"DATE", "1899-12-30", "v"},
      {"TIME", "12:34:56.789", "v"},
      {"TIME", "00:00:00", "v"},
      {"TIME", "25:00:00", "v", true},
      {"TIME", "-01:30:00", "v", true},
      {"DOUBLE", "0.30000000000000004", "v = 0.1 + 0.2"},
      {"DOUBLE", "1e308", "v = 1e308"},
      {"DOUBLE", "0", "v = 0"},
  };
  int number = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + c.value);
    // A table of its own: the session's catalogue answers stay cached.
    const std::string table = "rt" + std::to_string(number++);
    // A fresh query for each column type.
    std::unique_ptr<TZQuery, void (*)(TZQuery*)> query(new TZQuery(nullptr), [](TZQuery* q) { q->Free(); });
    query->SetConnection(connection);
    query->SetUpdateMode(umUpdateAll);
    Tool("CREATE TABLE " + table + " (id INTEGER PRIMARY KEY, v " + c.type + ", other INTEGER);");
    query->SQL().Clear();
    query->SQL().Add("INSERT INTO " + table + " (id, v, other) VALUES (1, :v, 0)");
    TParam* param = query->Params().RequireParam("v");
    const std::string type = c.type;
    const double asNumber = std::strtod(c.value, nullptr);
    const TDateTime moment = AnsiSqlDateToDateTime(c.value);
    if (type == "DOUBLE")
      param->SetValueAsFloat(asNumber);
    else if (type == "TIME")
      param->SetValueAsTime(moment);
    else if (type == "DATE")
      param->SetValueAsDate(moment);
    else
      param->SetValueAsDateTime(moment);
    query->ExecuteSQL();
    const std::string expected = type == "DOUBLE" ? "1" : c.value;
    const std::string oracle = std::string("SELECT ") + c.oracle + ", other FROM " + table + ";";
    EXPECT_EQ(Tool(oracle), expected + "|0");

    query->SQL().Clear();
    query->SQL().Add("SELECT id, v, other FROM " + table);
    query->Open();
    TField* field = query->FieldNamed("v");
    EXPECT_FALSE(field->IsNull());
    if (type == "DOUBLE") {
      EXPECT_EQ(field->ValueAsFloat(), asNumber);
    } else if (!c.beyondField) {
      const TDateTime read = field->ValueAsDateTime();
      EXPECT_EQ(type == "TIME" ? SqlTimeText(read) : type == "DATE" ? SqlDateText(read) : SqlTimestampText(read),
                c.value);
    }
    // Posting another column writes every column from the cached row: the
    // untouched value must go back as it was read.
    query->Edit();
    query->FieldNamed("other")->SetValueAsInteger(1);
    query->Post();
    query->Close();
    EXPECT_EQ(Tool(oracle), expected + "|1") << "after another column was posted";
  }
}

}  // namespace
