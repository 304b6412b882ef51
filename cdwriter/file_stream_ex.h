// Streams with 64-bit positions through which the burn threads read source
// files and write image files. Unlike the platform's file stream they never
// raise on a failed open, read or write: a failed open leaves the handle
// negative and reads and writes then move 0 bytes, which the threads report.
#pragma once

#include <cstdint>

#include "platform/rtl/objects.h"
#include "platform/rtl/strings.h"

constexpr uint16_t kCreateFileMode = 0xFFFF;

class TStreamEx : public TObject {
public:
  virtual void SetSize(int64_t size);
  virtual int Read(void* buffer, int count) = 0;
  virtual int Write(const void* buffer, int count) = 0;
  // Origin 0 from the start, 1 from the position, 2 from the end; the new position.
  virtual int64_t Seek(int64_t offset, int origin) = 0;
  int64_t GetSize();
};

class THandleStreamEx : public TStreamEx {
public:
  explicit THandleStreamEx(int handle) : handle_(handle) {}
  int Handle() const { return handle_; }
  // Raises EOSError when the file cannot be cut or grown there.
  void SetSize(int64_t size) override;
  int Read(void* buffer, int count) override;
  int Write(const void* buffer, int count) override;
  int64_t Seek(int64_t offset, int origin) override;

protected:
  int handle_;
};

class TFileStreamEx : public THandleStreamEx {
public:
  // Mode kCreateFileMode creates (or empties) the file; any other value opens
  // it with that access and share mode (fmOpenRead ...).
  TFileStreamEx(const AnsiString& file_name, uint16_t mode);
  TFileStreamEx(const WideString& file_name, uint16_t mode);
  ~TFileStreamEx() override;
  TFileStreamEx(const TFileStreamEx&) = delete;
  TFileStreamEx& operator=(const TFileStreamEx&) = delete;
};
