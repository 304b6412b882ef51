// The SQLite resolver of cached result sets: the generic INSERT, UPDATE and
// DELETE statements, plus the row id the library gave an inserted row whose
// INTEGER PRIMARY KEY was left empty.
#pragma once

#include "sql/core/dbc/generic_resolver.h"

class TZSQLiteCachedResolver : public TZGenericCachedResolver {
public:
  // The auto-increment column is the first integer column the metadata
  // marks auto-increment.
  TZSQLiteCachedResolver(const Ref<IZStatement>& statement, const Ref<IZResultSetMetadata>& metadata);

  void PostUpdates(IZCachedResultSet* sender, TZRowUpdateType updateType, TZRowAccessor* oldRowAccessor,
                   TZRowAccessor* newRowAccessor) override;

  // 1-based; 0 when the result has no such column.
  int AutoColumnIndex() const { return autoColumnIndex_; }

private:
  int autoColumnIndex_ = 0;
};
