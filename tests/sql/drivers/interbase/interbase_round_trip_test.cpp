// Values written through the driver into a WIN1250 database of the embedded
// engine over connections in WIN1250 and in UTF8, read back by isql-fb:
// Czech text, decimals, stamps, NULLs and binary values up to 16 MiB.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <tuple>

#include "platform/rtl/datetime.h"
#include "tests/sql/drivers/interbase/interbase_test_support.h"
#include "tests/sql/drivers/round_trip.h"

namespace {

using namespace interbase_test;
using namespace round_trip;

// The server's HASH of a short value, the 28-bit ELF hash of its bytes;
// longer blobs it hashes segment by segment, which only their length and the
// driver's own byte-for-byte reading check here.
std::string ServerHash(const AnsiString& bytes) {
  if (bytes.size() >= 4096) return "-";
  std::uint64_t hash = 0;
  for (unsigned char c : bytes) {
    hash = (hash << 4) + c;
    const std::uint64_t high = hash & 0xF0000000u;
    if (high) hash ^= high >> 24;
    hash &= ~high;
  }
  return std::to_string(hash);
}

std::string Fixed4(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.4f", value);
  return text;
}

// isql-fb on database with WIN1250 as its own character set, so texts print
// as the program's bytes; the output lines that begin with "r:", without that
// mark and trailing blanks.
std::vector<std::string> IsqlRows(const std::string& database, const std::string& script) {
  std::vector<std::string> rows;
  const std::string output = Isql("", "SET NAMES WIN1250;\nCONNECT '" + database + "';\n" + script);
  std::size_t at = 0;
  while ((at = output.find("r:", at)) != std::string::npos) {
    std::size_t end = output.find('\n', at);
    std::string row = output.substr(at + 2, end == std::string::npos ? std::string::npos : end - at - 2);
    while (!row.empty() && row.back() == ' ') row.pop_back();
    rows.push_back(row);
    at = end;
  }
  if (rows.empty()) ADD_FAILURE() << output;
  return rows;
}

class InterbaseRoundTrip : public EmbeddedTest, public ::testing::WithParamInterface<std::tuple<Writer, const char*>> {
protected:
  // A WIN1250 database with the table, and a connection to it in charset.
  Ref<IZInterbase6Connection> Prepare(const char* charset) {
    const std::string output = Isql("", CreateDatabaseSql(Path()) + ";\nCREATE TABLE RT (ID INTEGER NOT NULL "
                                        "PRIMARY KEY, TXT VARCHAR(60), NUM NUMERIC(18,4), STAMP TIMESTAMP, "
                                        "BIN BLOB SUB_TYPE 0);\nCOMMIT;\n");
    EXPECT_TRUE(std::filesystem::exists(Path().c_str())) << output;
    Ref<IZInterbase6Connection> connection = Connection(AnsiString("codepage=") + charset);
    connection->Open();
    return connection;
  }
};

TEST_P(InterbaseRoundTrip, IsqlReadsWhatTheDriverWrote) {
  const auto [writer, charset] = GetParam();
  const std::string table = "RT";
  Ref<IZInterbase6Connection> connection = Prepare(charset);
  const std::vector<Values> cases = Cases();
  for (int id = 1; id <= static_cast<int>(cases.size()); ++id) {
    const Values& v = cases[id - 1];
    SCOPED_TRACE(v.label);
    Write(connection.get(), writer, table, id, v);
    // The embedded engine lets one process at a time have the file.
    connection->Close();
    const std::string expected =
        (v.text ? std::string(*v.text) : "NULL") + "|" +
        (v.number ? Fixed4(*v.number) : "NULL") + "|" +
        (v.stamp ? FormatDateTime("yyyy-mm-dd hh:nn:ss", *v.stamp) + ".0000" : "NULL") + "|" +
        (v.bytes ? std::to_string(v.bytes->size()) + ":" + ServerHash(*v.bytes) : "NULL");
    const std::vector<std::string> rows = IsqlRows(Path(),
        "SELECT 'r:' || COALESCE(TXT, 'NULL') || '|' || COALESCE(CAST(NUM AS VARCHAR(30)), 'NULL') || '|' || "
        "COALESCE(CAST(STAMP AS VARCHAR(30)), 'NULL') || '|' || COALESCE(OCTET_LENGTH(BIN) || ':' || "
        "IIF(OCTET_LENGTH(BIN) < 4096, HASH(BIN), '-'), 'NULL') FROM " + table + " WHERE ID = " + std::to_string(id) + ";\n");
    EXPECT_EQ(rows, std::vector<std::string>{expected});
    connection->Open();
    ExpectReadBack(connection.get(), table, id, v);
  }
}

INSTANTIATE_TEST_SUITE_P(WritersAndCharacterSets, InterbaseRoundTrip,
                         ::testing::Combine(::testing::Values(Writer::Parameters, Writer::ResultSet),
                                            ::testing::Values("WIN1250", "UTF8")),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param) == Writer::Parameters ? "Parameters"
                                                                                             : "ResultSet") +
                                  std::get<1>(info.param);
                         });

// A character the program's code page lacks is named, never turned into "?".
using InterbaseUtf8 = InterbaseRoundTrip;

TEST_F(InterbaseUtf8, ACharacterWithoutAWindows1250FormIsRefusedByName) {
  Ref<IZInterbase6Connection> connection = Prepare("UTF8");
  Ref<IZResultSet> rows =
      connection->CreateStatement()->ExecuteQuery("SELECT 'ž€' || _UTF8 x'E282AC' FROM RDB$DATABASE");
  ASSERT_TRUE(rows->Next());
  EXPECT_EQ(rows->GetString(1), "ž€€");
  try {
    rows = connection->CreateStatement()->ExecuteQuery("SELECT _UTF8 x'E28691' FROM RDB$DATABASE");
    rows->Next();
    rows->GetString(1);
    ADD_FAILURE() << "read an arrow as Windows-1250";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "The character U+2191 has no Windows-1250 form");
  }
}

}  // namespace
