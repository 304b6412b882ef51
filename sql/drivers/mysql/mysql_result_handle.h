// The client library's results, held by the core's client handle and freed
// through the plain driver that made them.
#pragma once

#include "sql/core/dbc/client_handle.h"
#include "sql/drivers/mysql/mysql_client_types.h"
#include "sql/drivers/mysql/mysql_plain_driver.h"

inline void FreeMySQLResult(IZMySQLPlainDriver* plainDriver, MYSQL_RES* result) { plainDriver->FreeResult(result); }

using TZMySQLResultHandle = TZClientHandle<IZMySQLPlainDriver, MYSQL_RES*, FreeMySQLResult>;
