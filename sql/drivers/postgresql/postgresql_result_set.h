// The native PostgreSQL result set: the complete libpq result of a query,
// kept in client memory and read with PQgetvalue; every value is converted
// from its text on each read. Scrolling sends nothing to the server.
#pragma once

#include <vector>

#include "sql/core/dbc/abstract_result_set.h"
#include "sql/drivers/postgresql/postgresql_connection.h"

class TZPostgreSQLResultSet : public TZAbstractResultSet {
public:
  // Takes over result (cleared on Close, or at once when opening fails)
  // and opens.
  TZPostgreSQLResultSet(Ref<IZPostgreSQLPlainDriver> plainDriver, const Ref<IZStatement>& statement,
                        const AnsiString& sql, TZPostgreSQLResultHandle result);

  void Open() override;
  void Close() override;
  // A negative row counts back from the end. A forward-only result moves
  // forward only.
  bool MoveAbsolute(int row) override;

  bool IsNull(int columnIndex) override;
  const char* GetPChar(int columnIndex) override;
  // Exactly the value's bytes; a character(n) value without its trailing
  // blanks and control characters.
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
  // The bytes of a bytea text.
  TByteDynArray GetBytes(int columnIndex) override;
  TDateTime GetDate(int columnIndex) override;
  TDateTime GetTime(int columnIndex) override;
  TDateTime GetTimestamp(int columnIndex) override;
  // With "oidasblob" an OID column gives a large-object blob read on demand.
  Ref<IZBlob> GetBlob(int columnIndex) override;

  // Raises a string column's precision to its longest value, so a cache of
  // the rows keeps every value whole.
  void FitStringPrecisions();

private:
  // The value of the current row (null for NULL), setting LastWasNull.
  const char* ColumnText(int columnIndex, int& length);
  const char* CheckedText(int columnIndex, TZSQLType resultType, int& length);
  Ref<IZPostgreSQLConnection> PgConnection();

  Ref<IZPostgreSQLPlainDriver> plainDriver_;
  TZPostgreSQLResultHandle queryHandle_;  // after the driver that clears it
  // Per column: whether it is character(n), whose blanks are cut.
  std::vector<bool> blankPadded_;
};
