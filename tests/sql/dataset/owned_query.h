// A query on a connection that posts every column (umUpdateAll), freed when
// the test lets go of it: the round-trip suites make one per column type.
#pragma once

#include <memory>

#include "sql/dataset/connection.h"
#include "sql/dataset/query.h"

using OwnedQuery = std::unique_ptr<TZQuery, void (*)(TZQuery*)>;

inline OwnedQuery NewUpdateAllQuery(TZConnection* connection) {
  OwnedQuery query(new TZQuery(nullptr), [](TZQuery* q) { q->Free(); });
  query->SetConnection(connection);
  query->SetUpdateMode(umUpdateAll);
  return query;
}
