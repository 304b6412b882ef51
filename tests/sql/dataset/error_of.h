// What the dataset suites ask of a failing call: the message it raised.
#pragma once

#include "platform/rtl/strings.h"

// The message of the exception of class E that f raises ("" when none).
template <class E, class F>
AnsiString ErrorOf(F f) {
  try {
    f();
  } catch (const E& e) {
    return e.Message();
  }
  return "";
}
