// The edit with an inner control: clipboard guard, text rectangle after the
// window is made, placement on size changes.
#include "util/components/inner_control_edit.h"

void TUtlInnerControlEdit::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_PASTE:
    case WM_CUT:
      if (!ClipboardEditable()) return;
      break;
    case WM_CREATE:
      TCustomEdit::WndProc(m);
      LimitTextRect();
      return;
    default:
      break;
  }
  TCustomEdit::WndProc(m);
}

void TUtlInnerControlEdit::Resize() {
  TCustomEdit::Resize();
  PlaceInner();
}
