// The native SQLite cursor under every cached SQLite result: it reads all
// rows of a compiled statement into its own buffer when it opens, describes
// the columns by their declared types (a text column at least as wide as its
// longest value, since the cache cuts texts at the column's precision) and
// reads every value from the text the library delivered.
#pragma once

#include <memory>
#include <vector>

#include "sql/core/dbc/abstract_result_set.h"
#include "sql/drivers/sqlite/sqlite_statement.h"

// An auto-increment column (an INTEGER PRIMARY KEY) is nullable: the library
// fills it when it is left empty.
class TZSQLiteResultSetMetadata : public TZAbstractResultSetMetadata {
public:
  using TZAbstractResultSetMetadata::TZAbstractResultSetMetadata;

  TZColumnNullableType IsNullable(int column) override;
};

class TZSQLiteResultSet : public TZAbstractResultSet {
public:
  // Takes over the compiled statement and its first step's arrays, reads
  // the rest and finalizes the statement.
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

private:
  void AddColumn(const char* name, const char* declaredType);
  // Copies the current step's values into the buffer.
  void StoreRow(const char** values);
  // Steps the statement to its end, storing every row; finalizes it.
  void ReadRemainingRows();
  void FreeHandle();
  // The text of a column of the current row (null for NULL), setting
  // LastWasNull; "Row data is not available" without a current row.
  const char* ColumnText(int columnIndex);
  const char* CheckedText(int columnIndex, TZSQLType resultType);

  Ref<IZSQLitePlainDriver> plainDriver_;
  TZSQLiteFirstStep step_;
  int columnCount_ = 0;
  // A copy of text in the row buffer, which never moves what it holds.
  const char* KeepText(const char* text, std::size_t length);

  // Every value of every row, row after row (null for NULL), pointing into
  // blocks of copied texts.
  std::vector<const char*> values_;
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t blockFree_ = 0;
  char* blockEnd_ = nullptr;
  int rowCount_ = 0;
  // Per column the length of its longest value.
  std::vector<std::size_t> longest_;
};
