// The desktop shell's file operation: copy, move, rename or delete lists of
// files and folders in one call, as the shell's record describes them
// (NUL-separated lists ending in an extra NUL; the last part of a source may
// hold wildcards). Nothing here ever asks the user: an existing target is
// kept (the item fails) unless FOF_NOCONFIRMATION replaces it or
// FOF_RENAMEONCOLLISION gives the new item a free name; FOF_ALLOWUNDO sends
// deleted items to the trash.
#pragma once

#include <cstdint>

#include "platform/rtl/message_loop.h"

enum : UINT { FO_MOVE = 1, FO_COPY = 2, FO_DELETE = 3, FO_RENAME = 4 };
enum : std::uint16_t {
  FOF_MULTIDESTFILES = 0x0001,  // pTo holds one target name per source
  FOF_SILENT = 0x0004,
  FOF_RENAMEONCOLLISION = 0x0008,
  FOF_NOCONFIRMATION = 0x0010,
  FOF_ALLOWUNDO = 0x0040,
  FOF_FILESONLY = 0x0080,  // a wildcard takes files only
  FOF_SIMPLEPROGRESS = 0x0100,
  FOF_NOCONFIRMMKDIR = 0x0200,
  FOF_NOERRORUI = 0x0400,
};

struct SHFILEOPSTRUCTA {
  HWND hwnd;
  UINT wFunc;
  const char* pFrom;
  const char* pTo;
  std::uint16_t fFlags;
  int fAnyOperationsAborted;
  void* hNameMappings;
  const char* lpszProgressTitle;
};

// 0 when every item succeeded; otherwise the system error number of the
// first item that failed (the others are still done), such as ENOENT for a
// source that names nothing or EEXIST for a target that was kept.
int SHFileOperationA(SHFILEOPSTRUCTA* operation);
