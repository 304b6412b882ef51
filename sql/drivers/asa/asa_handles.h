// The client's communication area once initialised, held by the core's
// client handle and finished through the plain driver that initialised it.
#pragma once

#include "sql/core/dbc/client_handle.h"
#include "sql/drivers/asa/asa_plain_driver.h"

inline void FinishASAArea(IZASAPlainDriver* plainDriver, SQLCA* area) {
  try {
    plainDriver->db_fini(area);
  } catch (...) {
    // A library without the call has nothing to finish.
  }
}

using TZASAAreaHandle = TZClientHandle<IZASAPlainDriver, SQLCA*, FinishASAArea>;
