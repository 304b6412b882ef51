// The DB-Library driver's round-trip table against the responder: Czech
// text, NULL in every type and 16 MiB binary values, written through
// parameters and through an updatable result set, read back by sqlite3 from
// the responder's database file and compared byte for byte.

#include "tests/sql/drivers/dblib/dblib_test_support.h"

#include "platform/rtl/datetime.h"
#include "platform/rtl/text.h"
#include "tests/sql/drivers/round_trip.h"

namespace dblib_test {
namespace {

using namespace round_trip;

class DBLibRoundTrip : public ResponderTest, public ::testing::WithParamInterface<Writer> {};

TEST_P(DBLibRoundTrip, TheToolReadsWhatTheDriverWrote) {
  Ref<IZDBLibConnection> connection = Open();
  connection->InternalExecuteStatement(
      "create table rt (id int primary key, txt varchar(60), num float, stamp datetime, bin image)");
  const std::vector<Values> cases = Cases();
  for (int id = 1; id <= static_cast<int>(cases.size()); ++id) {
    const Values& v = cases[id - 1];
    SCOPED_TRACE(v.label);
    Write(connection.get(), GetParam(), "rt", id, v);
    // The responder holds text in UTF-8.
    const std::string expected =
        (v.text ? Hex(AnsiToUtf8(*v.text)) : "NULL") + "|" + (v.number ? Printed(*v.number) : "NULL") + "|" +
        (v.stamp ? FormatDateTime("yyyy-mm-dd hh:nn:ss", *v.stamp) : "NULL") + "|" + (v.bytes ? Hex(*v.bytes) : "NULL");
    const std::string read = Sqlite(
        "select iif(txt is null, 'NULL', hex(txt)), iif(num is null, 'NULL', printf('%.15g', num)), "
        "coalesce(strftime('%Y-%m-%d %H:%M:%S', stamp), 'NULL'), iif(bin is null, 'NULL', hex(bin)) "
        "from rt where id = " + std::to_string(id));
    EXPECT_TRUE(read == expected) << "sqlite3 read " << read.substr(0, 200);
    ExpectReadBack(connection.get(), "rt", id, v);
  }
}

INSTANTIATE_TEST_SUITE_P(Writers, DBLibRoundTrip, ::testing::Values(Writer::Parameters, Writer::ResultSet),
                         [](const auto& info) { return info.param == Writer::Parameters ? "Parameters" : "ResultSet"; });

}  // namespace
}  // namespace dblib_test
