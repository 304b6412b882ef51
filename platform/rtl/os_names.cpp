// Conversion of names at the operating-system boundary (see os_names.h).

#include "platform/rtl/os_names.h"

#include "platform/rtl/text.h"

namespace detail {

std::string ToOsName(const AnsiString& name) { return AnsiToUtf8(name); }

AnsiString FromOsName(const std::string& os_name) { return Utf8ToAnsi(os_name); }

AnsiString UpperName(const AnsiString& name) { return AnsiUpperCase(name); }

}  // namespace detail
