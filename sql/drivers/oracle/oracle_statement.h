// The Oracle statements. TZOracleStatement runs SQL text once on handles of
// its own; TZOraclePreparedStatement rewrites its "?" markers into ":P1",
// ":P2" ..., prepares once, binds one SQL variable per parameter and runs
// many times. A query result is the native cursor, or a cached result set
// over it when the caller asked to scroll or update.
#pragma once

#include "sql/core/dbc/abstract_statement.h"
#include "sql/core/dbc/generic_resolver.h"
#include "sql/drivers/oracle/oracle_connection.h"
#include "sql/drivers/oracle/oracle_sql_vars.h"

// An error handle, then a statement handle, from the connection's
// environment.
void AllocStatementHandles(IZOraclePlainDriver* plainDriver, IZOracleConnection* connection, OCIStmt*& handle,
                           OCIError*& errorHandle);
// Frees whichever of the two is set and clears it.
void FreeStatementHandles(IZOraclePlainDriver* plainDriver, OCIStmt*& handle, OCIError*& errorHandle);

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
  // Frees the handles and variables; a later execution prepares again.
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
  OCIStmt* handle_ = nullptr;
  OCIError* errorHandle_ = nullptr;
  Ref<IZOraclePlainDriver> plainDriver_;
  AnsiString oracleSQL_;
  Ref<IZStatement> execStatement_;
  Ref<IZStatement> lastExecStatement_;
  std::unique_ptr<TZSQLVars> inVars_;
};

class TZOracleCachedResolver : public TZGenericCachedResolver {
public:
  using TZGenericCachedResolver::TZGenericCachedResolver;
  // The generic text, made a query on DUAL: " FROM DUAL" is appended, or
  // the text is cut after its first FROM and " DUAL" appended.
  AnsiString FormCalculateStatement(const TZResolverParameters& columns) override;
};
