// Which columns of a PostgreSQL result may identify a row in generated
// statements: PostgreSQL compares text values like short strings, so text
// (an ASCII stream here) serves as a key where other servers' blobs cannot.

#include "sql/drivers/postgresql/postgresql_resolver.h"

bool TZPostgreSQLCachedResolver::CheckKeyColumn(int columnIndex) {
  const TZSQLType type = Metadata->GetColumnType(columnIndex);
  return !Metadata->GetTableName(columnIndex).empty() && !Metadata->GetColumnName(columnIndex).empty() &&
         Metadata->IsSearchable(columnIndex) && type != stUnknown && type != stUnicodeStream &&
         type != stBinaryStream;
}
