// Text at the operating-system boundary: names of files, program arguments and
// child-process arguments travel to and from the kernel as UTF-8, while the
// system keeps Windows-1250. Every OS-facing file of the runtime goes through
// these two calls, so the conversion rule lives in one place.
#pragma once

#include <string>

#include "platform/rtl/strings.h"

namespace detail {

// Windows-1250 name to the UTF-8 bytes the kernel sees.
std::string ToOsName(const AnsiString& name);
// UTF-8 bytes from the kernel to a Windows-1250 name.
AnsiString FromOsName(const std::string& os_name);
// Upper-casing used to compare and sort names without regard to letter case.
AnsiString UpperName(const AnsiString& name);

}  // namespace detail
