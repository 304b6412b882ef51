// Dates, times, fractions of a second and exact numbers through a query on
// SQLite, whose driver writes them through the core's date and number texts:
// written by a parameter and by a field with Post, read back by the sqlite3
// tool and through the query, and left untouched while another column of the
// row is posted (umUpdateAll).
#include <gtest/gtest.h>

#include <cstdlib>

#include "sql/core/sysutils.h"
#include "tests/sql/dataset/owned_query.h"
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

  OwnedQuery NewQuery() { return NewUpdateAllQuery(connection); }

  TZConnection* connection = new TZConnection(nullptr);
};

struct Case {
  const char* type;
  const char* value;   // as written and as the tool prints it
  const char* oracle;  // the tool's expression over v
};

// The value in the form the tool prints, from what the field holds.
std::string FieldText(TField* field, const std::string& type) {
  if (field->IsNull()) return "NULL";
  const TDateTime moment = field->ValueAsDateTime();
  if (type == "TIME") return SqlTimeText(moment);
  if (type == "DATE") return SqlDateText(moment);
  return SqlTimestampText(moment);
}

TEST_F(SQLiteRoundTripTest, FractionsAndExactNumbersComeBackAsWritten) {
  const Case cases[] = {
      {"DATETIME", "2024-02-29 23:59:59.123456", "v"},
      {"DATETIME", "1899-12-30 00:00:00", "v"},
      {"DATE", "1899-12-30", "v"},
      {"TIME", "12:34:56.789", "v"},
      {"TIME", "00:00:00", "v"},
      {"TIME", "25:00:00", "v"},
      {"TIME", "-01:30:00.5", "v"},
      {"DOUBLE", "0.30000000000000004", "v = 0.1 + 0.2"},
      {"DOUBLE", "1e308", "v = 1e308"},
      {"DOUBLE", "0", "v = 0"},
      {"BIGINT", "9223372036854775807", "v"},
      {"BIGINT", "-9223372036854775808", "v"},
      {"DECIMAL(18,0)", "123456789012345678", "v"},
  };
  int number = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + c.value);
    // A table and a query of its own: the session's catalogue answers stay
    // cached, and the fields of one column type do not suit the next.
    const std::string table = "rt" + std::to_string(number++);
    auto query = NewQuery();
    Tool("CREATE TABLE " + table + " (id INTEGER PRIMARY KEY, v " + c.type + ", other INTEGER);");
    const std::string type = std::string(c.type).substr(0, std::string(c.type).find('('));
    const bool moment = type == "DATETIME" || type == "DATE" || type == "TIME";
    const TDateTime value = moment ? AnsiSqlDateToDateTime(c.value) : 0;
    query->SQL().Clear();
    query->SQL().Add("INSERT INTO " + table + " (id, v, other) VALUES (1, :v, 0)");
    TParam* param = query->Params().RequireParam("v");
    if (type == "DOUBLE") param->SetValueAsFloat(std::strtod(c.value, nullptr));
    else if (type == "TIME") param->SetValueAsTime(value);
    else if (type == "DATE") param->SetValueAsDate(value);
    else if (moment) param->SetValueAsDateTime(value);
    else param->SetValueAsString(c.value);
    query->ExecuteSQL();

    query->SQL().Clear();
    query->SQL().Add("SELECT id, v, other FROM " + table + " ORDER BY id");
    query->Open();
    query->Append();
    query->FieldNamed("id")->SetValueAsInteger(2);
    if (type == "DOUBLE") query->FieldNamed("v")->SetValueAsFloat(std::strtod(c.value, nullptr));
    else if (moment) query->FieldNamed("v")->SetValueAsDateTime(value);
    else query->FieldNamed("v")->SetValueAsString(c.value);
    query->FieldNamed("other")->SetValueAsInteger(0);
    query->Post();
    // Posting another column writes every column from the cached row: the
    // untouched value must go back as it was read.
    query->First();
    query->Edit();
    query->FieldNamed("other")->SetValueAsInteger(1);
    query->Post();
    query->Close();
    const std::string expected = type == "DOUBLE" ? "1" : c.value;
    EXPECT_EQ(Tool(std::string("SELECT ") + c.oracle + ", other FROM " + table + " ORDER BY id;"),
              expected + "|1\n" + expected + "|0");

    query->Open();
    for (; !query->Eof(); query->Next()) {
      TField* field = query->FieldNamed("v");
      if (type == "DOUBLE") EXPECT_EQ(field->ValueAsFloat(), std::strtod(c.value, nullptr));
      else if (moment) EXPECT_EQ(FieldText(field, type), c.value);
      else EXPECT_EQ(field->ValueAsString(), c.value);
    }
    query->Close();
  }
}

// A time field shows and validates a span as it is: its hours beyond a day
// and its sign.
TEST_F(SQLiteRoundTripTest, TimeSpanIsShownAndValidatedWhole) {
  Tool("CREATE TABLE spans (id INTEGER PRIMARY KEY, v TIME);");
  auto query = NewQuery();
  query->SQL().Add("SELECT id, v FROM spans");
  query->Open();
  TField* field = query->FieldNamed("v");
  std::string validated;
  field->OnValidate = [&](TField* sender) { validated = SqlTimeText(sender->ValueAsDateTime()); };
  query->Append();
  query->FieldNamed("id")->SetValueAsInteger(1);
  field->SetValueAsDateTime(AnsiSqlDateToDateTime("-838:59:58.25"));
  EXPECT_EQ(validated, "-838:59:58.25");
  EXPECT_EQ(field->ValueAsString(), "-838:59:58");
  query->Post();
  query->Close();
  EXPECT_EQ(Tool("SELECT v FROM spans;"), "-838:59:58.25");
}

// Bytes longer than the field are refused by name, never cut to its size;
// the stored value stays.
TEST_F(SQLiteRoundTripTest, BytesLongerThanTheFieldAreRefused) {
  Tool("CREATE TABLE bin (id INTEGER PRIMARY KEY, v VARBINARY(4)); INSERT INTO bin VALUES (1, X'01020304');");
  auto query = NewQuery();
  query->SQL().Add("SELECT id, v FROM bin");
  query->Open();
  query->Edit();
  try {
    query->FieldNamed("v")->SetValueAsString(std::string("\x05\x06\x07\x08\x09", 5));
    ADD_FAILURE() << "five bytes were taken by a field of four";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Value of 5 characters is too long for field 'v' of size 4");
  }
  query->Cancel();
  query->Close();
  EXPECT_EQ(Tool("SELECT hex(v) FROM bin;"), "01020304");
}

// Texts holding NUL bytes, written by the tool as the other program: every
// byte reads back through a query, in the first row and in later ones, and
// goes back whole when the row is posted again or a parameter carries one.
TEST_F(SQLiteRoundTripTest, TextsHoldingNulBytesComeBackWhole) {
  const struct {
    AnsiString text;
    std::string hex;
  } values[] = {{AnsiString("a\0b", 3), "610062"}, {AnsiString(1, '\0'), "00"}, {AnsiString("a\0", 2), "6100"},
                {"plain", "706C61696E"}};
  std::string script = "CREATE TABLE nul (id INTEGER PRIMARY KEY, v VARCHAR(20), w TEXT, other INTEGER);";
  std::string expected;
  for (int id = 1; id <= 4; ++id) {
    const std::string& hex = values[id - 1].hex;
    script += "INSERT INTO nul VALUES (" + std::to_string(id) + ", CAST(X'" + hex + "' AS TEXT), CAST(X'" + hex +
              "' AS TEXT), 0);";
    expected += std::to_string(id) + "|" + hex + "|" + hex + "|text|1\n";
  }
  Tool(script);
  auto query = NewQuery();
  query->SQL().Add("SELECT id, v, w, other FROM nul ORDER BY id");
  query->Open();
  for (int id = 1; !query->Eof(); query->Next(), ++id) {
    SCOPED_TRACE("row " + std::to_string(id));
    const AnsiString& text = values[id - 1].text;
    EXPECT_EQ(query->FieldNamed("v")->ValueAsString(), text);
    EXPECT_EQ(query->FieldNamed("w")->ValueAsString(), text);
    // Posting another column writes v and w back from the cached row.
    query->Edit();
    query->FieldNamed("other")->SetValueAsInteger(1);
    query->Post();
  }
  query->Close();
  query->SQL().Clear();
  query->SQL().Add("INSERT INTO nul (id, v, w, other) VALUES (5, :v, :v, 1)");
  query->Params().RequireParam("v")->SetValueAsString(AnsiString("x\0y", 3));
  query->ExecuteSQL();
  EXPECT_EQ(Tool("SELECT id, hex(v), hex(w), typeof(v), other FROM nul ORDER BY id;"),
            expected + "5|780079|780079|text|1");
}
}  // namespace
