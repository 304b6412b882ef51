// The ADO driver's statements. A text that begins with SELECT opens a client
// recordset; any other runs on the connection for its count of changed rows,
// and yields rows only when the recordset that comes back is open. Prepared
// and callable statements keep one ADO command whose parameters each setter
// writes at once; callable statements run stored procedures.
#pragma once

#include "sql/core/dbc/abstract_statement.h"
#include "sql/core/dbc/native_library.h"
#include "sql/drivers/ado/ado_connection.h"

class TZAdoStatement : public TZAbstractCallableStatement {
public:
  TZAdoStatement(Ref<IZPlainDriver> plainDriver, Ref<IZAdoConnection> connection, const AnsiString& sql,
                 TStrings* info);

  // True when the text gave rows (the last result set), else false with the
  // count of changed rows. Logged under lcExecute, failures too.
  bool Execute(const AnsiString& sql) override;
  // The first result set of the text, skipping the counts before it; null
  // when none came.
  Ref<IZResultSet> ExecuteQuery(const AnsiString& sql) override;
  // The count of changed rows; -1 when the text gave rows, which stay as the
  // last result set.
  int ExecuteUpdate(const AnsiString& sql) override;
  bool GetMoreResults() override;
  void Close() override;

protected:
  // Whether sql begins, after white space, with SELECT in any letter case.
  static bool IsSelect(const AnsiString& sql);
  // Makes the current recordset the last result set when it is open (true),
  // else takes updateCount as the count (false).
  bool FetchResults(int updateCount);
  // Runs the text that gives no rows until a result set or no count comes.
  Ref<IZResultSet> FirstResultSet(bool hasResultSet);

  Ref<IZPlainDriver> plainDriver_;
  Ref<IZAdoConnection> adoConnection_;
  Ref<Recordset15> recordset_;
};

class TZAdoPreparedStatement : public TZAdoStatement {
public:
  TZAdoPreparedStatement(Ref<IZPlainDriver> plainDriver, Ref<IZAdoConnection> connection, const AnsiString& sql,
                         TStrings* info);

  // Writes the value into the command's parameter parameterIndex; missing
  // parameters before it are filled with empty placeholders named "P" and
  // their index, so that every parameter sits at its own position.
  void SetInParam(int parameterIndex, TZSQLType sqlType, const TZVariant& value) override;
  // The command keeps its parameters and values.
  void ClearParameters() override {}

  bool ExecutePrepared() override;
  Ref<IZResultSet> ExecuteQueryPrepared() override;
  int ExecuteUpdatePrepared() override;
  void Close() override;

protected:
  // The command; a closed statement raises the layer's "object is closed".
  _Command& Command();

  Ref<_Command> command_;
};

class TZAdoCallableStatement : public TZAdoPreparedStatement {
public:
  // sql is the procedure's name; parameter 1 is its return value.
  TZAdoCallableStatement(Ref<IZPlainDriver> plainDriver, Ref<IZAdoConnection> connection, const AnsiString& sql,
                         TStrings* info);

  // The value the last run gave back; null beyond the registered outputs.
  TZVariant GetOutParam(int parameterIndex) override;
};
