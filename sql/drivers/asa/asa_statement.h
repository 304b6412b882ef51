// The ASA statements: TZASAStatement runs SQL text given at execution and
// TZASAPreparedStatement prepares its text once, with "?" values bound by
// the client through a parameter area. A statement holds at most one
// prepared statement number of the client, dropped by Close.
#pragma once

#include "sql/core/dbc/abstract_statement.h"
#include "sql/drivers/asa/asa_connection.h"
#include "sql/drivers/asa/asa_sqlda.h"

// What a statement of either kind keeps of its connection and client state.
struct TZASAStatementState {
  TZASAStatementState(Ref<IZASAConnection> connection, IZStatement* statement);

  // Ends an open cursor (unchecked) and drops a held statement number.
  void Close(const AnsiString& cursorName, bool closed);
  // Asks the client to stop the running request; failures name sql.
  void Cancel(const AnsiString& sql);

  Ref<IZASAConnection> connection;
  bool cachedBlob;
  short stmtNum = 0;
  bool moreResults = false;
};

class TZASAStatement : public TZAbstractStatement {
public:
  // Fetch size 20, updatable and scroll-sensitive, a 12-digit cursor name.
  TZASAStatement(Ref<IZASAConnection> connection, TStrings* properties);

  // The rows affected.
  int ExecuteUpdate(const AnsiString& sql) override;
  void Close() override;
  void Cancel() override;

  bool CachedBlob() const { return state_.cachedBlob; }

private:
  TZASAStatementState state_;
  Ref<IZASASQLDA> sqlData_;
};

class TZASAPreparedStatement : public TZAbstractPreparedStatement {
public:
  // Prepares sql at once.
  TZASAPreparedStatement(Ref<IZASAConnection> connection, const AnsiString& sql, TStrings* properties);

  // Prepares again first when sql differs from the statement's text.
  int ExecuteUpdate(const AnsiString& sql) override;
  // Binds the parameters and executes; a statement with result columns
  // that yields several rows still answers with their count.
  int ExecuteUpdatePrepared() override;
  void Close() override;
  void Cancel() override;

  bool CachedBlob() const { return state_.cachedBlob; }

private:
  void Prepare();

  TZASAStatementState state_;
  Ref<IZASASQLDA> paramSqlData_;
  Ref<IZASASQLDA> sqlData_;
  bool prepared_ = false;
};

// Fills the parameter area from the statement's values: the area's count
// must match count, and every type must be one the area can hold.
void PrepareParameters(const TZVariantDynArray& values, const TZSQLTypeArray& types, int count,
                       IZASASQLDA* paramSqlData);
