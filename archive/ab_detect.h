// Archive-type detection: which archive class fits a file, first by its
// extension and then by its contents, so a misnamed file is still recognised
// (or refused) by what it holds.
#pragma once

#include "archive/ab_zip_records.h"
#include "platform/rtl/strings.h"

class TStream;

// The kind of FileName. Kind akUnknown asks the extension first; a file that
// exists and is not empty then lets the check of that kind decide, or, when
// no kind is known yet, every check in turn. A missing or empty file keeps
// the extension's answer. The file is only read.
TAbArchiveKind DetermineArchiveKind(const AnsiString& fileName, TAbArchiveKind kind);

// The first kind that a content check recognises in Stream, akUnknown when
// none does; the stream position is kept.
TAbArchiveKind DetectAnyKind(TStream& stream);
