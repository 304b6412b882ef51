// The utility library's error classes. EJclWin32Error carries the system error
// that made a platform call fail, with its text, as the library reports it.
#pragma once

#include <cstdint>

#include "platform/rtl/exceptions.h"

VX_DECLARE_EXCEPTION(EJclError, Exception)
VX_DECLARE_EXCEPTION(EJclInternalError, EJclError)
VX_DECLARE_EXCEPTION(EJclStringError, EJclError)
VX_DECLARE_EXCEPTION(EJclRegistryError, EJclError)
VX_DECLARE_EXCEPTION(ESharedMemError, EJclError)

class EJclWin32Error : public EJclError {
public:
  // Reads the calling thread's last system error (errno) and builds the message
  // "Win32 error: <system text> (<code>)" CR LF <message>.
  explicit EJclWin32Error(const AnsiString& message);
  EJclWin32Error(std::uint32_t code, const AnsiString& message);
  const char* ClassName() const override { return "EJclWin32Error"; }

  std::uint32_t LastError() const { return lastError_; }
  const AnsiString& LastErrorMsg() const { return lastErrorMsg_; }

private:
  std::uint32_t lastError_ = 0;
  AnsiString lastErrorMsg_;
};

class EJclMutexError : public EJclWin32Error {
public:
  using EJclWin32Error::EJclWin32Error;
  const char* ClassName() const override { return "EJclMutexError"; }
};
