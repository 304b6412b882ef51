// The headless display: an in-memory screen that shows the visible top-level
// windows in their stacking order, scripted mouse and keyboard input that
// travels the same road as real input, and a recorder of tray-icon calls.
// Tests use it, and programs run with it when there is no display.
#pragma once

#include <string>
#include <vector>

#include "platform/gui/user.h"

// Scripted input in screen coordinates; it reaches windows as the message
// loop runs, in the order it was given.
void HeadlessMouseMove(int x, int y);
void HeadlessMouseDown(int x, int y, int button = VK_LBUTTON);
void HeadlessMouseUp(int x, int y, int button = VK_LBUTTON);
void HeadlessClick(int x, int y, int button = VK_LBUTTON);
// chars: the Windows-1250 characters the key types (WM_CHAR after WM_KEYDOWN).
void HeadlessKeyDown(int virtualKey, const std::string& chars = "");
void HeadlessKeyUp(int virtualKey);

// The screen as it looks now; the caller deletes the bitmap.
HBITMAP HeadlessScreenImage();

struct TrayCall {
  DWORD message = 0;
  NOTIFYICONDATAA data;
};
// Every Shell_NotifyIcon call the headless tray received, in order.
const std::vector<TrayCall>& HeadlessTrayCalls();
void HeadlessClearTrayCalls();
// The tray host reports a mouse message on an icon that is in the tray; false
// when no such icon is there.
bool HeadlessTrayMouse(UINT iconId, UINT mouseMessage);
// The tray host starts anew: icons are gone and windows hear "TaskbarCreated".
void HeadlessRestartTray();
