// The traditional ZIP cipher and its encrypting stream.
#include "archive/deflate/df_crypt.h"

#include <chrono>
#include <cstring>

#include "archive/deflate/df_base.h"

namespace {
constexpr uint32_t kKeyInit[3] = {0x12345678u, 0x23456789u, 0x34567890u};
constexpr uint32_t kLcgMultiplier = 134775813u;
constexpr int kRandomHeaderBytes = 10;

uint32_t TimeOfDaySeed() {
  auto now = std::chrono::system_clock::now().time_since_epoch();
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
  return static_cast<uint32_t>(ms % (24LL * 3600 * 1000));
}
}  // namespace

uint8_t DfRandomByte() {
  static uint32_t seed = TimeOfDaySeed();
  seed = seed * kLcgMultiplier + 1;
  return static_cast<uint8_t>((uint64_t{seed} * 256) >> 32);
}

void TAbZipEncryptEngine::UpdateKeys(uint8_t plain) {
  keys_[0] = Crc32Step(keys_[0], plain);
  keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * kLcgMultiplier + 1;
  keys_[2] = Crc32Step(keys_[2], static_cast<uint8_t>(keys_[1] >> 24));
}

uint8_t TAbZipEncryptEngine::KeyStreamByte() const {
  uint32_t t = (keys_[2] | 2) & 0xFFFF;
  return static_cast<uint8_t>((t * (t ^ 1)) >> 8);
}

void TAbZipEncryptEngine::InitKeys(const AnsiString& passphrase) {
  std::memcpy(keys_, kKeyInit, sizeof keys_);
  for (char c : passphrase) UpdateKeys(static_cast<uint8_t>(c));
}

uint8_t TAbZipEncryptEngine::EncryptByte(uint8_t plain) {
  uint8_t cipher = plain ^ KeyStreamByte();
  UpdateKeys(plain);
  return cipher;
}

uint8_t TAbZipEncryptEngine::DecryptByte(uint8_t cipher) {
  uint8_t plain = cipher ^ KeyStreamByte();
  UpdateKeys(plain);
  return plain;
}

void TAbZipEncryptEngine::CreateHeader(uint8_t (&header)[kHeaderSize], const AnsiString& passphrase,
                                       uint32_t checkValue) {
  detail::DfAssert(!passphrase.empty(), "TAbZipEncryptEngine.CreateHeader: need a passphrase");
  // The header's plain bytes are the random bytes run once through the cipher;
  // the second pass encrypts them like the data that follows.
  InitKeys(passphrase);
  for (int i = 0; i < kRandomHeaderBytes; ++i) header[i] = EncryptByte(DfRandomByte());
  InitKeys(passphrase);
  for (int i = 0; i < kRandomHeaderBytes; ++i) header[i] = EncryptByte(header[i]);
  header[10] = EncryptByte(static_cast<uint8_t>(checkValue >> 16));
  header[11] = EncryptByte(static_cast<uint8_t>(checkValue >> 24));
  ready_ = true;
}

void TAbZipEncryptEngine::EncodeBuffer(void* buffer, size_t count) {
  detail::DfAssert(ready_, "TAbZipEncryptEngine.EncodeBuffer: must call CreateHeader first");
  auto* p = static_cast<uint8_t*>(buffer);
  for (size_t i = 0; i < count; ++i) p[i] = EncryptByte(p[i]);
}

TAbDfEncryptStream::TAbDfEncryptStream(TStream* stream, const AnsiString& passphrase, uint32_t checkValue)
    : stream_(stream) {
  uint8_t header[TAbZipEncryptEngine::kHeaderSize];
  engine_.CreateHeader(header, passphrase, checkValue);
  stream_->Write(header, sizeof header);
}

int64_t TAbDfEncryptStream::Read(void*, int64_t) {
  detail::DfAssert(false, "TAbDfEncryptStream.Read: the stream is write-only");
  return 0;
}

int64_t TAbDfEncryptStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (work_.size() < static_cast<size_t>(count)) work_.resize(static_cast<size_t>(count));
  std::memcpy(work_.data(), buffer, static_cast<size_t>(count));
  engine_.EncodeBuffer(work_.data(), static_cast<size_t>(count));
  return stream_->Write(work_.data(), count);
}

int64_t TAbDfEncryptStream::Seek(int64_t offset, TSeekOrigin origin) { return stream_->Seek(offset, origin); }
