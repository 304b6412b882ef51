// The skin container reader and the record lists; see skin_reader.h. The
// member is inflated by the archive library's decoder and decrypted with its
// ZIP cipher, behind the container rules of skin files: "SK" in place of the
// local header's "PK", an end record only at size - 22 without comment,
// directory entries without extra field or comment, no CRC check but an
// exact size check.
#include "skin/skin_reader.h"

#include <cstdio>
#include <random>

#include "archive/deflate/deflate.h"
#include "archive/deflate/df_crypt.h"
#include "platform/gui/bitmap.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"
#include "skin/skin_records.h"
#include "skin/skin_texts.h"

namespace {

constexpr int kEndRecordSize = 22;
constexpr uint32_t kEndRecordSignature = 0x06054B50;
constexpr int kCentralEntrySize = 46;
constexpr int kLocalHeaderSize = 30;
constexpr int kMaxMemberNameLength = 259;
constexpr int kCryptChunk = 1024;
// A skin's records take a few hundred kilobytes. A member declared larger is a
// damaged or hostile container: refused before anything is inflated, so a
// small file cannot fill the temp folder.
constexpr uint32_t kMaxSkinDataBytes = 64u << 20;
constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagDataDescriptor = 0x0008;

struct CentralEntry {
  uint16_t Flags = 0;
  uint16_t ModTime = 0;
  uint32_t Crc = 0;
  uint32_t UncompressedSize = 0;
  uint32_t LocalHeaderOffset = 0;
};

// Finds the member's directory entry; false when the container is not a skin
// or holds no member of that name.
bool FindMember(TFileStream& archive, const AnsiString& memberName, CentralEntry& found) {
  const int64_t size = archive.Size();
  uint8_t sig[2];
  if (size < kEndRecordSize || archive.Read(sig, 2) != 2 || sig[0] != 'S' || sig[1] != 'K') return false;
  const int64_t endOffset = size - kEndRecordSize;
  uint8_t end[kEndRecordSize];
  archive.SetPosition(endOffset);
  archive.ReadBuffer(end, kEndRecordSize);
  if (GetLE32(end) != kEndRecordSignature || GetLE16(end + 20) != 0) return false;
  int64_t pos = GetLE32(end + 16);
  while (pos < endOffset) {
    uint8_t raw[kCentralEntrySize];
    if (pos + kCentralEntrySize > endOffset) return false;
    archive.SetPosition(pos);
    archive.ReadBuffer(raw, kCentralEntrySize);
    const uint16_t nameLength = GetLE16(raw + 28);
    // Entries are read as fixed part and name only: anything else would
    // send the walk into the middle of an entry.
    if (nameLength > kMaxMemberNameLength || GetLE16(raw + 30) != 0 || GetLE16(raw + 32) != 0) return false;
    if (pos + kCentralEntrySize + nameLength > endOffset) return false;
    AnsiString name(nameLength, '\0');
    archive.ReadBuffer(name.data(), nameLength);
    pos += kCentralEntrySize + nameLength;
    if (!SameText(name, memberName)) continue;
    found.Flags = GetLE16(raw + 8);
    found.ModTime = GetLE16(raw + 12);
    found.Crc = GetLE32(raw + 16);
    found.UncompressedSize = GetLE32(raw + 24);
    found.LocalHeaderOffset = GetLE32(raw + 42);
    return true;
  }
  return false;
}

// Positions the archive at the member's data.
void SkipLocalHeader(TFileStream& archive, const CentralEntry& entry) {
  uint8_t local[kLocalHeaderSize];
  archive.SetPosition(entry.LocalHeaderOffset);
  archive.ReadBuffer(local, kLocalHeaderSize);
  archive.SetPosition(archive.Position() + GetLE16(local + 26) + GetLE16(local + 28));
}

// Decrypts the rest of the archive into memory; false when the password's
// check byte does not match.
bool DecryptRest(TFileStream& archive, const CentralEntry& entry, const AnsiString& password, TMemoryStream& plain) {
  TAbZipEncryptEngine engine;
  engine.InitKeys(password);
  uint8_t header[TAbZipEncryptEngine::kHeaderSize];
  archive.ReadBuffer(header, sizeof header);
  for (uint8_t& b : header) b = engine.DecryptByte(b);
  const uint32_t check = (entry.Flags & kFlagDataDescriptor) ? uint32_t(entry.ModTime) << 16 : entry.Crc;
  if (header[TAbZipEncryptEngine::kHeaderSize - 1] != uint8_t(check >> 24)) return false;
  uint8_t chunk[kCryptChunk];
  for (int64_t n; (n = archive.Read(chunk, kCryptChunk)) > 0;) {
    for (int64_t i = 0; i < n; ++i) chunk[i] = engine.DecryptByte(chunk[i]);
    plain.WriteBuffer(chunk, n);
  }
  plain.SetPosition(0);
  return true;
}

void InflateMember(TStream* source, TStream* dest, const CentralEntry& entry) {
  TAbDeflateHelper helper;
  // One byte beyond the directory's size is enough to see that it differs:
  // a member never inflates without bound.
  helper.SetOutputLimit(int64_t(entry.UncompressedSize) + 1);
  Inflate(source, dest, &helper);
}

// The part after the output file exists; returns the result before clean-up.
int ExtractTo(TFileStream& archive, const CentralEntry& entry, TFileStream& dest, const AnsiString& password) {
  SkipLocalHeader(archive, entry);
  if (!(entry.Flags & kFlagEncrypted)) {
    InflateMember(&archive, &dest, entry);
    return kSkinExtracted;
  }
  if (password.empty()) return kSkinBadPassword;
  TMemoryStream plain;
  if (!DecryptRest(archive, entry, password, plain)) return kSkinBadPassword;
  InflateMember(&plain, &dest, entry);
  return kSkinExtracted;
}

// Removes a file when the guard goes, unless released.
class TempFileGuard {
public:
  explicit TempFileGuard(AnsiString name) : name_(std::move(name)) {}
  ~TempFileGuard() {
    if (!name_.empty()) DeleteFile(name_);
  }
  TempFileGuard(const TempFileGuard&) = delete;
  TempFileGuard& operator=(const TempFileGuard&) = delete;
  void Release() { name_.clear(); }

private:
  AnsiString name_;
};

}  // namespace

int ExtractSkinMember(const AnsiString& archiveName, const AnsiString& memberName, const AnsiString& destFileName,
                      const AnsiString& password) {
  if (!FileExists(archiveName)) return kSkinExtractFailed;
  CentralEntry entry;
  std::unique_ptr<TFileStream> archive;
  try {
    archive = std::make_unique<TFileStream>(archiveName, fmOpenRead | fmShareDenyNone);
    if (!FindMember(*archive, memberName, entry) || entry.UncompressedSize > kMaxSkinDataBytes)
      return kSkinExtractFailed;
  } catch (const std::exception&) {
    return kSkinExtractFailed;
  }
  std::unique_ptr<TFileStream> dest;
  try {
    dest = std::make_unique<TFileStream>(destFileName, fmCreate);
  } catch (const std::exception&) {
    return kSkinExtractFailed;
  }
  TempFileGuard removeDest(destFileName);
  int result = kSkinExtractFailed;
  try {
    result = ExtractTo(*archive, entry, *dest, password);
  } catch (const std::exception&) {
    result = kSkinExtractFailed;
  }
  const int64_t written = dest->Size();
  if (written == 0 && result == kSkinExtracted)
    result = kSkinExtractFailed;
  else if (written != entry.UncompressedSize)
    result = kSkinBadPassword;
  dest.reset();
  if (result == kSkinExtracted) removeDest.Release();
  return result;
}

AnsiString NewTempGuidName(const AnsiString& extension) {
  static std::mt19937_64 generator{std::random_device{}()};
  uint64_t a = generator(), b = generator();
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%04X-%012llX}", unsigned(a >> 32), unsigned(a >> 16) & 0xFFFF,
                (unsigned(a) & 0x0FFF) | 0x4000, (unsigned(b >> 48) & 0x3FFF) | 0x8000,
                static_cast<unsigned long long>(b & 0xFFFFFFFFFFFFULL));
  return GetTempDir() + text + extension;
}

Tsk2SkinFileReader::Tsk2SkinFileReader(const AnsiString& fileName, const AnsiString& password) {
  LoadFromFile(fileName, password);
}

Tsk2SkinFileReader::~Tsk2SkinFileReader() = default;

void Tsk2SkinFileReader::Clear() {
  bitmaps_.clear();
  integers_.clear();
  booleans_.clear();
  strings_.clear();
}

void Tsk2SkinFileReader::LoadFromFile(const AnsiString& fileName, const AnsiString& password) {
  ready_ = false;
  Clear();
  const AnsiString temp = NewTempGuidName("");
  const int r = ExtractSkinMember(fileName, kSkinMemberName, temp, password);
  if (r == kSkinBadPassword) return;
  if (r != kSkinExtracted) throw Exception(kSkinReadFailed);
  TempFileGuard removeTemp(temp);
  try {
    TFileStream data(temp, fmOpenRead | fmShareDenyWrite);
    ReadSkinRecords(&data, [this](const TSkinRecord& record, const AnsiString& bytes) {
      switch (record.Type) {
        case srBitmap: {
          auto bitmap = std::make_unique<TBitmap>();
          TStringStream source(bytes);
          bitmap->LoadFromStream(&source);
          bitmaps_.emplace_back(record.Name, std::move(bitmap));
          break;
        }
        case srInteger:
          integers_.emplace_back(record.Name, int32_t(GetLE32(reinterpret_cast<const uint8_t*>(bytes.data()))));
          break;
        case srBoolean:
          booleans_.emplace_back(record.Name, bytes[0] != 0);
          break;
        case srString:
          strings_.emplace_back(record.Name, bytes);
          break;
        default:
          break;  // unknown kinds are kept by no list
      }
    });
  } catch (const std::exception&) {
    Clear();
    throw Exception(kSkinReadFailed);
  }
  ready_ = true;
}

namespace {
template <class List>
auto FindByName(const List& list, const AnsiString& name) {
  for (auto it = list.begin(); it != list.end(); ++it)
    if (SameText(it->first, name)) return it;
  return list.end();
}
}  // namespace

TBitmap* Tsk2SkinFileReader::GetBitmap(const AnsiString& name) const {
  auto it = FindByName(bitmaps_, name);
  return it == bitmaps_.end() ? nullptr : it->second.get();
}

int32_t Tsk2SkinFileReader::GetInteger(const AnsiString& name) const {
  auto it = FindByName(integers_, name);
  return it == integers_.end() ? -1 : it->second;
}

bool Tsk2SkinFileReader::GetBool(const AnsiString& name) const {
  auto it = FindByName(booleans_, name);
  return it != booleans_.end() && it->second;
}
