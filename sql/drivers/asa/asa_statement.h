// The ASA statements: TZASAStatement runs SQL text given at execution,
// TZASAPreparedStatement prepares its text once with "?" values bound by
// the client through a parameter area, and TZASACallableStatement calls a
// stored procedure by name. Queries run through a named server cursor whose
// rows come back as an ASA result set, cached for scrolling and updates
// unless a read-only, forward-only result was asked for. A statement holds
// at most one prepared statement number of the client, dropped by Close.
#pragma once

#include "sql/core/dbc/abstract_statement.h"
#include "sql/core/dbc/generic_resolver.h"
#include "sql/drivers/asa/asa_connection.h"
#include "sql/drivers/asa/asa_sqlda.h"

// What a statement of any kind keeps of its connection and client state,
// and the steps the kinds share.
struct TZASAStatementState {
  TZASAStatementState(Ref<IZASAConnection> connection, IZStatement* statement);

  // Ends an open cursor (unchecked) and drops a held statement number.
  void Close(const AnsiString& cursorName, bool closed);
  // Asks the client to stop the running request; failures name sql.
  void Cancel(const AnsiString& sql);
  // Prepares sql describing its parameters into params and, unless it only
  // describes its cursor once open, its columns into columns. A number got
  // before a failure is dropped and forgotten.
  void Prepare(const AnsiString& sql, IZASASQLDA& params, IZASASQLDA& columns);
  // Opens the cursor of the held statement number with params bound
  // (may be null) and answers its result set; a cursor left open by an
  // earlier execution is closed first, and the statement is marked open.
  // A failure once the cursor is open closes the statement.
  Ref<IZResultSet> Open(const Ref<IZStatement>& statement, const AnsiString& cursorName, bool& closed,
                        const AnsiString& sql, IZASASQLDA* params, const Ref<IZASASQLDA>& columns,
                        const AnsiString& describeSql);
  // Runs the held statement once with params bound, output (may be null)
  // receiving its one row; answers the rows counted. With passTooManyRows
  // a statement that yields several rows (-185) is no error.
  int ExecuteInto(IZASASQLDA& params, IZASASQLDA* output, const AnsiString& sql, bool passTooManyRows);
  // The cursor's next result set, described into columns; false after the
  // last one or for a statement with a single result.
  bool GetMoreResults(const AnsiString& cursorName, IZASASQLDA& columns);

  Ref<IZASAConnection> connection;
  bool cachedBlob;
  short stmtNum = 0;
  bool moreResults = false;
  bool prepared = false;
};

class TZASAStatement : public TZAbstractStatement {
public:
  // Fetch size 20, updatable and scroll-sensitive, a 12-digit cursor name.
  TZASAStatement(Ref<IZASAConnection> connection, TStrings* properties);

  // "Cannot retrieve Resultset data" for a text without result columns.
  Ref<IZResultSet> ExecuteQuery(const AnsiString& sql) override;
  // The rows affected.
  int ExecuteUpdate(const AnsiString& sql) override;
  // A query when the text has result columns, else an update. Any other
  // failure of the query is raised as it is: the text never runs twice.
  bool Execute(const AnsiString& sql) override;
  bool GetMoreResults() override;
  void Close() override;
  void Cancel() override;

  bool CachedBlob() const { return state_.cachedBlob; }

private:
  // The result set of sql; false (statement closed) when sql has no result
  // columns, before anything ran.
  bool TryQuery(const AnsiString& sql, Ref<IZResultSet>& result);

  TZASAStatementState state_;
  Ref<IZASASQLDA> sqlData_;
};

class TZASAPreparedStatement : public TZAbstractPreparedStatement {
public:
  // Prepares sql at once.
  TZASAPreparedStatement(Ref<IZASAConnection> connection, const AnsiString& sql, TStrings* properties);

  // Each prepares again first when sql differs from the statement's text.
  Ref<IZResultSet> ExecuteQuery(const AnsiString& sql) override;
  int ExecuteUpdate(const AnsiString& sql) override;
  bool Execute(const AnsiString& sql) override;
  Ref<IZResultSet> ExecuteQueryPrepared() override;
  // Binds the parameters and executes; a statement with result columns
  // that yields several rows still answers with their count.
  int ExecuteUpdatePrepared() override;
  // A query when the text has result columns, else an update.
  bool ExecutePrepared() override;
  bool GetMoreResults() override;
  void Close() override;
  void Cancel() override;

  bool CachedBlob() const { return state_.cachedBlob; }

private:
  void PrepareText(const AnsiString& sql);

  TZASAStatementState state_;
  Ref<IZASASQLDA> paramSqlData_;
  Ref<IZASASQLDA> sqlData_;
};

class TZASACallableStatement : public TZAbstractCallableStatement {
public:
  // procedure is the name called; nothing is prepared before the first
  // execution.
  TZASACallableStatement(Ref<IZASAConnection> connection, const AnsiString& procedure, TStrings* properties);

  // "call <name>(?,...)" with one marker per input parameter ("call
  // <name>" without any), prepared again when that text changes; the
  // argument is not used.
  Ref<IZResultSet> ExecuteQuery(const AnsiString& sql) override;
  int ExecuteUpdate(const AnsiString& sql) override;
  bool Execute(const AnsiString& sql) override;
  Ref<IZResultSet> ExecuteQueryPrepared() override;
  // Runs the call once and reads its outputs into the output parameters.
  int ExecuteUpdatePrepared() override;
  bool ExecutePrepared() override;
  bool GetMoreResults() override;
  void Close() override;
  void Cancel() override;

private:
  // Trims the outputs from the inputs and prepares the call text when it
  // is new.
  void PrepareCall();
  void FetchOutParams();

  TZASAStatementState state_;
  Ref<IZASASQLDA> paramSqlData_;
  Ref<IZASASQLDA> sqlData_;
  AnsiString callText_;
};

// Answers the cached result set's default-value query in the server's own
// terms: "SELECT" and the default expressions (NULL for none), which the
// generic resolver already forms.
class TZASACachedResolver : public TZGenericCachedResolver {
public:
  using TZGenericCachedResolver::TZGenericCachedResolver;
};

// Fills the parameter area from the statement's values: the area's count
// must match count, and every type must be one the area can hold.
void PrepareParameters(const TZVariantDynArray& values, const TZSQLTypeArray& types, int count,
                       IZASASQLDA* paramSqlData);
// Describes the open cursor's columns into sqlData; "Cannot retrieve
// Resultset data" when it has none.
void DescribeCursor(IZASAConnection& connection, IZASASQLDA& sqlData, const AnsiString& cursor,
                    const AnsiString& sql);
// The cursor options of the statement's settings: 0x1020 updatable, else
// 0x22; 0x400 more for a scroll-insensitive result.
short CursorOptions(IZStatement& statement);
