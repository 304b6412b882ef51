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
};
