// The skinned edit and memo; see skin_edit.h.
#include "skin/skin_edit.h"

TsuiEdit::TsuiEdit(TComponent* owner) : TsuiBordered<TEdit>(owner) {
  SetControlStyle(ControlStyle() | csOpaque);
  SetBorderStyle(bsNone);
  SetBorderWidth(2);
  SetUIStyle(GetOwnerUIStyle(owner));
}

TsuiMemo::TsuiMemo(TComponent* owner) : TsuiBarHost<TMemo>(owner, TsuiAttachedBars::kMemo) {
  SetBorderStyle(bsNone);
  SetBorderWidth(2);
  SetUIStyle(GetOwnerUIStyle(owner));
}

void TsuiMemo::BarsChanged() {
  const bool h = HScrollBar(), v = VScrollBar();
  SetScrollBars(h && v ? ssBoth : v ? ssVertical : h ? ssHorizontal : ssNone);
}

void TsuiMemo::WndProc(TMessage& m) {
  TsuiBarHost<TMemo>::WndProc(m);
  switch (m.Msg) {
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case CM_TEXTCHANGED: SyncBars(); break;
    default: break;
  }
}
