// Folder search with the platform's FindFirst/FindNext/FindClose: the entries
// of one folder whose names fit a wildcard mask (compared without regard to
// letter case) and whose attributes pass the mask, sorted by name so results
// do not depend on the order the file system keeps. "." and ".." are never
// returned; a symbolic link is an entry of its own (faSymLink), never a folder.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/rtl/strings.h"

namespace detail {
struct SearchState;
}

struct TSearchRec {
  AnsiString Name;      // name without folder
  int Attr = 0;         // attribute bits as FileGetAttr gives them
  int64_t Size = 0;     // 0 for folders
  int64_t ModifyTime = 0;  // last write, seconds since 1970-01-01 UTC
  int ExcludeAttr = 0;  // hidden, system, volume and folder bits not asked for
  std::shared_ptr<detail::SearchState> FindHandle;
};

// path is a folder with a trailing mask ("dir/*.zal", "dir/*"); an empty folder
// part means the current folder. Entries carrying hidden, system, volume or
// folder bits that attributes does not include are left out. 0 when an entry
// was found (in rec), else a system error code (ENOENT when nothing matches).
int FindFirst(const AnsiString& path, int attributes, TSearchRec& rec);
int FindNext(TSearchRec& rec);
void FindClose(TSearchRec& rec);

// Wildcard match of a name: "*" any run of characters, "?" one character,
// letter case ignored; the mask "*.*" matches every name.
bool MatchesMask(const AnsiString& name, const AnsiString& mask);
