// Helpers of the Interbase/Firebird driver tests: a fresh folder per test for
// database files the embedded engine opens, URLs for them, client
// statements run through a connection's plain driver (the driver's own
// statements come later), and isql-fb as the outside view of a file.
#pragma once

#include <gtest/gtest.h>
#include <ibase.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "platform/rtl/format.h"
#include "platform/rtl/lists.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/drivers/interbase/interbase_connection.h"
#include "sql/drivers/interbase/interbase_driver.h"
#include "sql/drivers/interbase/interbase_execution.h"
#include "sql/drivers/interbase/interbase_params_sqlda.h"
#include "sql/drivers/interbase/interbase_result_sqlda.h"
#include "sql/drivers/interbase/interbase_utils.h"
#include "tests/sql/core/log_recorder.h"
#include "tests/support/shell_runner.h"
#include "tests/support/temp_folder.h"

namespace interbase_test {

// Every test program that uses this connects through the driver manager.
inline const bool kDriverRegistered = (RegisterInterbaseDriver(), true);

// The database URL of a file for the embedded engine: an empty host, so the
// client opens the file itself.
inline AnsiString EmbeddedUrl(const AnsiString& path, const AnsiString& protocol = "firebird-2.1") {
  return Format("zdbc:%s:///%s", {protocol, path});
}

inline AnsiString CreateDatabaseSql(const AnsiString& path) {
  return Format("CREATE DATABASE '%s' DEFAULT CHARACTER SET WIN1250", {path});
}

// isql-fb on a database (file path or attach string), the script on its
// standard input; its output.
inline std::string Isql(const std::string& database, const std::string& script) {
  const std::string file = std::filesystem::temp_directory_path() / ("vx-isql-" + std::to_string(getpid()) + ".sql");
  FILE* out = fopen(file.c_str(), "w");
  fputs(script.c_str(), out);
  fclose(out);
  const std::string target = database.empty() ? "" : "'" + database + "'";
  std::string output = RunShell("isql-fb -q " + target + " < '" + file + "' 2>&1").output;
  std::filesystem::remove(file);
  return output;
}

// A folder of its own per test, with a database created in it by isql-fb.
class EmbeddedTest : public ::testing::Test {
protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = TestScratchFolder() /
              (std::string("vx-interbase-") + info->test_suite_name() + "-" + info->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  AnsiString Path(const char* name = "t.fdb") const { return (folder_ / name).string(); }

  // t.fdb with table T (one integer column A).
  void CreateDatabase() {
    const std::string output =
        Isql("", "CREATE DATABASE '" + Path() + "';\nCREATE TABLE T (A INTEGER);\nCOMMIT;\n");
    ASSERT_TRUE(std::filesystem::exists(Path().c_str())) << output;
  }

  // A closed connection to t.fdb with properties (lines separated by ";").
  Ref<IZInterbase6Connection> Connection(const AnsiString& properties = "",
                                         const AnsiString& protocol = "firebird-2.1") const {
    AnsiString url = EmbeddedUrl(Path(), protocol);
    if (!properties.empty()) url += "?" + properties;
    return Query<IZInterbase6Connection>(DriverManager()->GetConnection(url));
  }

  std::filesystem::path folder_;
};

// A client statement of a connection, freed with this object.
class ClientStatement {
public:
  explicit ClientStatement(IZInterbase6Connection* connection)
      : connection_(connection), plain_(connection->GetPlainDriver()) {
    plain_->isc_dsql_allocate_statement(status_, connection_->GetDBHandle(), &handle_);
    Check();
  }
  ~ClientStatement() {
    if (handle_) plain_->isc_dsql_free_statement(status_, &handle_, DSQL_drop);
  }

  // The single integer value of a query (cast to BIGINT in the text).
  std::int64_t Integer(const AnsiString& sql) {
    TZIbXSQLDA area = {};  // room for one variable
    auto* da = &area;
    da->version = SQLDA_VERSION1;
    da->sqln = 1;
    plain_->isc_dsql_prepare(status_, connection_->GetTrHandle(), &handle_, 0, sql.c_str(),
                             connection_->GetDialect(), da);
    Check(sql);
    ISC_INT64 value = 0;
    short indicator = 0;
    da->sqlvar[0].sqltype = SQL_INT64 + 1;
    da->sqlvar[0].sqldata = reinterpret_cast<ISC_SCHAR*>(&value);
    da->sqlvar[0].sqlind = &indicator;
    plain_->isc_dsql_execute(status_, connection_->GetTrHandle(), &handle_, connection_->GetDialect(), nullptr);
    Check(sql);
    const ISC_STATUS fetched = plain_->isc_dsql_fetch(status_, &handle_, connection_->GetDialect(), da);
    Check(sql);
    plain_->isc_dsql_free_statement(status_, &handle_, DSQL_close);
    EXPECT_EQ(fetched, 0) << "no row: " << sql;
    return value;
  }

private:
  void Check(const AnsiString& sql = AnsiString()) {
    CheckInterbase6Error(plain_.get(), status_, lcExecute, sql);
  }

  IZInterbase6Connection* connection_;
  Ref<IZInterbasePlainDriver> plain_;
  ISC_STATUS_VECTOR status_ = {};
  isc_stmt_handle handle_ = 0;
};

// Runs a statement without result in the connection's transaction.
inline void Execute(IZInterbase6Connection* connection, const AnsiString& sql) {
  ISC_STATUS_VECTOR status = {};
  connection->GetPlainDriver()->isc_dsql_execute_immediate(status, connection->GetDBHandle(),
                                                           connection->GetTrHandle(), 0, sql.c_str(),
                                                           connection->GetDialect(), nullptr);
  CheckInterbase6Error(connection->GetPlainDriver().get(), status, lcExecute, sql);
}

inline std::int64_t QueryInteger(IZInterbase6Connection* connection, const AnsiString& sql) {
  return ClientStatement(connection).Integer(sql);
}

// The real client, counting the calls tests watch.
class CountingPlainDriver : public TZFirebird21PlainDriver {
public:
  ISC_STATUS isc_open_blob2(ISC_STATUS* status, isc_db_handle* db, isc_tr_handle* tr, isc_blob_handle* blob,
                            ISC_QUAD* blobId, ISC_USHORT bpbLength, const ISC_UCHAR* bpb) override {
    ++blobOpens;
    return TZFirebird21PlainDriver::isc_open_blob2(status, db, tr, blob, blobId, bpbLength, bpb);
  }
  ISC_STATUS isc_database_info(ISC_STATUS* status, isc_db_handle* db, short itemLength, const ISC_SCHAR* items,
                               short bufferLength, ISC_SCHAR* buffer) override {
    ++databaseInfos;
    return TZFirebird21PlainDriver::isc_database_info(status, db, itemLength, items, bufferLength, buffer);
  }
  ISC_STATUS isc_dsql_fetch(ISC_STATUS* status, isc_stmt_handle* stmt, unsigned short dialect,
                            const TZIbXSQLDA* sqlda) override {
    ++fetches;
    return TZFirebird21PlainDriver::isc_dsql_fetch(status, stmt, dialect, sqlda);
  }
  int blobOpens = 0;
  int databaseInfos = 0;
  int fetches = 0;
};

// A database made by isql-fb from a script, then attached: the descriptor
// area and execution routines run on the connection's handles. isql-fb sees
// the file again once the test has detached (the engine locks it).
class AttachedTest : public EmbeddedTest {
protected:
  void TearDown() override {
    Detach();
    EmbeddedTest::TearDown();
  }

  // script runs after CREATE DATABASE (before it with prelude), then COMMIT.
  void Attach(const std::string& script, const AnsiString& properties = "", const std::string& prelude = "") {
    const std::string output = Isql("", prelude + "CREATE DATABASE '" + Path() + "';\n" + script + "COMMIT;\n");
    ASSERT_TRUE(std::filesystem::exists(Path().c_str())) << output;
    connection_ = Connection(properties);
    connection_->Open();
  }
  // Attaches through the counting client instead of the driver's own.
  Ref<CountingPlainDriver> AttachCounting(const std::string& script, const AnsiString& properties = "") {
    const std::string output = Isql("", "CREATE DATABASE '" + Path() + "';\n" + script + "COMMIT;\n");
    EXPECT_TRUE(std::filesystem::exists(Path().c_str())) << output;
    Ref<CountingPlainDriver> counting = MakeRef<CountingPlainDriver>();
    counting->Initialize();
    TStringList info;
    info.SetText(properties);
    connection_ = MakeRef<TZInterbase6Connection>(Ref<IZDriver>(InterbaseDriver()), EmbeddedUrl(Path()), counting,
                                                  "", 0, Path(), "", "", &info);
    connection_->Open();
    return counting;
  }
  // The statements other attachments hold, seen from a new attachment.
  std::int64_t StatementsOfOthers() const {
    Ref<IZInterbase6Connection> other = Connection();
    other->Open();
    return QueryInteger(other.get(), "SELECT CAST(COUNT(*) AS BIGINT) FROM MON$STATEMENTS "
                                     "WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION");
  }
  // Commits and closes the connection.
  void Detach() {
    if (!connection_) return;
    connection_->Commit();
    connection_->Close();
    connection_ = nullptr;
  }
  // isql-fb's output for a query on the detached file.
  std::string Outside(const std::string& query) {
    Detach();
    return Isql(Path(), query);
  }

  IZInterbasePlainDriver* Plain() const { return connection_->GetPlainDriver().get(); }
  isc_db_handle* Db() const { return connection_->GetDBHandle(); }
  isc_tr_handle* Tr() const { return connection_->GetTrHandle(); }
  std::uint16_t Dialect() const { return connection_->GetDialect(); }

  Ref<TZParamsSQLDA> ParamsArea() const { return MakeRef<TZParamsSQLDA>(connection_->GetPlainDriver(), Db(), Tr()); }
  Ref<TZResultSQLDA> ResultArea() const { return MakeRef<TZResultSQLDA>(connection_->GetPlainDriver(), Db(), Tr()); }

  // A prepared statement handle, dropped with this object unless the test
  // has detached already (detaching drops it).
  struct Prepared {
    Prepared(AttachedTest* test, const AnsiString& sql)
        : test(test), type(PrepareStatement(test->Plain(), test->Db(), test->Tr(), test->Dialect(), sql, handle)) {}
    ~Prepared() {
      if (!test->connection_) return;
      try {
        FreeStatement(test->Plain(), handle);
      } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
      }
    }
    AttachedTest* test;
    isc_stmt_handle handle = 0;
    int type;
  };

  // Describes the statement's parameters into area without binding values.
  void DescribeParameters(Prepared& statement, IZParamsSQLDA* area, int count) {
    PrepareParameters(Plain(), "", TZVariantDynArray(count), TZSQLTypeArray(count, stInteger), count, Dialect(),
                      statement.handle, area);
  }

  void Execute(Prepared& statement, IZParamsSQLDA* params = nullptr) {
    ISC_STATUS_VECTOR status = {};
    Plain()->isc_dsql_execute(status, Tr(), &statement.handle, Dialect(), params ? params->GetData() : nullptr);
    CheckInterbase6Error(Plain(), status, lcExecute);
  }
  // Executes a query and fetches its next row into area: false at the end.
  bool Fetch(Prepared& statement, IZResultSQLDA* area) {
    ISC_STATUS_VECTOR status = {};
    const ISC_STATUS result = Plain()->isc_dsql_fetch(status, &statement.handle, Dialect(), area->GetData());
    if (result == 100) return false;
    CheckInterbase6Error(Plain(), status, lcExecute);
    area->ClearBlobCache();
    return true;
  }
  // The first row of a query in a new result area.
  Ref<TZResultSQLDA> Row(Prepared& statement, const AnsiString& sql) {
    Ref<TZResultSQLDA> area = ResultArea();
    PrepareResultSqlData(Plain(), Dialect(), sql, statement.handle, area.get());
    Execute(statement);
    EXPECT_TRUE(Fetch(statement, area.get())) << sql;
    return area;
  }

  Ref<IZInterbase6Connection> connection_;
};

// A database with what the statements and the catalogue are asked about:
// tables with keys, indexes and grants, a view, a computed column, a
// generator and two procedures (one with outputs, one selectable).
inline constexpr char kCatalogueSchema[] =
    "CREATE TABLE DEPT (ID INTEGER NOT NULL PRIMARY KEY, NAME VARCHAR(20));\n"
    "CREATE TABLE EMP (ID INTEGER NOT NULL PRIMARY KEY, DEPT_ID INTEGER REFERENCES DEPT (ID) ON DELETE CASCADE,\n"
    "  NAME VARCHAR(30) NOT NULL, SALARY NUMERIC(18,2) DEFAULT 0, HIRED DATE DEFAULT 'NOW',\n"
    "  BONUS COMPUTED BY (SALARY / 10), \"Name\" VARCHAR(10), ACTIVE BOOLEAN, NOTE BLOB SUB_TYPE TEXT);\n"
    "CREATE UNIQUE INDEX EMP_NAME ON EMP (NAME);\n"
    "CREATE INDEX EMP_SALARY ON EMP (SALARY);\n"
    "CREATE VIEW EMP_VIEW AS SELECT ID, NAME FROM EMP;\n"
    "CREATE TABLE MY_TABLE (ID INTEGER NOT NULL PRIMARY KEY);\n"
    "CREATE TABLE MYXTABLE (ID INTEGER NOT NULL PRIMARY KEY);\n"
    "CREATE TABLE \"O'NEIL\" (X INTEGER);\n"
    "CREATE TABLE \"A_B1\" (X INTEGER);\nCREATE TABLE AXB2 (X INTEGER);\n"
    "CREATE GENERATOR G1;\n"
    "SET TERM ^;\n"
    "CREATE PROCEDURE ADD_ONE (A INTEGER, B INTEGER) RETURNS (S INTEGER, T VARCHAR(10), N BLOB SUB_TYPE TEXT)\n"
    "AS BEGIN S = A + B + 1; T = 'sum'; N = 'note ' || S; END^\n"
    "CREATE PROCEDURE COUNT_UP (N INTEGER) RETURNS (I INTEGER) AS BEGIN I = 1;\n"
    "  WHILE (I <= N) DO BEGIN SUSPEND; I = I + 1; END END^\n"
    "CREATE PROCEDURE NOTHING AS BEGIN END^\n"
    "SET TERM ;^\n"
    "GRANT SELECT ON EMP TO PUBLIC;\nGRANT UPDATE (NAME) ON EMP TO JOE;\n"
    "INSERT INTO DEPT VALUES (1, 'one');\n"
    "INSERT INTO EMP (ID, DEPT_ID, NAME, SALARY, NOTE) VALUES (1, 1, 'Ann', 100.5, 'first note');\n"
    "INSERT INTO EMP (ID, DEPT_ID, NAME, SALARY) VALUES (2, 1, 'Bob', 200);\n"
    "INSERT INTO EMP (ID, DEPT_ID, NAME, SALARY) VALUES (3, 1, 'Cid', 300);\n"
    "INSERT INTO EMP (ID, DEPT_ID, NAME, SALARY) VALUES (4, 1, 'Dan', 400);\n"
    "INSERT INTO EMP (ID, DEPT_ID, NAME, SALARY) VALUES (5, 1, 'Eve', 500);\n";

}  // namespace interbase_test
