// The connection over the network to the fixture's Firebird server: the
// attach string with a port, the server's login check, PingServer before
// and after a server goes away, and the round-trip table in WIN1250.

#include <gtest/gtest.h>

#include <filesystem>

#include "sql/core/sql_exception.h"
#include "tests/fixtures/firebird/server.h"
#include "tests/sql/drivers/interbase/interbase_round_trip.h"

namespace {

using namespace interbase_test;

AnsiString ServerUrl(const FirebirdServer& server, const AnsiString& password) {
  return Format("zdbc:firebird-2.1://127.0.0.1:%d/%s?username=%s;password=%s",
                {server.port, server.database, server.user, password});
}

TEST(InterbaseServer, AUrlWithAPortAttachesThroughTheServer) {
  const FirebirdServer& server = FirebirdServer::Get();
  Ref<IZInterbase6Connection> connection =
      Query<IZInterbase6Connection>(DriverManager()->GetConnection(ServerUrl(server, server.password)));
  auto* interbase = dynamic_cast<TZInterbase6Connection*>(connection.get());
  EXPECT_EQ(interbase->AttachString(), Format("127.0.0.1/%d:%s", {server.port, server.database}));
  connection->Open();
  EXPECT_EQ(QueryInteger(connection.get(), "SELECT CAST(COUNT(*) AS BIGINT) FROM MON$ATTACHMENTS "
                                           "WHERE MON$ATTACHMENT_ID = CURRENT_CONNECTION "
                                           "AND MON$REMOTE_PROTOCOL = 'TCPv4' AND MON$USER = 'SYSDBA'"),
            1);
  EXPECT_EQ(connection->PingServer(), 0);
}

TEST(InterbaseServer, AWrongPasswordIsRefusedByTheServer) {
  const FirebirdServer& server = FirebirdServer::Get();
  Ref<IZConnection> connection = DriverManager()->GetConnection(ServerUrl(server, "wrong"));
  try {
    connection->Open();
    ADD_FAILURE() << "attached with a wrong password";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.ErrorCode(), -902);
    EXPECT_EQ(e.Message(),
              "SQL Error:  Your user name and password are not defined. Ask your database administrator to set up a "
              "Firebird login.. Error Code: -902. Unsuccessful execution caused by a system error that precludes "
              "successful execution of subsequent statements");
  }
  EXPECT_TRUE(connection->IsClosed());
}

// A server of the test's own, stopped and removed however the test ends.
struct OwnServer {
  OwnServer() : folder(std::filesystem::temp_directory_path() / ("vx-firebird-ping-" + std::to_string(getpid()))) {
    server = FirebirdServer::Start(folder.string());
  }
  ~OwnServer() {
    server.Stop();
    std::filesystem::remove_all(folder);
  }
  std::filesystem::path folder;
  FirebirdServer server;
};

TEST(InterbaseServer, PingFailsOnceTheServerIsGone) {
  OwnServer own;
  Ref<IZConnection> connection = DriverManager()->GetConnection(ServerUrl(own.server, own.server.password));
  connection->Open();
  EXPECT_EQ(connection->PingServer(), 0);
  own.server.Stop();
  EXPECT_EQ(connection->PingServer(), -1);
}

using InterbaseRoundTripOnServer = RoundTripCase;

TEST_P(InterbaseRoundTripOnServer, IsqlReadsWhatTheDriverWrote) { Run(Engine::Server); }

INSTANTIATE_TEST_SUITE_P(WritersAndCharacterSets, InterbaseRoundTripOnServer, RoundTripCases(), RoundTripCaseName);

}  // namespace
