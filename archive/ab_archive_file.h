// What the archive formats share at the file boundary: putting a finished
// archive in place of the old one without ever leaving a half-written file,
// and refusing stored names that would land outside the target folder.
#pragma once

#include "platform/rtl/strings.h"

class TStream;

// Writes all of Work to a sibling temp file of FileName, flushes it to disk,
// gives it the old file's permissions and renames it over FileName. On any
// failure the temp file is removed and FileName is left as it was.
void ReplaceFileByRename(const AnsiString& fileName, TStream& work);

// Replaces the contents of Stream with all of Work. An archive file the
// archive opened itself (OwnsFile) is replaced by writing a sibling temp file,
// flushing it and renaming it over the old name, so a failure leaves the old
// file as it was; Stream is then reopened on the new file. Memory and scratch
// streams, and streams a caller lent, are rewritten in place.
void ReplaceArchiveStream(TStream*& stream, bool ownsFile, const AnsiString& fileName, TStream& work);

// True for a stored name that is absolute or has a ".." element ("/" or "\"
// separated): extracting under it could write outside the chosen folder.
bool IsUnsafeStoredName(const AnsiString& name);

