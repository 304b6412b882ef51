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
VX_DECLARE_EXCEPTION(EAssertionFailed, Exception)

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

// Message texts of the platform's own errors, verbatim. "%d"/"%s" are filled
// with Format.
inline constexpr char SListIndexError[] = "List index out of bounds (%d)";
inline constexpr char SListCapacityError[] = "List capacity out of bounds (%d)";
inline constexpr char SListCountError[] = "List count out of bounds (%d)";
inline constexpr char SSortedListError[] = "Operation not allowed on sorted list";
inline constexpr char SDuplicateString[] = "String list does not allow duplicates";
inline constexpr char SRangeError[] = "Range check error";
inline constexpr char SIntOverflow[] = "Integer overflow";
inline constexpr char SDivByZero[] = "Division by zero";
inline constexpr char SZeroDivide[] = "Floating point division by zero";
inline constexpr char SOverflow[] = "Floating point overflow";
inline constexpr char SUnderflow[] = "Floating point underflow";
inline constexpr char SInvalidOp[] = "Invalid floating point operation";
inline constexpr char SInvalidInteger[] = "'%s' is not a valid integer value";
inline constexpr char SInvalidFloat[] = "'%s' is not a valid floating point value";
inline constexpr char SInvalidFormat[] = "Format '%s' invalid or incompatible with argument";
inline constexpr char SArgumentMissing[] = "No argument for format '%s'";
inline constexpr char SReadError[] = "Stream read error";
inline constexpr char SWriteError[] = "Stream write error";
inline constexpr char SFCreateError[] = "Cannot create file \"%s\"";
inline constexpr char SFOpenError[] = "Cannot open file \"%s\"";
inline constexpr char SMemoryStreamError[] = "Out of memory while expanding memory stream";
inline constexpr char SOperationAborted[] = "Operation aborted";
inline constexpr char SOutOfMemory[] = "Out of memory";
inline constexpr char SInvalidPointer[] = "Invalid pointer operation";
inline constexpr char SInvalidCast[] = "Invalid class typecast";
inline constexpr char SAssertionFailed[] = "Assertion failure";
