// Checks that a loaded central directory describes an archive this library
// can read soundly: no Zip64 records (sizes, offsets and counts here are 32
// and 16 bits), and no two members sharing bytes, so a crafted directory can
// neither hide members nor make one member's data count many times.
#pragma once

#include <cstdint>
#include <vector>

class TStream;
class TAbZipItem;
class TAbZipDirectoryFileFooter;

// EAbZipInvalid when the end record at EndPosition carries Zip64 escape values
// or a Zip64 locator lies right before it. The stream position is kept.
void AbZipRefuseZip64Archive(TStream& stream, int64_t endPosition, const TAbZipDirectoryFileFooter& footer);
// EAbZipInvalid when a loaded member is a Zip64 entry.
void AbZipRefuseZip64Entry(TAbZipItem& item);
// EAbZipInvalid when two members' bytes overlap or a member runs into the
// central directory at DirectoryOffset; for the members of one volume.
void AbZipCheckMemberSpans(const std::vector<const TAbZipItem*>& items, int64_t directoryOffset);
