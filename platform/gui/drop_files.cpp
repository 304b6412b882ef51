// Drop handles: the paths and the point of one drop, owned by the receiver
// from WM_DROPFILES until DragFinish.
#include "platform/gui/drop_files.h"

#include <algorithm>
#include <cstring>

struct DropList {
  std::vector<AnsiString> paths;
  POINT client;
};

namespace {
constexpr UINT kQueryCount = 0xFFFFFFFF;
}

void DragAcceptFiles(HWND hwnd, BOOL accept) {
  const LONG_PTR ex = GetWindowLongPtrA(hwnd, GWL_EXSTYLE);
  SetWindowLongPtrA(hwnd, GWL_EXSTYLE, accept ? ex | WS_EX_ACCEPTFILES : ex & ~LONG_PTR(WS_EX_ACCEPTFILES));
}

UINT DragQueryFileA(HDROP drop, UINT index, char* buffer, UINT size) {
  if (!drop) return 0;
  if (index == kQueryCount) return UINT(drop->paths.size());
  if (index >= drop->paths.size()) return 0;
  const AnsiString& path = drop->paths[index];
  if (buffer && size > 0) {
    const size_t n = std::min<size_t>(path.size(), size - 1);
    std::memcpy(buffer, path.data(), n);
    buffer[n] = '\0';
  }
  return UINT(path.size());
}

BOOL DragQueryPoint(HDROP drop, POINT* point) {
  if (!drop || !point) return 0;
  *point = drop->client;
  return 1;
}

void DragFinish(HDROP drop) { delete drop; }

HWND FileDropTargetAt(POINT screen) {
  for (HWND hwnd = WindowFromPoint(screen); hwnd; hwnd = GetParent(hwnd))
    if (GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) return hwnd;
  return 0;
}

bool DropFilesAt(POINT screen, const std::vector<AnsiString>& paths) {
  const HWND target = FileDropTargetAt(screen);
  if (!target || paths.empty()) return false;
  POINT client = screen;
  ScreenToClient(target, &client);
  auto* drop = new DropList{paths, client};
  if (PostMessage(target, WM_DROPFILES, WPARAM(drop), 0)) return true;
  delete drop;
  return false;
}
