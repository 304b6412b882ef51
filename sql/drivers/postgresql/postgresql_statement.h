// PostgreSQL statements: TZPostgreSQLStatement sends each SQL text whole with
// PQexec and turns a returned row set into a result set over the complete
// libpq result; TZPostgreSQLPreparedStatement puts a PostgreSQL literal in
// place of each "?" and runs the composed text on a plain statement, as the
// driver prepares nothing on the server.
#pragma once

#include "sql/core/dbc/abstract_statement.h"
#include "sql/core/dbc/emulated_prepared_statement.h"
#include "sql/drivers/postgresql/postgresql_connection.h"

class IZPostgreSQLStatement : public virtual IZStatement {
public:
  virtual bool IsOidAsBlob() = 0;
};

class TZPostgreSQLStatement : public TZAbstractStatement, public virtual IZPostgreSQLStatement {
public:
  // "oidasblob" of properties when set, else the connection's option.
  TZPostgreSQLStatement(Ref<IZPostgreSQLPlainDriver> plainDriver, Ref<IZPostgreSQLConnection> connection,
                        TStrings* properties);

  bool IsOidAsBlob() override { return oidAsBlob_; }

  // No result set when libpq gives no result.
  Ref<IZResultSet> ExecuteQuery(const AnsiString& sql) override;
  // The command's row count (0 when it names none), -1 without a result.
  int ExecuteUpdate(const AnsiString& sql) override;
  // True when the text returned rows; they are then the last result set.
  bool Execute(const AnsiString& sql) override;

private:
  // Sends sql and raises the server's error (rolling back first in
  // auto-commit); the result, which may be empty.
  TZPostgreSQLResultHandle Run(const AnsiString& sql);
  // The native result set over result, cached when it must be updatable.
  Ref<IZResultSet> CreateResultSet(const AnsiString& sql, TZPostgreSQLResultHandle result);
  // The count of PQcmdTuples.
  int UpdateCount(const TZPostgreSQLResultHandle& result);
  void CommitInAutoCommit();
  // The session of the connection, which must be open.
  PGconn* Handle();

  Ref<IZPostgreSQLPlainDriver> plainDriver_;
  Ref<IZPostgreSQLConnection> pgConnection_;
  bool oidAsBlob_;
};

class TZPostgreSQLPreparedStatement : public TZEmulatedPreparedStatement {
public:
  TZPostgreSQLPreparedStatement(Ref<IZPostgreSQLPlainDriver> plainDriver, Ref<IZPostgreSQLConnection> connection,
                                const AnsiString& sql, TStrings* properties);

protected:
  Ref<IZStatement> NewExecStatement() override;
  // NULL, TRUE/FALSE, numbers from their numeric value, quoted texts (wide
  // ones and those of undeclared type too), escaped bytea, typed date and
  // time literals, and streams: binary ones as bytea or, with "oidasblob",
  // as the OID of a new large object.
  AnsiString GetParameterSQL(int paramIndex) override;

private:
  AnsiString StreamLiteral(const TZVariant& value, TZSQLType type);

  Ref<IZPostgreSQLPlainDriver> plainDriver_;
  Ref<IZPostgreSQLConnection> pgConnection_;
  TZPgCharsetCode charsetCode_;
};
