// TClipboard over the window layer's clipboard calls.
#include "platform/gui/clipboard.h"

#include "platform/gui/user.h"

AnsiString TClipboard::AsText() const { return GetClipboardText(); }

void TClipboard::SetAsText(const AnsiString& text) { SetClipboardText(text); }

TClipboard* Clipboard() {
  static TClipboard clipboard;
  return &clipboard;
}
