// TZAbstractResultSet: the base of every driver's result set. It keeps the
// cursor position, the settings taken over from the statement, the column
// descriptions the driver fills on Open and the metadata over them; it serves
// what needs no server and guards the rest with fixed checks and messages.
// Forward-only drivers override Next, scrollable ones MoveAbsolute.
#pragma once

#include <memory>

#include "sql/core/dbc/abstract_statement.h"
#include "sql/core/dbc/column_info.h"
#include "sql/core/dbc/interfaces.h"
#include "sql/core/dbc/result_set_metadata.h"

class TZAbstractResultSet : public TZAbstractObject, public virtual IZResultSet {
public:
  // statement may be null; when given, its cursor settings and row limit are
  // copied and the result set keeps it alive until Close. The metadata is a
  // TZAbstractResultSetMetadata over the statement's connection's database
  // metadata until a driver sets its own. The result set starts closed, with
  // no columns.
  TZAbstractResultSet(const Ref<IZStatement>& statement, const AnsiString& sql);
  ~TZAbstractResultSet() override;

  // An open result set is closed through the driver's own Close first.
  void BeforeDestruction() override;

  // Drivers fill ColumnsInfo, then call the base, which marks it open.
  virtual void Open();
  // Forgets position and columns and lets the statement go. Drivers release
  // their native result first, then call the base.
  void Close() override;
  bool Next() override;
  bool WasNull() override { return LastWasNull; }

  bool IsNull(int columnIndex) override;
  const char* GetPChar(int columnIndex) override;
  AnsiString GetString(int columnIndex) override;
  WideString GetUnicodeString(int columnIndex) override;
  bool GetBoolean(int columnIndex) override;
  std::int8_t GetByte(int columnIndex) override;
  std::int16_t GetShort(int columnIndex) override;
  int GetInt(int columnIndex) override;
  std::int64_t GetLong(int columnIndex) override;
  float GetFloat(int columnIndex) override;
  double GetDouble(int columnIndex) override;
  long double GetBigDecimal(int columnIndex) override;
  TByteDynArray GetBytes(int columnIndex) override;
  TDateTime GetDate(int columnIndex) override;
  TDateTime GetTime(int columnIndex) override;
  TDateTime GetTimestamp(int columnIndex) override;
  std::unique_ptr<TStream> GetAsciiStream(int columnIndex) override;
  std::unique_ptr<TStream> GetUnicodeStream(int columnIndex) override;
  std::unique_ptr<TStream> GetBinaryStream(int columnIndex) override;
  Ref<IZBlob> GetBlob(int columnIndex) override;
  // The value in the kind its column type calls for; null when it was NULL.
  TZVariant GetValue(int columnIndex) override;

  EZSQLWarning* GetWarnings() override { return nullptr; }
  void ClearWarnings() override {}
  AnsiString GetCursorName() override { return AnsiString(); }
  Ref<IZResultSetMetadata> GetMetadata() override;
  // Matches the unique labels exactly first, then ignoring letter case.
  int FindColumn(const AnsiString& columnName) override;

  bool IsBeforeFirst() override { return RowNo == 0; }
  bool IsAfterLast() override { return LastRowNo < RowNo; }
  bool IsFirst() override { return RowNo == 1; }
  bool IsLast() override { return RowNo == LastRowNo; }
  void BeforeFirst() override;
  void AfterLast() override;
  bool First() override;
  bool Last() override;
  int GetRow() override { return RowNo; }
  // The base cannot scroll: "Operation is not allowed in FORWARD ONLY mode".
  bool MoveAbsolute(int row) override;
  bool MoveRelative(int rows) override;
  bool Previous() override;

  // Only fdForward is accepted.
  void SetFetchDirection(TZFetchDirection value) override;
  TZFetchDirection GetFetchDirection() override { return FetchDirection; }
  void SetFetchSize(int value) override { FetchSize = value; }
  int GetFetchSize() override { return FetchSize; }
  TZResultSetType GetType() override { return ResultSetType; }
  TZResultSetConcurrency GetConcurrency() override { return ResultSetConcurrency; }
  TZUpdatesMode GetPostUpdates() override final { return PostUpdatesMode; }
  TZUpdatesMode GetLocateUpdates() override final { return LocateUpdatesMode; }

  bool RowUpdated() override { return false; }
  bool RowInserted() override { return false; }
  bool RowDeleted() override { return false; }

  // A read-only result: the updaters refuse, except the two that pass on.
  void UpdateNull(int columnIndex) override;
  void UpdateBoolean(int columnIndex, bool value) override;
  void UpdateByte(int columnIndex, std::int8_t value) override;
  void UpdateShort(int columnIndex, std::int16_t value) override;
  void UpdateInt(int columnIndex, int value) override;
  void UpdateLong(int columnIndex, std::int64_t value) override;
  void UpdateFloat(int columnIndex, float value) override;
  void UpdateDouble(int columnIndex, double value) override;
  void UpdateBigDecimal(int columnIndex, long double value) override;
  // UpdateString with a copy of the text.
  void UpdatePChar(int columnIndex, const char* value) override;
  void UpdateString(int columnIndex, const AnsiString& value) override;
  void UpdateUnicodeString(int columnIndex, const WideString& value) override;
  void UpdateBytes(int columnIndex, const TByteDynArray& value) override;
  void UpdateDate(int columnIndex, TDateTime value) override;
  void UpdateTime(int columnIndex, TDateTime value) override;
  void UpdateTimestamp(int columnIndex, TDateTime value) override;
  void UpdateAsciiStream(int columnIndex, TStream* value) override;
  void UpdateUnicodeStream(int columnIndex, TStream* value) override;
  void UpdateBinaryStream(int columnIndex, TStream* value) override;
  // The typed updater for the value's kind; null, pointers and interfaces
  // go to UpdateNull.
  void UpdateValue(int columnIndex, const TZVariant& value) override;

  void InsertRow() override;
  void UpdateRow() override;
  void DeleteRow() override;
  void RefreshRow() override;
  void CancelRowUpdates() override;
  void MoveToInsertRow() override;
  void MoveToCurrentRow() override {}

  // Reads both rows through MoveAbsolute and returns to the current row, also
  // when reading fails. NULL sorts before every value.
  int CompareRows(int row1, int row2, const TZIntegerDynArray& columnIndices,
                  const TZBooleanDynArray& columnDirs) override;
  Ref<IZStatement> GetStatement() override { return Statement.Get(); }

  // The descriptions the metadata serves (and cached result sets copy).
  TZColumnInfoList& GetColumnsInfo() { return ColumnsInfo; }

protected:
  [[noreturn]] static void RaiseUnsupportedException();
  [[noreturn]] static void RaiseForwardOnlyException();
  [[noreturn]] static void RaiseReadOnlyException();
  // "Operation is not allowed for closed dataset".
  void CheckClosed() const;
  // Open, a column in range, and a column type readable as resultType.
  void CheckColumnConversion(int columnIndex, TZSQLType resultType);
  // Open, a column in range, and a stream column.
  void CheckBlobColumn(int columnIndex);
  // Takes over a driver's own metadata object, made over this result set.
  // Drivers call it from their constructor body: the metadata needs this
  // object as its controller, which only exists once the base is built.
  void SetMetadata(std::unique_ptr<TZAbstractResultSetMetadata> metadata) { Metadata = std::move(metadata); }
  void SetType(TZResultSetType value) { ResultSetType = value; }
  void SetConcurrency(TZResultSetConcurrency value) { ResultSetConcurrency = value; }

  AnsiString TemporaryString;
  int RowNo = 0;
  int LastRowNo = 0;
  // 0 = no limit; drivers stop fetching at it.
  int MaxRows = 0;
  bool Closed = true;
  TZFetchDirection FetchDirection = fdForward;
  int FetchSize = 0;
  TZResultSetType ResultSetType = rtForwardOnly;
  TZResultSetConcurrency ResultSetConcurrency = rcReadOnly;
  TZUpdatesMode PostUpdatesMode = 0;
  TZUpdatesMode LocateUpdatesMode = 0;
  TZColumnInfoList ColumnsInfo;
  std::unique_ptr<TZAbstractResultSetMetadata> Metadata;
  TZStatementHold Statement;
  bool LastWasNull = true;

private:
  // The type of a column in range, or "Column with index %d is not accessable".
  TZSQLType CheckedColumnType(int columnIndex);
  // One column of row1 against row2, before the direction is applied.
  int CompareColumn(int row1, int row2, int columnIndex);
};
