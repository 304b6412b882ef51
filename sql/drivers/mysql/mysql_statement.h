// MySQL statements: TZMySQLStatement sends SQL text to the server and turns
// the answer into a result set or an update count; TZMySQLPreparedStatement
// renders its "?" parameters as MySQL literals and runs the composed text on
// a plain statement, as the client library has no use for the server-side
// preparation here.
#pragma once

#include "sql/core/dbc/abstract_statement.h"
#include "sql/core/dbc/emulated_prepared_statement.h"
#include "sql/drivers/mysql/mysql_plain_driver.h"

class IZMySQLConnection;

class IZMySQLStatement : public virtual IZStatement {
public:
  // Whether results are streamed from the server instead of stored.
  virtual bool IsUseResult() = 0;
};

class TZMySQLStatement : public TZAbstractStatement, public virtual IZMySQLStatement {
public:
  // Reads "useresult" from properties, else the connection's (default false).
  TZMySQLStatement(Ref<IZMySQLPlainDriver> plainDriver, Ref<IZMySQLConnection> connection, TStrings* properties);

  bool IsUseResult() override { return useResult_; }

  // Raises "Can not open a Resultset" when the text gives no result set;
  // whatever the text changed stays changed.
  Ref<IZResultSet> ExecuteQuery(const AnsiString& sql) override;
  // The affected rows, or the rows a query returned.
  int ExecuteUpdate(const AnsiString& sql) override;
  bool Execute(const AnsiString& sql) override;
  bool GetMoreResults() override;

private:
  // Sends sql; false (with nothing raised) when it failed without an error text.
  bool Run(const AnsiString& sql);
  // The native result set, cached when it must be updatable or scroll a stream.
  Ref<IZResultSet> CreateResultSet(const AnsiString& sql);
  // The session of the connection, which must be open.
  MYSQL* Handle();

  Ref<IZMySQLPlainDriver> plainDriver_;
  Ref<IZMySQLConnection> mysqlConnection_;
  bool useResult_;
  AnsiString lastSQL_;
};

class TZMySQLPreparedStatement : public TZEmulatedPreparedStatement {
public:
  TZMySQLPreparedStatement(Ref<IZMySQLPlainDriver> plainDriver, Ref<IZMySQLConnection> connection,
                           const AnsiString& sql, TStrings* properties);

protected:
  Ref<IZStatement> NewExecStatement() override;
  // Every parameter type gets a literal: escaped and quoted texts, numbers
  // written from their numeric value, NULL (or the column default) for null.
  AnsiString GetParameterSQL(int paramIndex) override;

private:
  // The text escaped by the library and put between single quotes.
  AnsiString QuotedText(const AnsiString& value);
  static AnsiString BlobText(const TZVariant& value);

  Ref<IZMySQLPlainDriver> plainDriver_;
  Ref<IZMySQLConnection> mysqlConnection_;
};
