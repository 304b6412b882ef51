// The DB-Library statements. A process carries one command batch at a time
// and hands its results back one after the other, so every execution reads
// all results of its batch at once into a queue: rows are copied whole into
// cached result sets, row counts are kept as counts. Callers then take the
// results from the front. TZDBLibStatement runs plain SQL text,
// TZDBLibPreparedStatementEmulated writes its "?" parameters as literals into
// the text, and TZDBLibCallableStatement calls a stored procedure through the
// library's remote procedure calls, with output parameters and the return
// status at index 0 (the caller's parameter 1).
#pragma once

#include <deque>

#include "sql/core/dbc/abstract_statement.h"
#include "sql/core/dbc/emulated_prepared_statement.h"
#include "sql/drivers/dblib/dblib_connection.h"

// The results of one batch, in the order the server produced them.
class TZDBLibResultQueue {
public:
  // Reads every result of the batch the process has run: rows into a cached
  // result set (made by owner), counts as counts. Answers the count of the
  // last result without rows (-1 when the server gave none, -2 when there
  // was no such result).
  int Fetch(IZStatement* owner, IZDBLibConnection& connection, const AnsiString& sql);
  // Runs "select @@rowcount" for a batch whose count the server did not
  // give, appends that count and answers it.
  int AppendServerRowCount(IZStatement* owner, IZDBLibConnection& connection);
  // Takes the front result: true with its result set, false with its count
  // (-1 when the queue was empty).
  bool TakeNext(Ref<IZResultSet>& resultSet, int& updateCount);
  // Closes and forgets what was not taken.
  void Clear();

private:
  struct TResult {
    Ref<IZResultSet> ResultSet;
    int UpdateCount = -1;
  };
  std::deque<TResult> results_;
};

class TZDBLibStatement : public TZAbstractStatement {
public:
  TZDBLibStatement(Ref<IZDBLibConnection> connection, TStrings* properties);

  // The last result set of the batch; null when it gave none.
  Ref<IZResultSet> ExecuteQuery(const AnsiString& sql) override;
  // The first result's count (0 for rows, -1 for none); the rest waits for
  // GetMoreResults.
  int ExecuteUpdate(const AnsiString& sql) override;
  // True when the first result has rows (GetResultSet), false with a count
  // (GetUpdateCount).
  bool Execute(const AnsiString& sql) override;
  // Takes the next result of the batch into GetResultSet and GetUpdateCount.
  bool GetMoreResults() override;
  void Close() override;

protected:
  // Sends sql as the process's new batch.
  virtual void InternalExecute(const AnsiString& sql);
  virtual void FetchResults();
  // The queued results too: only the statement could hand them out.
  void ReleaseResults() override;

private:
  AnsiString sql_;
  Ref<IZDBLibConnection> dbLibConnection_;
  TZDBLibResultQueue results_;
};

class TZDBLibPreparedStatementEmulated : public TZEmulatedPreparedStatement {
public:
  TZDBLibPreparedStatementEmulated(Ref<IZDBLibConnection> connection, const AnsiString& sql, TStrings* properties);

  // No description of the result before it runs.
  Ref<IZResultSetMetadata> GetMetadata() override { return nullptr; }

protected:
  Ref<IZStatement> NewExecStatement() override;
  // "NULL" for a parameter that was never set.
  AnsiString GetParameterSQL(int paramIndex) override;

private:
  Ref<IZDBLibConnection> dbLibConnection_;
};

class TZDBLibCallableStatement : public TZAbstractCallableStatement {
public:
  // sql is the procedure's name.
  TZDBLibCallableStatement(Ref<IZDBLibConnection> connection, const AnsiString& sql, TStrings* properties);

  // Calls the procedure; true when its first result has rows. The output
  // parameters and the return status are read afterwards.
  bool ExecutePrepared() override;
  // The first result set the call gave; null for none.
  Ref<IZResultSet> ExecuteQueryPrepared() override;
  // The first count the call gave.
  int ExecuteUpdatePrepared() override;
  bool GetMoreResults() override;
  // Also raises the input count to parameterIndex: both arrays cover the
  // same indexes.
  void RegisterOutParameter(int parameterIndex, int sqlType) override;
  void SetInParamCount(int newCount) override;
  void Close() override;

protected:
  // The queued and the retrieved results too.
  void ReleaseResults() override;

private:
  // Puts the input parameters into the call; buffers keeps their values
  // until the call is sent.
  void SendParameters(DBLibProcess* handle, std::deque<AnsiString>& buffers);
  // The output values the server sent back, in order of registration.
  void ReadReturnValues(DBLibProcess* handle);
  TZVariant ReturnValue(DBLibProcess* handle, int retNum);

  Ref<IZDBLibConnection> dbLibConnection_;
  TZDBLibResultQueue results_;
  int lastRowsAffected_ = -2;
  Ref<IZResultSet> retrievedResultSet_;
  int retrievedUpdateCount_ = -1;
};
