// The plain setter of the skinned controls: store the new value, repaint.
#pragma once

#include "platform/gui/controls.h"

template <class T>
void StoreAndRepaint(TControl* control, T& field, T value) {
  field = value;
  control->Invalidate();
}
