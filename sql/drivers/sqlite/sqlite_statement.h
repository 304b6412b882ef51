// SQLite statements: TZSQLiteStatement compiles SQL through the plain driver
// and steps it; every query result is read whole into a cached, scrollable
// result set at once. TZSQLitePreparedStatement writes its "?" parameters
// into the text as literals and runs the composed text on a plain statement.
#pragma once

#include "sql/core/dbc/abstract_statement.h"
#include "sql/core/dbc/emulated_prepared_statement.h"
#include "sql/drivers/sqlite/sqlite_plain_driver.h"

class IZSQLiteConnection;

// A compiled statement after its first step: the row arrays of that step
// (values null when the statement gave no row).
struct TZSQLiteFirstStep {
  Psqlite_vm Vm = nullptr;
  int ColumnCount = 0;
  TZSQLiteRowArray Values;
  TZSQLiteRowArray Names;
};

class TZSQLiteStatement : public TZAbstractStatement {
public:
  TZSQLiteStatement(Ref<IZSQLitePlainDriver> plainDriver, Ref<IZSQLiteConnection> connection, TStrings* properties);

  // A scrollable result set of all rows; updatable when the statement's
  // concurrency asks for it.
  Ref<IZResultSet> ExecuteQuery(const AnsiString& sql) override;
  // Runs the whole text; the library's change count.
  int ExecuteUpdate(const AnsiString& sql) override;
  // True with a result set when the statement has columns; else false with
  // the change count. Like ExecuteQuery it runs one statement: a text of
  // several is refused ("Cannot execute more then one query").
  bool Execute(const AnsiString& sql) override;

private:
  // Compiles sql and takes its first step; the compiled statement is
  // finalized again when that step fails.
  TZSQLiteFirstStep CompileAndStep(const AnsiString& sql);
  Ref<IZResultSet> CreateResultSet(const AnsiString& sql, TZSQLiteFirstStep step);
  // Whether what follows a compiled statement holds more than blanks,
  // comments and semicolons.
  bool HasFurtherStatement(const char* tail);
  // The database of the connection, which must be open.
  Psqlite Handle();

  Ref<IZSQLitePlainDriver> plainDriver_;
  Ref<IZSQLiteConnection> sqliteConnection_;
};

class TZSQLitePreparedStatement : public TZEmulatedPreparedStatement {
public:
  TZSQLitePreparedStatement(Ref<IZSQLitePlainDriver> plainDriver, Ref<IZSQLiteConnection> connection,
                            const AnsiString& sql, TStrings* properties);

  // value with every "'" doubled, between single quotes; a value holding a
  // NUL byte as CAST(X'..' AS TEXT) of its bytes.
  static AnsiString QuoteString(const AnsiString& value);

protected:
  Ref<IZStatement> NewExecStatement() override;
  AnsiString GetParameterSQL(int paramIndex) override;

private:
  AnsiString BlobLiteral(const TZVariant& value, TZSQLType type);

  Ref<IZSQLitePlainDriver> plainDriver_;
  Ref<IZSQLiteConnection> sqliteConnection_;
};
