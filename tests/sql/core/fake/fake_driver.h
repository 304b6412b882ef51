// A driver for tests, protocols "fake-1" and "fake-2": it needs no server. It
// records what it is given (connect parameters, SQL, transaction steps) in a
// TZFakeServer that tests read, serves canned results for SQL texts, and holds
// a tiny catalogue of tables. Tests of the SQL core and the dataset layer
// reach it through the driver manager like any real driver.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "sql/core/dbc/abstract_connection.h"
#include "sql/core/dbc/abstract_driver.h"
#include "sql/core/dbc/abstract_sequence.h"
#include "sql/core/dbc/driver_manager.h"

struct TZFakeColumn {
  AnsiString Name;
  TZSQLType Type = stString;
};

// Rows hold one value per column; a null variant is a NULL.
struct TZFakeResult {
  std::vector<TZFakeColumn> Columns;
  std::vector<TZVariantDynArray> Rows;
};

struct TZFakeTable {
  AnsiString Name;
  TZFakeResult Data;
};

// What the last Connect was given, split as the URL reader splits it.
struct TZFakeConnectInfo {
  AnsiString Url;
  AnsiString Protocol;
  AnsiString HostName;
  int Port = 0;
  AnsiString Database;
  AnsiString User;
  AnsiString Password;
  std::vector<AnsiString> Properties;  // the connection's property lines
};

// The state a driver and all its connections share.
struct TZFakeServer {
  TZFakeConnectInfo LastConnect;
  // Every SQL text executed, in order.
  std::vector<AnsiString> ExecutedSQL;
  // Connection steps in order: "open", "close", "commit", "rollback".
  std::vector<AnsiString> Calls;
  // Canned answers by exact SQL text: a query's rows or an update count.
  // Any other SQL executes as an update of one row when it is an INSERT,
  // UPDATE or DELETE (a posted row), of 0 rows otherwise; a query of it fails.
  std::map<AnsiString, TZFakeResult> Results;
  std::map<AnsiString, int> UpdateCounts;
  // The tables the server knows, for catalogue answers.
  std::vector<TZFakeTable> Catalogue;
  // Set to make the next connects fail as a refusing server would.
  bool RefuseConnect = false;
  std::int64_t SequenceValue = 0;
  // Set to have queries of updatable statements come back as a driver's do:
  // cached, with the generic resolver writing changes back as SQL.
  bool UpdatableResults = false;
  // How often the driver's tokenizer was asked for.
  int TokenizerRequests = 0;
  // Every SQL text prepared, in order; the executed form (with the values in
  // place of "?") lands in ExecutedSQL.
  std::vector<AnsiString> PreparedSQL;
  // Catalogue facts beyond the columns, by table: the primary key's columns
  // and the columns' default expressions.
  std::map<AnsiString, std::vector<AnsiString>> PrimaryKeys;
  std::map<AnsiString, std::map<AnsiString, AnsiString>> ColumnDefaults;
  // How often the catalogue was asked (each call of a metadata builder).
  int CatalogueRequests = 0;

  // Adds a table to the catalogue; "select * from " + name then serves its rows.
  void AddTable(const AnsiString& name, const TZFakeResult& data) {
    Catalogue.push_back({name, data});
    Results["select * from " + name] = data;
  }
};

class TZFakeDriver : public TZAbstractDriver {
public:
  static constexpr int kClientVersion = 1002003;  // 1.2.3

  TZFakeDriver();

  TZStringDynArray GetSupportedProtocols() override { return {"fake-1", "fake-2"}; }
  // Returns an open connection, as drivers that connect at once do.
  Ref<IZConnection> Connect(const AnsiString& url, TStrings* properties) override;
  int GetClientVersion(const AnsiString& url) override;
  // Counts the requests in the server.
  Ref<IZTokenizer> GetTokenizer() override;

  TZFakeServer& Server() { return *server_; }

private:
  std::shared_ptr<TZFakeServer> server_;
};

class TZFakeConnection : public TZAbstractConnection {
public:
  TZFakeConnection(Ref<IZDriver> driver, std::shared_ptr<TZFakeServer> server, const AnsiString& protocol,
                   const AnsiString& url, const AnsiString& hostName, int port, const AnsiString& database,
                   const AnsiString& user, const AnsiString& password, TStrings* properties);

  // Connects as soon as it is made.
  void AfterConstruction() override;

  void Open() override;
  void Close() override;
  void Commit() override;
  void Rollback() override;
  int PingServer() override { return 0; }
  Ref<IZSequence> CreateSequence(const AnsiString& name, int blockSize) override;

  TZFakeServer& Server() { return *server_; }
  const AnsiString& Protocol() const { return protocol_; }

protected:
  Ref<IZStatement> NewStatement(TStrings* info) override;
  // An emulated prepared statement (fake_prepared_statement.cpp).
  Ref<IZPreparedStatement> NewPreparedStatement(const AnsiString& sql, TStrings* info) override;

private:
  // Records the step and reports it to the driver manager's logging.
  void Record(const AnsiString& call, TZLoggingCategory category);

  std::shared_ptr<TZFakeServer> server_;
  AnsiString protocol_;
};

// Counts up in the server; its SQL is a plain expression.
class TZFakeSequence : public TZAbstractSequence {
public:
  using TZAbstractSequence::TZAbstractSequence;
  std::int64_t GetCurrentValue() override;
  std::int64_t GetNextValue() override;
  AnsiString GetCurrentValueSQL() override { return "CURRVAL(" + GetName() + ")"; }
  AnsiString GetNextValueSQL() override { return "NEXTVAL(" + GetName() + ")"; }

private:
  TZFakeServer& Server();
};

// Creates the fake result set over canned rows (fake_result_set.cpp).
Ref<IZResultSet> MakeFakeResultSet(const Ref<IZStatement>& statement, const TZFakeResult& result);
// The same rows behind the result-set base, as a real driver's result set:
// its metadata completes itself from the catalogue for the SQL text
// (fake_driver_result_set.cpp).
Ref<IZResultSet> MakeFakeDriverResultSet(const Ref<IZStatement>& statement, const AnsiString& sql,
                                         const TZFakeResult& result);
// The connection's database metadata, answering tables, columns and primary
// keys from the server's catalogue (fake_metadata.cpp).
std::unique_ptr<TContainedObject> MakeFakeDatabaseMetadata(TZFakeConnection* connection, const AnsiString& url,
                                                           TStrings* info);
