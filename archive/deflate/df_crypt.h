// The traditional ZIP cipher: three 32-bit keys driven by CRC-32 and a linear
// congruential step. TAbDfEncryptStream puts the 12-byte encryption header in
// front of a member and encrypts everything written through it; DecryptByte
// is the same cipher run the other way, for readers of encrypted members.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"

class TAbZipEncryptEngine {
public:
  static constexpr int kHeaderSize = 12;

  void InitKeys(const AnsiString& passphrase);
  // Builds the header (ten random bytes, then bits 16-23 and 24-31 of
  // checkValue) and leaves the keys ready for the member's data.
  void CreateHeader(uint8_t (&header)[kHeaderSize], const AnsiString& passphrase, uint32_t checkValue);
  void EncodeBuffer(void* buffer, size_t count);
  // Encrypts one byte and updates the keys with the plain byte.
  uint8_t EncryptByte(uint8_t plain);
  // Decrypts one byte and updates the keys with the plain byte.
  uint8_t DecryptByte(uint8_t cipher);

private:
  uint8_t KeyStreamByte() const;
  void UpdateKeys(uint8_t plain);

  uint32_t keys_[3] = {};
  bool ready_ = false;
};

// A write-only stream that encrypts into the wrapped stream (not owned).
class TAbDfEncryptStream : public TStream {
public:
  // Writes the encryption header to stream at once.
  TAbDfEncryptStream(TStream* stream, const AnsiString& passphrase, uint32_t checkValue);

  int64_t Read(void* buffer, int64_t count) override;
  // Returns the count the wrapped stream took; the caller's bytes stay as they are.
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

private:
  TStream* stream_;
  TAbZipEncryptEngine engine_;
  std::vector<uint8_t> work_;
};

// A byte from the process's pseudo-random generator (seeded from the time of day
// at first use).
uint8_t DfRandomByte();
