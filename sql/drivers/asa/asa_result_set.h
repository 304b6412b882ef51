// The native ASA result set: a scrollable, updatable server cursor of an
// ASA statement. Moves are absolute and relative fetches into the
// statement's result area; changed values collect in a second area and go
// back through the cursor's positioned insert, update and delete. Long
// values come as TZASABlob, read whole at once or on their first use.
#pragma once

#include "sql/core/dbc/abstract_result_set.h"
#include "sql/core/dbc/blobs.h"
#include "sql/drivers/asa/asa_connection.h"
#include "sql/drivers/asa/asa_sqlda.h"

class TZASAResultSet : public TZAbstractResultSet {
public:
  // Scroll-sensitive and updatable over the statement's open cursor;
  // sqlData is the statement's described result area, shared with it.
  TZASAResultSet(const Ref<IZStatement>& statement, const AnsiString& sql, short stmtNum,
                 const AnsiString& cursorName, Ref<IZASASQLDA> sqlData, bool cachedBlob);

  // "Cannot retrieve Resultset data" without a statement number. Every
  // column is reported nullable: the server's description is not trusted.
  void Open() override;

  bool IsNull(int columnIndex) override;
  AnsiString GetString(int columnIndex) override;
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
  // Read now with cached blobs; otherwise a blob of the current row that
  // reads that row's value when first used.
  Ref<IZBlob> GetBlob(int columnIndex) override;
  AnsiString GetCursorName() override { return cursorName_; }

  // With MaxRows set, rows 1 to MaxRows are reached and no further.
  bool Next() override;
  bool Previous() override;
  // Absolute -1 until the last row number is known.
  bool Last() override;
  // Negative rows count from the end.
  bool MoveAbsolute(int row) override;
  bool MoveRelative(int rows) override;
  // Fetches the current row again.
  void RefreshRow() override;

  bool RowUpdated() override { return update_; }
  bool RowInserted() override { return insert_; }
  bool RowDeleted() override { return delete_; }

  void UpdateNull(int columnIndex) override;
  void UpdateBoolean(int columnIndex, bool value) override;
  void UpdateByte(int columnIndex, std::int8_t value) override;
  void UpdateShort(int columnIndex, std::int16_t value) override;
  void UpdateInt(int columnIndex, int value) override;
  void UpdateLong(int columnIndex, std::int64_t value) override;
  void UpdateFloat(int columnIndex, float value) override;
  void UpdateDouble(int columnIndex, double value) override;
  void UpdateBigDecimal(int columnIndex, long double value) override;
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
  void UpdateValue(int columnIndex, const TZVariant& value) override;

  // Positioned changes through the cursor; the new-value area is emptied.
  void InsertRow() override;
  void UpdateRow() override;
  // Lowers a known last row number by the rows deleted.
  void DeleteRow() override;
  void CancelRowUpdates() override;
  void MoveToInsertRow() override { insert_ = true; }
  void MoveToCurrentRow() override;

  // The whole long value of column (0-based) on row: the cursor goes there
  // when it stands elsewhere and comes back afterwards.
  TByteDynArray ReadBlobOfRow(int row, int column);

protected:
  // Starts an update (unless inserting) with a new-value area of the
  // result's width.
  virtual void PrepareUpdateSQLData();

private:
  // The new-value area while inserting, or for a column updated on this
  // row; the fetched row otherwise.
  IZASASQLDA& Area(int column);
  // Open, the column readable as type; remembers whether it is null.
  IZASASQLDA& Checked(int columnIndex, TZSQLType type);
  IZASASQLDA& ForUpdate();
  // One fetch; true on a row (then the change state is cleared).
  bool Fetch(short kind, int offset);
  void Check(const AnsiString& message);

  bool cachedBlob_;
  int fetchStat_ = 0;
  AnsiString cursorName_;
  short stmtNum_;
  Ref<IZASASQLDA> sqlData_;
  Ref<IZASASQLDA> updateSqlData_;
  Ref<IZASAConnection> connection_;
  bool insert_ = false;
  bool update_ = false;
  bool delete_ = false;
};

// The value of column (0-based) on row of resultSet, read on first use.
class TZASABlob : public TZLazyBlob {
public:
  TZASABlob(Ref<TZASAResultSet> resultSet, int row, int column);

private:
  AnsiString ReadValue() override;

  // Counted: a blob read after its result set was let go must not reach
  // a freed object; a closed result set refuses the read instead. Let go
  // once read.
  Ref<TZASAResultSet> resultSet_;
  int row_;
  int column_;
};
