// The byte streams the engine reads and writes. The engine needs only sequential
// reads and writes, a position and seeking (a stored block re-reads its bytes;
// Inflate gives back the bytes it read past the end of the compressed data).
// DfMemoryStream keeps its bytes in memory; TStream adapters wrap this interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class TDfSeekOrigin { soBeginning, soCurrent, soEnd };

class DfStream {
public:
  virtual ~DfStream() = default;
  // Reads up to count bytes; returns the count read, 0 at the end.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Writes up to count bytes; returns the count written.
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Moves the position and returns the new one.
  virtual int64_t Seek(int64_t offset, TDfSeekOrigin origin) = 0;

  int64_t Position() { return Seek(0, TDfSeekOrigin::soCurrent); }
  void SetPosition(int64_t pos) { Seek(pos, TDfSeekOrigin::soBeginning); }
  int64_t Size();
};

// A growable in-memory stream.
class DfMemoryStream : public DfStream {
public:
  DfMemoryStream() = default;
  explicit DfMemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  DfMemoryStream(const void* data, size_t size);

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TDfSeekOrigin origin) override;

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  std::vector<uint8_t>& Bytes() { return bytes_; }

private:
  std::vector<uint8_t> bytes_;
  int64_t pos_ = 0;
};
