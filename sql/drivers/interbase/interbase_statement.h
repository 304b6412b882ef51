// The Interbase/Firebird statements: TZInterbase6Statement runs SQL text,
// TZInterbase6PreparedStatement binds "?" values natively through a
// parameter area, and TZInterbase6CallableStatement calls a stored
// procedure by name. Each execution allocates a client statement handle and
// either hands it to the result set, which frees it on Close, or frees it
// before returning.
#pragma once

#include "sql/core/dbc/abstract_statement.h"
#include "sql/drivers/interbase/interbase_connection.h"
#include "sql/drivers/interbase/interbase_sqlda.h"

class TZInterbase6Statement : public TZAbstractStatement {
public:
  TZInterbase6Statement(Ref<IZInterbase6Connection> connection, TStrings* properties);

  // "Cannot retrieve Resultset data" for a statement without columns.
  Ref<IZResultSet> ExecuteQuery(const AnsiString& sql) override;
  // The changed rows; -1 for DDL, COMMIT and ROLLBACK.
  int ExecuteUpdate(const AnsiString& sql) override;
  // False for INSERT, UPDATE and DELETE; rows become the last result set.
  bool Execute(const AnsiString& sql) override;

private:
  Ref<IZInterbase6Connection> ibConnection_;
  bool cachedBlob_;
};

class TZInterbase6PreparedStatement : public TZAbstractPreparedStatement {
public:
  TZInterbase6PreparedStatement(Ref<IZInterbase6Connection> connection, const AnsiString& sql,
                                TStrings* properties);

  Ref<IZResultSet> ExecuteQuery(const AnsiString& sql) override;
  int ExecuteUpdate(const AnsiString& sql) override;
  bool Execute(const AnsiString& sql) override;
  Ref<IZResultSet> ExecuteQueryPrepared() override;
  int ExecuteUpdatePrepared() override;
  bool ExecutePrepared() override;

private:
  Ref<IZInterbase6Connection> ibConnection_;
  Ref<IZParamsSQLDA> paramSqlData_;
  bool cachedBlob_;
};

class TZInterbase6CallableStatement : public TZAbstractCallableStatement {
public:
  // sql is the procedure's name.
  TZInterbase6CallableStatement(Ref<IZInterbase6Connection> connection, const AnsiString& sql,
                                TStrings* properties);

  Ref<IZResultSet> ExecuteQuery(const AnsiString& sql) override;
  int ExecuteUpdate(const AnsiString& sql) override;
  bool Execute(const AnsiString& sql) override;
  // SELECT * FROM the procedure; null when it yields no columns.
  Ref<IZResultSet> ExecuteQueryPrepared() override;
  // EXECUTE PROCEDURE; the outputs are read into the output parameters.
  int ExecuteUpdatePrepared() override;
  bool ExecutePrepared() override;

  using TZAbstractCallableStatement::TrimInParameters;
  // "SELECT * FROM N(?,?)" or "EXECUTE PROCEDURE N(?,?)", one "?" per input.
  AnsiString GetProcedureSql(bool selectProc) const;
  // The output values of an EXECUTE PROCEDURE from its result area.
  void FetchOutParams(IZResultSQLDA* resultSqlData);

private:
  // Runs EXECUTE PROCEDURE and reads its outputs; the statement kind.
  int ExecuteProcedure();

  Ref<IZInterbase6Connection> ibConnection_;
  Ref<IZParamsSQLDA> paramSqlData_;
  bool cachedBlob_;
};
