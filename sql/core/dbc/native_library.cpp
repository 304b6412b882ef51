// The native library loader (see native_library.h).

#include "sql/core/dbc/native_library.h"

TZNativeLibraryLoader::~TZNativeLibraryLoader() {
  if (loaded_) FreeNativeLibrary();
}

bool TZNativeLibraryLoader::LoadNativeLibrary() {
  if (handle_) {
    loaded_ = true;
    return true;
  }
  handle_ = LoadFirstLibrary(libraries_);
  loaded_ = true;
  return true;
}

void TZNativeLibraryLoader::FreeNativeLibrary() {
  if (handle_ && loaded_) FreeLibrary(handle_);
  handle_ = nullptr;
  loaded_ = false;
}

bool TZNativeLibraryLoader::Load() { return LoadNativeLibrary(); }

void TZNativeLibraryLoader::LoadIfNeeded() {
  if (!loaded_) Load();
}

void* TZNativeLibraryLoader::GetAddress(const char* procName) const { return GetProcAddress(handle_, procName); }
