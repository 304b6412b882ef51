// Conversion between the ANSI code page (Windows-1250) and the OEM code page
// of the same system (852), byte for byte, as datasets that store OEM text
// need it. Source and destination may be the same buffer.
#pragma once

#include <cstddef>

void CharToOemBuff(const char* source, char* dest, std::size_t length);
void OemToCharBuff(const char* source, char* dest, std::size_t length);
