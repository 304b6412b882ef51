// A test helper: the message of the EZSQLException that a call raises, so a
// check reads as a comparison with the expected text.
#pragma once

#include <gtest/gtest.h>

#include "sql/core/sql_exception.h"

// Runs f and returns the message of the EZSQLException it raised ("" when it
// raised none); the error must be one the library raised itself (code -1).
template <class F>
AnsiString SQLError(F f) {
  try {
    f();
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.ErrorCode(), -1);
    return e.Message();
  }
  return "";
}
