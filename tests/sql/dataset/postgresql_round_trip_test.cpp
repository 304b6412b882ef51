// Dates, times, fractions of a second and exact numbers through a query on
// PostgreSQL, and posts that must reach exactly one row: written by a parameter and by a field with Post, left untouched
// while another column of the row is posted with every column (umUpdateAll),
// then read by psql and through the query.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/rtl/format.h"
#include "sql/core/messages.h"
#include "sql/core/sysutils.h"
#include "tests/sql/dataset/error_of.h"
#include "tests/sql/dataset/owned_query.h"
#include "tests/sql/drivers/postgresql/postgresql_test_support.h"

namespace {

enum class Kind { kText, kFloat, kDate, kTime, kStamp };

struct Case {
  const char* type;
  Kind kind;
  const char* value;  // as written and as psql prints it
};

class PostgreSQLRoundTripTest : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterPostgreSQLDriver();
    const PostgreSQLServer& server = PostgreSQLServer::Get();
    connection->SetProtocol("postgresql");
    connection->SetHostName("127.0.0.1");
    connection->SetPort(server.port);
    connection->SetDatabase(server.database.c_str());
    connection->SetUser(server.user.c_str());
    connection->SetPassword("vxpass");
    connection->Properties()->Add("codepage=cp1250");
  }
  void TearDown() override { connection->Free(); }

  OwnedQuery NewQuery() { return NewUpdateAllQuery(connection); }

  TZConnection* connection = new TZConnection(nullptr);
};

TDateTime Moment(const Case& c) { return AnsiSqlDateToDateTime(c.value); }

void SetParameter(TParam* param, const Case& c) {
  switch (c.kind) {
    case Kind::kText: param->SetValueAsString(c.value); break;
    case Kind::kFloat: param->SetValueAsFloat(std::strtod(c.value, nullptr)); break;
    case Kind::kDate: param->SetValueAsDate(Moment(c)); break;
    case Kind::kTime: param->SetValueAsTime(Moment(c)); break;
    case Kind::kStamp: param->SetValueAsDateTime(Moment(c)); break;
  }
}

void SetField(TField* field, const Case& c) {
  switch (c.kind) {
    case Kind::kText: field->SetValueAsString(c.value); break;
    case Kind::kFloat: field->SetValueAsFloat(std::strtod(c.value, nullptr)); break;
    default: field->SetValueAsDateTime(Moment(c)); break;
  }
}

// The field's value in the form psql prints.
std::string FieldValue(TField* field, const Case& c) {
  if (field->IsNull()) return "NULL";
  switch (c.kind) {
    case Kind::kText: return field->ValueAsString();
    case Kind::kFloat: return field->ValueAsFloat() == std::strtod(c.value, nullptr) ? c.value : "other";
    case Kind::kDate: return SqlDateText(field->ValueAsDateTime());
    case Kind::kTime: return SqlTimeText(field->ValueAsDateTime());
    default: return SqlTimestampText(field->ValueAsDateTime());
  }
}

TEST_F(PostgreSQLRoundTripTest, DatesFractionsAndExactNumbersComeBackAsWritten) {
  const Case cases[] = {
      {"date", Kind::kDate, "1899-12-30"},
      {"timestamp", Kind::kStamp, "1899-12-30 00:00:00"},
      {"timestamp(6)", Kind::kStamp, "2024-02-29 23:59:59.123456"},
      {"time(3)", Kind::kTime, "12:34:56.789"},
      {"time(6)", Kind::kTime, "23:59:59.999999"},
      {"numeric(65,30)", Kind::kText, "-99999999999999999999999999999999999.999999999999999999999999999999"},
      {"numeric(65,30)", Kind::kText, "0.000000000000000000000000000001"},
      {"numeric(20,0)", Kind::kText, "99999999999999999999"},
      {"bigint", Kind::kText, "9223372036854775807"},
      {"bigint", Kind::kText, "-9223372036854775808"},
      {"float8", Kind::kFloat, "0.30000000000000004"},
      {"float8", Kind::kFloat, "1e+308"},
  };
  // A table per case, all made by one psql run: the session's catalogue
  // answers stay cached, and each psql start costs a noticeable time.
  const int count = static_cast<int>(std::size(cases));
  auto table = [](int number) { return "rt" + std::to_string(number); };
  std::string script;
  for (int n = 0; n < count; ++n)
    script += "DROP TABLE IF EXISTS " + table(n) + "; CREATE TABLE " + table(n) + " (id int PRIMARY KEY, v " +
              cases[n].type + ", other int); ALTER TABLE " + table(n) + " OWNER TO vx;";
  pg_test::Psql(script);

  std::string oracle, expected;
  for (int n = 0; n < count; ++n) {
    const Case& c = cases[n];
    SCOPED_TRACE(std::string(c.type) + " " + c.value);
    // A query of its own: the fields of one column type do not suit the next.
    auto query = NewQuery();
    try {
      query->SQL().Add("INSERT INTO " + table(n) + " (id, v, other) VALUES (1, :v, 0)");
      SetParameter(query->Params().RequireParam("v"), c);
      query->ExecuteSQL();

      query->SQL().Clear();
      query->SQL().Add("SELECT id, v, other FROM " + table(n) + " ORDER BY id");
      query->Open();
      query->Append();
      query->FieldNamed("id")->SetValueAsInteger(2);
      SetField(query->FieldNamed("v"), c);
      query->FieldNamed("other")->SetValueAsInteger(0);
      query->Post();
      // Posting another column writes every column from the cached row: the
      // untouched value must go back as it was read.
      query->First();
      query->Edit();
      query->FieldNamed("other")->SetValueAsInteger(1);
      query->Post();
      query->Refresh();
      for (query->First(); !query->Eof(); query->Next())
        EXPECT_EQ(FieldValue(query->FieldNamed("v"), c), c.value);
      query->Close();
    } catch (const Exception& e) {
      ADD_FAILURE() << e.Message();
    }
    oracle += std::string(n ? " UNION ALL " : "") + "(SELECT '" + table(n) + "', v::text, other FROM " + table(n) +
              " ORDER BY id)";
    expected += std::string(n ? "\n" : "") + table(n) + "|" + c.value + "|1\n" + table(n) + "|" + c.value + "|0";
  }
  EXPECT_EQ(pg_test::Psql(oracle), expected);
}

// UPDATE and DELETE have no row limit here: a post that would change two
// equal rows of a table without a key, or a row that is gone, is refused by
// name and the server's rows stay as they were, with and without an open
// transaction.
TEST_F(PostgreSQLRoundTripTest, PostReachesExactlyOneRowOrIsRolledBack) {
  for (const bool inTransaction : {false, true}) {
    SCOPED_TRACE(inTransaction ? "in a transaction" : "auto-commit");
    pg_test::Psql("DROP TABLE IF EXISTS twins; CREATE TABLE twins (a int, f real); ALTER TABLE twins OWNER TO vx;"
                  "INSERT INTO twins VALUES (1, 0.5), (1, 0.5), (2, 0.1)");
    if (inTransaction) {
      connection->SetTransactIsolationLevel(tiReadCommitted);
      connection->SetAutoCommit(false);
    }
    auto query = NewQuery();
    query->SQL().Add("SELECT a, f FROM twins ORDER BY a");
    query->Open();
    const std::string both = Format(SZUpdateRecordCount, {2});
    query->Edit();
    query->FieldNamed("a")->SetValueAsInteger(3);
    EXPECT_EQ(ErrorOf<Exception>([&] { query->Post(); }), both);
    query->Cancel();
    EXPECT_EQ(ErrorOf<Exception>([&] { query->Delete(); }), both);
    // A row another session changed meanwhile: none matches.
    pg_test::Psql("UPDATE twins SET a = 5 WHERE a = 2");
    query->Last();
    query->Edit();
    query->FieldNamed("a")->SetValueAsInteger(4);
    EXPECT_EQ(ErrorOf<Exception>([&] { query->Post(); }), Format(SZUpdateRecordCount, {0}));
    query->Cancel();
    query->Close();
    if (inTransaction) connection->Commit();
    EXPECT_EQ(pg_test::Psql("SELECT string_agg(a::text, ',' ORDER BY a) FROM twins"), "1,1,5");
  }
}

}  // namespace
