// A member's stored bytes as a stream (decrypted on the fly), fed to Inflate
// or copied, with the CRC-32 compared against the central header.
#include "tools/arctool/member_reader.h"

#include <algorithm>
#include <vector>

#include "archive/ab_zip_archive.h"
#include "archive/deflate/deflate.h"
#include "archive/deflate/df_crypt.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

namespace {

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

// Writes to Out and keeps the running CRC-32.
class CrcStream : public TStream {
public:
  explicit CrcStream(TStream& out) : out_(out) {}
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void* buffer, int64_t count) override {
    UpdateCrc32(crc_, buffer, static_cast<size_t>(count));
    return out_.Write(buffer, count);
  }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override { return out_.Seek(offset, origin); }
  uint32_t Crc() const { return ~crc_; }

private:
  TStream& out_;
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

AnsiString ReadMember(TStream& archive, const TAbZipItem& item, const AnsiString& password, TStream& out) {
  try {
    archive.Seek(item.RelativeOffset(), soBeginning);
    TAbZipLocalFileHeader local;
    local.LoadFromStream(archive);
    int64_t size = item.GetCompressedSize();
    TAbZipEncryptEngine cipher;
    if (item.GetIsEncrypted()) {
      if (password.empty()) return "password required";
      cipher.InitKeys(password);
      uint8_t header[TAbZipEncryptEngine::kHeaderSize];
      archive.ReadBuffer(header, sizeof header);
      for (uint8_t& b : header) b = cipher.DecryptByte(b);
      if (header[11] != CheckByte(item)) return "wrong password";
      size -= sizeof header;
    }
    MemberStream member(archive, size, item.GetIsEncrypted() ? &cipher : nullptr);
    CrcStream sink(out);
    if (item.CompressionMethod() == 8)
      Inflate(&member, &sink, nullptr);
    else if (item.CompressionMethod() == 0)
      sink.CopyFrom(&member, size);
    else
      return "unsupported method";
    if (sink.Crc() != item.GetCRC32()) return "CRC error";
    return {};
  } catch (const Exception& e) {
    return e.Message();
  }
}
