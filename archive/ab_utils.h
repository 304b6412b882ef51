// Free routines shared by the archive library: path splitting and kinds,
// folder creation, temporary files, removable media, file search by wildcard
// masks, DOS/Unix/local time conversions, attribute conversions, file
// information, percentages and text-encoding detection.
//
// Paths are Linux paths: "/" separates folders, there is never a drive part,
// and names cross to the operating system as UTF-8. Stored names inside
// archives use "/" too, but one read from an archive may contain "\".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/datetime.h"
#include "platform/rtl/files.h"
#include "platform/rtl/strings.h"

// Attributes are the platform's fa* bits (files.h). Every attribute but the
// folder bit: what a search for plain files passes.
constexpr int32_t AbAttrAnyFile = 47;

// The date-time value of 1970-01-01.
constexpr double AbUnixEpoch = 25569.0;

enum TAbTextKind : uint8_t { ckAscii = 0, ckAnsi = 1, ckUtf8 = 2 };

struct TAbFileInfo {
  TDateTime DateTime = 0;  // local, to the DOS stamp's 2 s; 0 when unknown
  int64_t Size = -1;
  int32_t Attr = -1;
  uint32_t Mode = 0;  // Unix mode bits of the file
};

// --- Paths -------------------------------------------------------------------
// 2 = absolute (starts with "/"), 1 = relative with a folder, 0 = a bare name.
int PathKindOf(std::string_view path);
// Path + "/" unless Path is empty or already ends with "/".
AnsiString WithTrailingBackslash(std::string_view path);
// Characters before the N-th "/" of Text; its length when there are fewer.
int32_t BackslashPosition(std::string_view text, int n);
// Drive is always empty; Path keeps its trailing "/". A "\" in the name counts as
// a separator (stored names from other systems use it).
void SplitFileSpec(std::string_view fileSpec, AnsiString& drive, AnsiString& path, AnsiString& name);
// One entry per "/"-separated element; a trailing "/" is ignored.
void SplitPathElements(std::string_view path, std::vector<AnsiString>& list);
void RemoveDrive(AnsiString& name);
// Removes "../" (or "..\") groups at the start, so a stored name can never
// climb out of the folder it is extracted into.
void RemoveLeadingParentRefs(AnsiString& name);
// Replace every "/" by "\" or the reverse, in place.
void SlashesToBackslashes(AnsiString& name);
void BackslashesToSlashes(AnsiString& name);
// Linux names have no short form: checks that every folder and the file exist
// and returns the path ("Path not found" / EAbFileNotFound otherwise).
AnsiString ShortPathOf(std::string_view name);
// Creates every missing folder of Path; EInOutError when one cannot be made.
void ForceDirectoryPath(std::string_view path);

// --- Temporary files ---------------------------------------------------------
AnsiString SystemTempDirectory();
// A name with the prefix "VMS" in Dir when that folder exists, else in the
// system temporary folder. With CreateIt the name is unique and the empty
// file is created (empty text when that fails); without it the name ends in
// "VMS1.tmp" and nothing is made.
AnsiString TempFileNameIn(std::string_view dir, bool createIt);
AnsiString NewTempFile(std::string_view dir);

// --- Media -------------------------------------------------------------------
// Removable drives, disk prompts and volume labels go through this interface so
// that the library runs the same without such hardware and tests can stand in.
class TAbMediaServices {
public:
  virtual ~TAbMediaServices() = default;
  virtual bool IsRemovable(const AnsiString& path);
  // 0 on success, else an error code. The default has no labels and does nothing.
  virtual int32_t SetVolumeLabel(const AnsiString& label, const AnsiString& path);
  // An OK/Cancel question; True for OK. The default has nobody to ask: Cancel.
  virtual bool Confirm(const AnsiString& text, const AnsiString& caption);
};

// The services in use; SetAbMediaServices(nullptr) restores the default.
TAbMediaServices& AbMediaServices();
void SetAbMediaServices(TAbMediaServices* services);

bool IsRemovableDrive(std::string_view name);
// Space a spanned archive part may use next to Path: -1 for a relative path or
// when unknown, never more than 2147483647.
int64_t FreeSpaceOf(std::string_view path);
// Label cut to 11 characters, set on the medium that holds Path.
int32_t SetSpanVolumeLabel(std::string_view label, std::string_view path);

// --- File search -------------------------------------------------------------
// Adds to List every entry of Mask's folder whose name matches Mask's name
// part (ignoring case), folders with a trailing "/", sorted by name; with
// Recurse the sub-folders follow in the same order. Hidden entries (name
// starts with "."), folders and symbolic links to folders are found only when
// Attr asks for them; symbolic links are never followed into, so a link loop
// cannot make the search run forever. A relative Mask is looked up inside
// BaseDir when one is given; the names added stay relative, as Mask is.
void FindMatchingFiles(std::string_view mask, int32_t attr, std::vector<AnsiString>& list, bool recurse,
                       std::string_view baseDir = {});
// Runs FindMatchingFiles for each trimmed ";"-separated mask, in order.
void FindFilesByMaskList(std::string_view masks, int32_t attr, std::vector<AnsiString>& list, bool recurse,
                         std::string_view baseDir = {});
// Case-sensitive wildcard match ("*", "?") from 1-based positions; "*" and
// "*.*" match every name, so "*.*" matches names without a dot.
bool MatchWildcard(std::string_view source, int sourceIndex, std::string_view pattern, int patternIndex);

// 0-100; totals above 16384000 are scaled first so the product cannot overflow.
int PercentOf(int32_t done, int32_t total);

// --- Time --------------------------------------------------------------------
// Every conversion uses the local time of the instant itself, so stamps on
// either side of a daylight-saving change are both right.
int32_t LocalTimeBiasSeconds();  // of the present moment: UTC - local
TDateTime UnixSecondsToDateTime(int64_t seconds);
int64_t DateTimeToUnixSeconds(TDateTime value);
// 0 for a stamp that is no valid date and time.
TDateTime DosDateTimeToDateTime(uint16_t date, uint16_t time);
// Date in the high 16 bits; 0 outside 1980-2107.
int32_t DateTimeToDosDateTime(TDateTime value);
// Local DOS stamp of a Unix time; 0 outside the DOS range.
int32_t UnixSecondsToDosDateTime(int64_t seconds);
TDateTime FileDateTimeOf(std::string_view name);
bool SetFileDateTime(std::string_view name, TDateTime value);

// --- Attributes and file information ------------------------------------------
uint16_t DosAttrToUnixMode(int32_t attr);
int32_t UnixModeToDosAttr(uint32_t mode);
// Sets or clears read-only (the owner's write bit); 0 on success, else the
// system error.
int32_t ApplyFileAttributes(std::string_view name, int32_t attr);
int64_t FileSizeOf(std::string_view name);
bool GetFileInfo(std::string_view name, TAbFileInfo& info);

// --- Text --------------------------------------------------------------------
TAbTextKind DetectUtf8(std::string_view text);
AnsiString Utf8ToSystem(std::string_view text);
// A name stored by tools of this platform, which write UTF-8, as UTF-8; bytes
// that are no valid UTF-8 are taken as Windows-1250, as older archives of
// this system have them.
std::string StoredNameToUtf8(std::string_view stored);
