// The clipboard object: text in Windows-1250 (the window layer converts to
// the display's clipboard selection).
#pragma once

#include "platform/rtl/strings.h"

class TClipboard {
public:
  AnsiString AsText() const;
  void SetAsText(const AnsiString& text);
  bool HasText() const { return !AsText().empty(); }
  void Clear() { SetAsText(""); }
};

TClipboard* Clipboard();
