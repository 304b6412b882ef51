// The statement bases: TZAbstractStatement (settings, batch, the last result
// set), TZAbstractPreparedStatement (typed "?" parameter values) and
// TZAbstractCallableStatement (registered output parameters). They refuse
// everything that needs a server with "Unsupported operation"; drivers
// override the executions. A statement holds its last result set and that
// result set holds the statement: closing either one breaks the pair, and so
// does letting go of both (see TZAbstractStatement::Release).
#pragma once

#include <memory>
#include <vector>

#include "sql/core/dbc/interfaces.h"

class TStringList;

class TZAbstractStatement : public TZAbstractObject, public virtual IZStatement {
public:
  // properties may be null; its lines are copied.
  TZAbstractStatement(Ref<IZConnection> connection, TStrings* properties);
  ~TZAbstractStatement() override;

  // Closes through the driver's own Close first.
  void BeforeDestruction() override;
  // When every reference left is one its own result sets hold, no caller can
  // reach the results the statement keeps: it lets them go (ReleaseResults),
  // so a pair dropped without Close is freed, while a result set a caller
  // still holds keeps the statement alive.
  int Release() override;

  // Closes the result set held so far, then holds resultSet (may be null).
  virtual void SetLastResultSet(const Ref<IZResultSet>& resultSet);

  Ref<IZResultSet> ExecuteQuery(const AnsiString& sql) override;
  int ExecuteUpdate(const AnsiString& sql) override;
  // Closes and lets go of the last result set; a second call does nothing more.
  void Close() override;

  int GetMaxFieldSize() override { return MaxFieldSize; }
  void SetMaxFieldSize(int value) override { MaxFieldSize = value; }
  int GetMaxRows() override { return MaxRows; }
  void SetMaxRows(int value) override { MaxRows = value; }
  void SetEscapeProcessing(bool value) override { EscapeProcessing = value; }
  int GetQueryTimeout() override { return QueryTimeout; }
  void SetQueryTimeout(int value) override { QueryTimeout = value; }
  void Cancel() override;
  void SetCursorName(const AnsiString& value) override { CursorName = value; }

  // The base runs nothing: the last result set goes, the count is -1.
  bool Execute(const AnsiString& sql) override;
  Ref<IZResultSet> GetResultSet() override { return LastResultSet; }
  int GetUpdateCount() override { return LastUpdateCount; }
  bool GetMoreResults() override { return false; }

  void SetFetchDirection(TZFetchDirection value) override { FetchDirection = value; }
  TZFetchDirection GetFetchDirection() override { return FetchDirection; }
  void SetFetchSize(int value) override { FetchSize = value; }
  int GetFetchSize() override { return FetchSize; }
  void SetResultSetConcurrency(TZResultSetConcurrency value) override { ResultSetConcurrency = value; }
  TZResultSetConcurrency GetResultSetConcurrency() override { return ResultSetConcurrency; }
  void SetResultSetType(TZResultSetType value) override { ResultSetType = value; }
  TZResultSetType GetResultSetType() override { return ResultSetType; }
  void SetPostUpdates(TZUpdatesMode value) override final { PostUpdatesMode = value; }
  TZUpdatesMode GetPostUpdates() override final { return PostUpdatesMode; }
  void SetLocateUpdates(TZUpdatesMode value) override final { LocateUpdatesMode = value; }
  TZUpdatesMode GetLocateUpdates() override final { return LocateUpdatesMode; }

  void AddBatch(const AnsiString& sql) override { BatchQueries.push_back(sql); }
  void ClearBatch() override { BatchQueries.clear(); }
  // ExecuteUpdate of each batched text in order, then the batch is emptied.
  // A failure stops at once and leaves the batch as it was.
  TZIntegerDynArray ExecuteBatch() override;

  Ref<IZConnection> GetConnection() override final { return Connection; }
  TStrings* GetProperties() override final;
  EZSQLWarning* GetWarnings() override { return nullptr; }
  void ClearWarnings() override {}

protected:
  // EZSQLException "Unsupported operation".
  [[noreturn]] static void RaiseUnsupportedException();
  // Lets go of the last result set without closing it: a caller may still
  // hold it. Drivers that keep more results drop them too.
  virtual void ReleaseResults();

  int MaxFieldSize = 0;
  // 0 = no limit; copied into result sets, drivers read it.
  int MaxRows = 0;
  bool EscapeProcessing = false;
  int QueryTimeout = 0;
  int LastUpdateCount = -1;
  Ref<IZResultSet> LastResultSet;
  TZFetchDirection FetchDirection = fdForward;
  int FetchSize = 0;
  TZResultSetConcurrency ResultSetConcurrency = rcReadOnly;
  TZResultSetType ResultSetType = rtForwardOnly;
  TZUpdatesMode PostUpdatesMode = 0;
  TZUpdatesMode LocateUpdatesMode = 0;
  AnsiString CursorName;
  std::vector<AnsiString> BatchQueries;
  Ref<IZConnection> Connection;
  std::unique_ptr<TStringList> Properties;
  bool Closed = false;

private:
  friend class TZStatementHold;
  // References to this statement held by result sets (TZStatementHold).
  int resultSetHolds_ = 0;
};

// A result set's reference to the statement that made it, counted by the
// statement so it can tell its own result sets' references from its callers'.
class TZStatementHold {
public:
  explicit TZStatementHold(const Ref<IZStatement>& statement);
  TZStatementHold(const TZStatementHold&) = delete;
  TZStatementHold& operator=(const TZStatementHold&) = delete;
  ~TZStatementHold() { Reset(); }

  const Ref<IZStatement>& Get() const { return statement_; }
  IZStatement* operator->() const { return statement_.get(); }
  explicit operator bool() const { return statement_ != nullptr; }
  // Lets the statement go; the count drops before the reference does.
  void Reset();

private:
  Ref<IZStatement> statement_;
  TZAbstractStatement* counted_ = nullptr;
};

class TZAbstractPreparedStatement : public TZAbstractStatement, public virtual IZPreparedStatement {
public:
  TZAbstractPreparedStatement(Ref<IZConnection> connection, const AnsiString& sql, TStrings* properties);
  ~TZAbstractPreparedStatement() override;

  // Resizes the parameter arrays; new parameters are null, stUnknown and
  // without a default.
  virtual void SetInParamCount(int newCount);
  // Stores a copy of value as parameter parameterIndex (1-based), growing the
  // arrays to it first. An index below 1 raises ERangeError.
  virtual void SetInParam(int parameterIndex, TZSQLType sqlType, const TZVariant& value);

  Ref<IZResultSet> ExecuteQueryPrepared() override;
  int ExecuteUpdatePrepared() override;
  bool ExecutePrepared() override;

  // The default-value expression of the column the parameter feeds, for
  // drivers that put it in place of a null value.
  void SetDefaultValue(int parameterIndex, const AnsiString& value) override final;
  void SetNull(int parameterIndex, TZSQLType sqlType) override;
  void SetBoolean(int parameterIndex, bool value) override;
  void SetByte(int parameterIndex, std::int8_t value) override;
  void SetShort(int parameterIndex, std::int16_t value) override;
  void SetInt(int parameterIndex, int value) override;
  void SetLong(int parameterIndex, std::int64_t value) override;
  void SetFloat(int parameterIndex, float value) override;
  void SetDouble(int parameterIndex, double value) override;
  void SetBigDecimal(int parameterIndex, long double value) override;
  void SetPChar(int parameterIndex, const char* value) override;
  void SetString(int parameterIndex, const AnsiString& value) override;
  void SetUnicodeString(int parameterIndex, const WideString& value) override;
  void SetBytes(int parameterIndex, const TByteDynArray& value) override;
  void SetDate(int parameterIndex, TDateTime value) override;
  void SetTime(int parameterIndex, TDateTime value) override;
  void SetTimestamp(int parameterIndex, TDateTime value) override;
  void SetAsciiStream(int parameterIndex, TStream* value) override;
  void SetUnicodeStream(int parameterIndex, TStream* value) override;
  void SetBinaryStream(int parameterIndex, TStream* value) override;
  // Only the three stream types; any other raises "Wrong type for Blob
  // parameter" and stores nothing.
  void SetBlob(int parameterIndex, TZSQLType sqlType, const Ref<IZBlob>& value) override;
  // Stores the value unchanged with the type its kind suggests.
  void SetValue(int parameterIndex, const TZVariant& value) override;
  void ClearParameters() override;

  void AddBatchPrepared() override {}
  Ref<IZResultSetMetadata> GetMetadata() override;

protected:
  AnsiString SQL;
  TZVariantDynArray InParamValues;
  TZSQLTypeArray InParamTypes;
  std::vector<AnsiString> InParamDefaultValues;
  int InParamCount = 0;

private:
  // Grows the arrays to hold parameterIndex; refuses indexes below 1.
  void EnsureInParam(int parameterIndex);
};

class TZAbstractCallableStatement : public TZAbstractPreparedStatement, public virtual IZCallableStatement {
public:
  TZAbstractCallableStatement(Ref<IZConnection> connection, const AnsiString& sql, TStrings* properties);

  // Resizes the output arrays; new entries are null and stUnknown.
  virtual void SetOutParamCount(int newCount);
  // A copy of output parameterIndex (1-based); sets WasNull. An index that
  // was not registered reads as null.
  virtual TZVariant GetOutParam(int parameterIndex);

  // Sets the output count to parameterIndex (dropping higher ones), then the
  // type of that parameter.
  void RegisterOutParameter(int parameterIndex, int sqlType) override;
  bool WasNull() override { return LastWasNull; }
  bool IsNull(int parameterIndex) override;
  const char* GetPChar(int parameterIndex) override;
  AnsiString GetString(int parameterIndex) override;
  WideString GetUnicodeString(int parameterIndex) override;
  bool GetBoolean(int parameterIndex) override;
  std::int8_t GetByte(int parameterIndex) override;
  std::int16_t GetShort(int parameterIndex) override;
  int GetInt(int parameterIndex) override;
  std::int64_t GetLong(int parameterIndex) override;
  float GetFloat(int parameterIndex) override;
  double GetDouble(int parameterIndex) override;
  long double GetBigDecimal(int parameterIndex) override;
  TByteDynArray GetBytes(int parameterIndex) override;
  TDateTime GetDate(int parameterIndex) override;
  TDateTime GetTime(int parameterIndex) override;
  TDateTime GetTimestamp(int parameterIndex) override;
  TZVariant GetValue(int parameterIndex) override;
  // Clears the output parameters too.
  void ClearParameters() override;

protected:
  // Drops the input parameters registered only for output (stUnknown),
  // keeping the order of the others.
  void TrimInParameters();
  // "(?,?,...)" with one marker per input parameter; empty without any.
  AnsiString InParameterMarkers() const;

  // Filled by the driver after execution.
  TZVariantDynArray OutParamValues;
  TZSQLTypeArray OutParamTypes;
  int OutParamCount = 0;
  bool LastWasNull = true;
  AnsiString TemporaryString;
};
