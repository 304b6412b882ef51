// EUtlWin32Error: the failed call's system error code and text in the message.

#include "util/routines/util_errors.h"

#include <cerrno>
#include <cstring>

#include "platform/rtl/format.h"
#include "platform/rtl/text.h"
#include "util/routines/util_texts.h"

EUtlWin32Error::EUtlWin32Error(const AnsiString& message)
    : EUtlWin32Error(static_cast<std::uint32_t>(errno), message) {}

EUtlWin32Error::EUtlWin32Error(std::uint32_t code, const AnsiString& message)
    : EUtlError(AnsiString()), lastError_(code),
      lastErrorMsg_(Utf8ToAnsi(std::strerror(static_cast<int>(code)))) {
  SetMessage(Format(RsWin32Prefix, {lastErrorMsg_, code, "\r\n", message}));
}
