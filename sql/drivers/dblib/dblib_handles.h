// The library's login records and processes, held by the core's client
// handle and freed through the plain driver that made them. A library that
// lacks the call (it raises) has nothing to free.
#pragma once

#include "sql/core/dbc/client_handle.h"
#include "sql/drivers/dblib/dblib_plain_driver.h"

inline void FreeDBLibLogin(IZDBLibPlainDriver* plainDriver, DBLibLogin* login) {
  try {
    plainDriver->dbloginfree(login);
  } catch (...) {
  }
}
inline void CloseDBLibProcess(IZDBLibPlainDriver* plainDriver, DBLibProcess* process) {
  try {
    plainDriver->dbclose(process);
  } catch (...) {
  }
}

using TZDBLibLoginHandle = TZClientHandle<IZDBLibPlainDriver, DBLibLogin*, FreeDBLibLogin>;
using TZDBLibProcessHandle = TZClientHandle<IZDBLibPlainDriver, DBLibProcess*, CloseDBLibProcess>;
