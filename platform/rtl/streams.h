// Byte streams of the platform with 64-bit positions: the abstract TStream,
// streams over an OS file descriptor (THandleStream, TFileStream), in memory
// (TMemoryStream) and over an AnsiString (TStringStream).
#pragma once

#include <cstdint>

#include "platform/rtl/objects.h"
#include "platform/rtl/strings.h"

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class TStream : public TObject {
public:
  // Read and Write move at most Count bytes and return how many moved.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Returns the new position.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  int64_t Position();
  void SetPosition(int64_t position);
  virtual int64_t Size();
  virtual void SetSize(int64_t size);

  // Move exactly Count bytes or raise EReadError / EWriteError.
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  // Copies Count bytes from Source's position; Count 0 copies all of Source
  // from its start. Returns the number of bytes copied.
  int64_t CopyFrom(TStream* source, int64_t count);
};

// Open modes: one access mode combined with one share mode; fmCreate creates
// or truncates. Share modes are accepted for compatibility and not enforced.
enum : uint16_t {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareCompat = 0x0000,
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmShareDenyRead = 0x0030,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFFFF,
};

// A stream over an OS file descriptor that the caller keeps owning.
class THandleStream : public TStream {
public:
  explicit THandleStream(int handle) : handle_(handle) {}
  int Handle() const { return handle_; }

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t size) override;

protected:
  int handle_;
};

// A file opened by name (Windows-1250, converted to UTF-8 for the OS).
// Failures raise EFCreateError "Cannot create file ..." or EFOpenError
// "Cannot open file ..."; a folder never opens as a file.
class TFileStream : public THandleStream {
public:
  TFileStream(const AnsiString& fileName, uint16_t mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;

  const AnsiString& FileName() const { return fileName_; }

private:
  AnsiString fileName_;
};

namespace detail {

// Bytes held in memory with a position; the in-memory streams share it.
// Seeking past the end is allowed; a write there fills the gap with zeros.
class ByteBufferStream : public TStream {
public:
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(data_.size()); }
  void SetSize(int64_t size) override;

protected:
  ByteBufferStream() = default;
  explicit ByteBufferStream(std::string data) : data_(std::move(data)) {}

  std::string data_;
  int64_t position_ = 0;
};

}  // namespace detail

// A growable block of memory.
class TMemoryStream : public detail::ByteBufferStream {
public:
  void* Memory() { return data_.data(); }
  void Clear();
  void LoadFromStream(TStream* stream);
  void SaveToStream(TStream* stream);
  void LoadFromFile(const AnsiString& fileName);
  void SaveToFile(const AnsiString& fileName);
};

// A stream over an AnsiString. Writing overwrites and extends the text; it
// never cuts off what lies after the written bytes.
class TStringStream : public detail::ByteBufferStream {
public:
  explicit TStringStream(AnsiString data = AnsiString()) : ByteBufferStream(std::move(data)) {}

  const AnsiString& DataString() const { return data_; }
  // Reads up to Count bytes from the position.
  AnsiString ReadString(int64_t count);
  void WriteString(const AnsiString& s);
};
