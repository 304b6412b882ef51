// The tar kind of the archive model. TAbTarItem keeps every 512-byte header
// block of an entry (long-name records, extended headers and its own header),
// so an entry that was not changed is written back byte for byte;
// TAbTarStreamHelper walks a tar stream header by header; TAbTarArchive lists,
// extracts and rebuilds whole tar streams. The gzip and bzip2 archives run the
// same archive over the decompressed contents of a compressed tar file.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/ab_archive.h"
#include "archive/ab_unix_time_item.h"
#include "archive/ab_zip_records.h"

constexpr int kAbTarBlockSize = 512;
constexpr int kAbTarNameSize = 100;
constexpr int kAbTarPrefixSize = 155;

enum TAbTarFormat : uint8_t { tfNone = 0, tfV7 = 1, tfOldGnu = 2, tfGnu = 3, tfUstar = 4, tfPosix = 6 };
enum TAbTarItemKind : uint8_t { tkUnknown = 0, tkSupported = 1, tkReadOnly = 2 };
enum TAbTarBlockKind : uint8_t { bkItemHeader = 0, bkMetaHeader = 1, bkMetaData = 2, bkUnknownHeader = 3 };

using TAbTarBlock = std::array<uint8_t, kAbTarBlockSize>;

// Octal number fields: leading blanks skipped, digits up to the first other
// character; an all-blank field is 0.
int64_t ParseOctalField(const uint8_t* field, int width);
// A size field read strictly: octal digits between blanks or NULs (all blank
// is 0), or the base-256 form that holds sizes beyond twelve octal digits.
// False for anything else, which is a damaged header, not a size.
bool ParseTarSize(const uint8_t* field, int width, int64_t& value);
AnsiString FormatOctal(int64_t value);
// Shorter texts get one blank after and blanks in front up to Width.
AnsiString PadOctalField(const AnsiString& text, int width);
int64_t RoundUpToBlock(int64_t size);
// Sum of the block's bytes with the checksum field counted as blanks.
uint32_t TarBlockChecksum(const TAbTarBlock& block);

class TAbTarItem : public TAbUnixTimeItem {
public:
  TAbTarItem();

  int64_t GetCompressedSize() const override { return size_; }
  uint32_t GetExternalFileAttributes() const override { return mode_; }
  bool GetIsDirectory() const override { return typeFlag_ == '5'; }
  bool GetIsEncrypted() const override { return false; }
  uint32_t GetNativeFileAttributes() const override;
  int64_t GetUncompressedSize() const override { return size_; }
  void SetCompressedSize(int64_t value) override { SetSize(value); }
  void SetUncompressedSize(int64_t value) override { SetSize(value); }
  void SetExternalFileAttributes(uint32_t value) override;
  // EAbTarBadFileName when the name does not fit the entry's format.
  // Names are stored as UTF-8, as the file system and other tar tools have them.
  void SetFileName(const AnsiString& value) override;
  std::string GetUtf8FileName() const override { return utf8Name_; }
  void SetIsEncrypted(bool) override {}
  TDateTime GetLastModTimeAsDateTime() const override;
  void SetLastModTimeAsDateTime(TDateTime value) override;

  // Field setters of the entry's own header; none changes a read-only entry.
  void SetUserId(int64_t value);
  void SetGroupId(int64_t value);
  void SetUserName(const AnsiString& value);
  void SetGroupName(const AnsiString& value);
  void SetDevMajor(int64_t value);
  void SetDevMinor(int64_t value);
  void SetTypeFlag(char value);
  // Eight bytes at the magic field: magic and version together.
  void SetMagic(const char (&value)[8]);
  // Size in bytes; EAbFileTooLarge beyond twelve octal digits.
  void SetSize(int64_t value);
  void SetModTime(int64_t unixSeconds);

  // Reads one entry's blocks from the stream's position and moves back to it.
  void LoadFromStream(TStream& stream);
  void WriteHeaders(TStream& stream);
  bool VerifyChecksums() const;
  // Why the entry's headers cannot be trusted (a checksum that does not hold,
  // a size that is no number); empty when they can.
  AnsiString HeaderDamage() const;

  TAbTarFormat Format() const { return format_; }
  void SetFormat(TAbTarFormat value) { format_ = value; }
  TAbTarItemKind Kind() const { return kind_; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  bool Changed() const { return changed_; }
  int64_t StreamPosition() const { return streamPosition_; }
  void SetStreamPosition(int64_t value) { streamPosition_ = value; }
  int BlockCount() const { return static_cast<int>(blocks_.size()); }
  const TAbTarBlock& Block(int index) const { return *blocks_[index]; }
  TAbTarBlockKind BlockKind(int index) const { return kinds_[index]; }
  // Where the entry's data starts: after all of its header blocks.
  int64_t DataPosition() const { return streamPosition_ + int64_t(BlockCount()) * kAbTarBlockSize; }

  char TypeFlag() const { return typeFlag_; }
  const AnsiString& LinkName() const { return linkName_; }
  const AnsiString& Magic() const { return magic_; }
  const AnsiString& UserName() const { return userName_; }
  const AnsiString& GroupName() const { return groupName_; }
  int64_t UserId() const { return userId_; }
  int64_t GroupId() const { return groupId_; }
  int64_t ModTime() const { return modTime_; }
  bool ChecksumGood() const { return checksumGood_; }
  // A read-only entry's name taken from its header alone may have been cut
  // at the field's 100 bytes.
  bool NameMayBeCut() const { return kind_ == tkReadOnly && !wholeName_ && utf8Name_.size() >= kAbTarNameSize; }

private:
  TAbTarBlock& Header() { return *blocks_[header_]; }
  const TAbTarBlock& Header() const { return *blocks_[header_]; }
  bool CanChange();
  void WriteOctal(int offset, int width, int64_t value);
  void WriteText(int offset, int width, const AnsiString& text);
  void InsertBlock(int index, TAbTarBlockKind kind);
  void RemoveBlocks(int index, int count);
  int FindMetaHeader(char flag) const;
  void ParseHeader();
  void DetectFormat();
  AnsiString ReadLongName(char flag, int offset) const;
  bool ExtendedValue(const AnsiString& key, AnsiString& value) const;
  void StoreShortName(const AnsiString& name);
  void StoreLongName(const AnsiString& name);
  void SplitUstarName(const AnsiString& name);
  void AddLongNameRecord(char flag, int index, const AnsiString& name);
  void FillLongNameRecord(int index, const AnsiString& name);

  std::vector<std::unique_ptr<TAbTarBlock>> blocks_;
  std::vector<TAbTarBlockKind> kinds_;
  int header_ = 0;  // index of the entry's own header among the blocks
  int64_t mode_ = 0;
  int64_t userId_ = 0;
  int64_t groupId_ = 0;
  int64_t size_ = 0;
  int64_t modTime_ = 0;
  bool checksumGood_ = false;
  char typeFlag_ = 0;
  std::string utf8Name_;
  bool wholeName_ = false;  // from a long-name record or an extended header
  AnsiString linkName_;
  AnsiString magic_;
  AnsiString version_;
  AnsiString userName_;
  AnsiString groupName_;
  int64_t devMajor_ = 0;
  int64_t devMinor_ = 0;
  TAbTarFormat format_ = tfNone;
  TAbTarItemKind kind_ = tkSupported;
  bool readOnly_ = false;
  bool changed_ = true;
  int64_t streamPosition_ = 0;
};

// akTar when the entry at the stream's position is one this archive knows and
// all its header checksums hold; the position is kept.
TAbArchiveKind DetectTar(TStream& stream);

class TAbTarStreamHelper : public TAbArchiveStreamHelper {
public:
  explicit TAbTarStreamHelper(TStream* stream) : TAbArchiveStreamHelper(stream) {}

  void CopyItemData(TStream* target) override;
  bool SeekFirstItem() override;
  bool SeekNextItem() override;
  void ReadHeader() override {}
  void ReadTail() override {}
  bool SeekItem(int index) override;
  void WriteHeader() override {}
  void WriteItem(TStream* source) override;
  void WriteTail() override;
  int32_t CountItems() override;

  // Count bytes of Source, then zeros up to the next whole block.
  void CopyPadded(TStream* source, int64_t count);

private:
  bool ScanHeaders();

  TAbTarBlock header_{};
  int64_t dataSize_ = 0;
  int headerBlocks_ = 0;
};

class TAbTarArchive : public TAbArchive {
public:
  TAbTarArchive(const AnsiString& fileName, uint16_t mode);
  TAbTarArchive(TStream* stream, const AnsiString& archiveName);

  TAbArchiveItem* CreateItem(const AnsiString& fileName) override;
  void ExtractItemAt(int index, const AnsiString& newName) override;
  void ExtractItemToStreamAt(int index, TStream* stream) override;
  void LoadArchive() override;
  void SaveArchive() override;
  void TestItemAt(int index) override;
  bool GetSupportsEmptyFolders() const override { return true; }

  TAbTarFormat Format() const { return format_; }
  bool IsReadOnly() const { return readOnly_; }
  TAbTarItem* TarItems(int index) const { return static_cast<TAbTarItem*>(Items(index)); }

protected:
  // The stream that holds the tar data: the archive's own stream here, the
  // decompressed copy in the compressed kinds.
  virtual TStream* TarStream() { return stream_; }
  // Puts a finished tar stream in place of the old tar data.
  virtual void ReplaceTarStream(TStream& work);
  // Creates the file and fills it from the entry; a failure removes the partly
  // written file and passes the error on, a user abort leaving the archive invalid.
  void ExtractToNewFile(int index, const AnsiString& newName);
  // After an entry failed to be added: what it left in Work from Start goes,
  // so later entries follow a whole one, and the failure is reported.
  void DropFailedItem(TAbArchiveItem& item, TStream& work, int64_t start, TAbErrorClass errorClass = ecFileOpen,
                      int32_t errorCode = 0);
  // Entries marked for deletion leave the list, the others are settled.
  void FinishSave();

private:
  TAbTarItem* CheckedItem(int index) const;
  static void CheckEntry(const TAbTarItem& item, int64_t tarSize);
  static void RefuseSpecialEntry(const TAbTarItem& item);
  void SetUpNewItem(TAbTarItem& item, const AnsiString& storedName);
  void AddFileEntry(TAbTarItem& item, TAbTarStreamHelper& out, TStream& work);
  void CopyEntry(TAbTarItem& item, TStream& old, TAbTarStreamHelper& out, TStream& work);

  TAbTarFormat format_ = tfV7;
  bool readOnly_ = false;
};
