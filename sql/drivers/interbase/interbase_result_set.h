// The native Interbase/Firebird result set: a forward-only cursor over a
// client statement handle that it owns, fetching one row at a time into its
// result area and reading the typed values from there; and the blob handed
// out when blobs are not cached, which reads its content on first use.
#pragma once

#include <memory>

#include "sql/core/dbc/abstract_result_set.h"
#include "sql/core/dbc/blobs.h"
#include "sql/drivers/interbase/interbase_connection.h"
#include "sql/drivers/interbase/interbase_handles.h"
#include "sql/drivers/interbase/interbase_sqlda.h"

class TZInterbase6ResultSet : public TZAbstractResultSet {
public:
  // Takes over stmtHandle (freed on Close; kept where the client allocated
  // it, as the client remembers that address) and opens: forward-only and
  // read-only whatever the statement asked. sqlData is described already;
  // with rowFetched it holds the one row of an executed EXECUTE PROCEDURE,
  // which has no cursor to fetch from.
  TZInterbase6ResultSet(const Ref<IZStatement>& statement, const AnsiString& sql,
                        TZInterbaseStatementHandle stmtHandle,
                        const AnsiString& cursorName, Ref<IZResultSQLDA> sqlData, bool cachedBlob,
                        bool rowFetched = false);

  // "Cannot retrieve Resultset data" without a statement handle.
  void Open() override;
  // Fetches the next row; false at the end or at the row limit, and on
  // every later call without asking the client.
  bool Next() override;
  // Drops the statement handle once.
  void Close() override;
  AnsiString GetCursorName() override { return cursorName_; }
  // Raises the forward-only error.
  bool MoveAbsolute(int row) override;

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
  // Read whole now with cached blobs; otherwise a blob that reads on first use.
  Ref<IZBlob> GetBlob(int columnIndex) override;

private:
  // Checks that the column reads as type and records whether it is null.
  void Checked(int columnIndex, TZSQLType type);

  Ref<IZInterbase6Connection> ibConnection_;
  Ref<IZResultSQLDA> sqlData_;
  TZInterbaseStatementHandle stmtHandle_;  // after the connection whose driver drops it
  AnsiString cursorName_;
  ISC_STATUS fetchStat_ = 0;
  bool cachedBlob_;
  bool rowFetched_;
};
