// The MySQL resolver of cached result sets: the generic INSERT, UPDATE and
// DELETE statements, plus the server's auto-increment value copied into an
// inserted row whose integer auto-increment column was left empty.
#pragma once

#include "sql/core/dbc/generic_resolver.h"
#include "sql/drivers/mysql/mysql_plain_driver.h"

class TZMySQLCachedResolver : public TZGenericCachedResolver {
public:
  // The auto-increment column is the first integer column the metadata marks
  // auto-increment. The session's handle is taken from the statement's
  // connection when needed, so a reconnect never leaves a stale one here.
  TZMySQLCachedResolver(Ref<IZMySQLPlainDriver> plainDriver, const Ref<IZStatement>& statement,
                        const Ref<IZResultSetMetadata>& metadata);

  void PostUpdates(IZCachedResultSet* sender, TZRowUpdateType updateType, TZRowAccessor* oldRowAccessor,
                   TZRowAccessor* newRowAccessor) override;
  void UpdateAutoIncrementFields(IZCachedResultSet* sender, TZRowUpdateType updateType,
                                 TZRowAccessor* oldRowAccessor, TZRowAccessor* newRowAccessor,
                                 IZCachedResolver* resolver) override;

  // 1-based; 0 when the result has no such column.
  int AutoColumnIndex() const { return autoColumnIndex_; }

protected:
  // Two equal rows of a table without a key: one of them is the posted row.
  AnsiString SingleRowClause() override { return " LIMIT 1"; }

private:
  Ref<IZMySQLPlainDriver> plainDriver_;
  int autoColumnIndex_ = 0;
};
