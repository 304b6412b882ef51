// Files dropped onto windows: a window asks for them with DragAcceptFiles
// and then receives WM_DROPFILES with a drop handle listing the paths, which
// it reads with DragQueryFile and releases with DragFinish. The X11 backend
// feeds drops from other programs (XDND, text/uri-list) in through
// DropFilesAt; tests use the same call.
#pragma once

#include <vector>

#include "platform/rtl/strings.h"
#include "platform/gui/user.h"

enum : UINT { WM_DROPFILES = 0x0233 };
enum : DWORD { WS_EX_ACCEPTFILES = 0x00000010 };
using HDROP = struct DropList*;

// Sets or clears the window's WS_EX_ACCEPTFILES.
void DragAcceptFiles(HWND hwnd, BOOL accept);
// Index 0xFFFFFFFF gives the number of paths; otherwise copies the path
// (cut to size - 1 characters, NUL-terminated) when a buffer is given and
// returns its full length; 0 for an index out of range.
UINT DragQueryFileA(HDROP drop, UINT index, char* buffer, UINT size);
// The drop point in the client area of the window that received it.
BOOL DragQueryPoint(HDROP drop, POINT* point);
void DragFinish(HDROP drop);

// The window at the screen point that takes files: the one there or its
// nearest ancestor with WS_EX_ACCEPTFILES; 0 when none does.
HWND FileDropTargetAt(POINT screen);
// Posts WM_DROPFILES with the paths to that window; false when none takes
// them (nothing is posted).
bool DropFilesAt(POINT screen, const std::vector<AnsiString>& paths);
