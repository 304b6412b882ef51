// Exceptions of the compression engine. The internal classes carry a bare cause;
// Deflate and Inflate wrap them into the user-facing classes with a full message.
// EDfAssertionFailed stands for the platform's assertion failure (programming errors).
#pragma once

#include "platform/rtl/exceptions.h"

VX_DECLARE_EXCEPTION(EDfAssertionFailed, Exception)
VX_DECLARE_EXCEPTION(EAbAbortProgress, Exception)
VX_DECLARE_EXCEPTION(EAbPartSizedInflate, Exception)
VX_DECLARE_EXCEPTION(EAbInternalInflateError, Exception)
VX_DECLARE_EXCEPTION(EAbInflateError, Exception)
VX_DECLARE_EXCEPTION(EAbInternalDeflateError, Exception)
VX_DECLARE_EXCEPTION(EAbDeflateError, Exception)

namespace detail {
// Throws EDfAssertionFailed with text when cond is false.
inline void DfAssert(bool cond, const char* text) {
  if (!cond) throw EDfAssertionFailed(text);
}
}  // namespace detail
