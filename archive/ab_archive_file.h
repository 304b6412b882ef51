// What the archive formats share at the file boundary: putting a finished
// archive in place of the old one without ever leaving a half-written file,
// and refusing stored names that would land outside the target folder.
#pragma once

#include <memory>

#include "platform/rtl/strings.h"

class TStream;
class TFileStream;

// The new file that will take FileName's place, created beside it (so the
// final rename stays on one file system). A save can write into Stream()
// directly; Commit flushes it to disk, gives it the old file's permissions
// and renames it over FileName. Until then FileName is untouched, and a
// sibling dropped without Commit is removed. Errors name FileName.
class TAbReplacementFile {
public:
  explicit TAbReplacementFile(const AnsiString& fileName);
  ~TAbReplacementFile();
  TAbReplacementFile(const TAbReplacementFile&) = delete;
  TAbReplacementFile& operator=(const TAbReplacementFile&) = delete;

  TStream& Stream();
  void Commit();

private:
  AnsiString fileName_;
  AnsiString temp_;
  std::unique_ptr<TFileStream> stream_;
};

// Writes all of Work to a TAbReplacementFile of FileName and commits it. On
// any failure the temp file is removed and FileName is left as it was.
void ReplaceFileByRename(const AnsiString& fileName, TStream& work);

// Replaces the contents of a memory, scratch or lent stream with all of Work,
// in place. (An archive file the archive opened itself is replaced by rename
// instead: TAbArchive::ReplaceArchiveStream.)
void RewriteStream(TStream& stream, TStream& work);

// True for a stored name that is absolute or has a ".." element ("/" or "\"
// separated): extracting under it could write outside the chosen folder.
bool IsUnsafeStoredName(const AnsiString& name);

