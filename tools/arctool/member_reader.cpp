// A member's stored bytes as a stream (decrypted on the fly), fed to Inflate
// or copied, with the CRC-32 and the size compared against the central header.
#include "tools/arctool/member_reader.h"

#include <algorithm>
#include <map>
#include <vector>

#include "archive/ab_zip_archive.h"
#include "archive/deflate/deflate.h"
#include "archive/deflate/df_crypt.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/streams.h"

namespace {

constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;
constexpr uint16_t kMethodAes = 99;
constexpr uint16_t kFlagStrongEncryption = 0x0040;

// The next Remaining bytes of the archive, decrypted when a cipher is given.
class MemberStream : public TStream {
public:
  MemberStream(TStream& archive, int64_t remaining, TAbZipEncryptEngine* cipher)
      : archive_(archive), remaining_(remaining), cipher_(cipher) {}

  int64_t Read(void* buffer, int64_t count) override {
    int64_t n = archive_.Read(buffer, std::min(count, remaining_));
    if (n <= 0) return 0;
    remaining_ -= n;
    if (cipher_) {
      auto* p = static_cast<uint8_t*>(buffer);
      for (int64_t i = 0; i < n; ++i) p[i] = cipher_->DecryptByte(p[i]);
    }
    return n;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t, TSeekOrigin) override { return 0; }

private:
  TStream& archive_;
  int64_t remaining_;
  TAbZipEncryptEngine* cipher_;
};

// Writes to Out, keeps the running CRC-32 and counts the bytes; data beyond
// the header's size ends the run at once, so a lying header cannot make a
// test decode gigabytes.
class CheckedStream : public TStream {
public:
  CheckedStream(TStream& out, int64_t expected) : out_(out), expected_(expected) {}
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void* buffer, int64_t count) override {
    if (count_ + count > expected_)
      throw Exception(Format("size error: more data than the header's %d bytes", {expected_}));
    UpdateCrc32(crc_, buffer, static_cast<size_t>(count));
    count_ += count;
    return out_.Write(buffer, count);
  }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override { return out_.Seek(offset, origin); }
  uint32_t Crc() const { return ~crc_; }
  int64_t Count() const { return count_; }

private:
  TStream& out_;
  int64_t expected_;
  int64_t count_ = 0;
  uint32_t crc_ = 0xFFFFFFFF;
};

// The check byte that closes the encryption header: the CRC's or, with a
// data descriptor, the time's high byte.
uint8_t CheckByte(const TAbZipItem& item) {
  if (item.GeneralPurposeBitFlag() & kAbZipFlagDataDescriptor)
    return static_cast<uint8_t>(item.GetLastModFileTime() >> 8);
  return static_cast<uint8_t>(item.GetCRC32() >> 24);
}

}  // namespace

AnsiString UnreadableReason(const TAbZipItem& item, const AnsiString& password) {
  if (item.CompressionMethod() == kMethodAes) return "unsupported encryption (AES)";
  if (item.GetIsEncrypted() && (item.GeneralPurposeBitFlag() & kFlagStrongEncryption))
    return "unsupported encryption (strong encryption)";
  if (item.CompressionMethod() != kMethodStored && item.CompressionMethod() != kMethodDeflated) {
    static const std::map<int, const char*> kNames = {{9, " (Deflate64)"}, {12, " (bzip2)"}, {14, " (LZMA)"},
                                                      {93, " (Zstandard)"}, {95, " (xz)"}};
    auto known = kNames.find(item.CompressionMethod());
    return Format("unsupported compression method %d", {static_cast<int>(item.CompressionMethod())}) +
           (known == kNames.end() ? "" : known->second);
  }
  if (item.GetIsEncrypted() && password.empty()) return "password required";
  return {};
}

AnsiString ReadMember(TStream& archive, const TAbZipItem& item, const AnsiString& password, TStream& out) {
  if (AnsiString reason = UnreadableReason(item, password); !reason.empty()) return reason;
  try {
    archive.Seek(item.RelativeOffset(), soBeginning);
    TAbZipLocalFileHeader local;
    local.LoadFromStream(archive);
    int64_t size = item.GetCompressedSize();
    TAbZipEncryptEngine cipher;
    if (item.GetIsEncrypted()) {
      cipher.InitKeys(password);
      uint8_t header[TAbZipEncryptEngine::kHeaderSize];
      archive.ReadBuffer(header, sizeof header);
      for (uint8_t& b : header) b = cipher.DecryptByte(b);
      if (header[11] != CheckByte(item)) return "wrong password";
      size -= sizeof header;
    }
    MemberStream member(archive, size, item.GetIsEncrypted() ? &cipher : nullptr);
    CheckedStream sink(out, item.GetUncompressedSize());
    if (item.CompressionMethod() == kMethodDeflated)
      Inflate(&member, &sink, nullptr);
    else
      sink.CopyFrom(&member, size);
    if (sink.Count() != item.GetUncompressedSize())
      return Format("size error: the header says %d bytes, the data gives %d",
                    {item.GetUncompressedSize(), sink.Count()});
    if (sink.Crc() != item.GetCRC32()) return "CRC error";
    return {};
  } catch (const Exception& e) {
    return e.Message();
  }
}
