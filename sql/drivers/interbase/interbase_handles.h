// A statement handle in a slot of its own on the heap, held by the core's
// client handle: the client keeps the address the handle was allocated at
// and clears it when the statement goes, so the slot moves between owners as
// it is. A statement the client still has is dropped when its holder goes;
// nobody is left then to hear of a failure.
#pragma once

#include "sql/core/dbc/client_handle.h"
#include "sql/drivers/interbase/interbase_plain_driver.h"

inline void DropInterbaseStatement(IZInterbasePlainDriver* plainDriver, isc_stmt_handle* slot) {
  if (*slot != 0) {
    try {
      ISC_STATUS_VECTOR status = {};
      plainDriver->isc_dsql_free_statement(status, slot, kDsqlDrop);
    } catch (...) {
    }
  }
  delete slot;
}

using TZInterbaseStatementHandle = TZClientHandle<IZInterbasePlainDriver, isc_stmt_handle*, DropInterbaseStatement>;

// A new, still unallocated statement handle.
inline TZInterbaseStatementHandle NewInterbaseStatementHandle(IZInterbasePlainDriver* plainDriver) {
  return TZInterbaseStatementHandle(plainDriver, new isc_stmt_handle(0));
}
