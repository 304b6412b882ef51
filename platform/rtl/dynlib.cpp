// Dynamic libraries through dlopen/dlsym (see dynlib.h).

#include "platform/rtl/dynlib.h"

#include <dlfcn.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/os_names.h"

HMODULE LoadLibrary(const AnsiString& file_name) {
  if (file_name.empty()) return nullptr;
  return dlopen(detail::ToOsName(file_name).c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* GetProcAddress(HMODULE module, const char* name) {
  return module != nullptr && name != nullptr ? dlsym(module, name) : nullptr;
}

bool FreeLibrary(HMODULE module) { return module != nullptr && dlclose(module) == 0; }

HMODULE LoadFirstLibrary(const std::vector<AnsiString>& names, AnsiString* loaded_name) {
  AnsiString tried;
  for (const AnsiString& name : names) {
    if (HMODULE module = LoadLibrary(name)) {
      if (loaded_name) *loaded_name = name;
      return module;
    }
    tried += (tried.empty() ? "" : ", ") + name;
  }
  throw Exception("None of the dynamic libraries can be found: " + tried);
}
