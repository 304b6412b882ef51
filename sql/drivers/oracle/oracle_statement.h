// The Oracle statements. TZOracleStatement runs SQL text once on handles of
// its own; TZOraclePreparedStatement rewrites its "?" markers into ":P1",
// ":P2" ..., prepares once, binds one SQL variable per parameter and runs
// many times. A query result is the native cursor, or a cached result set
// over it when the caller asked to scroll or update.
#pragma once

#include <memory>

#include "sql/core/dbc/abstract_statement.h"
#include "sql/core/dbc/generic_resolver.h"
#include "sql/drivers/oracle/oracle_connection.h"
#include "sql/drivers/oracle/oracle_sql_vars.h"

// A statement handle and its error handle, from the connection's
// environment, with the parameter variables bound to them. A prepared
// statement shares them with the result sets it opens, so neither frees
// what the other still uses: the last holder frees them, once.
struct TZOracleStatementHandles {
  TZOracleStatementHandles(Ref<IZOraclePlainDriver> plainDriver, IZOracleConnection& connection);
  ~TZOracleStatementHandles();
  TZOracleStatementHandles(const TZOracleStatementHandles&) = delete;
  TZOracleStatementHandles& operator=(const TZOracleStatementHandles&) = delete;

  Ref<IZOraclePlainDriver> PlainDriver;
  OCIStmt* Handle = nullptr;
  OCIError* ErrorHandle = nullptr;
  std::unique_ptr<TZSQLVars> Vars;
};

// sql with each "?" token (never one inside quotes or comments) replaced by
// ":P" and its number from 1; white space runs become one blank.
AnsiString RewriteOracleParameters(IZConnection* connection, const AnsiString& sql);

class TZOracleStatement : public TZAbstractStatement {
public:
  TZOracleStatement(Ref<IZOraclePlainDriver> plainDriver, Ref<IZConnection> connection, TStrings* properties);

  Ref<IZResultSet> ExecuteQuery(const AnsiString& sql) override;
  // The rows changed; commits under auto-commit.
  int ExecuteUpdate(const AnsiString& sql) override;
  bool Execute(const AnsiString& sql) override;

private:
  Ref<IZOraclePlainDriver> plainDriver_;
};

class TZOraclePreparedStatement : public TZAbstractPreparedStatement {
public:
  TZOraclePreparedStatement(Ref<IZOraclePlainDriver> plainDriver, Ref<IZConnection> connection,
                            const AnsiString& sql, TStrings* properties);

  // Prepares the rewritten text and binds the parameters as they are typed
  // now; nothing when prepared.
  void Prepare();
  Ref<IZResultSet> ExecuteQueryPrepared() override;
  // For a query, the rows it gave.
  int ExecuteUpdatePrepared() override;
  bool ExecutePrepared() override;
  // Lets go of the handles and variables (freed once no result set of this
  // statement holds them); a later execution prepares again.
  void Close() override;

  Ref<IZResultSet> ExecuteQuery(const AnsiString& sql) override;
  int ExecuteUpdate(const AnsiString& sql) override;
  bool Execute(const AnsiString& sql) override;

  const AnsiString& GetOracleSQL() const { return oracleSQL_; }

private:
  // Prepares when needed and loads the parameter values.
  void LoadParameters();
  // Opens the query on this statement's handles, handing it the LOB
  // parameters it has yet to read.
  Ref<IZResultSet> OpenQuery();
  // Runs a statement that is not a query; the rows it changed.
  int RunUpdate();
  bool IsQuery();
  Ref<IZStatement> GetExecStatement();

  bool prepared_ = false;
  // Made by the first Prepare after construction or Close.
  std::shared_ptr<TZOracleStatementHandles> handles_;
  Ref<IZOraclePlainDriver> plainDriver_;
  AnsiString oracleSQL_;
  Ref<IZStatement> execStatement_;
  Ref<IZStatement> lastExecStatement_;
};

class TZOracleCachedResolver : public TZGenericCachedResolver {
public:
  using TZGenericCachedResolver::TZGenericCachedResolver;
  // The generic text, made a query on DUAL: " FROM DUAL" is appended, or
  // the text is cut after its first FROM and " DUAL" appended.
  AnsiString FormCalculateStatement(const TZResolverParameters& columns) override;
};
