// The Firebird round-trip table: values written through the driver over
// connections in WIN1250 and in UTF8, into a WIN1250 database of the
// embedded engine or a WIN1250 table on the fixture's server, read back by
// isql-fb: Czech text, decimals, stamps, NULLs and binary values up to
// 16 MiB, the binary ones dumped by isql-fb to a file and compared byte for
// byte.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "platform/rtl/datetime.h"
#include "tests/fixtures/firebird/server.h"
#include "tests/sql/drivers/interbase/interbase_test_support.h"
#include "tests/sql/drivers/round_trip.h"
#include "tests/support/file_reader.h"

namespace interbase_test {

using namespace round_trip;

enum class Engine { Embedded, Server };

inline std::string Fixed4(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.4f", value);
  return text;
}

class RoundTripTest : public EmbeddedTest {
protected:
  // The table, in a new WIN1250 file for the embedded engine or under a name
  // of the case's own on the shared server, and a connection to it in
  // charset.
  Ref<IZInterbase6Connection> Prepare(Engine engine, const char* charset, const std::string& table) {
    engine_ = engine;
    const std::string create = "RECREATE TABLE " + table + " (ID INTEGER NOT NULL PRIMARY KEY, "
                               "TXT VARCHAR(60) CHARACTER SET WIN1250, NUM NUMERIC(18,4), STAMP TIMESTAMP, "
                               "BIN BLOB SUB_TYPE 0);\nCOMMIT;\n";
    AnsiString url;
    if (engine == Engine::Embedded) {
      const std::string output = Isql("", CreateDatabaseSql(Path()) + ";\n" + create);
      EXPECT_TRUE(std::filesystem::exists(Path().c_str())) << output;
      url = EmbeddedUrl(Path()) + "?";
    } else {
      const FirebirdServer& server = FirebirdServer::Get();
      IsqlOn(create);
      url = Format("zdbc:firebird-2.1://127.0.0.1:%d/%s?username=%s;password=%s;",
                   {server.port, server.database, server.user, server.password});
    }
    Ref<IZInterbase6Connection> connection =
        Query<IZInterbase6Connection>(DriverManager()->GetConnection(url + "codepage=" + charset));
    connection->Open();
    return connection;
  }

  // isql-fb's output for script on the case's database, with WIN1250 as its
  // own character set so that texts print as the program's bytes.
  std::string IsqlOn(const std::string& script) const {
    std::string connect = "'" + Path() + "'";
    if (engine_ == Engine::Server) {
      const FirebirdServer& server = FirebirdServer::Get();
      connect = "'127.0.0.1/" + std::to_string(server.port) + ":" + server.database + "' USER '" + server.user +
                "' PASSWORD '" + server.password + "'";
    }
    return Isql("", "SET NAMES WIN1250;\nCONNECT " + connect + ";\n" + script);
  }

  // The output lines that begin with "r:", without that mark and trailing
  // blanks.
  std::vector<std::string> IsqlRows(const std::string& script) const {
    std::vector<std::string> rows;
    const std::string output = IsqlOn(script);
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

  // The bytes of a stored binary value as isql-fb dumps them into a file.
  std::string IsqlBlob(const std::string& table, int id) const {
    const std::string output = IsqlOn("SET LIST ON;\nSELECT BIN AS BLOB_ID FROM " + table +
                                      " WHERE ID = " + std::to_string(id) + ";\n");
    char blobId[64] = {};
    const std::size_t at = output.find("BLOB_ID");
    if (at == std::string::npos || std::sscanf(output.c_str() + at, "BLOB_ID %63s", blobId) != 1) {
      ADD_FAILURE() << output;
      return {};
    }
    const std::filesystem::path dump = folder_ / "dump.bin";
    std::filesystem::remove(dump);
    const std::string dumped = IsqlOn("BLOBDUMP " + std::string(blobId) + " " + dump.string() + ";\n");
    EXPECT_TRUE(std::filesystem::exists(dump)) << dumped;
    return FileBytes(dump);
  }

  // Writes every case through writer over a connection in charset and
  // compares what isql-fb reads, then what the driver reads.
  void RoundTrip(Engine engine, Writer writer, const char* charset) {
    const std::string table =
        std::string("RT_") + (writer == Writer::Parameters ? "P_" : "R_") + charset;
    Ref<IZInterbase6Connection> connection = Prepare(engine, charset, table);
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
          (v.bytes ? std::to_string(v.bytes->size()) : "NULL");
      const std::vector<std::string> rows = IsqlRows(
          "SELECT 'r:' || COALESCE(TXT, 'NULL') || '|' || COALESCE(CAST(NUM AS VARCHAR(30)), 'NULL') || '|' || "
          "COALESCE(CAST(STAMP AS VARCHAR(30)), 'NULL') || '|' || COALESCE(CAST(OCTET_LENGTH(BIN) AS VARCHAR(12)), 'NULL') FROM " +
          table + " WHERE ID = " + std::to_string(id) + ";\n");
      EXPECT_EQ(rows, std::vector<std::string>{expected});
      if (v.bytes) {
        const std::string dumped = IsqlBlob(table, id);
        EXPECT_TRUE(dumped == *v.bytes) << "isql-fb dumped " << dumped.size() << " bytes, from "
                                        << Hex(dumped.substr(0, 16));
      }
      connection->Open();
      ExpectReadBack(connection.get(), table, id, v);
    }
    // The shared server keeps no 16 MiB rows behind; a table still in use
    // would make the drop wait.
    connection->Close();
    if (engine == Engine::Server) IsqlOn("DROP TABLE " + table + ";\nCOMMIT;\n");
  }

  Engine engine_ = Engine::Embedded;
};

// The table's cases: each writer over each connection character set.
class RoundTripCase : public RoundTripTest,
                      public ::testing::WithParamInterface<std::tuple<Writer, const char*>> {
protected:
  void Run(Engine engine) { RoundTrip(engine, std::get<0>(GetParam()), std::get<1>(GetParam())); }
};

inline auto RoundTripCases() {
  return ::testing::Combine(::testing::Values(Writer::Parameters, Writer::ResultSet),
                            ::testing::Values("WIN1250", "UTF8"));
}

inline std::string RoundTripCaseName(const ::testing::TestParamInfo<RoundTripCase::ParamType>& info) {
  return std::string(std::get<0>(info.param) == Writer::Parameters ? "Parameters" : "ResultSet") +
         std::get<1>(info.param);
}

}  // namespace interbase_test
