// The DB-Library result set and resolver. TZDBLibResultSet is the
// forward-only cursor over the current result of a DB-Library process: it
// reads each value straight from the library's row buffer, converting with
// the library's dbconvert where the column's type differs from the one asked
// for. A process holds one pending result only, so the statements copy it
// whole into a cached result set at once. TZDBLibCachedResolver writes cached
// changes back and fills the identity the server gave an inserted row.
#pragma once

#include <vector>

#include "sql/core/dbc/abstract_result_set.h"
#include "sql/core/dbc/generic_resolver.h"
#include "sql/drivers/dblib/dblib_connection.h"

class TZDBLibResultSet : public TZAbstractResultSet {
public:
  // Describes the process's current result; EZSQLException "Cannot retrieve
  // Resultset data" when it has no rows to give.
  TZDBLibResultSet(const Ref<IZStatement>& statement, const AnsiString& sql);

  void Open() override;
  void Close() override;
  // False at the end, and on a dead "mssql" process without asking it.
  bool Next() override;
  // "Unsupported operation": the cursor only moves forward.
  bool MoveAbsolute(int row) override;

  bool IsNull(int columnIndex) override;
  // Character and text values without trailing blanks; others converted to
  // text by the library.
  AnsiString GetString(int columnIndex) override;
  bool GetBoolean(int columnIndex) override;
  std::int8_t GetByte(int columnIndex) override;
  std::int16_t GetShort(int columnIndex) override;
  int GetInt(int columnIndex) override;
  // Eight-byte integers whole; other columns as GetInt.
  std::int64_t GetLong(int columnIndex) override;
  float GetFloat(int columnIndex) override;
  double GetDouble(int columnIndex) override;
  long double GetBigDecimal(int columnIndex) override;
  TByteDynArray GetBytes(int columnIndex) override;
  TDateTime GetDate(int columnIndex) override;
  TDateTime GetTime(int columnIndex) override;
  TDateTime GetTimestamp(int columnIndex) override;
  Ref<IZBlob> GetBlob(int columnIndex) override;

private:
  // The value of a column of the current row (null for NULL) and its length;
  // sets LastWasNull. Raises the column error for a column out of range.
  BYTE* ColumnData(int columnIndex, DBINT& length);
  // The value as the library's type nativeType, copied or converted into
  // size bytes at result; false for NULL. Ends with the error check.
  bool ReadAs(int columnIndex, int nativeType, void* result, int size, const char* logText);

  Ref<IZDBLibConnection> connection_;
  Ref<IZDBLibPlainDriver> plainDriver_;
  DBLibProcess* handle_ = nullptr;
  bool msSql_ = false;
  // The library's type of each column, from index 1.
  std::vector<int> colTypes_;
  int columnCount_ = 0;
};

class TZDBLibCachedResolver : public TZGenericCachedResolver {
public:
  TZDBLibCachedResolver(const Ref<IZStatement>& statement, const Ref<IZResultSetMetadata>& metadata);

  // After an insert whose identity column was left null, reads the value
  // the server gave it ("SELECT @@IDENTITY") into the new row.
  void PostUpdates(IZCachedResultSet* sender, TZRowUpdateType updateType, TZRowAccessor* oldRowAccessor,
                   TZRowAccessor* newRowAccessor) override;

private:
  // -1 until first needed, then the first auto-increment column (1-based)
  // or 0 when there is none.
  int autoColumnIndex_ = -1;
};

// DB-Library's date-time (day number from 1900-01-01, then the time of day
// in three-hundredths of a second) as a TDateTime.
TDateTime DBLibDateTimeToDateTime(const BYTE* data);
