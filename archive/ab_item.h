// The pieces every archive format shares: one entry (TAbArchiveItem) with its
// pending action, the owning item list that finds entries by name through a
// hash table, and the growable block of tagged records behind the extra-field
// data of ZIP and gzip headers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/datetime.h"
#include "platform/rtl/strings.h"

class TStream;

enum TAbItemAction : uint8_t {
  iaFailed = 0,
  iaNone = 1,
  iaAdd = 2,
  iaDelete = 3,
  iaFreshen = 4,
  iaMove = 5,
  iaReplace = 6,
  iaStreamAdd = 7
};

class TAbArchiveItem {
public:
  TAbArchiveItem() = default;
  TAbArchiveItem(const TAbArchiveItem&) = delete;
  TAbArchiveItem& operator=(const TAbArchiveItem&) = delete;
  virtual ~TAbArchiveItem() = default;

  // Accessors the formats override; the base reads or writes the field.
  virtual int64_t GetCompressedSize() const { return compressedSize_; }
  virtual uint32_t GetCRC32() const { return crc32_; }
  virtual uint32_t GetExternalFileAttributes() const { return externalFileAttributes_; }
  virtual const AnsiString& GetFileName() const { return fileName_; }
  // The name as the file system and other tools take it (UTF-8). Formats that
  // store names in UTF-8 give them whole, also characters that the system's
  // code page lacks; the others convert the display name.
  virtual std::string GetUtf8FileName() const;
  virtual bool GetIsDirectory() const { return false; }
  virtual bool GetIsEncrypted() const { return isEncrypted_; }
  virtual uint16_t GetLastModFileDate() const { return lastModFileDate_; }
  virtual uint16_t GetLastModFileTime() const { return lastModFileTime_; }
  virtual uint32_t GetNativeFileAttributes() const;
  virtual int64_t GetUncompressedSize() const { return uncompressedSize_; }
  virtual void SetCompressedSize(int64_t value) { compressedSize_ = value; }
  virtual void SetCRC32(uint32_t value) { crc32_ = value; }
  virtual void SetExternalFileAttributes(uint32_t value) { externalFileAttributes_ = value; }
  // Overrides must call this one: it keeps the owning list's name index right.
  virtual void SetFileName(const AnsiString& value);
  virtual void SetIsEncrypted(bool value) { isEncrypted_ = value; }
  virtual void SetLastModFileDate(uint16_t value) { lastModFileDate_ = value; }
  virtual void SetLastModFileTime(uint16_t value) { lastModFileTime_ = value; }
  // EAbFileTooLarge for 2^32 bytes or more: the formats store 32-bit sizes.
  virtual void SetUncompressedSize(int64_t value);
  // Local date-time of the DOS stamp (0 when the stamp is no valid date).
  virtual TDateTime GetLastModTimeAsDateTime() const;
  virtual void SetLastModTimeAsDateTime(TDateTime value);

  TAbItemAction Action() const { return action_; }
  void SetAction(TAbItemAction value) { action_ = value; }
  const AnsiString& DiskFileName() const { return diskFileName_; }
  void SetDiskFileName(const AnsiString& value) { diskFileName_ = value; }
  bool Tagged() const { return tagged_; }
  void SetTagged(bool value) { tagged_ = value; }

protected:
  int64_t compressedSize_ = 0;
  uint32_t crc32_ = 0;
  AnsiString diskFileName_;
  uint32_t externalFileAttributes_ = 0;
  AnsiString fileName_;
  bool isEncrypted_ = false;
  uint16_t lastModFileTime_ = 0;
  uint16_t lastModFileDate_ = 0;
  bool tagged_ = false;
  int64_t uncompressedSize_ = 0;

private:
  friend class TAbArchiveList;
  TAbArchiveItem* nextItem_ = nullptr;  // next in the same hash bucket
  class TAbArchiveList* list_ = nullptr;  // owning list that indexes the name
  TAbItemAction action_ = iaNone;
};

// The items of one archive in order. An owning list frees its items and finds
// names through 1021 hash buckets (chains newest first), so adding n files
// costs n chain walks; a list that does not own its items searches linearly.
// Names compare with ASCII letters ignoring case.
class TAbArchiveList {
public:
  static constexpr int kBucketCount = 1021;

  explicit TAbArchiveList(bool ownsItems);
  TAbArchiveList(const TAbArchiveList&) = delete;
  TAbArchiveList& operator=(const TAbArchiveList&) = delete;
  ~TAbArchiveList();

  // Takes the item (owning list) and returns its index.
  int Add(TAbArchiveItem* item);
  void Clear();
  void Delete(int index);
  // Index of the first item of that name, -1 when none.
  int Find(const AnsiString& name) const;
  static int GenerateHash(const AnsiString& name);
  int Count() const { return static_cast<int>(items_.size()); }
  TAbArchiveItem* Items(int index) const;
  TAbArchiveItem* operator[](int index) const { return Items(index); }
  // True when an item of that name exists that is not pending deletion.
  bool IsActiveDupe(const AnsiString& name) const;
  bool OwnsItems() const { return ownsItems_; }

private:
  friend class TAbArchiveItem;
  TAbArchiveItem* FindInChain(const AnsiString& name, bool activeOnly) const;
  void Link(TAbArchiveItem* item);
  void Unlink(TAbArchiveItem* item);
  void CheckIndex(int index) const;

  std::vector<TAbArchiveItem*> items_;
  bool ownsItems_;
  std::vector<TAbArchiveItem*> buckets_;
};

// A block of records, each an ID and a Size (16-bit little-endian) followed
// by Size data bytes. Records are addressed by their offset in the block.
class TAbExtraField {
public:
  virtual ~TAbExtraField() = default;

  void Clear();
  void Delete(uint16_t id);
  // Offset of the first record with that ID, -1 when none.
  int FindField(uint16_t id);
  // Moves Record (-1: before the first) to the next record that has room for
  // its header; False at the end. A Size running past the end of the block
  // is lowered to what remains, so a damaged block is never read beyond.
  bool FindNext(int& record);
  // Data and size of the first record with that ID; false (nullptr, 0) when absent.
  bool Get(uint16_t id, const uint8_t*& data, uint16_t& size);
  // The next Size bytes of Stream become the block (EReadError when short).
  void LoadFromStream(TStream& stream, uint16_t size);
  void Put(uint16_t id, const void* data, uint16_t size);
  void Assign(const std::vector<uint8_t>& bytes);

  const std::vector<uint8_t>& Buffer() const { return buffer_; }
  uint16_t RecordId(int record) const { return ReadWord(record); }
  uint16_t RecordSize(int record) const { return ReadWord(record + 2); }

protected:
  // Called after every change; the gzip header re-reads its fields here.
  virtual void Changed() {}

private:
  uint16_t ReadWord(int at) const;
  void WriteWord(int at, uint16_t value);
  void RemoveRecord(int record);

  std::vector<uint8_t> buffer_;
};
