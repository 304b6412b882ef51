// The gzip kind of the archive model: a ".gz" file as one entry, or a ".tgz"
// file whose tar entries are listed, extracted and rebuilt through the tar
// archive. TAbGzipItem is a member header; TAbGzipStreamHelper reads and
// writes member headers, Deflate data and trailers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "archive/ab_compressed_tar.h"
#include "archive/ab_item.h"
#include "archive/ab_unix_time_item.h"

constexpr uint8_t kAbGzipFlagText = 0x01;
constexpr uint8_t kAbGzipFlagHeaderCrc = 0x02;
constexpr uint8_t kAbGzipFlagExtra = 0x04;
constexpr uint8_t kAbGzipFlagName = 0x08;
constexpr uint8_t kAbGzipFlagComment = 0x10;
constexpr uint8_t kAbGzipFlagEncrypted = 0x20;

// The member's extra field; holding bytes or not sets the header flag.
class TAbGzipExtraField : public TAbExtraField {
public:
  explicit TAbGzipExtraField(uint8_t& flags) : flags_(flags) {}

protected:
  void Changed() override;

private:
  uint8_t& flags_;
};

class TAbGzipItem : public TAbUnixTimeItem {
public:
  TAbGzipItem();

  uint32_t GetExternalFileAttributes() const override { return 0; }
  bool GetIsEncrypted() const override { return flags_ & kAbGzipFlagEncrypted; }
  void SetExternalFileAttributes(uint32_t) override {}
  void SetIsEncrypted(bool) override {}
  // A non-empty name sets the name flag, an empty one clears it.
  void SetFileName(const AnsiString& value) override;
  // The name is stored in UTF-8, as gzip on this platform stores it.
  std::string GetUtf8FileName() const override { return utf8Name_; }
  // The trailer keeps the size modulo 2^32, so any size is accepted.
  void SetUncompressedSize(int64_t value) override { uncompressedSize_ = value; }
  TDateTime GetLastModTimeAsDateTime() const override;
  void SetLastModTimeAsDateTime(TDateTime value) override;

  bool HasExtraField() const { return flags_ & kAbGzipFlagExtra; }
  bool HasFileName() const { return flags_ & kAbGzipFlagName; }
  bool HasFileComment() const { return flags_ & kAbGzipFlagComment; }
  uint8_t Flags() const { return flags_; }
  uint32_t ModTime() const { return modTime_; }
  uint8_t ExtraFlags() const { return extraFlags_; }
  uint8_t OS() const { return os_; }
  TAbGzipExtraField& ExtraField() { return extraField_; }
  const AnsiString& FileComment() const { return comment_; }
  void SetFileComment(const AnsiString& value);

  // Reads a member header at the stream's position; a stream that does not
  // start with the gzip signature leaves everything after the ten bytes alone.
  void LoadHeader(TStream& stream);
  void SaveHeader(TStream& stream);
  bool IsGzipHeader() const;

private:
  uint8_t id1_ = 0x1F;
  uint8_t id2_ = 0x8B;
  uint8_t method_ = 8;
  uint8_t flags_ = 0;
  uint32_t modTime_ = 0;
  uint8_t extraFlags_ = 2;
  uint8_t os_ = 0;
  TAbGzipExtraField extraField_{flags_};
  AnsiString comment_;
  std::string utf8Name_;
};

// True when the bytes start with the gzip signature and Deflate method.
bool IsGzipHeader(const uint8_t* bytes);

// akGzippedTar when the first 512 decoded bytes hold a valid tar header,
// akGzip for any other gzip stream; the position is kept.
TAbArchiveKind DetectGzip(TStream& stream);

class TAbGzipStreamHelper : public TAbArchiveStreamHelper {
public:
  explicit TAbGzipStreamHelper(TStream* stream);

  // Decodes one member into Target; the item gets its CRC-32 and the number
  // of bytes decoded (also when Target is a bit bucket that keeps nothing).
  void CopyItemData(TStream* target) override;
  bool SeekFirstItem() override;
  bool SeekNextItem() override { return false; }
  void ReadHeader() override { item_.LoadHeader(*stream_); }
  void ReadTail() override;
  bool SeekItem(int index) override;
  void WriteHeader() override { item_.SaveHeader(*stream_); }
  void WriteItem(TStream* source) override;
  void WriteTail() override;
  int32_t CountItems() override { return 1; }

  // Decodes the Deflate data at the position into Target.
  void DecodeData(TStream* target);
  // Decodes every member of the stream into Target, checking each trailer.
  void DecodeAll(TStream* target);
  // EAbGzipBadCRC / EAbGzipBadFileSize when the item disagrees with the trailer.
  void CheckTail() const;
  // Header, Deflate data of Source from its position, trailer; Item gets the
  // CRC-32 and size.
  void WriteMember(TAbGzipItem& item, TStream* source);

  TAbGzipItem& Item() { return item_; }
  uint32_t TailCRC() const { return tailCrc_; }
  uint32_t TailSize() const { return tailSize_; }

private:
  TAbGzipItem item_;
  uint32_t tailCrc_ = 0;
  uint32_t tailSize_ = 0;
};

class TAbGzipArchive : public TAbCompressedTarArchive {
public:
  TAbGzipArchive(const AnsiString& fileName, uint16_t mode);
  TAbGzipArchive(TStream* stream, const AnsiString& archiveName);

  TAbArchiveItem* CreateItem(const AnsiString& fileName) override;
  void ExtractItemAt(int index, const AnsiString& newName) override;
  // Plain mode decodes every member in turn, checking each one's CRC-32 and
  // size, so nothing after the first member is silently left out.
  void ExtractItemToStreamAt(int index, TStream* stream) override;
  void LoadArchive() override;
  void SaveArchive() override;
  void TestItemAt(int index) override;
  AnsiString FixName(const AnsiString& name) override;

  TAbGzipItem* GzipItems(int index) const { return static_cast<TAbGzipItem*>(Items(index)); }
  // The member header that holds the tar stream in tar mode.
  TAbGzipItem* Member() const { return member_.get(); }

private:
  void SaveTarMode(TStream& work);
  void DecodeMemberTo(TStream* target);
  void SavePlainItem(TAbGzipItem& item, TAbGzipStreamHelper& out, TStream& work);

  std::unique_ptr<TAbGzipItem> member_;
};
