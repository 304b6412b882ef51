// EJclWin32Error: the failed call's system error code and text in the message.

#include "util/routines/jcl_errors.h"

#include <cerrno>
#include <cstring>

#include "platform/rtl/format.h"
#include "platform/rtl/text.h"
#include "util/routines/jcl_texts.h"

EJclWin32Error::EJclWin32Error(const AnsiString& message)
    : EJclWin32Error(static_cast<std::uint32_t>(errno), message) {}

EJclWin32Error::EJclWin32Error(std::uint32_t code, const AnsiString& message)
    : EJclError(AnsiString()), lastError_(code),
      lastErrorMsg_(Utf8ToAnsi(std::strerror(static_cast<int>(code)))) {
  SetMessage(Format(RsWin32Prefix, {lastErrorMsg_, code, "\r\n", message}));
}
