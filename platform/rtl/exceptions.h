// The platform's exception classes. Every error the system raises derives from
// Exception, whose message is Windows-1250 text. The classes below are the
// platform's own error kinds that library code raises or catches by name.
#pragma once

#include <exception>

#include "platform/rtl/strings.h"

class Exception : public std::exception {
public:
  explicit Exception(AnsiString message) : message_(std::move(message)) {}
  ~Exception() override = default;

  const AnsiString& Message() const { return message_; }
  void SetMessage(AnsiString message) { message_ = std::move(message); }
  const char* what() const noexcept override { return message_.c_str(); }
  // Class name as the platform reports it, for messages that name the error kind.
  virtual const char* ClassName() const { return "Exception"; }

private:
  AnsiString message_;
};

#define VX_DECLARE_EXCEPTION(Name, Base)                                  \
  class Name : public Base {                                              \
  public:                                                                 \
    using Base::Base;                                                     \
    const char* ClassName() const override { return #Name; }              \
  };

VX_DECLARE_EXCEPTION(EAbort, Exception)
VX_DECLARE_EXCEPTION(EConvertError, Exception)
VX_DECLARE_EXCEPTION(EListError, Exception)
VX_DECLARE_EXCEPTION(EStringListError, EListError)
VX_DECLARE_EXCEPTION(EInvalidOperation, Exception)
VX_DECLARE_EXCEPTION(EInvalidPointer, Exception)
VX_DECLARE_EXCEPTION(EInvalidCast, Exception)
VX_DECLARE_EXCEPTION(EOutOfMemory, Exception)
VX_DECLARE_EXCEPTION(EVariantError, Exception)
VX_DECLARE_EXCEPTION(EOSError, Exception)
VX_DECLARE_EXCEPTION(EInOutError, Exception)

// Integer arithmetic errors.
VX_DECLARE_EXCEPTION(EIntError, Exception)
VX_DECLARE_EXCEPTION(EDivByZero, EIntError)
VX_DECLARE_EXCEPTION(ERangeError, EIntError)
VX_DECLARE_EXCEPTION(EIntOverflow, EIntError)

// Floating-point errors.
VX_DECLARE_EXCEPTION(EMathError, Exception)
VX_DECLARE_EXCEPTION(EInvalidOp, EMathError)
VX_DECLARE_EXCEPTION(EZeroDivide, EMathError)
VX_DECLARE_EXCEPTION(EOverflow, EMathError)
VX_DECLARE_EXCEPTION(EUnderflow, EMathError)

// Stream and file errors.
VX_DECLARE_EXCEPTION(EStreamError, Exception)
VX_DECLARE_EXCEPTION(EFileStreamError, EStreamError)
VX_DECLARE_EXCEPTION(EFCreateError, EFileStreamError)
VX_DECLARE_EXCEPTION(EFOpenError, EFileStreamError)
VX_DECLARE_EXCEPTION(EReadError, EStreamError)
VX_DECLARE_EXCEPTION(EWriteError, EStreamError)
