// Key translation of the X11 backend: X key symbols to the platform's
// virtual keys, and to the Windows-1250 character a key types.
#pragma once

#include <string>

// 0 for key symbols that name no virtual key.
int KeysymToVirtualKey(unsigned long keysym);
// The Unicode character a key symbol types, 0 for none.
char32_t KeysymToUnicode(unsigned long keysym);
// The Windows-1250 text a key symbol types (empty when it types nothing
// Windows-1250 can hold).
std::string KeysymToAnsi(unsigned long keysym);
