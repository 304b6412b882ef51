// The native SQLite cursor under every cached SQLite result, and that cache.
// The cursor steps the compiled statement row by row and describes the
// columns by their declared types, a text column at least as wide as its
// longest value so far (the cache cuts texts at the column's width); its
// getters read the text the library delivered. The cache takes the rows
// straight from the library's values, and widens its columns as the cursor
// does.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sql/core/dbc/abstract_result_set.h"
#include "sql/core/dbc/cached_result_set.h"
#include "sql/drivers/sqlite/sqlite_statement.h"

// An auto-increment column (an INTEGER PRIMARY KEY) is nullable: the library
// fills it when it is left empty.
class TZSQLiteResultSetMetadata : public TZAbstractResultSetMetadata {
public:
  using TZAbstractResultSetMetadata::TZAbstractResultSetMetadata;

  TZColumnNullableType IsNullable(int column) override;

protected:
  // The catalogue gives a column its declared type; a text column the rows
  // read so far turned into a stream stays one.
  void LoadColumn(int columnIndex, TZColumnInfo& columnInfo, IZSelectSchema* selectSchema) override;
};

class TZSQLiteResultSet : public TZAbstractResultSet {
public:
  // Takes over the compiled statement and its first step's arrays; the
  // statement is finalized once Next finds no further row.
  TZSQLiteResultSet(Ref<IZSQLitePlainDriver> plainDriver, const Ref<IZStatement>& statement, const AnsiString& sql,
                    TZSQLiteFirstStep firstStep);

  void Open() override;
  void Close() override;
  bool Next() override;

  bool IsNull(int columnIndex) override;
  const char* GetPChar(int columnIndex) override;
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
  std::unique_ptr<TStream> GetAsciiStream(int columnIndex) override;
  // No stream: the texts are single-byte.
  std::unique_ptr<TStream> GetUnicodeStream(int columnIndex) override;
  // The stored text with its percent escapes undone.
  std::unique_ptr<TStream> GetBinaryStream(int columnIndex) override;
  Ref<IZBlob> GetBlob(int columnIndex) override;

  // Writes the current row into a fresh row buffer of a cache laid out by
  // columns: the library's integers, doubles and texts go in directly where
  // the column's type takes them as they are, every other value through
  // the getters, so each value is the one the getters give.
  void StoreRow(TZRowAccessor& dest, const TZColumnInfoList& columns);
  // Counts the times a column grew wider or became a stream.
  int Widenings() const { return widenings_; }

private:
  void AddColumn(const char* name, const char* declaredType);
  // Steps the statement to its next row; finalizes it at the end.
  bool StepStatement();
  // The whole-result rule, one row at a time: a text or bytes column as
  // wide as its longest value, a text too wide for fixed rows a stream.
  void WidenColumns();
  void FreeHandle();
  // The text Step would give for column i of the current row (null for NULL).
  const char* TextOf(int i);
  // The byte count of that text, once made and not null: the library's own
  // for a text value, NUL bytes included.
  std::size_t TextLength(int i);
  // The text of a column of the current row (null for NULL), setting
  // LastWasNull; "Row data is not available" without a current row.
  const char* ColumnText(int columnIndex);
  const char* CheckedText(int columnIndex, TZSQLType resultType);

  Ref<IZSQLitePlainDriver> plainDriver_;
  TZSQLiteFirstStep step_;
  int columnCount_ = 0;
  // Whether the driver gives typed rows (after the first one).
  bool typedRows_ = false;
  bool onRow_ = false;
  int widenings_ = 0;
  // The current row: the library's values (storage 0 where only the text is
  // known) and, once asked for, each value's text with its own copy.
  std::vector<TZSQLiteValue> values_;
  std::vector<const char*> texts_;
  std::vector<char> textMade_;
  std::vector<std::string> copies_;
};

// The cache of a SQLite query: rows from the cursor's StoreRow, its columns
// widened whenever the cursor's grew.
class TZSQLiteCachedResultSet : public TZNativeCachedResultSet<TZSQLiteResultSet> {
public:
  using TZNativeCachedResultSet::TZNativeCachedResultSet;

protected:
  void PrepareFetchedRow() override;

private:
  int widenings_ = 0;
};
