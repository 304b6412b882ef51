// The native MySQL cursor: a result taken from the client library, stored
// whole or streamed row by row, with its columns described from the library's
// field descriptors and every value read from the column text the library
// delivers. Updatable or scrolled streamed results are cached by the
// statement on top of this one.
#pragma once

#include "sql/core/dbc/abstract_result_set.h"
#include "sql/core/dbc/cached_result_set.h"
#include "sql/drivers/mysql/mysql_plain_driver.h"
#include "sql/drivers/mysql/mysql_result_handle.h"

inline constexpr char SZUnknownMySQLDataType[] = "Unknown MySQL data type!";

// The column type of a field descriptor; raises the platform's Exception
// "Unknown MySQL data type!" for a type code the driver does not know.
TZSQLType ConvertMySQLFieldToSQLType(IZMySQLPlainDriver* plainDriver, MYSQL_FIELD* field, int flags);

// Column types come from the catalogue where the SELECT names table columns;
// a streamed result keeps the library's descriptions.
class TZMySQLResultSetMetadata : public TZAbstractResultSetMetadata {
public:
  TZMySQLResultSetMetadata(Ref<IZDatabaseMetadata> metadata, const AnsiString& sql,
                           TZAbstractResultSet* parentResultSet, bool streamed);

  TZSQLType GetColumnType(int column) override;
};

class TZMySQLResultSet : public TZAbstractResultSet {
public:
  // Takes the session's current result (UseResult streams it) and opens.
  TZMySQLResultSet(Ref<IZMySQLPlainDriver> plainDriver, const Ref<IZStatement>& statement, const AnsiString& sql,
                   MYSQL* handle, bool useResult);

  void Open() override;
  void Close() override;
  bool Next() override;
  // Stored results only; a negative row counts from the end.
  bool MoveAbsolute(int row) override;

  bool IsNull(int columnIndex) override;
  const char* GetPChar(int columnIndex) override;
  AnsiString GetString(int columnIndex) override;
  // The text in the system's code page, widened.
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
  // Zero dates ("0000-00-00 ...") read as null.
  TDateTime GetDate(int columnIndex) override;
  // Midnight is a value, never null.
  TDateTime GetTime(int columnIndex) override;
  TDateTime GetTimestamp(int columnIndex) override;
  std::unique_ptr<TStream> GetAsciiStream(int columnIndex) override;
  std::unique_ptr<TStream> GetUnicodeStream(int columnIndex) override;
  std::unique_ptr<TStream> GetBinaryStream(int columnIndex) override;
  Ref<IZBlob> GetBlob(int columnIndex) override;

  // Writes the current row into a fresh row buffer of a cache laid out by
  // columns: numbers, texts and dates straight from the row's texts, every
  // other value through the getters, so each value is the one the getters
  // give.
  void StoreRow(TZRowAccessor& dest, const TZColumnInfoList& columns);
  // The rows a stored result holds; 0 for a streamed one, which cannot know.
  int StoredRowCount() const { return useResult_ ? 0 : LastRowNo; }

private:
  // The column text of the current row (null for NULL), setting LastWasNull.
  const char* ColumnText(int columnIndex);
  // ColumnText after the conversion check for resultType.
  const char* CheckedText(int columnIndex, TZSQLType resultType);
  void AddColumn(MYSQL_FIELD* field);

  MYSQL* handle_;
  MYSQL_ROW rowHandle_ = nullptr;
  Ref<IZMySQLPlainDriver> plainDriver_;
  TZMySQLResultHandle queryHandle_;  // after the driver that frees it
  bool useResult_;
};

// The cache of a MySQL result: rows from the cursor's StoreRow.
using TZMySQLCachedResultSet = TZNativeCachedResultSet<TZMySQLResultSet>;
