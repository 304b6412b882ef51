// What the navigator tests read: which buttons are enabled, as one letter
// per button (First, Prior, Next, Last, Insert, Delete, Edit, poSt, Cancel,
// Refresh) or "-" for a disabled one.
#pragma once

#include <string>

#include "skin/db_navigator.h"

namespace skintest {

inline std::string EnabledButtons(const TsuiDBNavigator* nav) {
  static const char kLetters[] = "FPNLIDESCR";
  std::string shown;
  for (int i = 0; i < kNavButtonCount; ++i) shown += nav->Button(TNavigateBtn(i))->Enabled() ? kLetters[i] : '-';
  return shown;
}

}  // namespace skintest
