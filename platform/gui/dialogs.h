// The message box: a modal dialog with the text, an icon and the buttons the
// flags ask for, returning the ID of the button pressed (Esc and the close
// button give Cancel where there is one). Without a display there is nobody
// to ask: the answer comes from a script (tests), or the message is written
// to stderr and the default button is taken.
#pragma once

#include "platform/rtl/strings.h"
#include "platform/gui/user.h"

enum : UINT {
  MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3, MB_YESNO = 0x4,
  MB_RETRYCANCEL = 0x5, MB_ICONHAND = 0x10, MB_ICONSTOP = 0x10, MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20,
  MB_ICONEXCLAMATION = 0x30, MB_ICONWARNING = 0x30, MB_ICONASTERISK = 0x40, MB_ICONINFORMATION = 0x40,
  MB_DEFBUTTON1 = 0x0, MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200, MB_APPLMODAL = 0x0,
  MB_SYSTEMMODAL = 0x1000, MB_TASKMODAL = 0x2000, MB_SETFOREGROUND = 0x10000, MB_TOPMOST = 0x40000
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);
inline int MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  return MessageBoxA(owner, text, caption, type);
}
// Shows an information box with OK.
void ShowMessage(const AnsiString& text);

// Answers for message boxes shown without a display, in order.
void ScriptMessageBoxAnswer(int id);
