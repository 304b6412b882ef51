// Posting cached changes to a SQLite table and reading back the row id the
// library gave an inserted row.

#include "sql/drivers/sqlite/sqlite_resolver.h"

#include "sql/core/dbc/row_accessor.h"

TZSQLiteCachedResolver::TZSQLiteCachedResolver(const Ref<IZStatement>& statement,
                                               const Ref<IZResultSetMetadata>& metadata)
    : TZGenericCachedResolver(statement, metadata),
      autoColumnIndex_(FirstAutoIncrementIntegerColumn(*metadata)) {}

void TZSQLiteCachedResolver::PostUpdates(IZCachedResultSet* sender, TZRowUpdateType updateType,
                                         TZRowAccessor* oldRowAccessor, TZRowAccessor* newRowAccessor) {
  TZGenericCachedResolver::PostUpdates(sender, updateType, oldRowAccessor, newRowAccessor);
  // Only a value the caller left empty is the library's to give.
  if (!InsertLeftColumnEmpty(updateType, autoColumnIndex_, newRowAccessor)) return;
  Ref<IZStatement> statement = Connection->CreateStatement();
  try {
    Ref<IZResultSet> resultSet = statement->ExecuteQuery("SELECT LAST_INSERT_ROWID()");
    if (resultSet->Next()) newRowAccessor->SetLong(autoColumnIndex_, resultSet->GetLong(1));
    resultSet->Close();
  } catch (...) {
    statement->Close();
    throw;
  }
  statement->Close();
}
