// Posting cached changes to a MySQL table and reading back the id the server
// gave an inserted row.

#include "sql/drivers/mysql/mysql_resolver.h"

#include "sql/core/dbc/row_accessor.h"
#include "sql/drivers/mysql/mysql_connection.h"

TZMySQLCachedResolver::TZMySQLCachedResolver(Ref<IZMySQLPlainDriver> plainDriver, const Ref<IZStatement>& statement,
                                             const Ref<IZResultSetMetadata>& metadata)
    : TZGenericCachedResolver(statement, metadata), plainDriver_(std::move(plainDriver)),
      autoColumnIndex_(FirstAutoIncrementIntegerColumn(*metadata)) {}

void TZMySQLCachedResolver::PostUpdates(IZCachedResultSet* sender, TZRowUpdateType updateType,
                                        TZRowAccessor* oldRowAccessor, TZRowAccessor* newRowAccessor) {
  TZGenericCachedResolver::PostUpdates(sender, updateType, oldRowAccessor, newRowAccessor);
  if (updateType == utInserted)
    UpdateAutoIncrementFields(sender, updateType, oldRowAccessor, newRowAccessor, this);
}

void TZMySQLCachedResolver::UpdateAutoIncrementFields(IZCachedResultSet* sender, TZRowUpdateType updateType,
                                                      TZRowAccessor* oldRowAccessor, TZRowAccessor* newRowAccessor,
                                                      IZCachedResolver* resolver) {
  TZGenericCachedResolver::UpdateAutoIncrementFields(sender, updateType, oldRowAccessor, newRowAccessor, resolver);
  if (autoColumnIndex_ <= 0) return;
  // Only a value the caller left empty is the server's to give.
  bool isNull = false;
  std::int64_t given = newRowAccessor->GetLong(autoColumnIndex_, isNull);
  if (!isNull && given != 0) return;
  Ref<IZMySQLConnection> connection = Query<IZMySQLConnection>(Connection);
  if (!connection || !connection->GetConnectionHandle()) return;
  newRowAccessor->SetLong(autoColumnIndex_, plainDriver_->GetLastInsertID(connection->GetConnectionHandle()));
}
