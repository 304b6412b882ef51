// The ADO driver's result set over an open ADO recordset, which holds every
// row on the client: columns described from the fields and their OLE DB
// flags, moves on the recordset's own cursor, values read as variants. Also
// the resolver of updatable ADO results, which fills a generated identity
// after an insert.
#pragma once

#include "sql/core/dbc/abstract_result_set.h"
#include "sql/core/dbc/generic_resolver.h"
#include "sql/drivers/ado/ado_objects.h"

class TZAdoResultSet : public TZAbstractResultSet {
public:
  // Opens at once; a missing or closed recordset raises "Cannot retrieve
  // Resultset data".
  TZAdoResultSet(const Ref<IZStatement>& statement, Ref<Recordset15> recordset, const AnsiString& sql);

  void Open() override;
  void Close() override;
  // The first Next after Open stays on the record the recordset stands on.
  bool Next() override;
  // Rows count from 1; a negative row counts back from the last (-1 the
  // last); 0 is before the first row.
  bool MoveAbsolute(int row) override;
  // -1 off the records.
  int GetRow() override;

  // A bad index raises the recordset's error in every getter.
  bool IsNull(int columnIndex) override;
  const char* GetPChar(int columnIndex) override;
  // Trailing blanks are removed.
  AnsiString GetString(int columnIndex) override;
  WideString GetUnicodeString(int columnIndex) override;
  // A value that does not convert reads false or 0.
  bool GetBoolean(int columnIndex) override;
  std::int8_t GetByte(int columnIndex) override;
  std::int16_t GetShort(int columnIndex) override;
  int GetInt(int columnIndex) override;
  std::int64_t GetLong(int columnIndex) override;
  float GetFloat(int columnIndex) override;
  double GetDouble(int columnIndex) override;
  long double GetBigDecimal(int columnIndex) override;
  TDateTime GetDate(int columnIndex) override;
  TDateTime GetTime(int columnIndex) override;
  TDateTime GetTimestamp(int columnIndex) override;
  TByteDynArray GetBytes(int columnIndex) override;
  // A text or byte-array value as a blob; an empty blob for NULL.
  Ref<IZBlob> GetBlob(int columnIndex) override;

private:
  // The value of the current record, setting LastWasNull; null for Empty.
  Variant Value(int columnIndex);
  // value converted by read, or fallback when that fails.
  template <class T, class Read>
  T Converted(int columnIndex, T fallback, Read read);

  Ref<Recordset15> recordset_;
  Ref<Fields> fields_;
  bool firstFetch_ = false;
};

class TZAdoCachedResolver : public TZGenericCachedResolver {
public:
  TZAdoCachedResolver(Ref<Connection15> adoConnection, const Ref<IZResultSetMetadata>& metadata,
                      const Ref<IZStatement>& statement);

  // After an insert that left the identity column empty, reads the value the
  // data source gave it with "SELECT @@IDENTITY".
  void PostUpdates(IZCachedResultSet* sender, TZRowUpdateType updateType, TZRowAccessor* oldRowAccessor,
                   TZRowAccessor* newRowAccessor) override;

private:
  Ref<_Command> identityCommand_;
  int autoColumnIndex_;
};
