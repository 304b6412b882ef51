// A control's reference to its skin component: pointing it elsewhere moves
// the free notification along, so the control hears when the skin goes.
#pragma once

#include "platform/rtl/components.h"
#include "skin/file_theme.h"

inline void SetThemeRef(TComponent* control, TsuiFileTheme*& field, TsuiFileTheme* value) {
  if (field) field->RemoveFreeNotification(control);
  field = value;
  if (value) value->FreeNotification(control);
}
