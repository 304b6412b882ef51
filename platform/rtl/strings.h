// The two string types of the system. All text inside the system is
// Windows-1250 bytes in an AnsiString (NUL bytes allowed); WideString is UTF-16
// for the few places that keep Unicode text. Conversions live in text.h.
#pragma once

#include <string>

using AnsiString = std::string;
using WideString = std::u16string;
