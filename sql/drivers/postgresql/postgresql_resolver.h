// The PostgreSQL resolver of cached result sets: the generic INSERT, UPDATE
// and DELETE statements, with text columns admitted as row keys.
#pragma once

#include "sql/core/dbc/generic_resolver.h"

class TZPostgreSQLCachedResolver : public TZGenericCachedResolver {
public:
  using TZGenericCachedResolver::TZGenericCachedResolver;

protected:
  // A named, searchable column of a table whose type is neither unknown nor
  // a wide or binary stream.
  bool CheckKeyColumn(int columnIndex) override;
  // UPDATE and DELETE have no row limit here: a post that reached other than
  // one row is rolled back, to a savepoint inside the transaction the
  // connection keeps open, else in a transaction of its own.
  TZRowGuard SingleRowGuard() override;
};
