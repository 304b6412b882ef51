// Dynamic libraries loaded by file name at run time. A name without "/" is
// found along the system's library search path, as the loader finds it.
#pragma once

#include <vector>

#include "platform/rtl/strings.h"

using HMODULE = void*;

// nullptr when the library cannot be loaded.
HMODULE LoadLibrary(const AnsiString& file_name);
// The entry point of an exported name; nullptr when the library lacks it.
void* GetProcAddress(HMODULE module, const char* name);
bool FreeLibrary(HMODULE module);

// Loads the first of names that the system can load, trying them in order;
// loaded_name (when given) receives its name. When none loads, raises the
// platform's Exception "None of the dynamic libraries can be found: " with
// the names joined by ", ".
HMODULE LoadFirstLibrary(const std::vector<AnsiString>& names, AnsiString* loaded_name = nullptr);
