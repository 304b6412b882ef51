// Values written through the PostgreSQL driver and read by psql, and values
// psql wrote read through the driver: Czech text under the program's own
// code page name, NULLs, 16 MiB binary values, NaN and the infinities, and
// dates before year 1.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/rtl/datetime.h"
#include "tests/sql/drivers/postgresql/postgresql_test_support.h"
#include "tests/sql/drivers/round_trip.h"

namespace {

using namespace pg_test;
using namespace round_trip;

class PostgreSQLRoundTrip : public ::testing::TestWithParam<Writer> {};

TEST_P(PostgreSQLRoundTrip, PsqlReadsWhatTheDriverWrote) {
  // A table per writer: the two run side by side.
  const std::string table = GetParam() == Writer::Parameters ? "rt_params" : "rt_rows";
  MakeTable(table, "id int PRIMARY KEY, txt varchar(60), num float8, stamp timestamp(3), bin bytea");
  Ref<IZPostgreSQLConnection> connection = Connect({"codepage=cp1250"});
  const std::vector<Values> cases = Cases();
  for (int id = 1; id <= static_cast<int>(cases.size()); ++id) {
    const Values& v = cases[id - 1];
    SCOPED_TRACE(v.label);
    Write(connection.get(), GetParam(), table, id, v);
    connection->Commit();
    const std::string expected =
        (v.text ? Hex(*v.text) : "NULL") + "|" + (v.number ? Printed(*v.number) : "NULL") + "|" +
        (v.stamp ? FormatDateTime("yyyy-mm-dd hh:nn:ss", *v.stamp) : "NULL") + "|" + (v.bytes ? Hex(*v.bytes) : "NULL");
    EXPECT_TRUE(Psql("SELECT coalesce(upper(encode(convert_to(txt, 'WIN1250'), 'hex')), 'NULL'), coalesce(num::text, "
                     "'NULL'), coalesce(stamp::text, 'NULL'), coalesce(upper(encode(bin, 'hex')), 'NULL') FROM " + table +
                     " WHERE id = " + std::to_string(id)) == expected)
        << "psql reads other values";
    ExpectReadBack(connection.get(), table, id, v);
  }
}

INSTANTIATE_TEST_SUITE_P(Writers, PostgreSQLRoundTrip, ::testing::Values(Writer::Parameters, Writer::ResultSet),
                         [](const auto& info) { return info.param == Writer::Parameters ? "Parameters" : "ResultSet"; });

TEST(PostgreSQLValues, NotANumberAndTheInfinitiesAreValues) {
  MakeTable("special", "id int, d float8, r real, n numeric");
  Ref<IZPostgreSQLConnection> connection = Connect();
  const double inf = std::numeric_limits<double>::infinity();
  const double values[] = {std::nan(""), inf, -inf};
  Ref<IZPreparedStatement> insert = connection->PrepareStatement("INSERT INTO special VALUES (?, ?, ?, ?)");
  for (int id = 0; id < 3; ++id) {
    insert->SetInt(1, id);
    insert->SetDouble(2, values[id]);
    insert->SetFloat(3, static_cast<float>(values[id]));
    insert->SetBigDecimal(4, values[id]);
    insert->ExecuteUpdatePrepared();
  }
  connection->Commit();
  EXPECT_EQ(Psql("SELECT string_agg(d || ' ' || r || ' ' || n, ',' ORDER BY id) FROM special"),
            "NaN NaN NaN,Infinity Infinity Infinity,-Infinity -Infinity -Infinity");
  Ref<IZResultSet> rows = connection->CreateStatement()->ExecuteQuery("SELECT d, r, n FROM special ORDER BY id");
  for (double value : values) {
    ASSERT_TRUE(rows->Next());
    for (int column = 1; column <= 3; ++column) {
      const long double read = column == 3 ? rows->GetBigDecimal(column) : rows->GetDouble(column);
      if (std::isnan(value)) EXPECT_TRUE(std::isnan(read)) << column;
      else EXPECT_EQ(read, value) << column;
    }
  }
}

TEST(PostgreSQLValues, DatesBeforeYearOneTravelAsBC) {
  MakeTable("bc", "id int, d date, ts timestamp");
  // 15 March 44 BC is the year -43 of the calendar arithmetic; 1 BC was a leap year.
  struct {
    int id;
    const char* date;
    const char* stamp;
  } const cases[] = {
      {1, "0044-03-15 BC", "0044-03-15 12:30:00 BC"},
      {2, "0001-02-29 BC", "0001-12-31 23:59:59 BC"},
      {3, "0001-01-01", "1850-03-04 05:06:07"},
  };
  for (const auto& c : cases)
    Psql("INSERT INTO bc VALUES (" + std::to_string(c.id) + ", '" + c.date + "', '" + c.stamp + "')");
  Ref<IZPostgreSQLConnection> connection = Connect();
  Ref<IZResultSet> rows = connection->CreateStatement()->ExecuteQuery("SELECT d, ts FROM bc ORDER BY id");
  Ref<IZPreparedStatement> insert = connection->PrepareStatement("INSERT INTO bc VALUES (?, ?, ?)");
  std::vector<TDateTime> dates;
  while (rows->Next()) {
    dates.push_back(rows->GetDate(1));
    insert->SetInt(1, 10 + static_cast<int>(dates.size()));
    insert->SetDate(2, rows->GetDate(1));
    insert->SetTimestamp(3, rows->GetTimestamp(2));
    insert->ExecuteUpdatePrepared();
  }
  connection->Commit();
  ASSERT_EQ(dates.size(), 3u);
  EXPECT_EQ(dates[2], EncodeDate(1, 1, 1));
  EXPECT_EQ(dates[1], EncodeDate(1, 1, 1) - 366 + 59) << "29 February 1 BC, 366 - 59 days before 1 January 1";
  for (const auto& c : cases)
    EXPECT_EQ(Psql("SELECT d || '|' || ts FROM bc WHERE id = " + std::to_string(10 + c.id)),
              std::string(c.date) + "|" + c.stamp);
}

}  // namespace
