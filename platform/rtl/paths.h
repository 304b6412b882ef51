// Path text operations: pure string work on Windows-1250 path names, with "/"
// as the only delimiter. Nothing here touches the file system except
// ExpandFileName, which needs the current folder.
#pragma once

#include "platform/rtl/strings.h"

constexpr char PathDelim = '/';

AnsiString IncludeTrailingPathDelimiter(const AnsiString& path);
// Drops one trailing delimiter; the root "/" stays as it is.
AnsiString ExcludeTrailingPathDelimiter(const AnsiString& path);
// Folder part with its trailing delimiter ("a/b/c.txt" -> "a/b/").
AnsiString ExtractFilePath(const AnsiString& name);
// Folder part without the trailing delimiter, "/" for a name in the root.
AnsiString ExtractFileDir(const AnsiString& name);
AnsiString ExtractFileName(const AnsiString& name);
// Extension with its point (".txt"), empty when the name has none.
AnsiString ExtractFileExt(const AnsiString& name);
AnsiString ChangeFileExt(const AnsiString& name, const AnsiString& extension);
// Absolute form of name: relative names start at the current folder, "." and
// ".." parts are resolved as text (links are not followed). Empty stays empty.
AnsiString ExpandFileName(const AnsiString& name);
