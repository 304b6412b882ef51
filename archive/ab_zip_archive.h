// The ZIP kind of the archive model. TAbZipItem answers the generic item
// operations from its central directory header; TAbZipArchive reads an
// archive's central directory into its item list and, on every save, writes a
// complete new archive (entries, central directory, end record) into a scratch
// stream before it replaces the file. Entries are compressed by an insert
// hook that the zipper installs; extraction hooks are left to callers.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "archive/ab_archive.h"
#include "archive/ab_span_stream.h"
#include "archive/ab_zip_records.h"

class TAbZipItem : public TAbArchiveItem {
public:
  TAbZipItem() = default;

  int64_t GetCompressedSize() const override { return header_.CompressedSize; }
  uint32_t GetCRC32() const override { return header_.CRC32; }
  uint32_t GetExternalFileAttributes() const override { return header_.ExternalFileAttributes; }
  bool GetIsDirectory() const override;
  bool GetIsEncrypted() const override { return header_.IsEncrypted(); }
  uint16_t GetLastModFileDate() const override { return header_.LastModFileDate; }
  uint16_t GetLastModFileTime() const override { return header_.LastModFileTime; }
  uint32_t GetNativeFileAttributes() const override;
  int64_t GetUncompressedSize() const override { return header_.UncompressedSize; }
  // EAbFileTooLarge for 2^32 bytes or more: a ZIP header holds 32 bits.
  void SetCompressedSize(int64_t value) override;
  void SetCRC32(uint32_t value) override { header_.CRC32 = value; }
  void SetExternalFileAttributes(uint32_t value) override { header_.ExternalFileAttributes = value; }
  // Applies the stored-name rules and keeps Value as the display name.
  void SetFileName(const AnsiString& value) override;
  // From the stored bytes, the Unicode path block or the code page, so a name
  // with characters outside the system's code page keeps them.
  std::string GetUtf8FileName() const override;
  void SetLastModFileDate(uint16_t value) override { header_.LastModFileDate = value; }
  void SetLastModFileTime(uint16_t value) override { header_.LastModFileTime = value; }
  void SetUncompressedSize(int64_t value) override;

  uint8_t CompressionMethod() const { return static_cast<uint8_t>(header_.CompressionMethod); }
  void SetCompressionMethod(uint16_t value) { header_.SetCompressionMethod(value); }
  uint16_t GeneralPurposeBitFlag() const { return header_.GeneralPurposeBitFlag; }
  void SetGeneralPurposeBitFlag(uint16_t value) { header_.GeneralPurposeBitFlag = value; }
  uint8_t HostOS() const { return static_cast<uint8_t>(header_.VersionMadeBy >> 8); }
  uint16_t VersionMadeBy() const { return header_.VersionMadeBy; }
  void SetVersionMadeBy(uint16_t value) { header_.VersionMadeBy = value; }
  uint16_t VersionNeededToExtract() const { return header_.VersionNeededToExtract; }
  void SetVersionNeededToExtract(uint16_t value) { header_.VersionNeededToExtract = value; }
  TAbExtraField& ExtraField() { return header_.ExtraField; }
  const AnsiString& RawFileName() const { return header_.FileName; }
  const AnsiString& FileComment() const { return header_.FileComment; }
  uint32_t RelativeOffset() const { return header_.RelativeOffset; }
  // EAbFileTooLarge beyond 32 bits.
  void SetRelativeOffset(int64_t value);
  uint16_t DiskNumberStart() const { return header_.DiskNumberStart; }
  void SetDiskNumberStart(uint16_t value) { header_.DiskNumberStart = value; }
  void SetInternalFileAttributes(uint16_t value) { header_.InternalFileAttributes = value; }
  const TAbZipDirectoryFileHeader& Header() const { return header_; }
  void RestoreHeader(const TAbZipDirectoryFileHeader& header) { header_ = header; }
  // A name kept in a code page beside a Unicode path block moves to UTF-8:
  // unzip takes the data descriptor after an entry with that block for the
  // longer Zip64 one and then refuses the entry as overlapping the next.
  void UseUtf8NameBesideDescriptor();

  void LoadFromStream(TStream& stream);
  void WriteLocalHeader(TStream& stream) const;
  void WriteCentralHeader(TStream& stream) const { header_.SaveToStream(stream); }
  void WriteDataDescriptor(TStream& stream) const;

private:
  TAbZipDirectoryFileHeader header_;
};

enum TAbZipSupportedMethod : uint8_t { smStored = 0, smDeflated = 1, smBestMethod = 2 };
enum TAbZipDeflationOption : uint8_t { doInvalid = 0, doNormal = 1, doMaximum = 2, doFast = 3, doSuperFast = 4 };

class TAbZipArchive;

using TAbZipExtractHelper = std::function<void(TAbZipArchive* archive, TAbZipItem* item, const AnsiString& newName)>;
using TAbZipExtractToStreamHelper = std::function<void(TAbZipArchive* archive, TAbZipItem* item, TStream* stream)>;
using TAbZipTestHelper = std::function<void(TAbZipArchive* archive, TAbZipItem* item)>;
using TAbZipInsertHelper = std::function<void(TAbZipArchive* archive, TAbZipItem* item, TStream* outStream)>;
using TAbZipInsertFromStreamHelper =
    std::function<void(TAbZipArchive* archive, TAbZipItem* item, TStream* outStream, TStream* inStream)>;
using TAbRequestDiskEvent = std::function<void(TObject* sender, bool& abort)>;
using TAbRequestNthDiskEvent = std::function<void(TObject* sender, uint8_t diskNumber, bool& abort)>;

constexpr uint16_t kAbNoVolume = 0xFFFF;

class TAbZipArchive : public TAbArchive {
public:
  // Opens FileName (an absolute path) through a span stream with Mode.
  TAbZipArchive(const AnsiString& fileName, uint16_t mode);
  // Over a stream the caller keeps owning.
  TAbZipArchive(TStream* stream, const AnsiString& archiveName);
  ~TAbZipArchive() override;

  TAbArchiveItem* CreateItem(const AnsiString& fileName) override;
  void ExtractItemAt(int index, const AnsiString& newName) override;
  void ExtractItemToStreamAt(int index, TStream* stream) override;
  void TestItemAt(int index) override;
  void LoadArchive() override;
  void SaveArchive() override;
  AnsiString FixName(const AnsiString& name) override;
  bool GetSupportsEmptyFolders() const override { return true; }
  void DoSpanningMediaRequest(TObject* sender, int32_t imageNumber, AnsiString& imageName, bool& abort) override;

  TAbZipItem* ZipItems(int index) const { return static_cast<TAbZipItem*>(Items(index)); }

  // --- Volume requests ---
  void DoRequestLastDisk(bool& abort);
  void DoRequestNthDisk(uint8_t diskNumber, bool& abort);
  void DoRequestBlankDisk(bool& abort);
  void RequestImageName(bool reading, int32_t imageNumber, AnsiString& imageName, bool& abort);
  // The archive name with its extension replaced by .z01, .z02 ... for N = 0, 1 ...
  static AnsiString ImageNameFor(const AnsiString& name, int32_t n);

  // --- Settings ---
  TAbZipSupportedMethod CompressionMethodToUse() const { return compressionMethodToUse_; }
  void SetCompressionMethodToUse(TAbZipSupportedMethod value) { compressionMethodToUse_ = value; }
  TAbZipDeflationOption DeflationOption() const { return deflationOption_; }
  void SetDeflationOption(TAbZipDeflationOption value) { deflationOption_ = value; }
  const AnsiString& Password() const { return password_; }
  void SetPassword(const AnsiString& value) { password_ = value; }
  int PasswordRetries() const { return passwordRetries_; }
  void SetPasswordRetries(int value) { passwordRetries_ = value; }
  const AnsiString& ZipfileComment() const { return footer_.ZipfileComment; }
  void SetZipfileComment(const AnsiString& comment);
  const TAbZipDirectoryFileFooter& Footer() const { return footer_; }
  uint16_t CurrentVolume() const { return currentVolume_; }
  bool IsExecutable() const { return isExecutable_; }
  uint32_t StubSize() const { return stubSize_; }

  TAbZipExtractHelper ExtractHelper;
  TAbZipExtractToStreamHelper ExtractToStreamHelper;
  TAbZipTestHelper TestHelper;
  TAbZipInsertHelper InsertHelper;
  TAbZipInsertFromStreamHelper InsertFromStreamHelper;
  TAbRequestDiskEvent OnRequestLastDisk;
  TAbRequestNthDiskEvent OnRequestNthDisk;
  TAbRequestDiskEvent OnRequestBlankDisk;

private:
  void InitZip();
  TAbSpanStream* NewSpanStream(const AnsiString& name, uint16_t mode, TAbMediaKind kind);
  TAbMediaKind VolumeMediaKind() const { return isRemovable_ ? mkRemovable : mkImageFiles; }
  // Loading.
  bool FindEndRecord(bool spannedMarker);
  void ReadDirectory();
  void CheckDirectory(int entries, int64_t endPosition);
  void OpenReadVolume(int32_t number);
  void OpenDirectoryVolume(int32_t number);
  // Opens the current image name as volume Number for reading.
  void ReopenVolume(int32_t number);
  // Saving.
  // Where a save writes: the size of a volume and the offset in the current one.
  struct TVolumeCursor {
    int64_t volumeSize;
    int64_t offset = 0;
  };
  void RefuseSpannedOverwrite();
  int64_t VolumeSize(bool maySpan);
  void WriteStartOfArchive(TStream& work, bool maySpan);
  void AdvanceVolume(TStream& work, TVolumeCursor& cursor);
  void WriteEntries(TStream& work, TMemoryStream& directory, TVolumeCursor& cursor);
  void WriteDirectory(TStream& work, TMemoryStream& directory, TVolumeCursor& cursor, bool maySpan);
  void SettleItemActions();
  void CopyEntry(TAbZipItem* item, int64_t oldOffset, TStream& oldStream, TStream& work);
  void InsertEntry(int index, TStream& work);
  void RewriteLocalHeader(TAbZipItem* item, TStream& work, int64_t start, int64_t dataStart);
  void ReplaceEntry(int index, int64_t oldOffset, TStream& work);
  void ReplaceFile(TStream& work);
  template <typename Action>
  void NamingStreamFailures(Action&& action);
  void RenameSpannedImages();

  TAbZipSupportedMethod compressionMethodToUse_ = smBestMethod;
  TAbZipDeflationOption deflationOption_ = doNormal;
  AnsiString password_;
  int passwordRetries_ = 3;
  TAbZipDirectoryFileFooter footer_;
  uint16_t currentVolume_ = kAbNoVolume;
  bool isRemovable_ = false;
  bool isExecutable_ = false;
  bool autoImageNames_ = false;
  uint32_t stubSize_ = 0;
  AnsiString imageName_;  // the volume being opened while loading
};
