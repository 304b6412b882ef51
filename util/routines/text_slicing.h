// Text search and replacement and path slicing for the desktop components.
// Positions are 1-based, 0 means "not found". Paths use "/" only: on this
// system "\" and ":" are ordinary characters of a file name.
#pragma once

#include "platform/rtl/lists.h"
#include "platform/rtl/strings.h"

int UtlMin(int a, int b);
// First occurrence of subStr in s at or after offset (>= 1).
int UtlPosFrom(const AnsiString& subStr, const AnsiString& s, int offset);
// Largest start p <= min(limit, length(s)) - length(subStr) + 1 where subStr occurs.
int UtlLastPosBefore(const AnsiString& subStr, const AnsiString& s, int limit);
int UtlLastPos(const AnsiString& subStr, const AnsiString& s);
void UtlReplaceAt(AnsiString& s, int position, const AnsiString& oldText, const AnsiString& newText);
// The search goes on after each inserted text, so a new text that contains
// the old one never loops.
void UtlReplaceAll(AnsiString& s, const AnsiString& oldText, const AnsiString& newText);
void UtlReplaceChar(AnsiString& s, char oldChar, char newChar);
// Appends the pieces between delimiters to list; a final delimiter adds no
// empty line.
void UtlSplitText(const AnsiString& s, const AnsiString& delimiter, TStrings* list);
// True when the file exists or can be created (a created file is removed again).
bool UtlCanCreateFile(const AnsiString& fileName);

AnsiString UtlAddSlash(const AnsiString& s);
AnsiString UtlRemoveDoubleSlashes(const AnsiString& s);
AnsiString UtlExtractName(const AnsiString& s);
AnsiString UtlExtractPath(const AnsiString& s);
AnsiString UtlExtractNameNoExt(const AnsiString& s);
// The mask's folder, name and extension where given, the file name's where
// the mask leaves them out or holds "*" or "?": "/a/doc.txt" with "*.bak" is
// "/a/doc.bak".
AnsiString UtlMergeFileName(const AnsiString& fileName, const AnsiString& mask);
// An absolute path stays; a relative one goes below folder.
AnsiString UtlExpandPath(const AnsiString& folder, const AnsiString& path);
// The folder of the system's shared libraries, with its trailing "/".
AnsiString UtlSystemFolder();
