// The PostgreSQL resolver's own rules. Which columns may identify a row in
// generated statements: PostgreSQL compares text values like short strings,
// so text (an ASCII stream here) serves as a key where other servers' blobs
// cannot. And how a posted row that reached other than one row is undone.

#include "sql/drivers/postgresql/postgresql_resolver.h"

bool TZPostgreSQLCachedResolver::CheckKeyColumn(int columnIndex) {
  const TZSQLType type = Metadata->GetColumnType(columnIndex);
  return !Metadata->GetTableName(columnIndex).empty() && !Metadata->GetColumnName(columnIndex).empty() &&
         Metadata->IsSearchable(columnIndex) && type != stUnknown && type != stUnicodeStream &&
         type != stBinaryStream;
}

TZGenericCachedResolver::TZRowGuard TZPostgreSQLCachedResolver::SingleRowGuard() {
  // A connection with an isolation level always has a transaction open.
  if (Connection->GetTransactIsolationLevel() != tiNone)
    return {"SAVEPOINT vx_posted_row", "RELEASE SAVEPOINT vx_posted_row", "ROLLBACK TO SAVEPOINT vx_posted_row"};
  return {"BEGIN", "COMMIT", "ROLLBACK"};
}
