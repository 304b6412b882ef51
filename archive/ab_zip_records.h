// The byte layout of ZIP records: local and central headers, the end record,
// the data descriptor and the spanning markers, the search for the end record
// that loading and type detection share, and the rules by which an entry's
// name is stored (OEM or ANSI code page, UTF-8 flag, Unicode path block) and
// decoded again. Numbers are little-endian; sizes and offsets are 32-bit.
#pragma once

#include <cstdint>

#include "archive/ab_item.h"
#include "platform/rtl/strings.h"

class TStream;

constexpr uint32_t kAbZipLocalFileHeaderSignature = 0x04034B50;
constexpr uint32_t kAbZipCentralDirectorySignature = 0x02014B50;
constexpr uint32_t kAbZipEndOfCentralDirectorySignature = 0x06054B50;
// Also the marker that opens the first volume of a spanned set.
constexpr uint32_t kAbZipSpannedSetSignature = 0x08074B50;
constexpr uint32_t kAbZipSingleVolumeSignature = 0x30304B50;  // "PK00"

constexpr int kAbZipLocalHeaderSize = 30;
constexpr int kAbZipCentralHeaderSize = 46;
constexpr int kAbZipEndRecordSize = 22;

constexpr uint16_t kAbZipFlagEncrypted = 0x0001;
constexpr uint16_t kAbZipFlagDataDescriptor = 0x0008;
constexpr uint16_t kAbZipFlagUtf8 = 0x0800;

constexpr uint16_t kAbUnicodePathBlockId = 0x7075;
constexpr uint16_t kAbWideNameBlockId = 0x554E;

// The host byte of "version made by" for names stored in the ANSI code page.
constexpr uint16_t kAbZipHostAnsi = 0x0B00;

// The kinds that type detection tells apart (values are fixed).
enum TAbArchiveKind : uint8_t {
  akUnknown = 0,
  akZip = 1,
  akSpannedZip = 2,
  akSelfExtractingZip = 3,
  akTar = 4,
  akGzip = 5,
  akGzippedTar = 6,
  akCabinet = 7,
  akBzip2 = 8,
  akBzippedTar = 9
};

// Fields shared by local and central headers.
class TAbZipFileHeader {
public:
  explicit TAbZipFileHeader(uint32_t signature) : ValidSignature(signature) {}
  virtual ~TAbZipFileHeader() = default;

  bool IsValid() const { return Signature == ValidSignature; }
  bool IsEncrypted() const { return GeneralPurposeBitFlag & kAbZipFlagEncrypted; }
  bool IsUTF8() const { return GeneralPurposeBitFlag & kAbZipFlagUtf8; }
  void SetIsUTF8(bool value);
  void SetCompressionMethod(uint16_t value) { CompressionMethod = value & 0x7F; }

  uint32_t ValidSignature;  // fixed by the kind of header; assignable so headers can be restored
  uint32_t Signature = 0;
  uint16_t VersionNeededToExtract = 0;
  uint16_t GeneralPurposeBitFlag = 0;
  uint16_t CompressionMethod = 0;
  uint16_t LastModFileTime = 0;
  uint16_t LastModFileDate = 0;
  uint32_t CRC32 = 0;
  uint32_t CompressedSize = 0;
  uint32_t UncompressedSize = 0;
  AnsiString FileName;  // the stored bytes
  TAbExtraField ExtraField;
};

class TAbZipLocalFileHeader : public TAbZipFileHeader {
public:
  TAbZipLocalFileHeader() : TAbZipFileHeader(kAbZipLocalFileHeaderSignature) {}
  // EAbZipInvalid on a wrong signature, after the whole record was read.
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream) const;
};

class TAbZipDirectoryFileHeader : public TAbZipFileHeader {
public:
  TAbZipDirectoryFileHeader() : TAbZipFileHeader(kAbZipCentralDirectorySignature) {}
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream) const;

  uint16_t VersionMadeBy = 0;
  uint16_t DiskNumberStart = 0;
  uint16_t InternalFileAttributes = 0;
  uint32_t ExternalFileAttributes = 0;
  uint32_t RelativeOffset = 0;
  AnsiString FileComment;
};

// The end of central directory record.
class TAbZipDirectoryFileFooter {
public:
  bool IsValid() const { return Signature == kAbZipEndOfCentralDirectorySignature; }
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream) const;

  uint32_t Signature = 0;
  uint16_t DiskNumber = 0;
  uint16_t StartDiskNumber = 0;
  uint16_t EntriesOnDisk = 0;
  uint16_t TotalEntries = 0;
  uint32_t DirectorySize = 0;
  uint32_t DirectoryOffset = 0;
  AnsiString ZipfileComment;
};

struct TAbZipDataDescriptor {
  void SaveToStream(TStream& stream) const;

  uint32_t CRC32 = 0;
  uint32_t CompressedSize = 0;
  uint32_t UncompressedSize = 0;
};

// Position of the end record (the stream is left there), or -1 with the
// stream back where it was. A span stream stays on its current volume.
int64_t LocateEndRecord(TStream& stream);
// akZip, akSpannedZip or akUnknown; the stream position is kept.
TAbArchiveKind DetectZip(TStream& stream);
// akSelfExtractingZip for a ZIP behind an executable stub ("MZ" or ELF).
TAbArchiveKind DetectSelfExtractingZip(TStream& stream);

// --- Names ---------------------------------------------------------------------
// The OEM and ANSI code pages that stored names are converted with; the
// program's own text is always Windows-1250. Defaults: 852 and 1250.
struct TAbZipCodePages {
  int Oem = 852;
  int Ansi = 1250;
};
const TAbZipCodePages& AbZipCodePages();
void SetAbZipCodePages(const TAbZipCodePages& pages);

uint32_t Crc32OfString(const AnsiString& bytes);
// Converts a wide name into CodePage. Strict (no best fit) fails with an
// empty result; with best fit the result holds substitutes. True when no
// character had to become the default character.
bool TryConvertName(const WideString& wideName, int codePage, bool allowBestFit, AnsiString& result);
// True when every byte above 127 is an OEM letter and not all are ANSI letters.
bool IsOemName(const AnsiString& name);

// The stored-name rules: sets the stored name, the UTF-8 flag, the host byte
// of version made by and the Unicode path block of Header for Name.
void AbZipApplyName(TAbZipDirectoryFileHeader& header, const AnsiString& name);
// Name stored as UTF-8 with the UTF-8 flag, without a Unicode path block.
void AbZipApplyUtf8Name(TAbZipDirectoryFileHeader& header, const AnsiString& name);
// The name of a loaded central header in UTF-8, with every character it has.
std::string AbZipUtf8Name(TAbZipDirectoryFileHeader& header);
// The display name of a loaded central header.
AnsiString AbZipDisplayName(TAbZipDirectoryFileHeader& header);
