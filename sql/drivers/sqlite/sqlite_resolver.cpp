// Posting cached changes to a SQLite table and reading back the row id the
// library gave an inserted row.

#include "sql/drivers/sqlite/sqlite_resolver.h"

TZSQLiteCachedResolver::TZSQLiteCachedResolver(const Ref<IZStatement>& statement,
                                               const Ref<IZResultSetMetadata>& metadata)
    : TZGenericCachedResolver(statement, metadata),
      autoColumnIndex_(FirstAutoIncrementIntegerColumn(*metadata)) {}

void TZSQLiteCachedResolver::PostUpdates(IZCachedResultSet* sender, TZRowUpdateType updateType,
                                         TZRowAccessor* oldRowAccessor, TZRowAccessor* newRowAccessor) {
  TZGenericCachedResolver::PostUpdates(sender, updateType, oldRowAccessor, newRowAccessor);
  if (updateType == utInserted && autoColumnIndex_ > 0)
    FillGeneratedValue(newRowAccessor, autoColumnIndex_, "SELECT LAST_INSERT_ROWID()");
}
