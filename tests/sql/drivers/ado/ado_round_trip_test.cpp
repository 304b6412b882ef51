// The ADO driver's round-trip table against both ODBC drivers: Czech text,
// NULL in every type and 16 MiB binary values, written through parameters and
// through an updatable result set, read back by sqlite3 and psql and compared
// byte for byte.

#include <gtest/gtest.h>

#include <tuple>

#include "platform/rtl/datetime.h"
#include "tests/sql/drivers/ado/ado_test_support.h"
#include "tests/sql/drivers/round_trip.h"

namespace {

using namespace ado_test;
using namespace round_trip;

class AdoRoundTrip : public testing::TestWithParam<std::tuple<Peer, Writer>> {
protected:
  bool IsPostgreSQL() const { return std::get<0>(GetParam()) == Peer::PostgreSQL; }
  PeerDatabase db{std::get<0>(GetParam())};
};

TEST_P(AdoRoundTrip, ThePeersToolReadsWhatTheDriverWrote) {
  const Writer writer = std::get<1>(GetParam());
  Ref<IZAdoConnection> connection = db.DriverConnect();
  // A table per writer: the shared database's table names keep only the
  // start of the test's name.
  const std::string table = db.Table(writer == Writer::Parameters ? "rt_p" : "rt_r");
  connection->InternalExecuteStatement("CREATE TABLE " + table + " (id integer primary key, txt varchar(60), " +
                                       (IsPostgreSQL() ? "num float8, stamp timestamp, bin bytea)"
                                                       : "num real, stamp timestamp, bin blob)"));
  // The peers hold text in UTF-8; both tools print it, and the binary value,
  // as hexadecimal digits.
  const std::string columns =
      IsPostgreSQL() ? "coalesce(upper(encode(convert_to(txt, 'UTF8'), 'hex')), 'NULL'), coalesce(num::text, 'NULL'), "
                       "coalesce(stamp::text, 'NULL'), coalesce(upper(encode(bin, 'hex')), 'NULL')"
                     : "iif(txt IS NULL, 'NULL', hex(txt)), iif(num IS NULL, 'NULL', printf('%.15g', num)), "
                       "coalesce(strftime('%Y-%m-%d %H:%M:%S', stamp), 'NULL'), iif(bin IS NULL, 'NULL', hex(bin))";
  const std::vector<Values> cases = Cases();
  for (int id = 1; id <= static_cast<int>(cases.size()); ++id) {
    const Values& v = cases[id - 1];
    SCOPED_TRACE(v.label);
    Write(connection.get(), writer, table, id, v);
    const std::string expected =
        (v.text ? Hex(AnsiToUtf8(*v.text)) : "NULL") + "|" + (v.number ? Printed(*v.number) : "NULL") + "|" +
        (v.stamp ? FormatDateTime("yyyy-mm-dd hh:nn:ss", *v.stamp) : "NULL") + "|" + (v.bytes ? Hex(*v.bytes) : "NULL");
    const std::string read = db.Oracle("SELECT " + columns + " FROM " + table + " WHERE id = " + std::to_string(id));
    EXPECT_TRUE(read == expected) << "the peer's tool read " << read.substr(0, 200);
    ExpectReadBack(connection.get(), table, id, v);
  }
}

INSTANTIATE_TEST_SUITE_P(PeersAndWriters, AdoRoundTrip,
                         testing::Combine(testing::Values(Peer::SQLite, Peer::PostgreSQL),
                                          testing::Values(Writer::Parameters, Writer::ResultSet)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param) == Peer::SQLite ? "SQLite" : "PostgreSQL") +
                                  (std::get<1>(info.param) == Writer::Parameters ? "Parameters" : "ResultSet");
                         });

}  // namespace
