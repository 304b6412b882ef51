// The utility library's error classes. EUtlWin32Error carries the system error
// that made a platform call fail, with its text, as the library reports it.
#pragma once

#include <cstdint>

#include "platform/rtl/exceptions.h"

VX_DECLARE_EXCEPTION(EUtlError, Exception)
VX_DECLARE_EXCEPTION(EUtlInternalError, EUtlError)
VX_DECLARE_EXCEPTION(EUtlStringError, EUtlError)
VX_DECLARE_EXCEPTION(EUtlRegistryError, EUtlError)
VX_DECLARE_EXCEPTION(EUtlRegistryLocked, EUtlRegistryError)
VX_DECLARE_EXCEPTION(ESharedMemError, EUtlError)

class EUtlWin32Error : public EUtlError {
public:
  // Reads the calling thread's last system error (errno) and builds the message
  // "Win32 error: <system text> (<code>)" CR LF <message>.
  explicit EUtlWin32Error(const AnsiString& message);
  EUtlWin32Error(std::uint32_t code, const AnsiString& message);
  const char* ClassName() const override { return "EUtlWin32Error"; }

  std::uint32_t LastError() const { return lastError_; }
  const AnsiString& LastErrorMsg() const { return lastErrorMsg_; }

private:
  std::uint32_t lastError_ = 0;
  AnsiString lastErrorMsg_;
};

class EUtlMutexError : public EUtlWin32Error {
public:
  using EUtlWin32Error::EUtlWin32Error;
  const char* ClassName() const override { return "EUtlMutexError"; }
};
