// The skinned edit and memo; see skin_edit.h.
#include "skin/skin_edit.h"

TsuiEdit::TsuiEdit(TComponent* owner) : TsuiBordered<TEdit>(owner) {
  SetControlStyle(ControlStyle() | csOpaque);
  SetBorderStyle(bsNone);
  SetBorderWidth(2);
  SetUIStyle(GetOwnerUIStyle(owner));
}

TsuiMemo::TsuiMemo(TComponent* owner) : TsuiBordered<TMemo>(owner) {
  SetBorderStyle(bsNone);
  SetBorderWidth(2);
  SetUIStyle(GetOwnerUIStyle(owner));
}
