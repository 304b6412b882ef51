// The published style and skin properties every skinned control shares,
// which a theme manager and a skinned frame hand on; for the property tables.
#pragma once

#include <vector>

#include "platform/gui/type_info.h"
#include "skin/skin_keys.h"

template <class C>
std::vector<TPropInfo> Themed(std::vector<TPropInfo> more) {
  more.push_back(EnumProp("UIStyle", UIStyleNames(), &C::UIStyle, &C::SetUIStyle));
  more.push_back(RefProp("FileTheme", &C::FileTheme, &C::SetFileTheme));
  return more;
}
