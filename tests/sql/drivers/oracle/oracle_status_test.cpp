// The status check: every client status but success is an error with a
// text, whether the status has a name, the server gave a message, or
// neither.

#include <gtest/gtest.h>

#include "sql/core/sql_exception.h"
#include "sql/drivers/oracle/oracle_utils.h"
#include "tests/sql/drivers/oracle/oracle_test_support.h"

namespace {

using namespace oracle_test;
using OracleStatus = OracleTest;

TEST_F(OracleStatus, EveryStatusButSuccessRaisesWithItsText) {
  Ref<IZOracleConnection> connection = Connect();
  connection->Commit();  // status 0 passes

  const struct {
    sword status;
    int serverCode;
    const char* serverText;
    int expectedCode;
    const char* expectedMessage;
  } cases[] = {
      {1, 0, "", 1, "SQL Error: OCI_SUCCESS_WITH_INFO"},
      {99, 0, "", 99, "SQL Error: OCI_NEED_DATA"},
      {100, 0, "", 100, "SQL Error: OCI_NO_DATA"},
      {-24200, 0, "", -24200, "SQL Error: OCI_CONTINUE"},
      {-3123, 0, "", -3123, "SQL Error: OCI_STILL_EXECUTING"},
      {-2, 0, "", -2, "SQL Error: OCI_INVALID_HANDLE"},
      {-1, 942, "ORA-00942: table or view does not exist", 942,
       "SQL Error: ORA-00942: table or view does not exist"},
      {-1, 0, "", -1, "SQL Error: OCI status -1"},
      {7, 0, "", 7, "SQL Error: OCI status 7"},
  };
  for (const auto& c : cases) {
    ScopedLog log;
    oci_probe::Inject("OCITransCommit", {c.status, c.serverCode, c.serverText});
    try {
      connection->Commit();
      ADD_FAILURE() << "status " << c.status << " passed";
    } catch (const EZSQLException& e) {
      EXPECT_EQ(e.ErrorCode(), c.expectedCode) << c.status;
      EXPECT_EQ(e.Message(), c.expectedMessage) << c.status;
    }
    ASSERT_EQ(log->Events.size(), 1u) << c.status;
    EXPECT_EQ(log->Events[0].Category, lcExecute);
    EXPECT_EQ(log->Events[0].Message, "COMMIT");
    EXPECT_EQ(log->Events[0].ErrorCode, c.expectedCode);
    EXPECT_EQ("SQL Error: " + log->Events[0].ErrorText, c.expectedMessage);
  }
}

TEST_F(OracleStatus, TheServerMessageIsReadFromTheGivenErrorHandle) {
  Ref<IZOracleConnection> connection = Connect();
  IZOraclePlainDriver* plain = connection->GetPlainDriver().get();
  EXPECT_NO_THROW(CheckOracleStatus(plain, connection->GetErrorHandle(), 0, lcOther, "step"));
  ClientStatement statement(connection.get());
  ASSERT_EQ(statement.Prepare("SELECT * FROM missing_table"), OCI_SUCCESS);
  sword status = statement.Execute(connection.get());
  ASSERT_EQ(status, OCI_ERROR);
  try {
    CheckOracleStatus(plain, statement.error, status, lcExecute, "SELECT");
    ADD_FAILURE() << "error passed";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "SQL Error: SQLite: no such table: missing_table");
    EXPECT_NE(e.ErrorCode(), -1);
  }
}

}  // namespace
