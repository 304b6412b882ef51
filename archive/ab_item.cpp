// Archive item, the hashed item list and the extra-field record block.
#include "archive/ab_item.h"

#include <algorithm>
#include <cstring>

#include "archive/ab_exceptions.h"
#include "archive/ab_utils.h"
#include "platform/rtl/byte_order.h"
#include "platform/rtl/format.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"

namespace {

constexpr int64_t kMaxItemSize = 4294967295LL;
constexpr int kRecordHeaderSize = 4;

}  // namespace

// --- TAbArchiveItem -----------------------------------------------------------

std::string TAbArchiveItem::GetUtf8FileName() const { return AnsiToUtf8(GetFileName()); }

uint32_t TAbArchiveItem::GetNativeFileAttributes() const {
  return GetIsDirectory() ? faDirectory : 0;
}

void TAbArchiveItem::SetFileName(const AnsiString& value) {
  // An indexed item moves to the bucket of its new name.
  TAbArchiveList* list = list_;
  if (list) list->Unlink(this);
  fileName_ = value;
  if (list) list->Link(this);
}

void TAbArchiveItem::SetUncompressedSize(int64_t value) {
  if (value > kMaxItemSize) throw EAbFileTooLarge();
  uncompressedSize_ = value;
}

TDateTime TAbArchiveItem::GetLastModTimeAsDateTime() const {
  return DosDateTimeToDateTime(GetLastModFileDate(), GetLastModFileTime());
}

void TAbArchiveItem::SetLastModTimeAsDateTime(TDateTime value) {
  uint32_t stamp = static_cast<uint32_t>(DateTimeToDosDateTime(value));
  SetLastModFileTime(static_cast<uint16_t>(stamp & 0xFFFF));
  SetLastModFileDate(static_cast<uint16_t>(stamp >> 16));
}

// --- TAbArchiveList -----------------------------------------------------------

TAbArchiveList::TAbArchiveList(bool ownsItems)
    : ownsItems_(ownsItems), buckets_(ownsItems ? kBucketCount : 0, nullptr) {}

TAbArchiveList::~TAbArchiveList() { Clear(); }

int TAbArchiveList::GenerateHash(const AnsiString& name) {
  uint32_t h = 0;
  for (unsigned char c : AnsiUpperCase(name)) {
    h = (h << 4) + c;
    uint32_t g = h & 0xF0000000u;
    if (g != 0) h ^= g >> 24;
    h &= ~g;
  }
  return static_cast<int>(h % kBucketCount);
}

void TAbArchiveList::Link(TAbArchiveItem* item) {
  TAbArchiveItem*& head = buckets_[GenerateHash(item->GetFileName())];
  item->nextItem_ = head;
  item->list_ = this;
  head = item;
}

void TAbArchiveList::Unlink(TAbArchiveItem* item) {
  TAbArchiveItem** link = &buckets_[GenerateHash(item->GetFileName())];
  while (*link && *link != item) link = &(*link)->nextItem_;
  if (*link) *link = item->nextItem_;
  item->nextItem_ = nullptr;
  item->list_ = nullptr;
}

int TAbArchiveList::Add(TAbArchiveItem* item) {
  if (ownsItems_) Link(item);
  items_.push_back(item);
  return Count() - 1;
}

void TAbArchiveList::Clear() {
  if (ownsItems_) {
    for (TAbArchiveItem* item : items_) delete item;
    std::fill(buckets_.begin(), buckets_.end(), nullptr);
  }
  items_.clear();
}

void TAbArchiveList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format(SListIndexError, {index}));
}

void TAbArchiveList::Delete(int index) {
  CheckIndex(index);
  TAbArchiveItem* item = items_[index];
  items_.erase(items_.begin() + index);
  if (ownsItems_) {
    Unlink(item);
    delete item;
  }
}

TAbArchiveItem* TAbArchiveList::Items(int index) const {
  CheckIndex(index);
  return items_[index];
}

TAbArchiveItem* TAbArchiveList::FindInChain(const AnsiString& name, bool activeOnly) const {
  for (TAbArchiveItem* item = buckets_[GenerateHash(name)]; item; item = item->nextItem_)
    if (SameText(item->GetFileName(), name) && !(activeOnly && item->Action() == iaDelete)) return item;
  return nullptr;
}

int TAbArchiveList::Find(const AnsiString& name) const {
  if (ownsItems_) {
    TAbArchiveItem* found = FindInChain(name, false);
    if (!found) return -1;
    for (int i = 0; i < Count(); ++i)
      if (items_[i] == found) return i;
    return -1;
  }
  for (int i = 0; i < Count(); ++i)
    if (SameText(items_[i]->GetFileName(), name)) return i;
  return -1;
}

bool TAbArchiveList::IsActiveDupe(const AnsiString& name) const {
  if (ownsItems_) return FindInChain(name, true) != nullptr;
  for (TAbArchiveItem* item : items_)
    if (SameText(item->GetFileName(), name) && item->Action() != iaDelete) return true;
  return false;
}

// --- TAbExtraField ------------------------------------------------------------

uint16_t TAbExtraField::ReadWord(int at) const {
  return GetLE16(&buffer_[at]);
}

void TAbExtraField::WriteWord(int at, uint16_t value) {
  PutLE16(&buffer_[at], value);
}

void TAbExtraField::Clear() {
  buffer_.clear();
  Changed();
}

bool TAbExtraField::FindNext(int& record) {
  int candidate = record < 0 ? 0 : record + kRecordHeaderSize + RecordSize(record);
  int remaining = static_cast<int>(buffer_.size()) - candidate;
  if (remaining < kRecordHeaderSize) return false;
  record = candidate;
  if (RecordSize(record) > remaining - kRecordHeaderSize)
    WriteWord(record + 2, static_cast<uint16_t>(remaining - kRecordHeaderSize));
  return true;
}

int TAbExtraField::FindField(uint16_t id) {
  int record = -1;
  while (FindNext(record))
    if (RecordId(record) == id) return record;
  return -1;
}

bool TAbExtraField::Get(uint16_t id, const uint8_t*& data, uint16_t& size) {
  int record = FindField(id);
  data = record < 0 ? nullptr : buffer_.data() + record + kRecordHeaderSize;
  size = record < 0 ? 0 : RecordSize(record);
  return record >= 0;
}

void TAbExtraField::RemoveRecord(int record) {
  auto first = buffer_.begin() + record;
  buffer_.erase(first, first + kRecordHeaderSize + RecordSize(record));
}

void TAbExtraField::Delete(uint16_t id) {
  int record = FindField(id);
  if (record < 0) return;
  RemoveRecord(record);
  Changed();
}

void TAbExtraField::Put(uint16_t id, const void* data, uint16_t size) {
  int record = FindField(id);
  if (record >= 0 && RecordSize(record) == size) {
    if (size) std::memcpy(buffer_.data() + record + kRecordHeaderSize, data, size);
    Changed();
    return;
  }
  if (record >= 0) RemoveRecord(record);
  int at = static_cast<int>(buffer_.size());
  buffer_.resize(at + kRecordHeaderSize + size);
  WriteWord(at, id);
  WriteWord(at + 2, size);
  if (size) std::memcpy(buffer_.data() + at + kRecordHeaderSize, data, size);
  Changed();
}

void TAbExtraField::LoadFromStream(TStream& stream, uint16_t size) {
  std::vector<uint8_t> bytes(size);
  if (size) stream.ReadBuffer(bytes.data(), size);
  buffer_ = std::move(bytes);
}

void TAbExtraField::Assign(const std::vector<uint8_t>& bytes) {
  buffer_ = bytes;
  Changed();
}
