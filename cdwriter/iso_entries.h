// The file tree's two record types (TDEntry for directories, TFEntry for files
// and for the entry a directory has in its parent's list) and the small
// routines the image layout and the session import share: time and address
// conversions, fixed-width ISO 9660 and Joliet text fields, sector counting
// and the four directory sorts that give the path-table order.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/rtl/datetime.h"
#include "platform/rtl/strings.h"

constexpr uint32_t kSectorBytes = 2048;
constexpr uint32_t kForm2SectorBytes = 2324;
constexpr int64_t kMinForm2Sectors = 150;

struct TDEntry;

struct TFEntry {
  AnsiString ShortName;   // ISO 9660 name, upper case; files without ";1"
  AnsiString LongName;    // Joliet name as the caller gave it
  AnsiString SourcePath;  // full source file name, "" for directories
  bool Imported = false;  // taken over from a previous session: Extent is absolute
  TDateTime DateTime = 0;
  int64_t FileSize = 0;
  int64_t JolietSize = 0;
  int64_t Form2Size = 0;
  // Files: relative to the first file location; directories: relative to
  // their directory area; absolute when Imported.
  uint32_t Extent = 0;
  uint32_t JolietExtent = 0;
  int Attr = 0;  // 10h directory, 02h hidden
  uint8_t AddKind = 0;
  TDEntry* Dir = nullptr;  // the directory of a directory entry
  TFEntry* Next = nullptr;
  uint8_t XAForm2 = 0;
  uint32_t Reserved = 0;
  // The name and the source path as given, when LongName and SourcePath (their
  // Windows-1250 forms) cannot hold them; empty otherwise.
  WideString WideName;
  WideString WideSourcePath;
};

struct TDEntry {
  AnsiString ShortName;
  AnsiString LongName;
  uint8_t Reserved1 = 0;
  int64_t DirSize = 0;        // ISO 9660 directory extent in bytes, whole sectors
  int64_t JolietDirSize = 0;
  AnsiString Path;            // "\DOCS\2024" from the Joliet names, upper case; the root's is "\"
  int DirIndex = 0;           // sectors from the start of the ISO directory area
  int JolietDirIndex = 0;
  int Level = 0;              // depth, the root is 1
  int Number = 0;             // place in path-table order, the root is 1
  TDEntry* Parent = nullptr;  // the root is its own parent
  TFEntry* Files = nullptr;   // first entry of the list, in the order added
  uint32_t Reserved2 = 0;
  WideString WideName;        // as in TFEntry
};

// A name as given (UTF-16) kept in two forms: its Windows-1250 form, where a
// character the code page lacks becomes "_", and the given text itself when
// that form cannot hold it (else empty). GivenName joins them again.
AnsiString AnsiNameOf(std::u16string_view name);
void SplitName(const WideString& given, AnsiString& ansi, WideString& wide);
WideString GivenName(const AnsiString& ansi, const WideString& wide);
// The Joliet name of an entry, as given.
inline WideString JolietName(const TDEntry& dir) { return GivenName(dir.LongName, dir.WideName); }
inline WideString JolietName(const TFEntry& entry) { return GivenName(entry.LongName, entry.WideName); }

// UTC offset of the record dates in 15-minute units, taken from the local
// time zone whenever the tree is cleared.
extern int8_t GmtOffset;
int8_t LocalGmtOffset();

void LbaToMsf(int32_t frames, uint8_t& minutes, uint8_t& seconds, uint8_t& frame);
// Text followed by blanks, cut to len bytes; no terminating zero.
void PutIsoText(const AnsiString& text, uint8_t* dest, size_t len);
// The same in UTF-16 big-endian; len counts bytes (len / 2 characters).
void PutJolietText(const AnsiString& text, uint8_t* dest, size_t len);
void PutJolietText(std::u16string_view text, uint8_t* dest, size_t len);
// The 7-byte date of a directory record.
void PutRecordDate(uint8_t* dest, TDateTime date_time);
int64_t SectorsOf(int64_t size);
// SIZE rounded up to whole sectors, in bytes.
inline int64_t SectorBytesOf(int64_t size) { return SectorsOf(size) * kSectorBytes; }
// Counts a file in 2324-byte units, at least 150 of them for a non-empty file.
int64_t Form2SectorsOf(TFEntry& entry);
AnsiString PadNumber(int width, const AnsiString& pad_text, int64_t value);
AnsiString LastPathPart(const AnsiString& path);

// Sorts of items[1 .. high]; items[0] is the root and stays in place. Each
// renumbers every item to its index + 1 afterwards.
void SortByName(std::vector<TDEntry*>& items, int high, bool joliet);
void SortByParentName(std::vector<TDEntry*>& items, int high, bool joliet);
void SortByNumber(std::vector<TDEntry*>& items, int high);
void SortByParent(std::vector<TDEntry*>& items, int high);
