// The client library's connection and result handles, held by the core's
// client handle and released through the plain driver that made them.
#pragma once

#include "sql/core/dbc/client_handle.h"
#include "sql/drivers/postgresql/postgresql_plain_driver.h"

inline void FinishPostgreSQLConnection(IZPostgreSQLPlainDriver* plainDriver, PGconn* handle) {
  plainDriver->PQfinish(handle);
}
inline void ClearPostgreSQLResult(IZPostgreSQLPlainDriver* plainDriver, PGresult* result) {
  plainDriver->PQclear(result);
}

using TZPostgreSQLConnectionHandle = TZClientHandle<IZPostgreSQLPlainDriver, PGconn*, FinishPostgreSQLConnection>;
using TZPostgreSQLResultHandle = TZClientHandle<IZPostgreSQLPlainDriver, PGresult*, ClearPostgreSQLResult>;
