// Errors of the dataset framework: EDatabaseError and the provider's update
// error, and the helpers that raise EDatabaseError with a message.
#pragma once

#include <exception>
#include <initializer_list>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"

VX_DECLARE_EXCEPTION(EDatabaseError, Exception)

// A record that a data provider could not apply; keeps the error it wraps.
class EUpdateError : public EDatabaseError {
public:
  EUpdateError(AnsiString message, AnsiString context, int errorCode, int previousError,
               std::exception_ptr original)
      : EDatabaseError(std::move(message)), context_(std::move(context)),
        errorCode_(errorCode), previousError_(previousError), original_(std::move(original)) {}
  const char* ClassName() const override { return "EUpdateError"; }
  const AnsiString& Context() const { return context_; }
  int ErrorCode() const { return errorCode_; }
  int PreviousError() const { return previousError_; }
  const std::exception_ptr& OriginalException() const { return original_; }

private:
  AnsiString context_;
  int errorCode_;
  int previousError_;
  std::exception_ptr original_;
};

[[noreturn]] void DatabaseError(const AnsiString& message);
[[noreturn]] void DatabaseErrorFmt(const char* pattern, std::initializer_list<TVarRec> args);
