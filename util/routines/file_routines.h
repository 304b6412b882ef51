// File and shell routines of the utility library: file sizes, trailing
// separators, folder listings filtered by several wildcard masks, deletion of
// a folder tree, and deletion through the desktop shell, whose "recycle bin"
// is the desktop trash. The existence tests are the runtime's FileExists and
// DirectoryExists (platform/rtl/files.h). None of these raises on failure.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/rtl/dynlib.h"
#include "platform/rtl/files.h"
#include "platform/rtl/message_loop.h"
#include "platform/rtl/strings.h"

class TStrings;

// Size of the file in bytes (0 for a folder); -1 when it cannot be read.
std::int64_t GetSizeOfFile(const AnsiString& name);

// Path with PathDelim appended unless it ends with one ("" gives "/").
AnsiString AddTrailingSeparator(const AnsiString& path);
// Path without one trailing PathDelim.
AnsiString RemoveTrailingSeparator(const AnsiString& path);

// Lists the entries of Path's folder whose names fit one of the masks after
// its last PathDelim ("dir/*.txt;*.doc", letter case ignored) and that carry
// no attribute outside Attr; adds folder + name or the bare name to List.
// False when the folder has no entry at all or cannot be read to the end.
bool ListMatchingFiles(const AnsiString& path, int attr, TStrings* list, bool includeDirectoryName);
// Mask "", "*" and "*.*" match every name; a name without "." is matched as
// if it ended with one, so "*." matches names without an extension.
bool FileNameMatchesMask(const AnsiString& fileName, const AnsiString& mask, bool caseSensitive);

// Asked before each file is deleted; false keeps the file.
using TDeleteTreeCallback = std::function<bool(const AnsiString& fileName, int attributes)>;
// Deletes Dir with everything below it; links are removed, never followed.
// A file that cannot be deleted (or that the callback keeps) makes the
// result false and keeps the folder; with AbortOnFailure the walk stops there.
bool DeleteDirectoryTree(const AnsiString& dir, bool abortOnFailure = false,
                         const TDeleteTreeCallback& callback = nullptr);

enum TShellDeleteOption : std::uint8_t {
  sdoSilent = 1 << 0,
  sdoAllowUndo = 1 << 1,   // to the trash instead of deleting
  sdoFilesOnly = 1 << 2,   // a wildcard takes files only
};
using TShellDeleteOptions = std::uint8_t;

// The shell's operation flags for the options.
std::uint16_t ShellDeleteFlags(TShellDeleteOptions options);
// Deletes Files (one path; its last part may hold wildcards) as the shell
// does. With sdoAllowUndo the items go to the trash, and an item that cannot
// be trashed stays where it is. False when the path names nothing or any
// item could not be removed. Nothing ever asks the user.
bool ShellDeleteFiles(HWND window, const AnsiString& files, TShellDeleteOptions options);
// The folder's contents, then, when that worked, the folder itself.
bool ShellDeleteFolder(HWND window, const AnsiString& dir, TShellDeleteOptions options);
// UseShell: ShellDeleteFolder to the trash, silently; else DeleteDirectoryTree.
bool DeleteDirectory(const AnsiString& dir, bool useShell);

// The file the module was loaded from; empty when unknown.
AnsiString GetModuleFilePath(HMODULE module);
